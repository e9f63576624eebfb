// touch_bench --surface: two scanners on one wall and the four-corner mapping, judged against the
// simulated scene. The first scanner's bytes go through the main window's decoder as with one
// scanner; the second's through a ScannerStream of its own, as the program routes a further
// link. PrintSurfaceLegend says what each figure is and which goal it is held to.

#include "surface_bench.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <numbers>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "decoding/node_framing.h"
#include "decoding/turn_finder.h"
#include "engine/touch_engine.h"
#include "example_setup.h"
#include "finger_scenes.h"
#include "geometry/pose.h"
#include "geometry/surface_mapping.h"
#include "judging.h"
#include "node_stream.h"
#include "recording_desktop_input.h"
#include "room_table.h"
#include "rooms.h"
#include "scanner_pose.h"
#include "scanners/pose_calibration.h"
#include "scanners/scanner_stream.h"
#include "single_touch/touch_mapper.h"
#include "toolkit/virtual_event_loop.h"

namespace surface_bench {

std::optional<double> SweptAt(const scanner_sim::SceneObject& object, double start_s,
                              double turn_s) {
  const auto rawBearing = [&object](double time_s) {
    const scanner_sim::PlanePoint at = object.centreAt(time_s);
    const double bearing = std::atan2(at.x, -at.y) * 180 / std::numbers::pi;
    return bearing < 0 ? bearing + 360 : bearing;
  };
  const double startBearing = rawBearing(start_s);
  // The sweep's lead over the object's bearing grows through the turn; the bearing is followed
  // without wrapping from where it was when the turn started.
  const auto lead = [&](double time_s) {
    const double bearing = startBearing + std::remainder(rawBearing(time_s) - startBearing, 360.0);
    return 360 * (time_s - start_s) / turn_s - bearing;
  };
  const double endLead = lead(start_s + turn_s);
  // Lead 0: the beam meets it; lead 360: the beam meets it again before the turn ends.
  const double target = endLead > 360 ? 360 : 0;
  if (endLead <= 0)
    return std::nullopt;
  double low = start_s;
  double high = start_s + turn_s;
  for (int step = 0; step < 40; ++step) {
    const double middle = (low + high) / 2;
    (lead(middle) < target ? low : high) = middle;
  }
  return (low + high) / 2;
}

namespace {

using namespace scantouch;
namespace sim = scanner_sim;
using bench_judging::Distance;
using bench_judging::Nearest;
using bench_judging::StayedApart;

// The surface: a 4000 x 2000 mm wall, the first scanner 100 mm above and left of its top-left
// corner, the second 100 mm above and right of its top-right corner. View units are millimetres;
// the first scanner's marker is centred at (kFirstX, kFirstY), and the scene is drawn in the first
// scanner's plane (relative to it). Contacts map onto a 1920 x 1080 screen.
constexpr double kFirstX = 7500;
constexpr double kFirstY = 7500;
constexpr double kWallLeft = 100;
constexpr double kWallTop = 100;
constexpr double kWallWidth = 4000;
constexpr double kWallHeight = 2000;
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;
// The wall as the rooms furnish it: the scanners are above it, its bottom edge across from them.
const sim::TouchArea kWallArea{kWallLeft, kWallTop, kWallWidth, kWallHeight,
                               sim::TouchArea::Edge::bottom};

// What counts, as in the table.
constexpr double kMatchMm = 30;
constexpr double kGhostMm = 60;
constexpr double kApartMm = 100;
constexpr double kVisibleShare = 0.75;

struct ScannerSetup {
  sim::ScannerPose pose;  // in the first scanner's plane
  double nodesPerSecond = 0;
  double turnsPerSecond = 0;
  double turnPhase = 0;  // of a turn already swept when the stream starts
};
const ScannerSetup kFirst{{0, 0, 0}, 16000, 10, 0};
const ScannerSetup kSecond{{kWallLeft + kWallWidth + 100, 0, 30}, 10000, 8, 0.4};

Pose ViewPose(const sim::ScannerPose& pose) {
  return Pose{kFirstX + pose.x, kFirstY + pose.y, pose.angleDegrees};
}
PlanePoint ToView(sim::PlanePoint p) {
  return PlanePoint{kFirstX + p.x, kFirstY + p.y};
}
sim::PlanePoint FromView(double x, double y) {
  return sim::PlanePoint{x - kFirstX, y - kFirstY};
}
bool OnWall(sim::PlanePoint p) {
  return p.x > kWallLeft && p.x < kWallLeft + kWallWidth && p.y > kWallTop &&
         p.y < kWallTop + kWallHeight;
}

void Calibrate(MainForm& form) {
  form.Shape1.setLeft(static_cast<float>(kFirstX - 150));
  form.Shape1.setTop(static_cast<float>(kFirstY - 150));
  (void)form.Shape1.setWidth(300);
  (void)form.Shape1.setHeight(300);
  form.SHPWIN.setLeft(static_cast<float>(kFirstX + kWallLeft));
  form.SHPWIN.setTop(static_cast<float>(kFirstY + kWallTop));
  (void)form.SHPWIN.setWidth(static_cast<float>(kWallWidth));
  (void)form.SHPWIN.setHeight(static_cast<float>(kWallHeight));
  form.TXT灵敏度.setText("2");
  form.txt角度校正.setText("0");
  form.TXT屏幕宽高.setText(std::to_string(kScreenWidth) + "," + std::to_string(kScreenHeight));
  form.TXT屏幕左上角.setText("0,0");
}

double Percentile(std::vector<double> values, double share) {
  if (values.empty())
    return 0;
  const auto at = static_cast<std::ptrdiff_t>(share * static_cast<double>(values.size() - 1));
  std::nth_element(values.begin(), values.begin() + at, values.end());
  return values[static_cast<std::size_t>(at)];
}
double Mean(const std::vector<double>& values) {
  double sum = 0;
  for (const double v : values)
    sum += v;
  return values.empty() ? 0 : sum / static_cast<double>(values.size());
}
const char* Met(bool met) {
  return met ? "met" : "NOT MET";
}

// ---------------------------------------------------------------------------------------------
// The road of two scanners

// When each node of one scanner was measured, from its angle and the node before (as the table's
// tee works it out), and where its turns begin, as the sweep marked them. The engine's objects of
// a scanner are those of its last whole turn: [turnFrom_s, turnTo_s).
class ScannerClock {
 public:
  ScannerClock(double turnsPerSecond, double turnPhase)
      : turnsPerSecond_(turnsPerSecond), turnPhase_(turnPhase) {}

  void dataReaches(double until_s) { until_s_ = until_s; }
  void take(const PreciseScanNode& node) {
    const double share = node.scannerAngle / 360;
    // A node a little behind the last one (angle noise) is not a turn later.
    double turn = std::ceil(last_s_ * turnsPerSecond_ + turnPhase_ - share - 0.02);
    if ((turn + share - turnPhase_) / turnsPerSecond_ > until_s_)
      turn = std::floor(until_s_ * turnsPerSecond_ + turnPhase_ - share);
    const double time_s = (turn + share - turnPhase_) / turnsPerSecond_;
    last_s_ = std::max(last_s_, time_s);
    if (node.startsTurn) {
      if (node.wholeTurnEnds) {
        turnFrom_s_ = lastStart_s_;
        turnTo_s_ = time_s;
        ++wholeTurns_;
      }
      lastStart_s_ = time_s;
    }
  }
  bool hasTurn() const { return wholeTurns_ >= 1; }
  double turnFrom_s() const { return turnFrom_s_; }
  double turnTo_s() const { return turnTo_s_; }

