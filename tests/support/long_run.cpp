#include "long_run.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <numbers>
#include <random>
#include <set>

#include "app/scanner_program.h"
#include "decoding/node_framing.h"
#include "example_setup.h"
#include "fake_platform.h"
#include "node_stream.h"
#include "osc_reading.h"
#include "recording_datagrams.h"
#include "recording_touch_injector.h"

namespace scantouch::testing {

bool LongRunFigures::allHeld() const {
  return std::all_of(invariants.begin(), invariants.end(),
                     [](const InvariantRecord& record) { return record.breaches == 0; });
}

namespace {

namespace sim = scanner_sim;

constexpr std::int64_t kPoll_ms = 100;  // the serial link's poll, and the run's step
// Outputs let go of what they hold this long after the engine's last frame.
constexpr std::int64_t kStale_ms = 1000;
// A stream that has flowed undisturbed this long makes turns.
constexpr std::int64_t kSettled_ms = 2000;
constexpr const char* kOneTarget = "127.0.0.1:3333";
constexpr const char* kTwoTargets = "127.0.0.1:3333;127.0.0.1:3334";

enum Check : std::size_t {
  kButtonWithoutContact,
  kButtonOverStall,
  kTouchWithoutContact,
  kTouchOverStall,
  kTuioWithoutContact,
  kTuioOverStall,
  kSessionTwice,
  kCursorShared,
  kAliveDuplicate,
  kUndecodable,
  kAliveNotLive,
  kNoTurns,
  kUnbounded,
  kCheckCount,
};

const char* const kCheckNames[kCheckCount] = {
    "mouse button held in a frame without contacts",
    "mouse button held > 1 s after the last frame",
    "system touch held in a frame without contacts",
    "system touch held > 1 s after the last frame",
    "TUIO cursors alive in a frame without contacts",
    "TUIO cursors alive > 1 s after the last frame",
    "a session id born twice",
    "a cursor id shared by live contacts",
    "a TUIO alive list with a duplicate",
    "a TUIO bundle that cannot be decoded",
    "a frame's TUIO alive list not its live contacts",
    "no frame for > 1 s while the stream flows",
    "a container beyond its bound",
};

// The area of the worked examples' touch rectangle relative to the scanner, where hands go.
const sim::TouchArea kArea{};
constexpr double kMarginMm = 200;

std::string Ids(const std::vector<std::int32_t>& ids) {
  std::string text;
  for (const std::int32_t id : ids)
    text += (text.empty() ? "" : ",") + std::to_string(id);
  return "[" + text + "]";
}

// The program's log, counted and not kept.
class CountingLog final : public ProgramLog {
 public:
  void write(std::string_view) override { ++lines; }
  std::uint64_t lines = 0;
};

// Hands, taps and pinches that come and go in the scanner's scene, placed apart from each other.
class Gestures {
 public:
  Gestures(std::uint32_t seed, double turn_s) : random_(seed * 2654435761u + 7), turn_s_(turn_s) {}

