#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "background/view_masks.h"
#include "decoding/radar_view.h"
#include "decoding/scan_node.h"
#include "geometry/touch_offset.h"
#include "radar/beam_table.h"
#include "toolkit/shape.h"

namespace scantouch {

// The controls of the main window the point processing reads and writes.
struct PointControls {
  Shape& scannerMarker;  // Shape1: 300 x 300 square centred on the scanner, also the exclusion zone
  Shape& touchRect;      // SHPWIN: the calibrated touch rectangle
};

// Turns decoded nodes into points of the radar view and finds touches: a run of consecutive
// accepted degrees whose points lie in the touch rectangle becomes one touch when it ends,
// handed on as the midpoint of its first and last point relative to the rectangle's corner.
class PointProcessor final : public ScanNodeConsumer {
 public:
  static constexpr std::int16_t kNoRun = -1000;

  PointProcessor(PointControls controls, BeamTable& beams, RadarView& radar);

  void processScanNode(const ScanNode& node, std::int16_t sensitivity) override;

  // Who takes each touch found (nobody until set).
  void setTouchHandler(std::function<void(const Touch&)> handler) {
    touchHandler_ = std::move(handler);
  }

  // Rectangles of the view in which no hit is a touch (none: every hit in the rectangle counts).
  void setMasks(std::vector<ViewMask> masks) { masks_ = std::move(masks); }

  // Forgets any open run (start-up and every re-initialisation).
  void resetRun();

  std::int16_t hitRunStart() const { return hitRunStart_; }
  std::int16_t hitRunEnd() const { return hitRunEnd_; }

 private:
  bool isHit(const ScanNode& node, double x, double y) const;
  void closeRun();
  void publishTouch();
  void cleanSkippedDegrees(int angle);

  PointControls controls_;
  BeamTable& beams_;
  RadarView& radar_;
  std::function<void(const Touch&)> touchHandler_;
  std::int16_t hitRunStart_ = kNoRun;
  std::int16_t hitRunEnd_ = kNoRun;
  int lastAcceptedAngle_ = 0;
  std::vector<ViewMask> masks_;
};

}  // namespace scantouch
