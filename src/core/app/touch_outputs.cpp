#include "app/touch_outputs.h"

#include <algorithm>
#include <string>

#include "app/engine_settings.h"

namespace scantouch {

TouchOutputs::TouchOutputs(MainForm& form, EventLoop& loop, DesktopInput& desktop)
    : form_(form), loop_(loop), mouse_(loop, desktop, form.CHK鼠标移动, form.CHK鼠标点击) {
  form_.engine().addSink(*this);
  showStatus(0);
}

TouchOutputs::~TouchOutputs() {
  if (settleTimer_)
    loop_.stopTimer(*settleTimer_);
  if (webSettleTimer_)
    loop_.stopTimer(*webSettleTimer_);
}

void TouchOutputs::setLog(ProgramLog* log) {
  log_ = log;
  reports_.setLog(log);
  if (tuio_)
    tuio_->setLog(log);
}

void TouchOutputs::connectNetwork(DatagramSocketFactory& sockets) {
  tuio_ = std::make_unique<TuioOutput>(loop_, sockets,
                                       TuioSessionStart(loop_.wallClockMs(), sockets.hostName()));
  tuio_->setLog(log_);
  tapTuioForWeb();
}

void TouchOutputs::connectWeb(WebService& web) {
  web_ = &web;
  tapTuioForWeb();
  if (applied_)
    applyWebService(webService_);
}

void TouchOutputs::tapTuioForWeb() {
  if (tuio_ && web_)
    tuio_->setBundleTap([this](std::span<const std::uint8_t> bundle) { web_->sendTuio(bundle); });
}

void TouchOutputs::connectTouchDevice(TouchDeviceOpener opener) {
  openTouchDevice_ = std::move(opener);
}

void TouchOutputs::apply() {
  const TouchEngineSettings settings = EngineSettingsOf(form_.engineSection());
  form_.engine().configure(settings);
  form_.points().setMasks(settings.masks);
  std::vector<std::array<float, 4>> masks;
  for (const ViewMask& mask : settings.masks) {
    masks.push_back({static_cast<float>(mask.left), static_cast<float>(mask.top),
                     static_cast<float>(mask.right), static_cast<float>(mask.bottom)});
  }
  form_.radar().showMasks(std::move(masks));
  form_.mapper().setActsOnDesktop(settings.mouseMode == MouseMode::clickPerTouch);
  mouse_.setEnabled(settings.mouseMode == MouseMode::pressDragRelease);

  if (settings.tuioTargets != tuioTargets_) {
    tuioTargets_ = settings.tuioTargets;
    settle(settleTimer_, [this] { applyTuioTargets(tuioTargets_); });
  }
  if (settings.webService != webService_) {
    webService_ = settings.webService;
    settle(webSettleTimer_, [this] { applyWebService(webService_); });
  }
  applySystemTouch(settings.systemTouch);
  applied_ = true;

  form_.runEngine(settings.anyOutput());
  showStatus(0);
}

void TouchOutputs::settle(std::optional<EventLoop::TimerId>& timer, std::function<void()> apply) {
  // The settings as loaded are taken at once; the user's typing when it pauses.
  if (!applied_) {
    apply();
    return;
  }
  if (timer)
    loop_.stopTimer(*timer);
  timer = loop_.startTimer(kTargetsSettle_ms, [this, &timer, apply = std::move(apply)] {
    loop_.stopTimer(*timer);
    timer.reset();
    apply();
  });
}

void TouchOutputs::applyTuioTargets(const std::string& targets) {
  if (!tuio_) {
    if (!targets.empty())
      reports_.report("tuio", "TUIO targets are set, but this program cannot send datagrams");
    return;
  }
  tuio_->setTargets(targets);
  runTuioAsWanted();
}

void TouchOutputs::applyWebService(const std::string& address) {
  if (!web_) {
    if (!address.empty())
      reports_.report("web", "网页服务 is set, but this program has no web service");
    return;
  }
  web_->apply(address);
  runTuioAsWanted();
}

void TouchOutputs::runTuioAsWanted() {
  if (!tuio_ || finished_)
    return;
  const bool wanted = tuio_->hasTargets() || (web_ && web_->listening());
  if (wanted && !tuio_->running())
    tuio_->start();
  else if (!wanted && tuio_->running())
    tuio_->stop();
}

void TouchOutputs::applySystemTouch(bool wanted) {
  if (!wanted) {
    // Kept, unfed: a lift the system refuses now is sent again at its next tick.
    if (systemTouch_ && systemTouchOn_)
      systemTouch_->liftAll();
    systemTouchOn_ = false;
    return;
  }
  systemTouchOn_ = true;
  if (systemTouch_)
    return;
  if (!touchDevice_) {
    std::string problem = "this program has no touch device";
    if (openTouchDevice_)
      touchDevice_ = openTouchDevice_(problem);
    if (!touchDevice_) {
      reports_.report("system touch", "系统触控 is on, but the system's touch cannot be used: " +
                                          problem + "; the other outputs go on");
      systemTouchOn_ = false;
      return;
    }
  }
  systemTouch_ = std::make_unique<SystemTouchOutput>(loop_, *touchDevice_, log_);
}

void TouchOutputs::finish() {
  // The exit waits for the scanner to take its stops, and frames may still come meanwhile.
  finished_ = true;
  mouse_.setEnabled(false);
  if (systemTouch_)
    systemTouch_->liftAll();
  if (tuio_ && tuio_->running())
    tuio_->stop();
  // After TUIO's goodbye, which its web listeners get too.
  if (web_)
    web_->stop();
}

void TouchOutputs::holdWhile(std::function<bool()> calibrating) {
  calibrating_ = std::move(calibrating);
  checkHold();
}

void TouchOutputs::checkHold() {
  const bool holding = calibrating_ && calibrating_();
  if (holding == holding_)
    return;
  holding_ = holding;
  if (!holding_)
    return;
  // Let go now, not with the next turn: the scanner may be silent, and the mark's window is up.
  for (const SessionId session : lastLive_) {
    if (std::find(heldBack_.begin(), heldBack_.end(), session) == heldBack_.end())
      heldBack_.push_back(session);
  }
  TouchFrame nobody;
  nobody.timeMs = loop_.nowMs();
  sendToOutputs(nobody);
}

void TouchOutputs::sendToOutputs(const TouchFrame& frame) {
  if (finished_)
    return;
  mouse_.onTouchFrame(frame);
  if (tuio_ && tuio_->running())
    tuio_->onTouchFrame(frame);
  if (systemTouch_ && systemTouchOn_)
    systemTouch_->onTouchFrame(frame);
}

const TouchFrame& TouchOutputs::withoutHeldBack(const TouchFrame& frame) {
  const auto heldBack = [this](SessionId session) {
    return std::find(heldBack_.begin(), heldBack_.end(), session) != heldBack_.end();
  };
  if (holding_) {
    for (const Contact& contact : frame.live) {
      if (!heldBack(contact.sessionId))
        heldBack_.push_back(contact.sessionId);
    }
  }
  if (heldBack_.empty())
    return frame;
  forOutputs_.timeMs = frame.timeMs;
  forOutputs_.live.clear();
  forOutputs_.born.clear();
  forOutputs_.removed.clear();
  for (const Contact& contact : frame.live) {
    if (!heldBack(contact.sessionId))
      forOutputs_.live.push_back(contact);
  }
  for (const SessionId session : frame.born) {
    if (!heldBack(session))
      forOutputs_.born.push_back(session);
  }
  for (const Contact& contact : frame.removed) {
    if (!heldBack(contact.sessionId))
      forOutputs_.removed.push_back(contact);
  }
  // One held back and gone was never sent: nothing is left to say of it.
  std::erase_if(heldBack_, [&](SessionId session) {
    return std::none_of(frame.live.begin(), frame.live.end(),
                        [session](const Contact& c) { return c.sessionId == session; });
  });
  return forOutputs_;
}

void TouchOutputs::onTouchFrame(const TouchFrame& frame) {
  checkHold();
  sendToOutputs(withoutHeldBack(frame));
  lastLive_.clear();
  for (const Contact& contact : frame.live)
    lastLive_.push_back(contact.sessionId);

  marks_.clear();
  for (const Contact& contact : frame.live) {
    marks_.push_back(RadarModel::ContactMark{static_cast<float>(contact.x),
                                             static_cast<float>(contact.y), contact.cursorId});
  }
  form_.radar().showContacts(marks_);
  showStatus(frame.live.size());
}

void TouchOutputs::showStatus(std::size_t contacts) {
  if (!form_.engine().running()) {
    form_.LBL触控状态.setCaption("触控引擎：未启用");
    return;
  }
  form_.LBL触控状态.setCaption("触控引擎：运行中，触点 " + std::to_string(contacts));
}

}  // namespace scantouch
