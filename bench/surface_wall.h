#pragma once

// Where touch_bench --surface plays its scenes: a 4000 x 2000 mm wall, the first scanner 100 mm
// above and left of its top-left corner, the second 100 mm above and right of its top-right
// corner. View units are millimetres; the first scanner's marker is centred at (kFirstX,
// kFirstY), and the scene is drawn in the first scanner's plane (relative to it). Contacts map
// onto a 1920 x 1080 screen.

#include "geometry/homography.h"
#include "geometry/pose.h"
#include "rooms.h"
#include "scanner_pose.h"
#include "scene.h"
#include "touch_calibration.h"

namespace surface_bench {

inline constexpr double kFirstX = 7500;
inline constexpr double kFirstY = 7500;
inline constexpr double kWallLeft = 100;
inline constexpr double kWallTop = 100;
inline constexpr double kWallWidth = 4000;
inline constexpr double kWallHeight = 2000;
inline constexpr int kScreenWidth = 1920;
inline constexpr int kScreenHeight = 1080;
// The wall as the rooms furnish it: the scanners are above it, its bottom edge across from them.
inline const scanner_sim::TouchArea kWallArea{kWallLeft, kWallTop, kWallWidth, kWallHeight,
                                              scanner_sim::TouchArea::Edge::bottom};
// Cursor moves and clicks left as they are: the surface judges the engine alone.
inline const scantouch::testing::TouchCalibration kCalibration{.scannerX = kFirstX,
                                                               .scannerY = kFirstY,
                                                               .left = kWallLeft,
                                                               .top = kWallTop,
                                                               .width = kWallWidth,
                                                               .height = kWallHeight,
                                                               .screenWidth = kScreenWidth,
                                                               .screenHeight = kScreenHeight,
                                                               .movesAndClicks = false};

struct ScannerSetup {
  scanner_sim::ScannerPose pose;  // in the first scanner's plane
  double nodesPerSecond = 0;
  double turnsPerSecond = 0;
  double turnPhase = 0;  // of a turn already swept when the stream starts
};
inline const ScannerSetup kFirst{{0, 0, 0}, 16000, 10, 0};
inline const ScannerSetup kSecond{{kWallLeft + kWallWidth + 100, 0, 30}, 10000, 8, 0.4};

inline scantouch::Pose ViewPose(const scanner_sim::ScannerPose& pose) {
  return scantouch::Pose{kFirstX + pose.x, kFirstY + pose.y, pose.angleDegrees};
}
inline scantouch::PlanePoint ToView(scanner_sim::PlanePoint p) {
  return scantouch::PlanePoint{kFirstX + p.x, kFirstY + p.y};
}
inline scanner_sim::PlanePoint FromView(double x, double y) {
  return scanner_sim::PlanePoint{x - kFirstX, y - kFirstY};
}
inline bool OnWall(scanner_sim::PlanePoint p) {
  return p.x > kWallLeft && p.x < kWallLeft + kWallWidth && p.y > kWallTop &&
         p.y < kWallTop + kWallHeight;
}

}  // namespace surface_bench
