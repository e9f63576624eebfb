#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "common/program_log.h"
#include "engine/touch_frame.h"
#include "outputs/touch_injector.h"
#include "toolkit/event_loop.h"

namespace scantouch {

// The engine's contacts as the system's own touch input, for applications that take touch rather
// than the mouse. Every report carries every held contact: a contact goes down when the device
// first holds it, moves with each turn and comes up at its last position when the engine removes
// it. With more contacts than the device takes, the oldest are held; a younger one goes down once
// an older one leaves room. After a refused report a device that keeps its contacts (no refresh
// interval) may still hold any place the report named: those places are lifted, again with each
// turn and each tick until a report of them is taken, and only then does anything go down.
//
// The injector and the log must outlive the output: it lifts what it holds when it goes.
class SystemTouchOutput final : public TouchFrameSink {
 public:
  // Held contacts without a frame from the engine for this long are lifted: the scanner or the
  // engine stopped, and a touch held on for good would block the desktop.
  static constexpr std::int64_t kStaleAfter_ms = 1000;

  SystemTouchOutput(EventLoop& loop, TouchInjector& injector, ProgramLog* log = nullptr);
  ~SystemTouchOutput() override;
  SystemTouchOutput(const SystemTouchOutput&) = delete;
  SystemTouchOutput& operator=(const SystemTouchOutput&) = delete;

  void onTouchFrame(const TouchFrame& frame) override;

  // Lifts every held contact, for an output switched off while touches are held.
  void liftAll();

  std::size_t heldContacts() const { return held_.size(); }
  // Places a refused report may have left down, still to be lifted.
  std::size_t placesToLift() const { return unsure_.size(); }

 private:
  struct Held {
    SessionId sessionId;
    int id;  // the contact's place on the device
    ScreenPoint at;
  };

  // The lowest place on the device neither held nor `taken`; -1 when there is none.
  int freeId(const std::vector<Held>& taken) const;
  // Sends `report_`; afterwards `held_` is `next`, or nothing when the system refused the report.
  void send(std::vector<Held> next);
  // Lifts the places a refused report left unsure.
  void liftUnsure();
  void refreshTick();
  void restartTimer();
  void stopTimer();

  EventLoop& loop_;
  TouchInjector& injector_;
  OnceReports reports_;
  std::vector<Held> held_;  // oldest first
  // The places a refused report named, on a device that keeps what it was last told: held or
  // not, each may be down now.
  std::vector<TouchPointState> unsure_;
  std::vector<TouchPointState> report_;
  std::int64_t lastFrame_ms_ = 0;
  std::optional<EventLoop::TimerId> timer_;
};

}  // namespace scantouch
