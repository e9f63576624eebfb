#pragma once

// Where the touch table's scenes are played: one scanner in the middle of a 15 m view, a
// 2000 x 1125 mm touch rectangle whose lower edge is 200 mm above it, mapped onto a 1920 x 1080
// screen (0.96 pixels per mm).

#include "engine/touch_frame.h"
#include "rooms.h"
#include "scene.h"
#include "touch_calibration.h"

namespace bench_table {

inline constexpr double kScannerX = 7500;
inline constexpr double kScannerY = 7500;
inline constexpr double kRectLeft = -1000;  // relative to the scanner
inline constexpr double kRectTop = -1325;
inline constexpr double kRectWidth = 2000;
inline constexpr double kRectHeight = 1125;
inline constexpr double kPixelsPerMm = 1920.0 / kRectWidth;
// The rectangle as the rooms furnish it: the far edge is its top.
inline const scanner_sim::TouchArea kTouchArea{kRectLeft, kRectTop, kRectWidth, kRectHeight,
                                               scanner_sim::TouchArea::Edge::top};
// With cursor moves and clicks, for the single-touch road.
inline const scantouch::testing::TouchCalibration kCalibration{.scannerX = kScannerX,
                                                               .scannerY = kScannerY,
                                                               .left = kRectLeft,
                                                               .top = kRectTop,
                                                               .width = kRectWidth,
                                                               .height = kRectHeight};

inline bool InTouchRect(scanner_sim::PlanePoint p) {
  return p.x > kRectLeft && p.x < kRectLeft + kRectWidth && p.y > kRectTop &&
         p.y < kRectTop + kRectHeight;
}

// A contact's position relative to the scanner.
inline scanner_sim::PlanePoint PlaneOf(const scantouch::Contact& contact) {
  return {contact.x - kScannerX, contact.y - kScannerY};
}

}  // namespace bench_table