  // Puts the next gesture into `scene`, starting at `start_s` of the stream's time; false when
  // no place was free.
  bool begin(sim::Scene& scene, double start_s, bool& pinch) {
    std::optional<sim::PlanePoint> at;
    for (int attempt = 0; attempt < 20 && !at; ++attempt) {
      const sim::PlanePoint place{
          uniform(kArea.left + kMarginMm, kArea.left + kArea.width - kMarginMm),
          uniform(kArea.top + kMarginMm, kArea.top + kArea.height - kMarginMm)};
      const bool free =
          std::none_of(scene.objects.begin(), scene.objects.end(), [&](const sim::SceneObject& o) {
            return o.disappear_s > start_s && std::hypot(o.centreAt(start_s).x - place.x,
                                                         o.centreAt(start_s).y - place.y) < 500;
          });
      if (free)
        at = place;
    }
    if (!at)
      return false;
    sim::SceneObject hand;
    hand.from = *at;
    hand.diameterMm = uniform(60, 100);
    hand.appear_s = start_s;
    const double kind = uniform(0, 1);
    pinch = false;
    if (kind < 0.3) {  // a hand held still
      hand.disappear_s = start_s + uniform(1, 30);
    } else if (kind < 0.35) {  // held for minutes
      hand.disappear_s = start_s + uniform(60, 600);
    } else if (kind < 0.55) {  // moving back and forth
      hand.to = near(*at, 300);
      hand.period_s = uniform(2, 8);
      hand.disappear_s = start_s + uniform(2, 20);
    } else if (kind < 0.75) {  // tapping
      hand.tapDown_s = uniform(0.15, 0.5);
      hand.tapPeriod_s = hand.tapDown_s + uniform(0.3, 1.0);
      hand.disappear_s = start_s + uniform(2, 10);
    } else {  // two fingers 60 to 100 mm apart, the second some turns after the first
      pinch = true;
      const double apart = uniform(60, 100);
      const double direction = uniform(0, 2 * std::numbers::pi);
      hand.diameterMm = uniform(15, 20);
      hand.disappear_s = start_s + uniform(1, 10);
      sim::SceneObject second = hand;
      second.from = {at->x + apart * std::cos(direction), at->y + apart * std::sin(direction)};
      second.appear_s = start_s + turn_s_ * std::floor(uniform(2, 11));
      second.disappear_s = std::max(second.appear_s + turn_s_ * 3, hand.disappear_s);
      scene.objects.push_back(second);
    }
    scene.objects.push_back(hand);
    return true;
  }

  double uniform(double from, double to) {
    return std::uniform_real_distribution<double>(from, to)(random_);
  }
  bool chance(double p) { return uniform(0, 1) < p; }
  std::mt19937& random() { return random_; }

 private:
  sim::PlanePoint near(sim::PlanePoint from, double within) {
    return {std::clamp(from.x + uniform(-within, within), kArea.left + kMarginMm,
                       kArea.left + kArea.width - kMarginMm),
            std::clamp(from.y + uniform(-within, within), kArea.top + kMarginMm,
                       kArea.top + kArea.height - kMarginMm)};
  }

  std::mt19937 random_;
  double turn_s_;
};

// The run: the program on fakes, the scanner that feeds it, and the checks.
class LongRun final : public TouchFrameSink {
 public:
  explicit LongRun(const LongRunOptions& options)
      : options_(options),
        gestures_(options.seed, 1 / options.turnsPerSecond),
        stream_(RoomOf(options), StreamOf(options)) {
    figures_.invariants.resize(kCheckCount);
    for (std::size_t c = 0; c < kCheckCount; ++c)
      figures_.invariants[c].name = kCheckNames[c];
    fakes_.files.files["/opt/scantouch/系统配置.ini"] =
        std::string("[串口设置]\r\n端口=1\r\n[触控引擎]\r\n鼠标模式=1\r\nTUIO目标=") + kOneTarget +
        "\r\n系统触控=1\r\n";
    program_.touchOutputs().connectNetwork(datagrams_);
    program_.touchOutputs().connectTouchDevice([this](std::string&) {
      auto injector = std::make_unique<RecordingTouchInjector>(fakes_.loop);
      injector_ = injector.get();
      return std::unique_ptr<TouchInjector>(std::move(injector));
    });
    program_.connectLog(log_);
    program_.lifecycle().startUp();
    program_.network().ensureLoaded();  // its channel's send queue is measured
    examples::CalibrateLikeTheExamples(form());
    form().engine().addSink(*this);
  }

  LongRunFigures run(const std::function<void(const LongRunFigures&)>& progress) {
    const auto started = std::chrono::steady_clock::now();
    const auto steps = static_cast<std::int64_t>(options_.simulated_s * 1000 / kPoll_ms);
    const auto progressSteps =
        static_cast<std::int64_t>(options_.progressEvery_s * 1000 / kPoll_ms);
    for (std::int64_t step = 1; step <= steps; ++step) {
      scanner();
      fakes_.loop.advance(kPoll_ms);
      afterPoll();
      if (progress && progressSteps > 0 && step % progressSteps == 0)
        progress(figuresAt(started));
    }
    for (InvariantRecord& record : figures_.invariants) {
      if (record.breachedNow)
        record.longest_s = std::max(record.longest_s, now_s() - record.since_s);
    }
    return figuresAt(started);
  }

