#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "common/pair.h"
#include "config/settings_file.h"
#include "geometry/homography.h"
#include "geometry/surface_mapping.h"
#include "toolkit/button.h"
#include "toolkit/event_loop.h"
#include "toolkit/label.h"
#include "toolkit/notifier.h"
#include "toolkit/text_box.h"

namespace scantouch {

// The controls of the group "四角标定" and the boxes it reads.
struct CornerCalibrationControls {
  Button& start;           // CMD四角标定
  Button& twoCorners;      // CMD两角标定: back to the two-corner mapping
  Label& status;           // LBL四角标定
  TextBox& screenSize;     // TXT屏幕宽高
  TextBox& screenTopLeft;  // TXT屏幕左上角
};

// The four-corner calibration: marks at the corners of the screen area, one after the other, each
// waiting for a touch; the four touched points and the corners give the surface mapping, stored
// under "四角标定". The faces show a full-screen window with the mark while `active()`, and call
// `cancel()` when the user leaves it.
class CornerCalibration {
 public:
  // A corner nobody touches within this time ends the calibration.
  static constexpr std::int64_t kCornerTimeout_ms = 20000;
  // Touches this close together (or this close after the start) are one hand moving; this close
  // to the last corner, the hand of that corner still there.
  static constexpr std::int64_t kSettle_ms = 700;
  static constexpr double kSameHand_units = 100;

  CornerCalibration(CornerCalibrationControls controls, EventLoop& loop, SettingsFile& file,
                    SurfaceMapping& mapping);
  ~CornerCalibration();
  CornerCalibration(const CornerCalibration&) = delete;
  CornerCalibration& operator=(const CornerCalibration&) = delete;

  // Reads the stored corners into the mapping (at start-up) and shows what is in force.
  void load();
  // Another calibration that is running says so here: a start is then refused.
  void setBusyElsewhere(std::function<bool()> busy) { busyElsewhere_ = std::move(busy); }

  void start();
  void cancel();
  // Another calibration asks to start: refused (true, and said in the status) while this one runs,
  // since a touch rectangle or scanner moved between two corners would spoil the map.
  bool refuseOtherCalibration();
  // A touch on the surface, in view units. True when the calibration took it: it then goes to
  // nothing else (no click on what lies under the mark).
  bool takeTouch(PlanePoint surface);

  bool active() const { return corner_.has_value(); }
  // 0..3: top-left, top-right, bottom-right, bottom-left of the screen area.
  int corner() const { return corner_.value_or(0); }
  // The screen area the marks' window covers, desktop pixels.
  IntPair areaTopLeft() const { return areaTopLeft_; }
  IntPair areaSize() const { return areaSize_; }
  // The line the window shows beside the mark.
  const std::string& prompt() const { return prompt_; }
  // The desktop pixel of the current mark.
  ScreenPoint mark() const;

  // A mark appeared, moved or went: the faces show or hide their window.
  Notifier<> changed;

 private:
  void showCorner(int corner);
  void finish();
  void stop(const std::string& status);
  void stopTimer();

  CornerCalibrationControls c_;
  EventLoop& loop_;
  SettingsFile& file_;
  SurfaceMapping& mapping_;
  std::function<bool()> busyElsewhere_;
  std::optional<int> corner_;
  std::array<PlanePoint, 4> touched_{};
  std::optional<PlanePoint> lastTouched_;
  std::int64_t lastSeen_ms_ = 0;  // the last touch, or the start
  IntPair areaTopLeft_;
  IntPair areaSize_;
  std::string prompt_;
  std::optional<EventLoop::TimerId> timer_;
};

}  // namespace scantouch