 private:
  double turnsPerSecond_;
  double turnPhase_;
  double until_s_ = 0;
  double last_s_ = 0;
  double lastStart_s_ = 0;
  double turnFrom_s_ = 0;
  double turnTo_s_ = 0;
  int wholeTurns_ = 0;
};

// The first scanner's nodes on their way from the decoder to the engine: timed first, so that a
// frame knows the turn it ends.
class FirstScannerTee final : public PreciseScanNodeConsumer {
 public:
  FirstScannerTee(ScannerClock& clock, TouchEngine& engine) : clock_(clock), engine_(engine) {}
  void processPreciseNode(const PreciseScanNode& node, std::int16_t sensitivity) override {
    clock_.take(node);
    engine_.processPreciseNode(node, sensitivity);
  }

 private:
  ScannerClock& clock_;
  TouchEngine& engine_;
};

// A further scanner's nodes, framed from the same bytes its ScannerStream gets, for its clock
// only: the stream hands its nodes straight to the engine.
class FramedClock final : public FramedNodeSink {
 public:
  explicit FramedClock(ScannerClock& clock) : clock_(clock) {}
  void takeNode(const RawNode& raw) override {
    // As the scanner stream reads a further scanner's angle.
    double angle = std::fmod(raw.angle64 / 64.0 + 360.0, 360.0);
    if (angle >= 360.0)
      angle = 0;
    const TurnFinder::Mark mark = turns_.take(angle, raw.distance != 0, raw.startOfTurn);
    clock_.take(PreciseScanNode{angle, static_cast<std::int16_t>(raw.quality), raw.distance, angle,
                                mark.turnBegins, mark.wholeTurnEnds});
  }

 private:
  ScannerClock& clock_;
  TurnFinder turns_;  // as the scanner's stream follows its sweep
};

// The main window with the first scanner on its decoder and each further scanner on a
// ScannerStream, fed in blocks of the options' length that break anywhere, the links taking
// their turn in a random order each block, with the event loop's clock following the streams.
// Scanners not fed stay silent, as an unplugged one.
class SurfaceRig {
 public:
  SurfaceRig(const sim::Scene& scene, const std::vector<ScannerSetup>& setups,
             const std::vector<bool>& fed, const std::vector<Pose>& enginePoses, std::uint32_t seed,
             const SurfaceOptions& options)
      : form_(loop_, desktop_, settingsFile_.file),
        engine_(form_.engine()),
        block_s_(options.block_ms / 1000),
        random_(seed * 2654435761u + 17) {
    Calibrate(form_);
    TouchEngine& engine = form_.engine();
    engine.configure(TouchEngineSettings{});
    engine.setScanners(std::nullopt, enginePoses);
    form_.runEngine(true);
    for (std::size_t s = 0; s < setups.size(); ++s) {
      sim::StreamSettings stream;
      stream.nodesPerSecond = setups[s].nodesPerSecond;
      stream.revolutionsPerSecond = setups[s].turnsPerSecond;
      stream.turnPhase = setups[s].turnPhase;
      stream.angleJitterDegrees = 0.05;
      stream.distanceNoiseMm = options.noiseMm;
      stream.seed = seed * 7919u + static_cast<std::uint32_t>(s) * 104729u;
      links_.push_back(std::make_unique<Link>(scene, setups[s], fed.at(s), s, engine, stream));
    }
    tee_ = std::make_unique<FirstScannerTee>(links_[0]->clock, engine);
    form_.decoder().setPreciseConsumer(tee_.get());
    for (auto& link : links_)
      link->received.assign(sim::kScanDescriptor.begin(), sim::kScanDescriptor.end());
  }

  void runUntil(double until_s) {
    std::uniform_int_distribution<std::size_t> heldBack(0, 40);
    std::vector<std::uint8_t> sent;
    std::vector<std::size_t> order;
    for (std::size_t s = 0; s < links_.size(); ++s) {
      if (links_[s]->fed)
        order.push_back(s);
    }
    while (now_s_ < until_s - 1e-9) {
      now_s_ = static_cast<double>(++blocks_) * block_s_;
      loop_.advance(std::llround(now_s_ * 1000) - loop_.nowMs());
      std::shuffle(order.begin(), order.end(), random_);
      for (const std::size_t s : order) {
        Link& link = *links_[s];
        sent.clear();
        link.nodes.appendSeconds(sent, now_s_ - link.nodes.time_s());
        link.received.insert(link.received.end(), sent.begin(), sent.end());
        const std::size_t size =
            link.received.size() - std::min(link.received.size(), heldBack(random_));
        const ByteSpan bytes(link.received.data(), size);
        link.clock.dataReaches(link.nodes.time_s());
        if (s == 0) {
          form_.decoder().feed(bytes);
        } else {
          (void)link.framing.decode(bytes, link.framed);
          link.stream->feed(bytes, true, 2);
        }
        link.received.erase(link.received.begin(),
                            link.received.begin() + static_cast<std::ptrdiff_t>(size));
      }
    }
  }

  MainForm& form() { return form_; }
  TouchEngine& engine() { return form_.engine(); }
  const TouchEngine& engine() const { return engine_; }
  std::size_t scanners() const { return links_.size(); }
  bool fed(std::size_t s) const { return links_[s]->fed; }
  const ScannerSetup& setup(std::size_t s) const { return links_[s]->setup; }
  const ScannerClock& clock(std::size_t s) const { return links_[s]->clock; }
  // The scene in scanner `s`'s own plane.
  const sim::Scene& seenBy(std::size_t s) const { return links_[s]->nodes.scene(); }

 private:
  struct Link {
    Link(const sim::Scene& scene, const ScannerSetup& scanner, bool sends, std::size_t index,
         TouchEngine& engine, const sim::StreamSettings& settings)
        : setup(scanner),
          fed(sends),
          nodes(sim::SceneSeenFrom(scene, scanner.pose), settings),
          clock(scanner.turnsPerSecond, scanner.turnPhase),
          framed(clock) {
      if (index > 0)
        stream = std::make_unique<ScannerStream>(LinkId{static_cast<int>(index)}, index, engine);
    }
    ScannerSetup setup;
    bool fed;
    sim::NodeStream nodes;
    ScannerClock clock;
    FramedClock framed;
    NodeFraming framing;
    std::unique_ptr<ScannerStream> stream;
    std::vector<std::uint8_t> received;
  };