  void onTouchFrame(const TouchFrame& frame) override {
    lastFrame_ms_ = fakes_.loop.nowMs();
    const double now = now_s();
    for (const SessionId id : frame.born) {
      check(kSessionTwice, id > lastSession_, now, [&] {
        return "contact " + std::to_string(id) + " born after " + std::to_string(lastSession_);
      });
      lastSession_ = std::max(lastSession_, id);
      ++figures_.contactsBorn;
    }
    std::set<SessionId> sessions;
    std::set<int> cursors;
    for (const Contact& contact : frame.live) {
      sessions.insert(contact.sessionId);
      cursors.insert(contact.cursorId);
    }
    if (sessions.size() != frame.live.size())
      check(kSessionTwice, false, now, [] { return std::string("one session live twice"); });
    check(kCursorShared, cursors.size() == frame.live.size(), now, [&] {
      return std::to_string(frame.live.size()) + " live contacts with " +
             std::to_string(cursors.size()) + " cursor ids";
    });
    figures_.maxLiveContacts = std::max(figures_.maxLiveContacts, frame.live.size());

    // What the outputs did with this frame.
    std::vector<SessionId> live;
    for (const Contact& contact : frame.live)
      live.push_back(contact.sessionId);
    std::sort(live.begin(), live.end());
    readOutputs(&live);
    const bool none = frame.live.empty();
    check(kButtonWithoutContact, !none || !buttonDown_, now,
          [] { return std::string("the button is down"); });
    check(kTouchWithoutContact, !none || touchesHeld_.empty(), now,
          [&] { return std::to_string(touchesHeld_.size()) + " touches held"; });
    check(kTuioWithoutContact, !none || aliveTargets().empty(), now,
          [&] { return "alive at " + aliveTargets(); });
  }

 private:
  static sim::Scene RoomOf(const LongRunOptions& options) {
    sim::Scene scene;
    scene.roomDistanceMm = {7000};
    sim::FurnishRoom(scene, options.room, kArea);
    return scene;
  }
  static sim::StreamSettings StreamOf(const LongRunOptions& options) {
    sim::StreamSettings stream;
    stream.nodesPerSecond = options.nodesPerSecond;
    stream.revolutionsPerSecond = options.turnsPerSecond;
    stream.angleJitterDegrees = 0.05;
    stream.distanceNoiseMm = 3;
    stream.noReturnShare = 0.05;
    stream.seed = options.seed;
    return stream;
  }

  MainForm& form() { return program_.form(); }
  double now_s() const { return static_cast<double>(fakes_.loop.nowMs()) / 1000; }
  bool happens(double every_s) {
    return every_s > 0 && gestures_.chance(static_cast<double>(kPoll_ms) / 1000 / every_s);
  }

  void check(Check which, bool holds, double now, const std::function<std::string()>& detail) {
    InvariantRecord& record = figures_.invariants[which];
    if (holds) {
      if (record.breachedNow) {
        record.longest_s = std::max(record.longest_s, now - record.since_s);
        if (options_.printBreaches)
          std::printf("  %.1f s: over after %.1f s: %s\n", now, now - record.since_s,
                      record.name.c_str());
      }
      record.breachedNow = false;
      return;
    }
    if (record.breachedNow)
      return;
    record.breachedNow = true;
    record.since_s = now;
    if (options_.printBreaches) {
      std::printf("  %.1f s: %s: %s (the last frame at %.1f s)\n", now, record.name.c_str(),
                  detail().c_str(), static_cast<double>(lastFrame_ms_) / 1000);
    }
    ++record.breaches;
    if (!record.first_s) {
      record.first_s = now;
      record.firstDetail = detail();
    }
  }

