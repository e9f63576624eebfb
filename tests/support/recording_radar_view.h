#pragma once

#include <string>
#include <vector>

#include "decoding/radar_view.h"

namespace scantouch::testing {

// Keeps what the decoder and the point processing told the radar view.
class RecordingRadarView final : public RadarView {
 public:
  void drawBeam(int angle, std::int32_t, std::int32_t, std::int32_t) override {
    drawnBeams.push_back(angle);
  }
  void setQualityLabel(int angle, int quality) override {
    qualityLabels.push_back(angle);
    lastQuality = quality;
  }
  void showTouchMarker(float xs, float ys, float xe, float ye) override {
    markers.push_back({xs, ys, xe, ye});
  }
  void countDownTouchMarker() override { ++halfTurns; }
  void clearPicture() override { ++pictureClears; }
  void appendAngleTrace(std::string_view entries) override { angleTrace += entries; }
  void clearAngleTrace() override { angleTrace.clear(); }

  std::vector<int> drawnBeams;
  std::vector<int> qualityLabels;
  int lastQuality = -1;
  std::vector<std::vector<float>> markers;
  int halfTurns = 0;
  int pictureClears = 0;
  std::string angleTrace;
};

}  // namespace scantouch::testing