  testing::RecordingDesktopInput desktop_;
  examples::InMemorySettings settingsFile_;
  VirtualEventLoop loop_;
  MainForm form_;
  TouchEngine& engine_;
  double block_s_;
  std::mt19937 random_;
  std::vector<std::unique_ptr<Link>> links_;
  std::unique_ptr<FirstScannerTee> tee_;
  double now_s_ = 0;
  std::int64_t blocks_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Scenes of hands

enum class Role { still, moving, tapping };

struct SurfaceScene {
  sim::Scene scene;         // in the first scanner's plane
  std::vector<Role> roles;  // one per object
};

struct Area {
  double left, top, right, bottom;
};

SurfaceScene NewScene() {
  SurfaceScene bench;
  bench.scene.roomDistanceMm = {7000};
  return bench;
}

void AddHand(SurfaceScene& bench, sim::SceneObject object, Role role, double handMm, double from_s,
             double to_s) {
  object.diameterMm = handMm;
  object.appear_s = from_s;
  object.disappear_s = to_s;
  bench.scene.objects.push_back(object);
  bench.roles.push_back(role);
}

// Two hands on one beam of the first scanner, one behind the other. In the first half the front
// hand stands still and the hand behind it moves across the beam, into its shadow and out again;
// in the second half the hand behind stands still and the front one moves across, casting its
// shadow over it. The second scanner, at the other top corner, sees them apart.
SurfaceScene MakeBeamScene(double seconds, std::uint32_t seed, double handMm) {
  SurfaceScene bench = NewScene();
  std::mt19937 random(seed * 48271u + 3);
  const auto uniform = [&random](double from, double to) {
    return std::uniform_real_distribution<double>(from, to)(random);
  };
  const double margin = handMm / 2 + 60;
  const auto inside = [&](sim::PlanePoint p) {
    return p.x > kWallLeft + margin && p.x < kWallLeft + kWallWidth - margin &&
           p.y > kWallTop + margin && p.y < kWallTop + kWallHeight - margin;
  };
  const double backSweepMm = 350;
  const double frontSweepMm = 300;
  for (;;) {
    const double bearing = uniform(110, 140) * std::numbers::pi / 180;
    const sim::PlanePoint along{std::sin(bearing), -std::cos(bearing)};
    const sim::PlanePoint across{std::cos(bearing), std::sin(bearing)};
    const double nearMm = uniform(800, 1300);
    const double farMm = nearMm + uniform(700, 1100);
    const auto at = [&](double distance, double sideways) {
      return sim::PlanePoint{distance * along.x + sideways * across.x,
                             distance * along.y + sideways * across.y};
    };
    if (!inside(at(farMm, -backSweepMm)) || !inside(at(farMm, backSweepMm)) ||
        !inside(at(nearMm, -frontSweepMm)) || !inside(at(nearMm, frontSweepMm)))
      continue;
    const double half_s = seconds / 2;
    sim::SceneObject front;
    front.from = at(nearMm, 0);
    sim::SceneObject back;
    back.from = at(farMm, -backSweepMm);
    back.to = at(farMm, backSweepMm);
    back.period_s = uniform(4, 6);
    AddHand(bench, front, Role::still, handMm, 0.3, half_s - 0.3);
    AddHand(bench, back, Role::moving, handMm, 0.3, half_s - 0.3);
    sim::SceneObject crossing;
    crossing.from = at(nearMm, -frontSweepMm);
    crossing.to = at(nearMm, frontSweepMm);
    crossing.period_s = uniform(4, 6);
    sim::SceneObject behind;
    behind.from = at(farMm, 0);
    AddHand(bench, crossing, Role::moving, handMm, half_s + 0.3, seconds - 0.3);
    AddHand(bench, behind, Role::still, handMm, half_s + 0.3, seconds - 0.3);
    return bench;
  }
}

// Ten hands over the wall, one in each of 5 x 2 cells of 800 x 1000 mm, in three phases with
// 0.6 s of absence between them: the upper hand of each column still and the lower tapping; the
// two crossing each other's way through their column; then the upper tapping and the lower still.
// From the top corners many hands stand in others' shadows, and moving ones pass through them.
SurfaceScene MakeWallScene(double seconds, std::uint32_t seed, double handMm) {
  SurfaceScene bench = NewScene();
  std::mt19937 random(seed * 69621u + 11);
  const auto uniform = [&random](double from, double to) {
    return std::uniform_real_distribution<double>(from, to)(random);
  };
  constexpr int kColumns = 5;
  constexpr int kRows = 2;
  const double margin = handMm / 2 + 60;
  const auto cellOf = [&](int column, int row) {
    const double width = kWallWidth / kColumns;
    const double height = kWallHeight / kRows;
    return Area{kWallLeft + column * width + margin, kWallTop + row * height + margin,
                kWallLeft + (column + 1) * width - margin, kWallTop + (row + 1) * height - margin};
  };
  const auto pointIn = [&](const Area& area) {
    return sim::PlanePoint{uniform(area.left, area.right), uniform(area.top, area.bottom)};
  };
  const auto still = [&](const Area& area) {
    sim::SceneObject object;
    object.from = pointIn(area);
    return object;
  };
  const auto tapping = [&](const Area& area) {
    sim::SceneObject object;
    object.from = pointIn(area);
    const double driftMm = 150;
    object.to = sim::PlanePoint{
        std::clamp(object.from.x + uniform(-driftMm, driftMm), area.left, area.right),
        std::clamp(object.from.y + uniform(-driftMm, driftMm), area.top, area.bottom)};
    object.period_s = uniform(6, 10);
    object.tapDown_s = uniform(0.4, 0.7);
    object.tapPeriod_s = object.tapDown_s + uniform(0.6, 1.0);
    object.tapPhase_s = uniform(0, object.tapPeriod_s);
    return object;
  };
  const double phase_s = seconds / 3;
  const auto from = [&](int phase) { return phase * phase_s + 0.3; };
  const auto to = [&](int phase) { return (phase + 1) * phase_s - 0.3; };
  for (int column = 0; column < kColumns; ++column) {
    const Area upper = cellOf(column, 0);
    const Area lower = cellOf(column, 1);
    AddHand(bench, still(upper), Role::still, handMm, from(0), to(0));
    AddHand(bench, tapping(lower), Role::tapping, handMm, from(0), to(0));
    // Opposite ways through the column, never nearer than `offset` to each other.
    const Area pair{upper.left, upper.top, lower.right, lower.bottom};
    const double offset = std::min(160.0, (pair.right - pair.left) / 2);
    sim::SceneObject first;
    first.from = {pair.left, pair.top};
    first.to = sim::PlanePoint{pair.right - offset, pair.bottom};
    sim::SceneObject second;
    second.from = {pair.left + offset, pair.bottom};
    second.to = sim::PlanePoint{pair.right, pair.top};
    first.period_s = second.period_s = uniform(4, 8);
    AddHand(bench, first, Role::moving, handMm, from(1), to(1));
    AddHand(bench, second, Role::moving, handMm, from(1), to(1));
    AddHand(bench, tapping(upper), Role::tapping, handMm, from(2), to(2));
    AddHand(bench, still(lower), Role::still, handMm, from(2), to(2));
  }
  return bench;
}

// Pairs of 20 mm fingers over the wall, the second arriving some turns of the first scanner after
// the first (bench/finger_scenes.h).
SurfaceScene MakeFingerScene(double seconds, std::uint32_t seed, double) {
  SurfaceScene bench = NewScene();
  bench.scene.objects =
      bench_scenes::TwoFingers(kWallArea, seconds, seed, 1 / kFirst.turnsPerSecond);
  bench.roles.assign(bench.scene.objects.size(), Role::still);
  return bench;
}

// ---------------------------------------------------------------------------------------------
// Judging hands seen by several scanners

struct SurfaceFigures {
  double seconds = 0;
  std::uint64_t eligible = 0;  // hand-turns visible to a scanner, the birth turns in a row
  std::uint64_t matched = 0;
  std::uint64_t unframed = 0;  // such hand-turns of the first scanner the engine sent no frame for
  std::uint64_t stillEligible = 0;  // of still hands
  std::uint64_t stillMatched = 0;
  std::uint64_t movingEligible = 0;  // of moving ones
  std::uint64_t movingMatched = 0;
  std::uint64_t shadowEligible = 0;  // of them, hidden in another hand's shadow for a scanner
  std::uint64_t shadowMatched = 0;
  std::uint64_t idSwitches = 0;
  std::uint64_t newIds = 0;
  std::uint64_t births = 0;
  std::uint64_t ghosts = 0;
  std::uint64_t doubled = 0;  // eligible hand-turns with a second contact near the hand
  std::vector<double> errorsMm;
  std::vector<double> stillErrorsMm;