  // The scanner's part of one poll: the scene moves on, faults happen, and what it sends in the
  // next 100 ms waits at the port.
  void scanner() {
    const std::int64_t now_ms = fakes_.loop.nowMs();
    sim::Scene& scene = stream_.scene();
    const double streamTime = stream_.time_s();
    std::erase_if(scene.objects, [streamTime](const sim::SceneObject& o) {
      return o.disappear_s < streamTime - 1;
    });
    if (happens(options_.gestureEvery_s)) {
      bool pinch = false;
      if (gestures_.begin(scene, streamTime + 0.05, pinch)) {
        ++figures_.gestures;
        figures_.pinches += pinch ? 1 : 0;
      }
    }
    if (!form().engine().lastFrame().live.empty() && happens(options_.typingEvery_s))
      typeASetting();

    // The device went away and comes back.
    if (unpluggedUntil_ms_ && now_ms >= *unpluggedUntil_ms_) {
      fakes_.serialPort.absent = false;
      unpluggedUntil_ms_.reset();
      disturbed_ms_ = now_ms;
    } else if (!unpluggedUntil_ms_ && happens(options_.unplugEvery_s)) {
      ++figures_.unplugs;
      fakes_.serialPort.absent = true;
      fakes_.serialPort.vanish();
      unpluggedUntil_ms_ = now_ms + static_cast<std::int64_t>(gestures_.uniform(2000, 10000));
      disturbed_ms_ = now_ms;
    }
    // The stream stalls: nothing comes, and commands wait until it is back.
    if (stalledUntil_ms_ && now_ms >= *stalledUntil_ms_) {
      stalledUntil_ms_.reset();
      disturbed_ms_ = now_ms;
    } else if (!stalledUntil_ms_ && happens(options_.stallEvery_s)) {
      ++figures_.stalls;
      stalledUntil_ms_ = now_ms + static_cast<std::int64_t>(gestures_.uniform(1500, 8000));
    }
    if (stalledUntil_ms_) {
      disturbed_ms_ = now_ms;
      return;
    }

    std::vector<std::uint8_t> bytes;
    // A ":SCAN." the program sent starts the stream anew, as does the scanner itself now and
    // then: a few stale bytes, then the descriptor.
    const bool asked = fakes_.serialPort.written.find(":SCAN.") != std::string::npos;
    fakes_.serialPort.written.clear();
    if (asked || happens(options_.restartEvery_s)) {
      ++figures_.restarts;
      const auto stale = static_cast<std::size_t>(gestures_.uniform(0, 20));
      bytes =
          sim::StreamStart(stale, options_.seed + static_cast<std::uint32_t>(figures_.restarts));
      disturbed_ms_ = now_ms;
    }
    if (happens(options_.garbageEvery_s)) {
      ++figures_.garbageBursts;
      const auto count = static_cast<std::size_t>(gestures_.uniform(16, 2048));
      for (std::size_t i = 0; i < count; ++i)
        bytes.push_back(static_cast<std::uint8_t>(gestures_.random()() & 0xFF));
      disturbed_ms_ = now_ms;
    }
    stream_.appendSeconds(bytes, static_cast<double>(kPoll_ms) / 1000);
    // Bytes sent to a device that is gone are lost.
    if (fakes_.serialPort.isOpen())
      fakes_.serialPort.waiting.insert(fakes_.serialPort.waiting.end(), bytes.begin(), bytes.end());
    else
      disturbed_ms_ = now_ms;
  }

