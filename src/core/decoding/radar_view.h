#pragma once

#include <cstdint>
#include <string_view>

namespace scantouch {

// What the decoder and the point processing tell the radar view while a pass runs. The view
// owns the far ends of the beams, the quality labels, the angle trace and the touch marker.
class RadarView {
 public:
  virtual ~RadarView() = default;

  // The beam of `angle` has just been given the point (x, y) and shown (the point processing owns
  // both); set its far end and width by the display mode. `distance` is the node's, in mm.
  virtual void drawBeam(int angle, std::int32_t x, std::int32_t y, std::int32_t distance) = 0;
  virtual void setQualityLabel(int angle, int quality) = 0;
  // A touch was published for the run from (xs, ys) to (xe, ye).
  virtual void showTouchMarker(float xs, float ys, float xe, float ye) = 0;
  virtual void countDownTouchMarker() = 0;
  // Clears what was painted; beams, labels and shapes stay.
  virtual void clearPicture() = 0;
  virtual void appendAngleTrace(std::string_view entries) = 0;
  virtual void clearAngleTrace() = 0;
};

// A view that shows nothing, for programs and tests that have no radar picture.
class NullRadarView final : public RadarView {
 public:
  void drawBeam(int, std::int32_t, std::int32_t, std::int32_t) override {}
  void setQualityLabel(int, int) override {}
  void showTouchMarker(float, float, float, float) override {}
  void countDownTouchMarker() override {}
  void clearPicture() override {}
  void appendAngleTrace(std::string_view) override {}
  void clearAngleTrace() override {}
};

}  // namespace scantouch