  void add(const SurfaceFigures& o) {
    seconds += o.seconds;
    eligible += o.eligible;
    matched += o.matched;
    unframed += o.unframed;
    stillEligible += o.stillEligible;
    stillMatched += o.stillMatched;
    movingEligible += o.movingEligible;
    movingMatched += o.movingMatched;
    shadowEligible += o.shadowEligible;
    shadowMatched += o.shadowMatched;
    idSwitches += o.idSwitches;
    newIds += o.newIds;
    births += o.births;
    ghosts += o.ghosts;
    doubled += o.doubled;
    errorsMm.insert(errorsMm.end(), o.errorsMm.begin(), o.errorsMm.end());
    stillErrorsMm.insert(stillErrorsMm.end(), o.stillErrorsMm.begin(), o.stillErrorsMm.end());
  }
  static double Share(std::uint64_t part, std::uint64_t whole) {
    return whole == 0 ? 1 : static_cast<double>(part) / static_cast<double>(whole);
  }
  double matchedShare() const { return Share(matched, eligible + unframed); }
  double perMinute(std::uint64_t count) const {
    return seconds > 0 ? 60.0 * static_cast<double>(count) / seconds : 0;
  }
};

// Where a hand was as the frame's scanners saw it.
struct HandTurn {
  bool swept = false;         // a live scanner's last turn passed it
  bool present = false;       // there when one of them passed it
  bool visible = false;       // on the wall and out of every other hand's shadow for one of them
  bool hiddenForOne = false;  // visible, yet in a shadow for another that passed it
  sim::PlanePoint at;
};

// Judges every frame against the hands where the scanners' last turns saw them. A scanner that
// sees a hand puts it where it was when its beam passed it; where several see it, the engine
// joins their objects at the mean weighted by their hits, and so does the judge, with the hits of
// each scanner's object there. A hand is visible when one live scanner sees at least
// kVisibleShare of its span. Its contact should keep its id while one scanner or another sees it.
class SurfaceJudge final : public TouchFrameSink {
 public:
  SurfaceJudge(const SurfaceRig& rig, const SurfaceScene& scene, SurfaceFigures& figures,
               bool events)
      : rig_(rig),
        scene_(scene),
        figures_(figures),
        events_(events),
        birthTurns_(TouchEngineSettings{}.birthTurns),
        hands_(scene.scene.objects.size()) {}

  void onTouchFrame(const TouchFrame& frame) override {
    frame_s_ = frameTime();
    frameEnds_.push_back(frame_s_);
    const std::vector<HandTurn> now = truth();
    history_.push_back(now);
    while (history_.size() > static_cast<std::size_t>(birthTurns_ + 1))
      history_.pop_front();
    judgeBirths(frame);
    judgeHands(frame, now);
    judgeOwners(frame, now);
  }

 private:
  struct HandState {
    int visibleRun = 0;
    std::optional<SessionId> contact;  // its own contact while it stays visible
  };
  struct ContactState {
    int owner = -1;
    double owned_s = 0;
  };

  // The end of the pacing scanner's last turn.
  double frameTime() const {
    for (std::size_t s = 0; s < rig_.scanners(); ++s) {
      if (rig_.fed(s))
        return rig_.clock(s).turnTo_s();
    }
    return 0;
  }

  // The hits of scanner `s`'s object at `at`, if it saw one there.
  int hitsNear(std::size_t s, sim::PlanePoint at) const {
    int hits = 0;
    double nearest = kGhostMm;
    for (const TouchObject& object : rig_.engine().scannerObjects(s)) {
      const double d = Distance(FromView(object.x, object.y), at);
      if (d < nearest) {
        nearest = d;
        hits = object.hits;
      }
    }
    return hits;
  }

  std::vector<HandTurn> truth() const {
    const auto& objects = scene_.scene.objects;
    std::vector<HandTurn> result(objects.size());
    for (std::size_t o = 0; o < objects.size(); ++o) {
      HandTurn& hand = result[o];
      std::optional<sim::PlanePoint> pacerAt;
      double weights = 0;
      sim::PlanePoint weighted;
      sim::PlanePoint plain;
      int seen = 0;
      for (std::size_t s = 0; s < rig_.scanners(); ++s) {
        const ScannerClock& clock = rig_.clock(s);
        if (!rig_.fed(s) || !clock.hasTurn() || !rig_.engine().scannerAlive(s))
          continue;
        const ScannerSetup& setup = rig_.setup(s);
        const double turn_s = 1 / setup.turnsPerSecond;
        std::optional<double> swept_s;
        const double last = std::floor(clock.turnTo_s() * setup.turnsPerSecond + setup.turnPhase);
        for (double turn = last; turn >= last - 1 && !swept_s; --turn) {
          const double start_s = (turn - setup.turnPhase) * turn_s;
          const auto time_s = SweptAt(rig_.seenBy(s).objects[o], start_s, turn_s);
          if (time_s && *time_s >= clock.turnFrom_s() && *time_s < clock.turnTo_s())
            swept_s = time_s;
        }
        if (!swept_s)
          continue;
        hand.swept = true;
        const sim::PlanePoint at = objects[o].centreAt(*swept_s);
        if (!pacerAt)
          pacerAt = at;
        if (!objects[o].presentAt(*swept_s))
          continue;
        hand.present = true;
        if (!OnWall(at))
          continue;
        if (rig_.seenBy(s).visibleShare(o, *swept_s) < kVisibleShare) {
          hand.hiddenForOne = true;
          continue;
        }
        const int hits = hitsNear(s, at);
        weighted.x += hits * at.x;
        weighted.y += hits * at.y;
        weights += hits;
        plain.x += at.x;
        plain.y += at.y;
        ++seen;
      }
      hand.visible = seen > 0;
      hand.hiddenForOne = hand.hiddenForOne && hand.visible;
      if (weights > 0)
        hand.at = {weighted.x / weights, weighted.y / weights};
      else if (seen > 0)
        hand.at = {plain.x / seen, plain.y / seen};
      else if (pacerAt)
        hand.at = *pacerAt;
      else
        hand.at = objects[o].centreAt(frame_s_);
      if (!hand.swept)
        hand.present = objects[o].presentAt(frame_s_);
    }
    return result;
  }

 public:
  // Hand-turns the engine sent no frame for: a turn of the pacing scanner (the first one fed),
  // hands a fed scanner saw at its middle that it had seen the birth turns in a row, and no frame
  // within half a turn of its end. They count as not matched: scanners whose turns are not found
  // follow nothing.
  void countUnframedTurns(double seconds) {
    std::size_t pacer = 0;
    while (pacer + 1 < rig_.scanners() && !rig_.fed(pacer))
      ++pacer;
    const double turn_s = 1 / rig_.setup(pacer).turnsPerSecond;
    const auto& objects = scene_.scene.objects;
    std::vector<int> runs(objects.size(), 0);
    std::size_t frame = 0;
    for (double start_s = (1 - rig_.setup(pacer).turnPhase) * turn_s; start_s + turn_s <= seconds;
         start_s += turn_s) {
      const double end_s = start_s + turn_s;
      while (frame < frameEnds_.size() && frameEnds_[frame] < end_s - turn_s / 2)
        ++frame;
      const bool framed = frame < frameEnds_.size() && frameEnds_[frame] < end_s + turn_s / 2;
      frame += framed ? 1 : 0;
      const double middle_s = start_s + turn_s / 2;
      for (std::size_t o = 0; o < objects.size(); ++o) {
        bool visible = false;
        for (std::size_t s = 0; s < rig_.scanners() && !visible; ++s) {
          visible = rig_.fed(s) && objects[o].presentAt(middle_s) &&
                    OnWall(objects[o].centreAt(middle_s)) &&
                    rig_.seenBy(s).visibleShare(o, middle_s) >= kVisibleShare;
        }
        runs[o] = visible ? runs[o] + 1 : 0;
        if (!framed && runs[o] >= birthTurns_)
          ++figures_.unframed;
      }
    }
  }

