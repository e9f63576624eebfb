#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "app/web_service.h"
#include "common/program_log.h"
#include "engine/touch_frame.h"
#include "outputs/datagram_socket.h"
#include "outputs/desktop_input.h"
#include "outputs/mouse_contact_driver.h"
#include "outputs/system_touch_output.h"
#include "outputs/touch_injector.h"
#include "outputs/tuio_output.h"
#include "toolkit/event_loop.h"

namespace scantouch {

// Opens the system's touch device, or says in `problem` why it cannot and what to do.
using TouchDeviceOpener = std::function<std::unique_ptr<TouchInjector>(std::string& problem)>;

// Where the touch engine's contacts go, as the page "触控" sets it: the mouse, TUIO and the
// system's own touch; and what the window shows of them (marks on the radar view, the status
// line). The engine runs only while one of them wants it.
//
// While a calibration runs, the touches on the surface are its own: the outputs let go of what
// they hold at once and take nothing until it ends, and a contact that was there meanwhile
// never reaches them (its gesture began under the calibration's marks). The marks show every
// contact.
class TouchOutputs final : public TouchFrameSink {
 public:
  // A change of the TUIO targets is taken this long after the last keystroke, so that the log
  // is not told of every half-typed target.
  static constexpr std::int64_t kTargetsSettle_ms = 1000;

  TouchOutputs(MainForm& form, EventLoop& loop, DesktopInput& desktop);
  ~TouchOutputs() override;
  TouchOutputs(const TouchOutputs&) = delete;
  TouchOutputs& operator=(const TouchOutputs&) = delete;

  void setLog(ProgramLog* log);
  // The platform's ways out beyond the mouse; a program without them has only the mouse.
  void connectNetwork(DatagramSocketFactory& sockets);
  void connectTouchDevice(TouchDeviceOpener opener);
  // The web service: it listens as "网页服务" says, and its TUIO listeners get what the UDP
  // targets get.
  void connectWeb(WebService& web);

  // Takes the page's settings into the engine and the outputs.
  void apply();
  // The program ends: a held button and held touches go up, TUIO clients hear that nobody is left,
  // and no later frame reaches the outputs.
  void finish();

  // The outputs are held back while `calibrating` says so; it is asked with every frame and at
  // checkHold(), which whoever starts a calibration calls.
  void holdWhile(std::function<bool()> calibrating);
  void checkHold();
  bool holding() const { return holding_; }

  void onTouchFrame(const TouchFrame& frame) override;

 private:
  // The web service's listeners get every bundle TUIO sends, once both are there.
  void tapTuioForWeb();
  void applyTuioTargets(const std::string& targets);
  void applyWebService(const std::string& address);
  // TUIO runs while a UDP target or the web service wants it.
  void runTuioAsWanted();
  // Calls `apply` with the newest text once the typing pauses; a loaded text at once.
  void settle(std::optional<EventLoop::TimerId>& timer, std::function<void()> apply);
  void applySystemTouch(bool wanted);
  void showStatus(std::size_t contacts);
  void sendToOutputs(const TouchFrame& frame);
  // `frame` without the contacts held back, which are forgotten once they are gone.
  const TouchFrame& withoutHeldBack(const TouchFrame& frame);

  MainForm& form_;
  EventLoop& loop_;
  ProgramLog* log_ = nullptr;
  OnceReports reports_;
  MouseContactDriver mouse_;
  std::unique_ptr<TuioOutput> tuio_;
  std::string tuioTargets_;
  std::optional<EventLoop::TimerId> settleTimer_;
  WebService* web_ = nullptr;
  std::string webService_;
  std::optional<EventLoop::TimerId> webSettleTimer_;
  bool applied_ = false;
  TouchDeviceOpener openTouchDevice_;
  std::unique_ptr<TouchInjector> touchDevice_;
  std::unique_ptr<SystemTouchOutput> systemTouch_;
  bool systemTouchOn_ = false;
  std::vector<RadarModel::ContactMark> marks_;
  std::function<bool()> calibrating_;
  bool holding_ = false;
  bool finished_ = false;
  std::vector<SessionId> lastLive_;
  std::vector<SessionId> heldBack_;  // contacts seen while the outputs were held back
  TouchFrame forOutputs_;
};

}  // namespace scantouch
