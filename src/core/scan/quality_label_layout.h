#pragma once

#include <vector>

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

}  // namespace scantouch