 private:
  void judgeBirths(const TouchFrame& frame) {
    for (const SessionId id : frame.born) {
      const auto contact = std::find_if(frame.live.begin(), frame.live.end(),
                                        [id](const Contact& c) { return c.sessionId == id; });
      if (contact == frame.live.end())
        continue;
      ++figures_.births;
      const sim::PlanePoint at = FromView(contact->x, contact->y);
      double nearest = 1e18;
      for (const std::vector<HandTurn>& past : history_) {
        for (const HandTurn& hand : past) {
          if (hand.present)
            nearest = std::min(nearest, Distance(at, hand.at));
        }
      }
      if (nearest > kGhostMm) {
        ++figures_.ghosts;
        if (events_)
          printEvent("ghost", frame, id, -1, -1);
      }
    }
  }

  void judgeHands(const TouchFrame& frame, const std::vector<HandTurn>& now) {
    std::vector<std::pair<int, double>> nearestOf;
    nearestOf.reserve(frame.live.size());
    for (const Contact& contact : frame.live)
      nearestOf.push_back(Nearest(FromView(contact.x, contact.y), now));
    for (std::size_t o = 0; o < hands_.size(); ++o) {
      HandState& state = hands_[o];
      if (!now[o].visible || !now[o].present) {
        if (now[o].swept) {
          state.visibleRun = 0;
          state.contact.reset();
        }
        continue;
      }
      ++state.visibleRun;
      double nearest = 1e18;
      double ownNearest = 1e18;
      std::optional<std::size_t> own;
      bool doubled = false;
      for (std::size_t c = 0; c < frame.live.size(); ++c) {
        const double d = Distance(FromView(frame.live[c].x, frame.live[c].y), now[o].at);
        nearest = std::min(nearest, d);
        if (nearestOf[c].first != static_cast<int>(o) || d > kGhostMm)
          continue;
        if (own)
          doubled = true;
        if (d < ownNearest) {
          ownNearest = d;
          own = c;
        }
      }
      if (state.visibleRun < birthTurns_)
        continue;
      ++figures_.eligible;
      const bool matched = nearest <= kMatchMm;
      figures_.matched += matched ? 1 : 0;
      if (scene_.roles[o] == Role::still) {
        ++figures_.stillEligible;
        figures_.stillMatched += matched ? 1 : 0;
      } else if (scene_.roles[o] == Role::moving) {
        ++figures_.movingEligible;
        figures_.movingMatched += matched ? 1 : 0;
      }
      if (now[o].hiddenForOne) {
        ++figures_.shadowEligible;
        figures_.shadowMatched += matched ? 1 : 0;
      }
      figures_.doubled += doubled ? 1 : 0;
      if (!own || ownNearest > kMatchMm)
        continue;
      figures_.errorsMm.push_back(ownNearest);
      if (scene_.roles[o] == Role::still)
        figures_.stillErrorsMm.push_back(ownNearest);
      const SessionId id = frame.live[*own].sessionId;
      if (state.contact && *state.contact != id) {
        ++figures_.newIds;
        if (events_)
          printEvent("new id", frame, id, static_cast<int>(o), -1);
      }
      state.contact = id;
    }
  }

  // A contact that follows one hand and then another, the two apart all the while.
  void judgeOwners(const TouchFrame& frame, const std::vector<HandTurn>& now) {
    for (const Contact& contact : frame.live) {
      const auto [o, distance] = Nearest(FromView(contact.x, contact.y), now);
      if (o < 0 || distance > kMatchMm)
        continue;
      ContactState& state = contacts_[contact.sessionId];
      if (state.owner >= 0 && state.owner != o && now[state.owner].present &&
          stayedApart(state.owner, o, state.owned_s, frame_s_)) {
        ++figures_.idSwitches;
        if (events_)
          printEvent("id switch", frame, contact.sessionId, state.owner, o);
      }
      state.owner = o;
      state.owned_s = frame_s_;
    }
  }

  bool stayedApart(int a, int b, double from_s, double to_s) const {
    return StayedApart(scene_.scene.objects, a, b, from_s, to_s, 0.02, kApartMm);
  }

  void printEvent(const char* what, const TouchFrame& frame, SessionId id, int from, int to) const {
    std::printf("  %s at %.3f s: contact %llu", what, frame_s_,
                static_cast<unsigned long long>(id));
    if (to >= 0)
      std::printf(" from hand %d to hand %d", from, to);
    else if (from >= 0)
      std::printf(" of hand %d", from);
    const std::vector<HandTurn>& now = history_.back();
    std::printf("; hands:");
    for (std::size_t o = 0; o < now.size(); ++o) {
      if (now[o].present)
        std::printf(" %zu(%.0f,%.0f%s)", o, now[o].at.x, now[o].at.y,
                    !now[o].visible       ? " hidden"
                    : now[o].hiddenForOne ? " shadowed"
                                          : "");
    }
    std::printf("; contacts:");
    for (const Contact& contact : frame.live) {
      const sim::PlanePoint at = FromView(contact.x, contact.y);
      std::printf(" %llu(%.0f,%.0f)", static_cast<unsigned long long>(contact.sessionId), at.x,
                  at.y);
    }
    for (std::size_t s = 0; s < rig_.scanners(); ++s) {
      if (!rig_.fed(s))
        continue;
      std::printf("; scanner %zu's objects:", s + 1);
      for (const TouchObject& object : rig_.engine().scannerObjects(s)) {
        const sim::PlanePoint at = FromView(object.x, object.y);
        std::printf(" (%.0f,%.0f)x%d", at.x, at.y, object.hits);
      }
    }
    std::printf("\n");
  }

