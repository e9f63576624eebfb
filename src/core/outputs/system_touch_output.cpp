#include "outputs/system_touch_output.h"

#include <algorithm>
#include <string>
#include <utility>

namespace scantouch {
namespace {

const std::string kReportSubject = "system touch";

template <typename Item>
const Item* FindSession(const std::vector<Item>& items, SessionId sessionId, SessionId Item::*key) {
  const auto it = std::find_if(items.begin(), items.end(),
                               [&](const Item& item) { return item.*key == sessionId; });
  return it != items.end() ? &*it : nullptr;
}

}  // namespace

SystemTouchOutput::SystemTouchOutput(EventLoop& loop, TouchInjector& injector, ProgramLog* log)
    : loop_(loop), injector_(injector) {
  reports_.setLog(log);
}

SystemTouchOutput::~SystemTouchOutput() {
  liftAll();
  stopTimer();
}

void SystemTouchOutput::onTouchFrame(const TouchFrame& frame) {
  lastFrame_ms_ = loop_.nowMs();
  if (!unsure_.empty()) {
    liftUnsure();
    return;
  }
  const std::size_t limit = static_cast<std::size_t>(std::max(injector_.maxContacts(), 0));
  const std::size_t kept = std::min(limit, frame.live.size());

  // Contacts held before and not kept now come up, where the engine saw them last.
  std::vector<TouchPointState> lifts;
  for (const Held& held : held_) {
    const auto keptEnd = frame.live.begin() + static_cast<std::ptrdiff_t>(kept);
    const bool stays = std::any_of(frame.live.begin(), keptEnd, [&](const Contact& contact) {
      return contact.sessionId == held.sessionId;
    });
    if (stays)
      continue;
    const Contact* removed = FindSession(frame.removed, held.sessionId, &Contact::sessionId);
    lifts.push_back({held.id, removed != nullptr ? removed->screen : held.at, TouchPhase::up});
  }

  std::vector<Held> next;
  report_.clear();
  for (std::size_t i = 0; i < kept; ++i) {
    const Contact& contact = frame.live[i];
    if (const Held* held = FindSession(held_, contact.sessionId, &Held::sessionId)) {
      next.push_back({contact.sessionId, held->id, contact.screen});
      report_.push_back({held->id, contact.screen, TouchPhase::move});
      continue;
    }
    // A place that comes up in this report cannot go down in it too; the contact then goes
    // down with the next turn.
    const int id = freeId(next);
    if (id < 0)
      continue;
    next.push_back({contact.sessionId, id, contact.screen});
    report_.push_back({id, contact.screen, TouchPhase::down});
  }
  report_.insert(report_.end(), lifts.begin(), lifts.end());
  if (report_.empty())
    return;
  send(std::move(next));
}

void SystemTouchOutput::liftAll() {
  report_.clear();
  for (const Held& held : held_)
    report_.push_back({held.id, held.at, TouchPhase::up});
  // Nothing is held while places are unsure: a refused report forgets what it held.
  report_.insert(report_.end(), unsure_.begin(), unsure_.end());
  if (!report_.empty())
    send({});
}

void SystemTouchOutput::liftUnsure() {
  report_ = unsure_;
  send({});
}

int SystemTouchOutput::freeId(const std::vector<Held>& taken) const {
  const int limit = injector_.maxContacts();
  for (int id = 0; id < limit; ++id) {
    const auto inUse = [&](const std::vector<Held>& contacts) {
      return std::any_of(contacts.begin(), contacts.end(),
                         [&](const Held& held) { return held.id == id; });
    };
    // Before the report is sent, `held_` still has the places that stay and those that come up.
    if (!inUse(taken) && !inUse(held_))
      return id;
  }
  return -1;
}

void SystemTouchOutput::send(std::vector<Held> next) {
  if (injector_.inject(report_)) {
    reports_.clear(kReportSubject);
    held_ = std::move(next);
    unsure_.clear();
  } else {
    // What the system holds is unknown now: forgetting the held contacts puts every live one down
    // afresh, where moving contacts the system no longer holds would be refused again and again.
    // A system that cancels contacts not reported in time (Windows) lets go of the rest itself;
    // one that keeps them (uinput) would keep a touch down for good, so each place the report
    // named is lifted before anything goes down again.
    const bool keepsContacts = injector_.refreshInterval_ms() <= 0;
    if (keepsContacts) {
      for (const TouchPointState& sent : report_) {
        const auto same = std::find_if(unsure_.begin(), unsure_.end(),
                                       [&](const TouchPointState& u) { return u.id == sent.id; });
        if (same != unsure_.end())
          same->at = sent.at;
        else
          unsure_.push_back({sent.id, sent.at, TouchPhase::up});
      }
    }
    const std::string why = injector_.lastProblem();
    reports_.report(kReportSubject,
                    "the system's touch input refused a report" +
                        (why.empty() ? std::string() : " (" + why + ")") +
                        (keepsContacts ? ": its touches are lifted until the system takes it, "
                                         "then held touches go down again"
                                       : ": held touches are let go and go down again with the "
                                         "next turn"));
    held_.clear();
  }
  if (held_.empty() && unsure_.empty())
    stopTimer();
  else
    restartTimer();
}

void SystemTouchOutput::refreshTick() {
  if (!unsure_.empty()) {
    liftUnsure();
    return;
  }
  if (loop_.nowMs() - lastFrame_ms_ >= kStaleAfter_ms) {
    liftAll();
    return;
  }
  report_.clear();
  for (const Held& held : held_)
    report_.push_back({held.id, held.at, TouchPhase::move});
  send(held_);
}

void SystemTouchOutput::restartTimer() {
  // Counted from the last report, so that no gap between two reports exceeds the interval.
  stopTimer();
  const std::int64_t refresh_ms = injector_.refreshInterval_ms();
  timer_ = loop_.startTimer(refresh_ms > 0 ? std::min(refresh_ms, kStaleAfter_ms) : kStaleAfter_ms,
                            [this] { refreshTick(); });
}

void SystemTouchOutput::stopTimer() {
  if (timer_) {
    loop_.stopTimer(*timer_);
    timer_.reset();
  }
}

}  // namespace scantouch
