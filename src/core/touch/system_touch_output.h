#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "common/program_log.h"
#include "engine/touch_frame.h"
#include "toolkit/event_loop.h"
#include "touch/touch_injector.h"

namespace scantouch {

// The engine's contacts as the system's own touch input, for applications that take touch rather
// than the mouse. Every report carries every held contact: a contact goes down when the device
// first holds it, moves with each turn and comes up at its last position when the engine removes
// it. With more contacts than the device takes, the oldest are held; a younger one goes down once
// an older one leaves room.
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

 private:
  struct Held {
    std::uint32_t sessionId;
    int id;  // the contact's place on the device
    ScreenPoint at;
  };

  // The lowest place on the device neither held nor `taken`; -1 when there is none.
  int freeId(const std::vector<Held>& taken) const;
  // Sends `report_`; afterwards `held_` is `next`, or nothing when the system refused the report.
  void send(std::vector<Held> next);
  void refreshTick();
  void restartTimer();
  void stopTimer();

  EventLoop& loop_;
  TouchInjector& injector_;
  OnceReports reports_;
  std::vector<Held> held_;  // oldest first
  std::vector<TouchPointState> report_;
  std::int64_t lastFrame_ms_ = 0;
  std::optional<EventLoop::TimerId> timer_;
};

}  // namespace scantouch