  const SurfaceRig& rig_;
  const SurfaceScene& scene_;
  SurfaceFigures& figures_;
  bool events_;
  int birthTurns_;
  std::vector<double> frameEnds_;
  std::vector<HandState> hands_;
  std::map<SessionId, ContactState> contacts_;
  std::deque<std::vector<HandTurn>> history_;
  double frame_s_ = 0;
};

using SceneMaker = SurfaceScene (*)(double, std::uint32_t, double);

// The scene of every seed with the scanners `fed`, both placed on the engine at their true poses,
// in `room`.
SurfaceFigures RunHands(SceneMaker make, const std::vector<bool>& fed,
                        const SurfaceOptions& options, sim::RoomKind room = sim::RoomKind::plain) {
  SurfaceFigures total;
  for (int seed = 1; seed <= options.seeds; ++seed) {
    const auto s = static_cast<std::uint32_t>(seed);
    SurfaceScene scene = make(options.seconds, s, options.handMm);
    sim::FurnishRoom(scene.scene, room, kWallArea);
    SurfaceRig rig(scene.scene, {kFirst, kSecond}, fed, {ViewPose(kSecond.pose)}, s, options);
    SurfaceFigures figures;
    SurfaceJudge judge(rig, scene, figures, options.events);
    rig.engine().addSink(judge);
    rig.runUntil(options.seconds);
    judge.countUnframedTurns(options.seconds);
    figures.seconds = options.seconds;
    total.add(figures);
  }
  return total;
}

void PrintHandsHeader() {
  std::printf("  %-14s | %6s %6s %6s %7s %4s %5s %7s %5s | %5s %5s | %5s %5s\n", "scanners",
              "match%", "still", "moving", "shadow%", "idsw", "newid", "ghost/m", "dup%", "err",
              "p95", "still", "p95");
}

void PrintHandsRow(const char* name, const SurfaceFigures& f) {
  std::printf(
      "  %-14s | %6.2f %6.2f %6.2f %7.2f %4llu %5llu %7.2f %5.2f | %5.1f %5.1f | %5.1f %5.1f\n",
      name, 100 * f.matchedShare(), 100 * SurfaceFigures::Share(f.stillMatched, f.stillEligible),
      100 * SurfaceFigures::Share(f.movingMatched, f.movingEligible),
      100 * SurfaceFigures::Share(f.shadowMatched, f.shadowEligible),
      static_cast<unsigned long long>(f.idSwitches), static_cast<unsigned long long>(f.newIds),
      f.perMinute(f.ghosts),
      100 * static_cast<double>(f.doubled) /
          static_cast<double>(std::max<std::uint64_t>(1, f.eligible)),
      Mean(f.errorsMm), Percentile(f.errorsMm, 0.95), Mean(f.stillErrorsMm),
      Percentile(f.stillErrorsMm, 0.95));
  std::fflush(stdout);
}

void PrintMatchAndIdGoals(const SurfaceFigures& f) {
  const double match = f.matchedShare();
  std::printf("  goal  match >= 99%% of hand-turns a scanner sees: %s (%.2f%%)\n",
              Met(match >= 0.99), 100 * match);
  std::printf("  goal  no id switch through shadows: %s (%llu id switches, %llu new ids)\n",
              Met(f.idSwitches == 0 && f.newIds == 0),
              static_cast<unsigned long long>(f.idSwitches),
              static_cast<unsigned long long>(f.newIds));
}

void RunBeamScene(const SurfaceOptions& options) {
  std::printf(
      "1. two hands on one beam of the first scanner, one behind the other: in the first half the "
      "hand behind\n   moves across the beam through the front one's shadow, in the second the "
      "front one moves across it\n");
  PrintHandsHeader();
  const SurfaceFigures both = RunHands(MakeBeamScene, {true, true}, options);
  PrintHandsRow("both", both);
  PrintMatchAndIdGoals(both);
  std::printf("\n");
}

void RunWallScene(const SurfaceOptions& options) {
  std::printf(
      "2. ten hands over the wall (5 x 2 cells): still, tapping, crossing through their column; "
      "the same scene\n   with both scanners and with each alone\n");
  PrintHandsHeader();
  SurfaceFigures both = RunHands(MakeWallScene, {true, true}, options);
  PrintHandsRow("both", both);
  const SurfaceFigures first = RunHands(MakeWallScene, {true, false}, options);
  PrintHandsRow("first alone", first);
  const SurfaceFigures second = RunHands(MakeWallScene, {false, true}, options);
  PrintHandsRow("second alone", second);
  PrintMatchAndIdGoals(both);
  const double mean = Mean(both.errorsMm);
  const double p95 = Percentile(both.errorsMm, 0.95);
  const double firstMean = Mean(first.errorsMm);
  const double secondMean = Mean(second.errorsMm);
  const double firstP95 = Percentile(first.errorsMm, 0.95);
  const double secondP95 = Percentile(second.errorsMm, 0.95);
  const bool firstBetter = firstMean <= secondMean;
  const double betterMean = std::min(firstMean, secondMean);
  const double betterP95 = firstBetter ? firstP95 : secondP95;
  std::printf(
      "  goal  merged error no worse than the better single scanner's (%s): mean %.1f vs %.1f "
      "mm: %s; p95 %.1f vs %.1f mm: %s\n\n",
      firstBetter ? "first" : "second", mean, betterMean, Met(mean <= betterMean), p95, betterP95,
      Met(p95 <= betterP95));
}

// ---------------------------------------------------------------------------------------------
// Four corners

using Quad = std::array<sim::PlanePoint, 4>;  // top-left, top-right, bottom-right, bottom-left

// Where the projector puts the share (u, v) of its picture on the wall: the projective map of the
// unit square onto the picture's corners, in closed form (so that it shares nothing with the
// core's solver it judges).
sim::PlanePoint SquareToQuad(const Quad& q, double u, double v) {
  const double dx1 = q[1].x - q[2].x;
  const double dx2 = q[3].x - q[2].x;
  const double dx3 = q[0].x - q[1].x + q[2].x - q[3].x;
  const double dy1 = q[1].y - q[2].y;
  const double dy2 = q[3].y - q[2].y;
  const double dy3 = q[0].y - q[1].y + q[2].y - q[3].y;
  const double det = dx1 * dy2 - dx2 * dy1;
  const double g = (dx3 * dy2 - dx2 * dy3) / det;
  const double h = (dx1 * dy3 - dx3 * dy1) / det;
  const double a = q[1].x - q[0].x + g * q[1].x;
  const double b = q[3].x - q[0].x + h * q[3].x;
  const double d = q[1].y - q[0].y + g * q[1].y;
  const double e = q[3].y - q[0].y + h * q[3].y;
  const double w = g * u + h * v + 1;
  return {(a * u + b * v + q[0].x) / w, (d * u + e * v + q[0].y) / w};
}

// The picture as the projector would throw it square on: 3600 x 1800 mm inside the wall.
constexpr double kPictureLeft = 300;
constexpr double kPictureTop = 200;
constexpr double kPictureWidth = 3600;
constexpr double kPictureHeight = 1800;

struct Keystone {
  const char* name;
  std::array<sim::PlanePoint, 4> shift;  // of each corner, as a share of the picture's width
};
// The top edge 10% of the width narrower, and each corner moved by 5% of the width its own way.
const Keystone kKeystones[] = {
    {"top 10% narrower", {{{0.05, 0}, {-0.05, 0}, {0, 0}, {0, 0}}}},
    {"each corner 5% its own way", {{{0.04, 0.03}, {-0.03, 0.04}, {-0.05, 0}, {0, -0.05}}}},
};

Quad PictureCorners(const Keystone& keystone) {
  const Quad square{{{kPictureLeft, kPictureTop},
                     {kPictureLeft + kPictureWidth, kPictureTop},
                     {kPictureLeft + kPictureWidth, kPictureTop + kPictureHeight},
                     {kPictureLeft, kPictureTop + kPictureHeight}}};
  Quad corners;
  for (std::size_t i = 0; i < 4; ++i) {
    corners[i] = {square[i].x + keystone.shift[i].x * kPictureWidth,
                  square[i].y + keystone.shift[i].y * kPictureWidth};
  }
  return corners;
}

double ScreenDiagonal() {
  return std::hypot(kScreenWidth, kScreenHeight);
}

// Pixel errors of both mappings, as shares of the screen's diagonal.
struct MappingErrors {
  std::vector<double> fourCorners;
  std::vector<double> twoCorners;
  int refused = 0;  // calibrations the four-corner mapping refused
};

// The two-corner mapping of a surface point: the rectangle from the touched top-left to the
// touched bottom-right corner, scaled onto the screen.
ScreenPoint TwoCornerPixel(PlanePoint surface, PlanePoint topLeft, PlanePoint bottomRight) {
  const IntPair offset{static_cast<std::int32_t>(std::round(surface.x - topLeft.x)),
                       static_cast<std::int32_t>(std::round(surface.y - topLeft.y))};
  return MapOffsetToScreen(offset, IntPair{kScreenWidth, kScreenHeight}, IntPair{0, 0},
                           static_cast<float>(bottomRight.x - topLeft.x),
                           static_cast<float>(bottomRight.y - topLeft.y));
}

double PixelError(ScreenPoint pixel, double u, double v) {
  return std::hypot(pixel.x - u * kScreenWidth, pixel.y - v * kScreenHeight) / ScreenDiagonal();
}

// A grid of 41 x 23 points across the picture, each mapped from where it lies on the wall.
void JudgeMappings(const Quad& picture, const SurfaceMapping::Corners& touched,
                   MappingErrors& errors) {
  SurfaceMapping mapping;
  if (!mapping.setCorners(touched)) {
    ++errors.refused;
    return;
  }
  constexpr int kColumns = 41;
  constexpr int kRows = 23;
  for (int row = 0; row < kRows; ++row) {
    for (int column = 0; column < kColumns; ++column) {
      const double u = static_cast<double>(column) / (kColumns - 1);
      const double v = static_cast<double>(row) / (kRows - 1);
      const PlanePoint at = ToView(SquareToQuad(picture, u, v));
      const auto pixel = mapping.toScreen(at, IntPair{kScreenWidth, kScreenHeight}, IntPair{0, 0});
      errors.fourCorners.push_back(pixel ? PixelError(*pixel, u, v) : 1.0);
      errors.twoCorners.push_back(PixelError(TwoCornerPixel(at, touched[0], touched[2]), u, v));
    }
  }
}

// Corners touched exactly, each coordinate off by up to 2 mm either way.
MappingErrors ExactCorners(const Quad& picture, int sets) {
  MappingErrors errors;
  std::mt19937 random(12345);
  std::uniform_real_distribution<double> noise(-2, 2);
  for (int set = 0; set < sets; ++set) {
    SurfaceMapping::Corners touched;
    for (std::size_t i = 0; i < 4; ++i)
      touched[i] = ToView({picture[i].x + noise(random), picture[i].y + noise(random)});
    JudgeMappings(picture, touched, errors);
  }
  return errors;
}

// Averages, over the frames it is on for, the contact nearest each target.
class ContactSampler final : public TouchFrameSink {
 public:
  void start(std::vector<PlanePoint> targets) {
    targets_ = std::move(targets);
    sums_.assign(targets_.size(), {});
    counts_.assign(targets_.size(), 0);
    on_ = true;
  }
  void stop() { on_ = false; }
  // The mean of each target's contacts; none for a target no contact came near.
  std::optional<std::vector<PlanePoint>> means() const {
    std::vector<PlanePoint> result;
    for (std::size_t i = 0; i < targets_.size(); ++i) {
      if (counts_[i] == 0)
        return std::nullopt;
      result.push_back({sums_[i].x / counts_[i], sums_[i].y / counts_[i]});
    }
    return result;
  }