  // A value of the page "触控" typed a keystroke at a time, as a user does while touching.
  void typeASetting() {
    ++figures_.typedSettings;
    MainForm& f = form();
    const auto type = [](TextBox& box, const std::string& text) {
      box.setText("");
      for (std::size_t n = 1; n <= text.size(); ++n)
        box.setText(text.substr(0, n));
    };
    const auto pick = [this](std::initializer_list<const char*> values) {
      const auto at =
          static_cast<std::size_t>(gestures_.uniform(0, static_cast<double>(values.size()) - 1e-9));
      return std::string(*(values.begin() + at));
    };
    if (f.OPT鼠标模式.selected() != 1) {
      (void)f.OPT鼠标模式.select(1);  // back to press-drag-release after a while without
      return;
    }
    switch (static_cast<int>(gestures_.uniform(0, 8))) {
      case 0:
        type(f.TXT出现圈数, pick({"1", "2", "3", "4"}));
        break;
      case 1:
        type(f.TXT消失圈数, pick({"1", "2", "3", "5"}));
        break;
      case 2:
        type(f.TXT分组间距, pick({"40", "60", "100", "150"}));
        break;
      case 3:
        type(f.TXT匹配距离, pick({"150", "250", "400"}));
        break;
      case 4:
        (void)f.CHK平滑.setValue(f.CHK平滑.isChecked() ? CheckBox::kCleared : CheckBox::kChecked);
        break;
      case 5:
        type(f.TXTTUIO目标, f.TXTTUIO目标.text() == kOneTarget ? kTwoTargets : kOneTarget);
        break;
      case 6:
        (void)f.CHK系统触控.setValue(f.CHK系统触控.isChecked() ? CheckBox::kCleared
                                                               : CheckBox::kChecked);
        break;
      default:
        (void)f.OPT鼠标模式.select(2);
        break;
    }
  }

  // Takes in what the outputs did since the last look. `live`, in a frame: the sorted session ids
  // each TUIO bundle sent for that frame must list.
  void readOutputs(const std::vector<SessionId>* live) {
    const double now = now_s();
    for (const RecordingDatagramSockets::Sent& datagram : datagrams_.sent) {
      ++figures_.tuioBundles;
      const auto bundle = ReadTuioBundle(datagram.bytes);
      check(kUndecodable, bundle.has_value(), now, [&] {
        return "to " + datagram.target + ", " + std::to_string(datagram.bytes.size()) + " bytes";
      });
      if (!bundle)
        continue;
      std::vector<std::int32_t> alive = bundle->alive;
      std::sort(alive.begin(), alive.end());
      check(kAliveDuplicate, std::adjacent_find(alive.begin(), alive.end()) == alive.end(), now,
            [&] { return "alive " + Ids(bundle->alive); });
      lastAlive_[datagram.target] = alive;
    }
    if (live != nullptr && !datagrams_.sent.empty()) {
      std::set<std::string> targets;
      for (const RecordingDatagramSockets::Sent& datagram : datagrams_.sent)
        targets.insert(datagram.target);
      // TUIO's ids are the contacts' own moved on (TuioSessionIds): each live contact has one,
      // and it keeps it while it lives.
      for (const std::string& target : targets) {
        const std::vector<std::int32_t>& alive = lastAlive_[target];
        FrameAlive& before = frameAlive_[target];
        const bool kept = *live != before.live || alive == before.alive;
        check(kAliveNotLive, alive.size() == live->size() && kept, now, [&] {
          return "alive " + Ids(alive) + " at " + target + ", " + std::to_string(live->size()) +
                 " live" + (kept ? "" : ", the ids changed while the contacts stayed");
        });
        before = FrameAlive{*live, alive};
      }
    }
    datagrams_.sent.clear();

    if (injector_ != nullptr) {
      for (const RecordingTouchInjector::Report& report : injector_->reports) {
        ++figures_.touchReports;
        touchesHeld_.clear();
        for (const TouchPointState& point : report.contacts) {
          if (point.phase != TouchPhase::up)
            touchesHeld_.insert(point.id);
        }
      }
      injector_->reports.clear();
    }
    for (const RecordingDesktopInput::Action& action : fakes_.desktop.actions) {
      if (action.kind == RecordingDesktopInput::Action::Kind::press) {
        buttonDown_ = true;
        ++figures_.buttonPresses;
      } else if (action.kind == RecordingDesktopInput::Action::Kind::release) {
        buttonDown_ = false;
      }
    }
    fakes_.desktop.actions.clear();
  }

  std::string aliveTargets() {
    std::string text;
    for (const auto& [target, alive] : lastAlive_) {
      if (!alive.empty())
        text += (text.empty() ? "" : " ") + target + " " + Ids(alive);
    }
    return text;
  }

