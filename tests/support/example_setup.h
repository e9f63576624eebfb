#pragma once

#include "app/main_form.h"
#include "config/ini_store.h"
#include "config/settings_file.h"
#include "in_memory_files.h"
#include "scene.h"
#include "touch_calibration.h"

namespace scantouch::examples {

// The set-up of the worked examples, shared by tests and benchmarks.

// A settings file kept in memory, for running the road without touching the disk.
struct InMemorySettings {
  InMemoryFiles files;
  Utf8Codec codec;
  IniStore store{files, codec};
  FixedDirectory directory{"/in-memory"};
  SettingsFile file{store, directory, main_settings::kFileName};
};

// The calibration of the worked examples: a 15 m view with the scanner in its middle at
// (7500, 7500), a 5 m x 3 m touch rectangle at (5000, 2000) above it, a 1920 x 1080 screen area
// at the desktop's corner, sensitivity 2, cursor moves and clicks on.
inline void CalibrateLikeTheExamples(MainForm& form) {
  testing::Calibrate(form, testing::TouchCalibration{.scannerX = 7500,
                                                     .scannerY = 7500,
                                                     .left = -2500,
                                                     .top = -5500,
                                                     .width = 5000,
                                                     .height = 3000});
}

// Where the calibration above puts a point given relative to the scanner, in desktop pixels.
inline ScreenPoint ExpectedPixel(scanner_sim::PlanePoint relativeToScanner) {
  const double x = (7500 + relativeToScanner.x - 5000) * 1920 / 5000;
  const double y = (7500 + relativeToScanner.y - 2000) * 1080 / 3000;
  return ScreenPoint{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
}

// A round room of 7 m radius, wholly outside the touch rectangle, with a hand moving slowly
// across the rectangle and back.
inline scanner_sim::Scene HandInTheRectangle(double period_s = 20) {
  scanner_sim::Scene scene;
  scene.roomDistanceMm = {7000};
  scanner_sim::SceneObject hand;
  hand.from = {-1500, -4500};
  hand.to = scanner_sim::PlanePoint{1500, -3500};
  hand.diameterMm = 60;
  hand.period_s = period_s;
  scene.objects.push_back(hand);
  return scene;
}

}  // namespace scantouch::examples
