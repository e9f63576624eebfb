#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "toolkit/control_array.h"
#include "toolkit/label.h"

namespace scantouch {

// Where a face draws the 360 quality labels in a square view of `side` pixels: along the four
// edges as RadarModel places them (left edge top to bottom, bottom edge left to right, right edge
// bottom to top, top edge right to left), one in as many as leave room for a legible digit, each
// inside the view, and none overlapping another where two edges meet at a corner.
struct QualityLabelBox {
  int index;    // into lblquality
  double left;  // pixels from the view's corner
  double top;
  double size;  // width and height
};

struct QualityLabelLayout {
  double boxPixels = 0;  // the side of every box; faces size their font from it
  std::vector<QualityLabelBox> labels;
};

QualityLabelLayout LayOutQualityLabels(double side);

// The captions a face last drew for its layout, so that a frame draws again only the labels whose
// caption changed: a stream whose qualities vary changes a few labels a frame, not all of them.
class PaintedLabels {
 public:
  // Indices into layout.labels whose shown caption differs from the painted one; all of them when
  // nothing was painted for this layout.
  std::vector<std::size_t> changedSince(const QualityLabelLayout& layout,
                                        const ControlArray<Label>& labels) const;
  void remember(const QualityLabelLayout& layout, const ControlArray<Label>& labels);
  void forget() { known_ = false; }

 private:
  bool known_ = false;
  std::vector<std::string> captions_;  // per placed label; empty for a hidden one
};

}  // namespace scantouch