  void afterPoll() {
    readOutputs(nullptr);
    const double now = now_s();
    const std::int64_t now_ms = fakes_.loop.nowMs();
    const bool stale = now_ms - lastFrame_ms_ > kStale_ms + kPoll_ms;
    check(kButtonOverStall, !stale || !buttonDown_, now,
          [] { return std::string("the button is down"); });
    check(kTouchOverStall, !stale || touchesHeld_.empty(), now,
          [&] { return std::to_string(touchesHeld_.size()) + " touches held"; });
    check(kTuioOverStall, !stale || aliveTargets().empty(), now,
          [&] { return "alive at " + aliveTargets(); });
    const bool flowing = now_ms - disturbed_ms_ > kSettled_ms && form().engine().running();
    check(kNoTurns, !flowing || !stale, now,
          [&] { return "the last frame " + std::to_string(now_ms - lastFrame_ms_) + " ms ago"; });

    const std::size_t decoder = form().decoder().pendingBytes().size();
    const std::size_t eventLog = form().List1.count();
    const std::size_t sendQueue = program_.network().channel(0).TxtTcpTx.list().size();
    const std::size_t receiveBox = form().TXTRX.text().size();
    const std::size_t live = form().engine().lastFrame().live.size();
    figures_.maxDecoderBytes = std::max(figures_.maxDecoderBytes, decoder);
    figures_.maxEventLogEntries = std::max(figures_.maxEventLogEntries, eventLog);
    figures_.maxSendQueue = std::max(figures_.maxSendQueue, sendQueue);
    figures_.maxReceiveBoxChars = std::max(figures_.maxReceiveBoxChars, receiveBox);
    figures_.maxTimers = std::max(figures_.maxTimers, fakes_.loop.activeTimers());
    figures_.maxPostedEvents = std::max(figures_.maxPostedEvents, fakes_.loop.pendingEvents());
    check(kUnbounded,
          decoder <= NodeFraming::kMaxBufferBytes && eventLog <= MainForm::kMaxLogEntries &&
              sendQueue <= NetworkForm::kMaxQueuedEntries && live <= 32 &&
              fakes_.loop.activeTimers() <= 64 && fakes_.loop.pendingEvents() <= 4096,
          now, [&] {
            return "decoder " + std::to_string(decoder) + " B, log " + std::to_string(eventLog) +
                   ", send queue " + std::to_string(sendQueue) + ", live " + std::to_string(live) +
                   ", timers " + std::to_string(fakes_.loop.activeTimers()) + ", posted " +
                   std::to_string(fakes_.loop.pendingEvents());
          });
  }

  LongRunFigures figuresAt(std::chrono::steady_clock::time_point started) {
    figures_.simulated_s = now_s();
    figures_.real_s =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    figures_.turns = form().engine().turns();
    figures_.nodes = form().engine().nodes();
    figures_.logLines = log_.lines;
    return figures_;
  }

  LongRunOptions options_;
  LongRunFigures figures_;
  Gestures gestures_;
  sim::NodeStream stream_;

  FakePlatform fakes_;
  RecordingDatagramSockets datagrams_;
  RecordingTouchInjector* injector_ = nullptr;
  CountingLog log_;
  ScannerProgram program_{fakes_.platform()};

  std::int64_t lastFrame_ms_ = 0;
  std::int64_t disturbed_ms_ = 0;
  std::optional<std::int64_t> stalledUntil_ms_;
  std::optional<std::int64_t> unpluggedUntil_ms_;
  SessionId lastSession_ = 0;
  bool buttonDown_ = false;
  std::set<int> touchesHeld_;
  std::map<std::string, std::vector<std::int32_t>> lastAlive_;
  // Per target, the live contacts of the last frame and the alive list sent for them.
  struct FrameAlive {
    std::vector<SessionId> live;
    std::vector<std::int32_t> alive;
  };
  std::map<std::string, FrameAlive> frameAlive_;
};

}  // namespace

LongRunFigures RunLongRun(const LongRunOptions& options,
                          const std::function<void(const LongRunFigures&)>& progress) {
  // Large: the whole program lives in it.
  auto run = std::make_unique<LongRun>(options);
  return run->run(progress);
}

}  // namespace scantouch::testing
