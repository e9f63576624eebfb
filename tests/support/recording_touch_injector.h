#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "outputs/touch_injector.h"
#include "toolkit/event_loop.h"

namespace scantouch::testing {

// Remembers every report with the time it was sent, instead of touching the system; can be told
// to refuse reports.
class RecordingTouchInjector final : public TouchInjector {
 public:
  struct Report {
    std::int64_t at_ms;
    std::vector<TouchPointState> contacts;
  };

  // `loop` times the reports.
  explicit RecordingTouchInjector(const EventLoop& loop, int maxContacts = 10,
                                  std::int64_t refresh_ms = 0)
      : loop_(loop), maxContacts_(maxContacts), refresh_ms_(refresh_ms) {}

  bool inject(std::span<const TouchPointState> contacts) override {
    reports.push_back(Report{loop_.nowMs(), {contacts.begin(), contacts.end()}});
    return !refusing;
  }
  int maxContacts() const override { return maxContacts_; }
  std::int64_t refreshInterval_ms() const override { return refresh_ms_; }
  std::string lastProblem() const override { return refusing ? "refused by the test" : ""; }

  std::vector<TouchPointState> last() const {
    return reports.empty() ? std::vector<TouchPointState>{} : reports.back().contacts;
  }

  bool refusing = false;
  std::vector<Report> reports;

 private:
  const EventLoop& loop_;
  int maxContacts_;
  std::int64_t refresh_ms_;
};

}  // namespace scantouch::testing
