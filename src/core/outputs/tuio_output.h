#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/program_log.h"
#include "engine/touch_frame.h"
#include "outputs/datagram_socket.h"
#include "outputs/tuio_encoder.h"
#include "outputs/tuio_session_ids.h"
#include "outputs/tuio_targets.h"
#include "toolkit/event_loop.h"

namespace scantouch {

// Sends the engine's contacts as TUIO 1.1 cursors (/tuio/2Dcur) over UDP to every target of the
// setting, the way TUIO servers are expected to: a frame number that rises by one per frame with
// contacts and for the frame in which the last one leaves; while nothing is present an empty
// alive list with frame -1 about once a second, from a timer, so that it goes on while the
// scanner is silent; and such an empty bundle at start and at exit, so that clients let go of
// any contact they still hold. A target that fails never stops the others, nor the engine.
// The source is this program at the host's name; the contacts' ids are as TuioSessionIds makes
// them.
class TuioOutput final : public TouchFrameSink {
 public:
  static constexpr std::int64_t kIdleInterval_ms = 1000;
  // Contacts no frame told of for this long are let go of: the engine was halted, or the scanner
  // went silent.
  static constexpr std::int64_t kStaleAfter_ms = 1000;

  // `sessionStart` moves the TUIO ids on from the engine's (TuioSessionStart).
  TuioOutput(EventLoop& loop, DatagramSocketFactory& sockets, std::uint64_t sessionStart = 0);
  // Stops the timer but sends nothing: the sockets' platform may be gone by then. Call stop()
  // first to say goodbye.
  ~TuioOutput() override;
  TuioOutput(const TuioOutput&) = delete;
  TuioOutput& operator=(const TuioOutput&) = delete;

  // Where rejected targets and failed sends are told, each once.
  void setLog(ProgramLog* log);

  // Takes the setting's text ("host:port;host:port", empty for none). Targets kept from the
  // last text keep their socket; a target dropped while running gets the empty bundle first.
  void setTargets(std::string_view text);
  // Whether any target was accepted and opened.
  bool hasTargets() const { return !targets_.empty(); }
  // Every bundle the targets get also goes to `tap`, byte for byte, one call a bundle (the web
  // service's listeners); empty: none.
  void setBundleTap(std::function<void(std::span<const std::uint8_t>)> tap) {
    tap_ = std::move(tap);
  }

  // Frames are sent only between start() and stop(); each of them sends one empty bundle.
  void start();
  void stop();
  bool running() const { return running_; }

  void onTouchFrame(const TouchFrame& frame) override;

  // The fseq of the last frame sent with contacts (or of the one that removed the last), 0 before.
  std::int32_t frameSequence() const { return frameSequence_; }

 private:
  struct Target {
    TuioTarget where;
    std::unique_ptr<DatagramSocket> socket;
    OnceReports reports;  // its send errors, each told once while the target is kept
  };

  void onIdleTick();
  void letGoOfStaleContacts();
  void stopStaleTimer();
  void sendEmptyBundle();
  void sendFrame(std::span<const Contact> live);
  void sendToAll(const TuioDatagrams& datagrams);
  void sendTo(Target& target, const TuioDatagrams& datagrams);

  EventLoop& loop_;
  DatagramSocketFactory& sockets_;
  ProgramLog* log_ = nullptr;
  TuioEncoder encoder_;
  TuioSessionIds sessions_;
  std::vector<std::unique_ptr<Target>> targets_;
  std::function<void(std::span<const std::uint8_t>)> tap_;
  OnceReports reports_;         // rejected targets and contacts left out
  std::set<std::string> told_;  // subjects of reports_ about the current setting
  bool running_ = false;
  bool present_ = false;  // clients were last told of at least one contact
  std::int32_t frameSequence_ = 0;
  EventLoop::TimerId idleTimer_ = 0;
  std::optional<EventLoop::TimerId> staleTimer_;  // runs while clients hold contacts
};

}  // namespace scantouch
