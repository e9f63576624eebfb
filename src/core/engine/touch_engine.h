#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "common/pair.h"
#include "contact_tracker.h"
#include "object_grouping.h"
#include "scan/scan_node.h"
#include "toolkit/event_loop.h"
#include "toolkit/shape.h"
#include "toolkit/text_box.h"
#include "touch_engine_settings.h"
#include "touch_frame.h"
#include "turn_clock.h"

namespace scantouch {

// The controls of the main window the engine reads.
struct EngineControls {
  Shape& scannerMarker;    // Shape1: the scanner sits at its centre; hits inside it do not count
  Shape& touchRect;        // SHPWIN: the touch rectangle
  TextBox& screenSize;     // TXT屏幕宽高: the screen area contacts map to
  TextBox& screenTopLeft;  // TXT屏幕左上角
};

// Several touches at once: takes every measured node of the sweep at its exact angle, groups the
// hits of each turn into objects, tracks them from turn to turn as contacts and hands each turn's
// contacts to its outputs. Runs beside the single-touch road, which it never changes.
class TouchEngine final : public PreciseScanNodeConsumer {
 public:
  // Consecutive measured nodes lie closer than this; farther is a gap or a damaged node.
  static constexpr double kLargestStep_degrees = 45;

  TouchEngine(EngineControls controls, EventLoop& loop);

  void configure(const TouchEngineSettings& settings);
  const TouchEngineSettings& settings() const { return settings_; }

  // While not running, nodes are passed over at the cost of one test, and nothing is sent.
  void setRunning(bool running);
  bool running() const { return running_; }

  // Outputs get every turn's frame, in the order they were added.
  void addSink(TouchFrameSink& sink);

  void processPreciseNode(const PreciseScanNode& node, std::int16_t sensitivity) override;

  // Forgets the turn being collected and every contact (start-up, re-initialisation).
  void reset();

  const TouchFrame& lastFrame() const { return frame_; }
  std::uint64_t nodes() const { return nodes_; }
  std::uint64_t turns() const { return turns_; }

 private:
  bool startsTurn(const PreciseScanNode& node);
  void endTurn();
  struct ScreenArea {
    IntPair size;
    IntPair topLeft;
  };
  Contact publish(const TrackedContact& tracked, const ScreenArea& screen) const;

  EngineControls controls_;
  EventLoop& loop_;
  TouchEngineSettings settings_;
  bool running_ = false;
  std::vector<TouchFrameSink*> sinks_;
  TurnHits turn_;                       // this turn's hits in stream order
  bool turnOpen_ = false;               // a turn's start has come, and a turn is collected
  std::optional<double> lastAngle_;     // the scanner's angle of the last measured node
  std::optional<double> suspectAngle_;  // a node far from it, until the next one agrees
  bool farHalfSeen_ = false;  // the sweep has been between 90 and 270 degrees since the turn began
  TurnClock clock_;
  ContactTracker tracker_;
  TouchFrame frame_;
  std::uint64_t nodes_ = 0;
  std::uint64_t turns_ = 0;
};

}  // namespace scantouch
