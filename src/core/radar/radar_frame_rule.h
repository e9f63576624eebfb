#pragma once

#include <cstdint>
#include <functional>

#include "radar/beam_table.h"
#include "radar/radar_model.h"
#include "toolkit/picture_box.h"
#include "toolkit/shape.h"

namespace scantouch {

// The parts of the radar picture a face draws again for a frame.
struct RadarFrameParts {
  // The view's scale, the touch rectangle, the scanner marker, the masks or a learned background's
  // outline: the backdrop under the beams.
  bool backdrop = false;
  // A quality label's caption or visibility, or their layout: the labels drawn over the beams.
  bool labels = false;
  // The beams, the touch marker, the contacts, the other scanners' points or the mask being
  // dragged out, drawn over the backdrop every frame.
  bool scan = false;

  bool any() const { return backdrop || labels || scan; }
  friend bool operator==(const RadarFrameParts&, const RadarFrameParts&) = default;
};

// Which changes of the radar model make a new frame, the same for both faces. The model's own
// notifications (beams drawn, contacts, layout), its labels and marker and the window's shapes and
// scale are followed; `frameDue` runs at the first change after a painted frame, so that a face
// marks its picture stale once per frame rather than once per node, and what changed is kept
// until the face says it painted.
class RadarFrameRule {
 public:
  struct Sources {
    RadarModel& model;
    const BeamTable& beams;
    PictureBox& picture;
    Shape& scannerMarker;  // Shape1
    Shape& touchRect;      // SHPWIN
  };

  RadarFrameRule(Sources sources, std::function<void()> frameDue);
  RadarFrameRule(const RadarFrameRule&) = delete;
  RadarFrameRule& operator=(const RadarFrameRule&) = delete;

  // What changed since the last painted frame; nothing when no frame is due.
  RadarFrameParts due() const;
  // The face painted a frame of the model as it is now.
  void painted();

 private:
  void changed(bool RadarFrameParts::*part);

  Sources sources_;
  std::function<void()> frameDue_;
  RadarFrameParts changed_{true, true, true};  // nothing painted yet
  bool announced_ = false;                     // frameDue ran since the last painted frame
  std::uint64_t paintedBeams_ = ~std::uint64_t{0};
  std::uint64_t paintedContacts_ = ~std::uint64_t{0};
  std::uint64_t paintedOtherScanners_ = ~std::uint64_t{0};
  // The still shapes as painted: a new revision with the same shapes (outlines learned again
  // alike, a click on the view with the mask box ticked) paints nothing, and a mask dragged out
  // paints over the scan, not the backdrop.
  std::uint64_t paintedStillShapesRevision_ = ~std::uint64_t{0};
  RadarModel::StillShapes paintedStillShapes_;
};

}  // namespace scantouch