  void onTouchFrame(const TouchFrame& frame) override {
    if (!on_)
      return;
    for (std::size_t i = 0; i < targets_.size(); ++i) {
      const Contact* nearest = nullptr;
      double distance = kMatchMm;
      for (const Contact& contact : frame.live) {
        const double d = std::hypot(contact.x - targets_[i].x, contact.y - targets_[i].y);
        if (d <= distance) {
          distance = d;
          nearest = &contact;
        }
      }
      if (nearest == nullptr)
        continue;
      sums_[i].x += nearest->x;
      sums_[i].y += nearest->y;
      ++counts_[i];
    }
  }

 private:
  bool on_ = false;
  std::vector<PlanePoint> targets_;
  std::vector<PlanePoint> sums_;
  std::vector<int> counts_;
};

// Corners touched by a still hand, as the engine of both scanners reports it averaged over ten
// turns: four hands at the picture's corners for two seconds.
MappingErrors HandCorners(const Quad& picture, const SurfaceOptions& options) {
  MappingErrors errors;
  for (int seed = 1; seed <= options.seeds; ++seed) {
    const auto s = static_cast<std::uint32_t>(seed);
    SurfaceScene scene = NewScene();
    std::vector<PlanePoint> targets;
    for (const sim::PlanePoint& corner : picture) {
      sim::SceneObject hand;
      hand.from = corner;
      AddHand(scene, hand, Role::still, options.handMm, 0.3, 2.5);
      targets.push_back(ToView(corner));
    }
    SurfaceRig rig(scene.scene, {kFirst, kSecond}, {true, true}, {ViewPose(kSecond.pose)}, s,
                   options);
    ContactSampler sampler;
    rig.engine().addSink(sampler);
    rig.runUntil(1.0);
    sampler.start(targets);
    rig.runUntil(2.0);
    const auto touched = sampler.means();
    if (!touched) {
      ++errors.refused;
      continue;
    }
    JudgeMappings(picture, {(*touched)[0], (*touched)[1], (*touched)[2], (*touched)[3]}, errors);
  }
  return errors;
}

void PrintMappingRow(const char* keystone, const char* corners, const MappingErrors& e) {
  const double fourMax =
      e.fourCorners.empty() ? 1 : *std::max_element(e.fourCorners.begin(), e.fourCorners.end());
  const double twoMax =
      e.twoCorners.empty() ? 0 : *std::max_element(e.twoCorners.begin(), e.twoCorners.end());
  const double fourP95 = Percentile(e.fourCorners, 0.95);
  const double twoP95 = Percentile(e.twoCorners, 0.95);
  std::printf("  %-26s %-22s | %6.3f %6.3f %6.3f | %6.2f %6.2f %6.2f | %-7s %-7s%s\n", keystone,
              corners, 100 * Mean(e.fourCorners), 100 * fourP95, 100 * fourMax,
              100 * Mean(e.twoCorners), 100 * twoP95, 100 * twoMax,
              Met(e.refused == 0 && fourMax <= 0.002), Met(twoP95 >= 0.02),
              e.refused > 0 ? " (calibrations refused)" : "");
  std::fflush(stdout);
}

void RunKeystone(const SurfaceOptions& options) {
  std::printf(
      "3. keystoned projection: a %.0f x %.0f mm picture of %d x %d pixels, its corners moved; "
      "the four corners\n   touched to calibrate, then a 41 x 23 grid of the picture's pixels "
      "mapped from where they lie on the wall.\n   Errors in %% of the %.0f-pixel diagonal; the "
      "two-corner rectangle runs from the touched top-left to bottom-right\n",
      kPictureWidth, kPictureHeight, kScreenWidth, kScreenHeight, ScreenDiagonal());
  std::printf("  %-26s %-22s | %-20s | %-20s | %s\n", "keystone", "corners touched",
              "four corners %", "two corners %", "goals: four <= 0.2% (max),");
  std::printf("  %-26s %-22s | %6s %6s %6s | %6s %6s %6s | %s\n", "", "", "mean", "p95", "max",
              "mean", "p95", "max", "two >= 2% (p95)");
  for (const Keystone& keystone : kKeystones) {
    const Quad picture = PictureCorners(keystone);
    PrintMappingRow(keystone.name, "exact +-2 mm, 200 sets", ExactCorners(picture, 200));
    char hands[40];
    std::snprintf(hands, sizeof hands, "%.0f mm hand, %d seeds", options.handMm, options.seeds);
    PrintMappingRow("", hands, HandCorners(picture, options));
  }
  std::printf("\n");
}

// ---------------------------------------------------------------------------------------------
// A second scanner's pose

// The second scanner as the user first enters it: measured roughly, 144 mm and 3 degrees off.
Pose RoughPose() {
  Pose rough = ViewPose(kSecond.pose);
  rough.x += 120;
  rough.y -= 80;
  rough.angleDegrees += 3;
  return rough;
}

struct PoseErrors {
  std::vector<double> placeMm;
  std::vector<double> angleDegrees;
  std::vector<double> residualMm;
  int failed = 0;
};

// One still object at three places both scanners see, each measured by PoseCalibration over its
// ten turns; the pose it solves against the true one.
PoseErrors CalibratePoses(double objectMm, int sets, const SurfaceOptions& options) {
  PoseErrors errors;
  const Pose truth = ViewPose(kSecond.pose);
  for (int set = 1; set <= sets; ++set) {
    const auto s = static_cast<std::uint32_t>(set);
    std::mt19937 random(s * 16807u + 5);
    const auto uniform = [&random](double from, double to) {
      return std::uniform_real_distribution<double>(from, to)(random);
    };
    SurfaceScene scene = NewScene();
    const sim::PlanePoint places[] = {{uniform(600, 1400), uniform(400, 900)},
                                      {uniform(2800, 3600), uniform(400, 900)},
                                      {uniform(1600, 2600), uniform(1300, 1800)}};
    for (int k = 0; k < 3; ++k) {
      sim::SceneObject object;
      object.from = places[k];
      AddHand(scene, object, Role::still, objectMm, 0.3 + 2 * k, 1.9 + 2 * k);
    }
    SurfaceRig rig(scene.scene, {kFirst, kSecond}, {true, true}, {RoughPose()}, s, options);
    PoseCalibration calibration(rig.engine());
    rig.engine().addSink(calibration);
    for (int k = 0; k < 3; ++k) {
      rig.runUntil(0.6 + 2 * k);
      (void)calibration.recordPlace();
      rig.runUntil(1.9 + 2 * k);
    }
    const std::vector<PoseCalibration::Solved> solved = calibration.solve();
    const auto second =
        std::find_if(solved.begin(), solved.end(),
                     [](const PoseCalibration::Solved& pose) { return pose.scanner == 1; });
    if (second == solved.end()) {
      ++errors.failed;
      continue;
    }
    errors.placeMm.push_back(
        std::hypot(second->fit.pose.x - truth.x, second->fit.pose.y - truth.y));
    errors.angleDegrees.push_back(
        std::abs(std::remainder(second->fit.pose.angleDegrees - truth.angleDegrees, 360.0)));
    errors.residualMm.push_back(second->fit.residualRms);
  }
  return errors;
}

void RunPoseCalibration(const SurfaceOptions& options) {
  const Pose rough = RoughPose();
  const Pose truth = ViewPose(kSecond.pose);
  const int sets = 2 * options.seeds;
  std::printf(
      "4. the second scanner's pose from one still object at three places both scanners see "
      "(PoseCalibration,\n   %d turns a place); the pose entered before it %.0f mm and %.1f deg "
      "off; %d sets of places\n",
      PoseCalibration::kPlaceTurns, std::hypot(rough.x - truth.x, rough.y - truth.y),
      rough.angleDegrees - truth.angleDegrees, sets);
  std::printf("  %-8s | %-17s %-17s %-13s | %s\n", "object", "place mm", "angle deg", "residual mm",
              "goal: within 10 mm and 0.5 deg (max)");
  std::printf("  %-8s | %8s %8s %8s %8s %6s %6s |\n", "", "mean", "max", "mean", "max", "mean",
              "max");
  for (const double objectMm : {options.handMm, 25.0}) {
    const PoseErrors e = CalibratePoses(objectMm, sets, options);
    const double placeMax =
        e.placeMm.empty() ? 1e9 : *std::max_element(e.placeMm.begin(), e.placeMm.end());
    const double angleMax = e.angleDegrees.empty()
                                ? 1e9
                                : *std::max_element(e.angleDegrees.begin(), e.angleDegrees.end());
    const double residualMax =
        e.residualMm.empty() ? 0 : *std::max_element(e.residualMm.begin(), e.residualMm.end());
    char object[16];
    std::snprintf(object, sizeof object, "%.0f mm", objectMm);
    std::printf("  %-8s | %8.1f %8.1f %8.2f %8.2f %6.1f %6.1f | %s%s\n", object, Mean(e.placeMm),
                placeMax, Mean(e.angleDegrees), angleMax, Mean(e.residualMm), residualMax,
                Met(e.failed == 0 && placeMax <= 10 && angleMax <= 0.5),
                e.failed > 0 ? " (some sets gave no pose)" : "");
    std::fflush(stdout);
  }
  std::printf("\n");
}

void PrintSurfaceLegend(const SurfaceOptions& options) {
  std::printf(
      "touch_bench --surface: %d seeds x %.0f s per hand scene, blocks of %.0f ms, hands %.0f mm, "
      "distance noise %.1f mm sd,\nangle jitter 0.05 deg\n",
      options.seeds, options.seconds, options.block_ms, options.handMm, options.noiseMm);
  std::printf(
      "wall     %.0f x %.0f mm; first scanner 100 mm above and left of its top-left corner, "
      "%.0f nodes/s, %.0f turns/s;\n         second 100 mm above and right of its top-right "
      "corner, turned %.0f deg, %.0f nodes/s, %.1f turns/s,\n         %.1f of a turn out of "
      "step; each on its own link (the second through a ScannerStream), the engine\n         "
      "given the second's true pose; contacts map onto %d x %d pixels\n",
      kWallWidth, kWallHeight, kFirst.nodesPerSecond, kFirst.turnsPerSecond,
      kSecond.pose.angleDegrees, kSecond.nodesPerSecond, kSecond.turnsPerSecond, kSecond.turnPhase,
      kScreenWidth, kScreenHeight);
  std::printf(
      "match%%   hand-turns a live scanner sees (>= %.0f%% of its span out of every shadow, the "
      "birth turns in a row)\n         with a contact within %.0f mm of where the scanners saw "
      "it (several: their mean weighted by hits;\n         in a turn the engine sent no frame "
      "for, none);\n         still, moving: the same for still "
      "hands, and for moving ones (tapping ones count in the total only)\n"
      "shadow%%  the same for hand-turns in which the hand stood in a shadow for one scanner\n"
      "idsw     a contact following one hand then another, the two >= %.0f mm apart meanwhile\n"
      "newid    a hand seen all the while by one scanner or another whose contact changed its id\n"
      "ghost/m  contacts born > %.0f mm from every hand, per minute\n"
      "dup%%     hand-turns with a second contact within %.0f mm of the hand\n"
      "err      distance from a hand to its own contact, mm: mean and 95th percentile; still: "
      "of still hands\n\n",
      100 * kVisibleShare, kMatchMm, kApartMm, kGhostMm, kGhostMm);
}

// The hand scenes and two fingers with both scanners in every room.
void RunRooms(const SurfaceOptions& options) {
  const auto run = [&](sim::RoomKind room, bench_rooms::SurfaceScene scene) {
    const SceneMaker make = scene == bench_rooms::SurfaceScene::beam   ? MakeBeamScene
                            : scene == bench_rooms::SurfaceScene::wall ? MakeWallScene
                                                                       : MakeFingerScene;
    const SurfaceFigures f = RunHands(make, {true, true}, options, room);
    bench_rooms::SurfaceFigures figures;
    figures.matchedShare = f.matchedShare();
    figures.idSwitches = f.idSwitches;
    figures.newIds = f.newIds;
    figures.ghostsPerMinute = f.perMinute(f.ghosts);
    figures.stillErrorMm = Mean(f.stillErrorsMm);
    return figures;
  };
  char setting[64];
  std::snprintf(setting, sizeof setting, "%d seeds x %.0f s", options.seeds, options.seconds);
  bench_rooms::RunSurfaceRooms(setting, run);
}

}  // namespace

void RunSurface(const SurfaceOptions& options) {
  PrintSurfaceLegend(options);
  if (!options.roomsOnly) {
    RunBeamScene(options);
    RunWallScene(options);
    RunKeystone(options);
    RunPoseCalibration(options);
  }
  RunRooms(options);
}

}  // namespace surface_bench
