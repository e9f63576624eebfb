#include "outputs/tuio_output.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace scantouch {

TuioOutput::TuioOutput(EventLoop& loop, DatagramSocketFactory& sockets, std::uint64_t sessionStart)
    : loop_(loop),
      sockets_(sockets),
      encoder_(TuioSourceName(sockets.hostName())),
      sessions_(sessionStart) {}

TuioOutput::~TuioOutput() {
  if (running_)
    loop_.stopTimer(idleTimer_);
  stopStaleTimer();
}

void TuioOutput::setLog(ProgramLog* log) {
  log_ = log;
  reports_.setLog(log);
  for (const auto& target : targets_)
    target->reports.setLog(log);
}

void TuioOutput::setTargets(std::string_view text) {
  const TuioTargetList list = ParseTuioTargets(text);

  std::set<std::string> told;
  const auto tell = [&](const std::string& entry, const std::string& reason) {
    const std::string subject = "target\n" + entry + "\n" + reason;
    told.insert(subject);
    reports_.report(subject, "TUIO target \"" + entry + "\" left out: " + reason);
  };
  for (const RejectedTuioTarget& rejected : list.rejected)
    tell(rejected.text, rejected.reason);

  std::vector<std::unique_ptr<Target>> kept;
  for (const TuioTarget& where : list.targets) {
    const auto same = std::find_if(targets_.begin(), targets_.end(), [&](const auto& target) {
      return target->where.host == where.host && target->where.port == where.port;
    });
    if (same != targets_.end()) {
      (*same)->where = where;
      kept.push_back(std::move(*same));
      targets_.erase(same);
      continue;
    }
    std::string error;
    auto socket = sockets_.open(where.host, where.port, error);
    if (socket == nullptr) {
      tell(where.text, error.empty() ? "cannot be opened" : error);
      continue;
    }
    auto target = std::make_unique<Target>();
    target->where = where;
    target->socket = std::move(socket);
    target->reports.setLog(log_);
    kept.push_back(std::move(target));
  }

  // Clients behind a target that goes away are told that nothing is present any more.
  if (running_) {
    const TuioDatagrams goodbye = encoder_.encode({}, {}, kTuioIdleFrame);
    for (const auto& target : targets_)
      sendTo(*target, goodbye);
  }
  targets_ = std::move(kept);

  // A problem that was fixed is told again should it come back.
  for (const std::string& subject : told_) {
    if (!told.contains(subject))
      reports_.clear(subject);
  }
  told_ = std::move(told);
}

void TuioOutput::start() {
  if (running_)
    return;
  running_ = true;
  present_ = false;
  idleTimer_ = loop_.startTimer(kIdleInterval_ms, [this] { onIdleTick(); });
  sendEmptyBundle();
}

void TuioOutput::stop() {
  if (!running_)
    return;
  sendEmptyBundle();
  loop_.stopTimer(idleTimer_);
  stopStaleTimer();
  running_ = false;
  present_ = false;
}

void TuioOutput::onTouchFrame(const TouchFrame& frame) {
  if (!running_)
    return;
  if (frame.live.empty() && !present_)
    return;  // nothing there, nothing gone: the timer tells clients so once a second
  // After years of frames the number starts again low: clients take a jump back of more than
  // a hundred frames as a new start.
  frameSequence_ =
      frameSequence_ == std::numeric_limits<std::int32_t>::max() ? 1 : frameSequence_ + 1;
  sendFrame(frame.live);
  present_ = !frame.live.empty();
  // Contacts the engine stops telling about are let go of a second after its last frame, rather
  // than held by every client until the next touch (or the next idle tick, up to a second later).
  stopStaleTimer();
  if (present_)
    staleTimer_ = loop_.startTimer(kStaleAfter_ms, [this] { letGoOfStaleContacts(); });
}

void TuioOutput::letGoOfStaleContacts() {
  stopStaleTimer();
  present_ = false;
  sendEmptyBundle();
}

void TuioOutput::stopStaleTimer() {
  if (staleTimer_) {
    loop_.stopTimer(*staleTimer_);
    staleTimer_.reset();
  }
}

void TuioOutput::onIdleTick() {
  if (!present_)
    sendEmptyBundle();
}

void TuioOutput::sendEmptyBundle() {
  sendToAll(encoder_.encode({}, {}, kTuioIdleFrame));
}

void TuioOutput::sendFrame(std::span<const Contact> live) {
  const TuioDatagrams datagrams = encoder_.encode(live, sessions_.assign(live), frameSequence_);
  if (datagrams.contactsLeftOut > 0) {
    reports_.report("left out", "TUIO: " + std::to_string(live.size()) +
                                    " contacts at once, more than the " +
                                    std::to_string(encoder_.maxContacts()) +
                                    " a frame can carry; the newest are left out");
  }
  sendToAll(datagrams);
}

void TuioOutput::sendToAll(const TuioDatagrams& datagrams) {
  for (const auto& target : targets_)
    sendTo(*target, datagrams);
  if (tap_) {
    for (const auto& datagram : datagrams.datagrams)
      tap_(datagram);
  }
}

void TuioOutput::sendTo(Target& target, const TuioDatagrams& datagrams) {
  for (const auto& datagram : datagrams.datagrams) {
    std::string error;
    if (!target.socket->send(datagram, error)) {
      target.reports.report(
          error, "TUIO target \"" + target.where.text + "\": " + error + "; sending goes on");
    }
  }
}

}  // namespace scantouch
