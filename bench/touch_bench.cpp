// How well the touch engine follows hands, judged against the ground truth of the simulated scene,
// and the single-touch road on the same streams for comparison.
//
// A simulated scanner sweeps a room with 1, 2, 5 or 10 hands in a 2 m x 1.125 m touch rectangle
// (1920 x 1080 pixels) just above it. Each hand goes through three phases with a short absence
// between them: still, moving, tapping (drifting while it taps); hands in pairs cross each other's
// way. The bytes cross a line that may lose or garble some of them, arrive in blocks of 10 ms that
// break anywhere, and go through the road as the program wires it (decoder, single-touch road,
// engine), with the event loop's clock following the stream.
//
//   touch_bench [--seeds N] [--seconds S] [--quick] [--sweep] [--events]
//               [--only HANDS,NODES,TPS] [--block-ms B] [--noise-mm M] [--hand-mm D]
//               [--surface] [--rooms] [--held] [--still]
//
// --quick runs fewer cases for less time, --sweep tries other settings of the engine, --events
// prints every ghost, id switch, late birth or removal and missed birth before its case's line,
// --only runs the table's cases with those figures (0 for any), as in --only 2,16000,5.5.
//
// After the table, a still and a slowly moving hand that one beam a turn meets are held through the
// whole program for ten minutes on each line, and their sessions counted (--held: only that).
// Then every scene runs again in each of the simulator's rooms (bench/room_table.h):
// walls over part of the turn, clutter in the rectangle, a grazed wall; with two fingers arriving
// one after the other besides. --rooms runs only that, and with --surface only the surface's.
//
// --surface runs, instead of the table, the scenes of several scanners on one surface and of the
// four-corner mapping (surface_bench.cpp), each against its goals: a second scanner at the other
// top corner of a 4 m x 2 m wall, with its own rate, turn speed and phase; two hands on one beam
// of the first scanner, one passing through the other's shadow; ten hands over the wall, also
// with each scanner alone; a keystoned picture calibrated by its four corners against the
// rectangle of two; and the second scanner's pose from a still object at three places.
// It takes 10 seeds of 60 s unless told otherwise, about a minute (with --quick 6 of 10 s).
//
// --still runs, instead of the table, hands around one still thing in the rectangle, each in its
// room (bench/still_scenes.h): a 100 mm pillar in the middle, with a hand passing in front of it;
// a bar along the far edge; a wall the plane grazes beyond it. Each seed first learns the first
// scanner's background from every node the sweep hands on over 3 s of the empty room, as the
// program does, and sets it on the engine and the single-touch road; each scene runs again
// without it. Figures: hand-turns matched for hands 100 mm or more from the thing and nearer, and
// contacts and clicks at the thing that no hand explains, against their goals. It takes 30 seeds
// of 120 s, an hour a scene, unless told otherwise (with --quick 2 of 60 s): about 5 minutes.
//
// Each frame of the engine is judged against the hands where they were when the beam last passed
// them in the data the frame was made from: every node's time is known from its angle, so a frame
// that came early or late (a turn cut short by a damaged node) is judged by what it saw. A hand
// is visible when it is there, its centre lies in the touch rectangle and at least kVisibleShare
// of its span is out of every other hand's shadow. PrintLegend says what each figure is.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <numbers>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_form.h"
#include "background/learned_background.h"
#include "engine/touch_engine.h"
#include "example_setup.h"
#include "finger_scenes.h"
#include "hand_sessions.h"
#include "judging.h"
#include "lossy_line.h"
#include "node_stream.h"
#include "recording_desktop_input.h"
#include "room_table.h"
#include "rooms.h"
#include "still_scenes.h"
#include "surface_bench.h"
#include "toolkit/virtual_event_loop.h"

namespace {

using namespace scantouch;
namespace sim = scanner_sim;
using bench_judging::Distance;
using bench_judging::Nearest;
using bench_judging::StayedApart;
using BenchClock = std::chrono::steady_clock;

// The calibration: the scanner in the middle of a 15 m view, a 2000 x 1125 mm touch rectangle
// whose lower edge is 200 mm above it, mapped onto a 1920 x 1080 screen (0.96 pixels per mm).
constexpr double kScannerX = 7500;
constexpr double kScannerY = 7500;
constexpr double kRectLeft = -1000;  // relative to the scanner
constexpr double kRectTop = -1325;
constexpr double kRectWidth = 2000;
constexpr double kRectHeight = 1125;
constexpr double kPixelsPerMm = 1920.0 / kRectWidth;
// The rectangle as the rooms furnish it: the far edge is its top.
const sim::TouchArea kTouchArea{kRectLeft, kRectTop, kRectWidth, kRectHeight,
                                sim::TouchArea::Edge::top};

// What counts.
constexpr double kMatchMm = 30;         // a contact this near a hand follows it
constexpr double kGhostMm = 60;         // a contact born farther than this from every hand
constexpr double kApartMm = 100;        // hands this far apart must keep their contacts
constexpr double kVisibleShare = 0.75;  // of a hand's span out of every other hand's shadow
constexpr int kGiveUpTurns = 50;        // a contact not removed this long after its hand left

void Calibrate(MainForm& form) {
  form.Shape1.setLeft(static_cast<float>(kScannerX - 150));
  form.Shape1.setTop(static_cast<float>(kScannerY - 150));
  (void)form.Shape1.setWidth(300);
  (void)form.Shape1.setHeight(300);
  form.SHPWIN.setLeft(static_cast<float>(kScannerX + kRectLeft));
  form.SHPWIN.setTop(static_cast<float>(kScannerY + kRectTop));
  (void)form.SHPWIN.setWidth(static_cast<float>(kRectWidth));
  (void)form.SHPWIN.setHeight(static_cast<float>(kRectHeight));
  form.TXT灵敏度.setText("2");
  form.txt角度校正.setText("0");
  form.TXT屏幕宽高.setText("1920,1080");
  form.TXT屏幕左上角.setText("0,0");
  (void)form.CHK鼠标移动.setValue(CheckBox::kChecked);
  (void)form.CHK鼠标点击.setValue(CheckBox::kChecked);
}

bool InTouchRect(sim::PlanePoint p) {
  return p.x > kRectLeft && p.x < kRectLeft + kRectWidth && p.y > kRectTop &&
         p.y < kRectTop + kRectHeight;
}

// A contact's position relative to the scanner.
sim::PlanePoint PlaneOf(const Contact& contact) {
  return {contact.x - kScannerX, contact.y - kScannerY};
}

// ---------------------------------------------------------------------------------------------
// Scenes

enum class Role { still, moving, tapping, crossing };

struct BenchScene {
  sim::Scene scene;
  std::vector<Role> roles;  // one per object
  int hands = 0;
  // The room's one still thing, for the scenes around it (bench/still_scenes.h).
  std::optional<bench_still::StillThing> stillThing;
};

struct Area {
  double left, top, right, bottom;
};

// Hands in cells of the rectangle, so that they meet only where the scene wants them to: one row
// for up to three hands, two rows above that; hands in pairs share a column (two rows) or two
// neighbouring cells (one row).
BenchScene MakeScene(int hands, double seconds, std::uint32_t seed, double handMm) {
  BenchScene bench;
  bench.hands = hands;
  bench.scene.roomDistanceMm = {7000};
  std::mt19937 random(seed * 7919u + static_cast<std::uint32_t>(hands));
  const auto uniform = [&random](double from, double to) {
    return std::uniform_real_distribution<double>(from, to)(random);
  };
  const int rows = hands <= 3 ? 1 : 2;
  const int columns = (hands + rows - 1) / rows;
  const double margin = handMm / 2 + 15;
  const auto cellOf = [&](int hand) {
    const int column = rows == 1 ? hand : hand / 2;
    const int row = rows == 1 ? 0 : hand % 2;
    const double width = kRectWidth / columns;
    const double height = kRectHeight / rows;
    return Area{kRectLeft + column * width + margin, kRectTop + row * height + margin,
                kRectLeft + (column + 1) * width - margin, kRectTop + (row + 1) * height - margin};
  };
  const auto pointIn = [&](const Area& area) {
    return sim::PlanePoint{uniform(area.left, area.right), uniform(area.top, area.bottom)};
  };
  const auto add = [&](sim::SceneObject object, Role role, double from_s, double to_s) {
    object.diameterMm = handMm;
    object.appear_s = from_s;
    object.disappear_s = to_s;
    bench.scene.objects.push_back(object);
    bench.roles.push_back(role);
  };
  const auto still = [&](const Area& area) {
    sim::SceneObject object;
    object.from = pointIn(area);
    return object;
  };
  const auto moving = [&](const Area& area) {
    sim::SceneObject object;
    object.from = pointIn(area);
    object.to = pointIn(area);
    object.period_s = uniform(2.5, 5);
    return object;
  };
  const auto tapping = [&](const Area& area) {
    // A hand that taps and drifts a little between taps; down long enough to be seen twice at
    // 5.5 turns a second, up long enough for its contact to be removed.
    sim::SceneObject object;
    object.from = pointIn(area);
    const double driftMm = std::min(150.0, (area.right - area.left) / 2);
    object.to = sim::PlanePoint{
        std::clamp(object.from.x + uniform(-driftMm, driftMm), area.left, area.right),
        std::clamp(object.from.y + uniform(-driftMm, driftMm), area.top, area.bottom)};
    object.period_s = uniform(6, 10);
    object.tapDown_s = uniform(0.4, 0.7);
    object.tapPeriod_s = object.tapDown_s + uniform(0.6, 1.0);
    object.tapPhase_s = uniform(0, object.tapPeriod_s);
    return object;
  };

  // Three phases with 0.6 s of absence between them, so that every hand also arrives and leaves.
  const double phase_s = seconds / 3;
  const auto from = [&](int phase) { return phase == 0 ? 0.3 : phase * phase_s + 0.3; };
  const auto to = [&](int phase) { return (phase + 1) * phase_s - 0.3; };
  int hand = 0;
  for (; hand + 1 < hands; hand += 2) {
    const Area a = cellOf(hand);
    const Area b = cellOf(hand + 1);
    const Area pair{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                    std::max(a.bottom, b.bottom)};
    add(still(a), Role::still, from(0), to(0));
    add(tapping(b), Role::tapping, from(0), to(0));
    // Crossing: opposite ways through the pair's area, never nearer than `offset` to each other.
    const double offset = std::min(160.0, (pair.right - pair.left) / 2);
    sim::SceneObject first;
    sim::SceneObject second;
    first.from = {pair.left, pair.top};
    first.to = sim::PlanePoint{pair.right - offset, pair.bottom};
    second.from = {pair.left + offset, pair.bottom};
    second.to = sim::PlanePoint{pair.right, pair.top};
    first.period_s = second.period_s = uniform(4, 8);
    add(first, Role::crossing, from(1), to(1));
    add(second, Role::crossing, from(1), to(1));
    add(tapping(a), Role::tapping, from(2), to(2));
    add(still(b), Role::still, from(2), to(2));
  }
  if (hand < hands) {
    const Area area = cellOf(hand);
    add(still(area), Role::still, from(0), to(0));
    add(moving(area), Role::moving, from(1), to(1));
    add(tapping(area), Role::tapping, from(2), to(2));
  }
  return bench;
}

// Two still hands side by side 150 mm apart (a gap of 90 mm between them), and a hand moving
// back and forth past a still one, 110 mm beside it at its nearest.
BenchScene MakeCloseScene(double seconds, std::uint32_t seed, double handMm) {
  BenchScene bench;
  bench.hands = 4;
  bench.scene.roomDistanceMm = {7000};
  std::mt19937 random(seed * 104729u);
  const auto uniform = [&random](double from, double to) {
    return std::uniform_real_distribution<double>(from, to)(random);
  };
  const auto add = [&](sim::SceneObject object, Role role) {
    object.diameterMm = handMm;
    object.appear_s = 0.3;
    object.disappear_s = seconds - 0.3;
    bench.scene.objects.push_back(object);
    bench.roles.push_back(role);
  };
  const sim::PlanePoint pair{uniform(-650, -350), uniform(-1000, -600)};
  sim::SceneObject left;
  left.from = {pair.x - 75, pair.y};
  sim::SceneObject right;
  right.from = {pair.x + 75, pair.y};
  add(left, Role::still);
  add(right, Role::still);
  const sim::PlanePoint still{uniform(250, 550), uniform(-950, -750)};
  sim::SceneObject standing;
  standing.from = still;
  add(standing, Role::still);
  sim::SceneObject passing;
  passing.from = {still.x + 110, still.y - 300};
  passing.to = sim::PlanePoint{still.x + 110, still.y + 350};
  passing.period_s = uniform(4, 6);
  add(passing, Role::moving);
  return bench;
}

// A hand swiping across the rectangle at 1.4 to 2 m/s, and a still hand away from its way.
BenchScene MakeFastScene(double seconds, std::uint32_t seed, double handMm) {
  BenchScene bench;
  bench.hands = 2;
  bench.scene.roomDistanceMm = {7000};
  std::mt19937 random(seed * 15485863u);
  const auto uniform = [&random](double from, double to) {
    return std::uniform_real_distribution<double>(from, to)(random);
  };
  const double swipeY = uniform(-1150, -850);
  sim::SceneObject swipe;
  swipe.from = {-900, swipeY};
  swipe.to = sim::PlanePoint{900, swipeY + uniform(-100, 100)};
  swipe.period_s = 2 * 1800 / uniform(1400, 2000);
  sim::SceneObject still;
  still.from = {uniform(-700, 700), uniform(-600, -350)};
  for (sim::SceneObject object : {swipe, still}) {
    object.diameterMm = handMm;
    object.appear_s = 0.3;
    object.disappear_s = seconds - 0.3;
    bench.scene.objects.push_back(object);
  }
  bench.roles = {Role::moving, Role::still};
  return bench;
}

// Pairs of fingers, the second arriving some turns after the first (bench/finger_scenes.h).
BenchScene MakeFingerScene(double seconds, std::uint32_t seed, double turnsPerSecond) {
  BenchScene bench;
  bench.scene.roomDistanceMm = {7000};
  bench.scene.objects = bench_scenes::TwoFingers(kTouchArea, seconds, seed, 1 / turnsPerSecond);
  bench.roles.assign(bench.scene.objects.size(), Role::still);
  bench.hands = 2;
  return bench;
}

// ---------------------------------------------------------------------------------------------
// Cases

struct Line {
  const char* name;
  double drop = 0;
  double corrupt = 0;
  double noReturn = 0;
};
const Line kClean{"clean"};
const Line kLost{"lost 1e-3", 1e-3, 0, 0};
const Line kGarbled{"garbled 1e-3", 0, 1e-3, 0};
const Line kNoReturn{"no-return 40%", 0, 0, 0.4};

// The scenes of the table, and two more for the sweep: hands close to each other (two still ones
// 150 mm apart, one moving past a still one 110 mm away) and a fast swipe beside a still hand.
// The rooms' table adds two fingers arriving one after the other.
enum class SceneKind { hands, close, fast, fingers };

struct Case {
  int hands;
  double nodesPerSecond;
  double turnsPerSecond;
  Line line;
  SceneKind kind = SceneKind::hands;
  sim::RoomKind room = sim::RoomKind::plain;
};

struct BenchOptions {
  int seeds = 6;
  double seconds = 30;
  double block_ms = 10;
  double noiseMm = 3;
  double handMm = 60;
  bool quick = false;
  bool sweep = false;
  bool events = false;     // print every ghost and id switch
  bool surface = false;    // two scanners on a wall and four corners instead of the table
  bool roomsOnly = false;  // only the scenes in every room
  bool heldOnly = false;   // only the held hands through the whole program
  bool still = false;      // the scenes around a still thing instead of the table
  // Only the table's cases with these hands, nodes per second and turns per second (0: any).
  int onlyHands = 0;
  double onlyNodesPerSecond = 0;
  double onlyTurnsPerSecond = 0;
};

// ---------------------------------------------------------------------------------------------
// Figures

struct Figures {
  double seconds = 0;
  std::uint64_t turns = 0;
  std::uint64_t visibleObjectTurns = 0;
  std::uint64_t eligibleObjectTurns = 0;  // visible at least the birth turns in a row
  std::uint64_t matchedObjectTurns = 0;
  std::uint64_t unframedObjectTurns = 0;  // eligible in a turn the engine sent no frame for
  std::uint64_t eligibleStillTurns = 0;   // of still hands
  std::uint64_t matchedStillTurns = 0;
  std::uint64_t eligibleMovingTurns = 0;  // of moving and crossing hands
  std::uint64_t matchedMovingTurns = 0;
  std::uint64_t idSwitches = 0;
  std::uint64_t births = 0;
  std::uint64_t ghosts = 0;
  std::uint64_t arrivals = 0;
  std::uint64_t timelyBirths = 0;
  std::uint64_t lateBirths = 0;
  std::uint64_t missedBirths = 0;  // the hand left before any contact was born for it
  std::uint64_t birthTurnsSum = 0;
  int birthTurnsMax = 0;
  std::uint64_t departures = 0;
  std::uint64_t timelyRemovals = 0;
  std::uint64_t lateRemovals = 0;
  std::uint64_t neverRemoved = 0;  // kept beyond kGiveUpTurns or taken over by another hand
  std::uint64_t removalTurnsSum = 0;
  int removalTurnsMax = 0;
  std::uint64_t dropouts = 0;  // contacts removed while their hand was still visible
  std::uint64_t rebirths = 0;  // contacts born for a hand that already had one while there
  std::vector<double> errorsMm;
  std::vector<double> stillErrorsMm;  // of still hands alone
  double radialErrorSum = 0;          // how much farther from the scanner than the hand, summed
  double streamTurns = 0;             // turns the scanner made
  double jitterSquaresX = 0;          // pixels squared, about each contact's mean on a still hand
  double jitterSquaresY = 0;
  std::uint64_t jitterSamples = 0;
  // The single-touch road.
  std::uint64_t clicks = 0;
  std::uint64_t clickedObjectTurns = 0;
  std::uint64_t strayClicks = 0;
  // The engine alone.
  double engineNodesPerSecond = 0;
  // Scenes around a still thing: hand-turns as matchedObjectTurns, split by the hand's distance
  // from it, and contacts and clicks at it that no hand explains (bench/still_scenes.h).
  std::uint64_t eligibleFarTurns = 0;
  std::uint64_t matchedFarTurns = 0;
  std::uint64_t eligibleNearTurns = 0;
  std::uint64_t matchedNearTurns = 0;
  std::uint64_t stillBirths = 0;
  std::uint64_t stillContactTurns = 0;
  std::uint64_t stillClicks = 0;

  void add(const Figures& o) {
    seconds += o.seconds;
    turns += o.turns;
    visibleObjectTurns += o.visibleObjectTurns;
    eligibleObjectTurns += o.eligibleObjectTurns;
    matchedObjectTurns += o.matchedObjectTurns;
    unframedObjectTurns += o.unframedObjectTurns;
    eligibleStillTurns += o.eligibleStillTurns;
    matchedStillTurns += o.matchedStillTurns;
    eligibleMovingTurns += o.eligibleMovingTurns;
    matchedMovingTurns += o.matchedMovingTurns;
    idSwitches += o.idSwitches;
    births += o.births;
    ghosts += o.ghosts;
    arrivals += o.arrivals;
    timelyBirths += o.timelyBirths;
    lateBirths += o.lateBirths;
    missedBirths += o.missedBirths;
    birthTurnsSum += o.birthTurnsSum;
    birthTurnsMax = std::max(birthTurnsMax, o.birthTurnsMax);
    departures += o.departures;
    timelyRemovals += o.timelyRemovals;
    lateRemovals += o.lateRemovals;
    neverRemoved += o.neverRemoved;
    removalTurnsSum += o.removalTurnsSum;
    removalTurnsMax = std::max(removalTurnsMax, o.removalTurnsMax);
    dropouts += o.dropouts;
    rebirths += o.rebirths;
    errorsMm.insert(errorsMm.end(), o.errorsMm.begin(), o.errorsMm.end());
    stillErrorsMm.insert(stillErrorsMm.end(), o.stillErrorsMm.begin(), o.stillErrorsMm.end());
    radialErrorSum += o.radialErrorSum;
    streamTurns += o.streamTurns;
    jitterSquaresX += o.jitterSquaresX;
    jitterSquaresY += o.jitterSquaresY;
    jitterSamples += o.jitterSamples;
    clicks += o.clicks;
    clickedObjectTurns += o.clickedObjectTurns;
    strayClicks += o.strayClicks;
    engineNodesPerSecond = std::max(engineNodesPerSecond, o.engineNodesPerSecond);
    eligibleFarTurns += o.eligibleFarTurns;
    matchedFarTurns += o.matchedFarTurns;
    eligibleNearTurns += o.eligibleNearTurns;
    matchedNearTurns += o.matchedNearTurns;
    stillBirths += o.stillBirths;
    stillContactTurns += o.stillContactTurns;
    stillClicks += o.stillClicks;
  }

  static double Share(std::uint64_t part, std::uint64_t whole) {
    return whole == 0 ? 1 : static_cast<double>(part) / static_cast<double>(whole);
  }
  double matchedShare() const {
    return Share(matchedObjectTurns, eligibleObjectTurns + unframedObjectTurns);
  }
  double perMinute(std::uint64_t count) const {
    return seconds > 0 ? 60.0 * static_cast<double>(count) / seconds : 0;
  }
  double meanBirthTurns() const {
    const auto born = timelyBirths + lateBirths;
    return born == 0 ? 0 : static_cast<double>(birthTurnsSum) / static_cast<double>(born);
  }
  double meanRemovalTurns() const {
    const auto removed = timelyRemovals + lateRemovals;
    return removed == 0 ? 0 : static_cast<double>(removalTurnsSum) / static_cast<double>(removed);
  }
  static double Mean(const std::vector<double>& values) {
    if (values.empty())
      return 0;
    double sum = 0;
    for (const double e : values)
      sum += e;
    return sum / static_cast<double>(values.size());
  }
  double meanError() const { return Mean(errorsMm); }
  double meanStillError() const { return Mean(stillErrorsMm); }
  double meanRadialError() const {
    return errorsMm.empty() ? 0 : radialErrorSum / static_cast<double>(errorsMm.size());
  }
  double framesPerTurn() const {
    return streamTurns > 0 ? static_cast<double>(turns) / streamTurns : 0;
  }
  double p95Error() {
    if (errorsMm.empty())
      return 0;
    const auto at = static_cast<std::ptrdiff_t>(0.95 * static_cast<double>(errorsMm.size() - 1));
    std::nth_element(errorsMm.begin(), errorsMm.begin() + at, errorsMm.end());
    return errorsMm[static_cast<std::size_t>(at)];
  }
  // The larger of the two axes' standard deviations.
  double jitterPixels() const {
    if (jitterSamples == 0)
      return 0;
    return std::sqrt(std::max(jitterSquaresX, jitterSquaresY) / static_cast<double>(jitterSamples));
  }
  double clickedShare() const {
    return visibleObjectTurns == 0
               ? 0
               : static_cast<double>(clickedObjectTurns) / static_cast<double>(visibleObjectTurns);
  }
};

// ---------------------------------------------------------------------------------------------
// The judge: compares every frame of the engine with the scene.

// Hands every decoded node on to the engine, and works out when the scanner measured it: the
// first time, from the last node's on, at which the sweep stood at the node's angle, but never
// after the end of the data received so far. A frame thus knows the time of the data it ends
// with. Keeps a copy of the first nodes for timing the engine alone.
class NodeTee final : public PreciseScanNodeConsumer {
 public:
  NodeTee(PreciseScanNodeConsumer& engine, double turnsPerSecond, std::size_t keep)
      : engine_(engine), turnsPerSecond_(turnsPerSecond), keep_(keep) {}

  void dataReaches(double until_s) { until_s_ = until_s; }
  double lastNode_s() const { return last_s_; }

  void processPreciseNode(const PreciseScanNode& node, std::int16_t sensitivity) override {
    const double share = node.angle / 360;
    // A node a little behind the last one (angle noise) is not a turn later.
    double turn = std::ceil(last_s_ * turnsPerSecond_ - share - 0.02);
    if ((turn + share) / turnsPerSecond_ > until_s_)
      turn = std::floor(until_s_ * turnsPerSecond_ - share);
    last_s_ = std::max(last_s_, (turn + share) / turnsPerSecond_);
    if (nodes.size() < keep_)
      nodes.push_back(node);
    engine_.processPreciseNode(node, sensitivity);
  }

  std::vector<PreciseScanNode> nodes;

 private:
  PreciseScanNodeConsumer& engine_;
  double turnsPerSecond_;
  std::size_t keep_;
  double until_s_ = 0;
  double last_s_ = 0;
};

// Where an object was when the beam last passed it in the data of one frame.
struct ObjectTurn {
  bool swept = false;  // the beam passed it in the frame's data
  bool present = false;
  bool visible = false;
  sim::PlanePoint at;
};

// When the beam passed `object` in turn `turn` (the stream's turn, from 0 at the start of the
// stream): see surface_bench::SweptAt.
std::optional<double> SweptAt(const sim::SceneObject& object, std::int64_t turn,
                              double turnsPerSecond) {
  return surface_bench::SweptAt(object, static_cast<double>(turn) / turnsPerSecond,
                                1 / turnsPerSecond);
}

class Judge final : public TouchFrameSink {
 public:
  Judge(const BenchScene& scene, const NodeTee& tee, double turnsPerSecond,
        const TouchEngineSettings& settings, Figures& figures, bool events)
      : events_(events),
        scene_(scene),
        tee_(tee),
        turnsPerSecond_(turnsPerSecond),
        settings_(settings),
        figures_(figures),
        objects_(scene.scene.objects.size()) {}

  void onTouchFrame(const TouchFrame& frame) override {
    const double end_s = tee_.lastNode_s();
    judge(frame, end_s);
    lastFrame_s_ = end_s;
    frameEnds_.push_back(end_s);
  }

  // Where and whether the objects were when the beam last passed them in [from_s, to_s).
  std::vector<ObjectTurn> truth(double from_s, double to_s) const {
    std::vector<ObjectTurn> result(scene_.scene.objects.size());
    const auto lastTurn = static_cast<std::int64_t>(std::floor(to_s * turnsPerSecond_));
    for (std::size_t o = 0; o < result.size(); ++o) {
      const sim::SceneObject& object = scene_.scene.objects[o];
      std::optional<double> swept_s;
      for (std::int64_t turn = lastTurn; turn >= lastTurn - 1 && !swept_s; --turn) {
        const auto time_s = SweptAt(object, turn, turnsPerSecond_);
        if (time_s && *time_s >= from_s && *time_s < to_s)
          swept_s = time_s;
      }
      ObjectTurn& truth = result[o];
      const double time_s = swept_s.value_or(to_s);
      truth.swept = swept_s.has_value();
      truth.present = object.presentAt(time_s);
      truth.at = object.centreAt(time_s);
      truth.visible = truth.swept && truth.present && InTouchRect(truth.at) &&
                      scene_.scene.visibleShare(o, time_s) >= kVisibleShare;
    }
    return result;
  }

  void finish() {
    // A hand that came in the last turns may yet get its contact.
    for (ObjectState& state : objects_) {
      if (state.awaitingBirth && seenTurns(state) > 2 * settings_.birthTurns)
        ++figures_.missedBirths;
      state.awaitingBirth = false;
    }
    for (auto& [id, contact] : contacts_)
      closeJitter(contact);
  }

  // Hand-turns the engine sent no frame for: a turn of the stream, visible hands in it that had
  // been visible the birth turns in a row, and no frame within half a turn of its end. They count
  // as not matched: a scanner whose turns the engine does not find follows nothing.
  void countUnframedTurns(double seconds) {
    const double turn_s = 1 / turnsPerSecond_;
    std::vector<int> runs(objects_.size(), 0);
    std::size_t frame = 0;
    const auto turns = static_cast<std::int64_t>(seconds * turnsPerSecond_) - 1;
    for (std::int64_t turn = 0; turn < turns; ++turn) {
      const double start_s = static_cast<double>(turn) * turn_s;
      const double end_s = start_s + turn_s;
      while (frame < frameEnds_.size() && frameEnds_[frame] < end_s - turn_s / 2)
        ++frame;
      const bool framed = frame < frameEnds_.size() && frameEnds_[frame] < end_s + turn_s / 2;
      frame += framed ? 1 : 0;
      const std::vector<ObjectTurn> now = truth(start_s, end_s);
      for (std::size_t o = 0; o < now.size(); ++o) {
        runs[o] = now[o].visible ? runs[o] + 1 : 0;
        if (!framed && runs[o] >= settings_.birthTurns)
          ++figures_.unframedObjectTurns;
      }
    }
  }

 private:
  static constexpr std::int64_t kNotSeen = -1;

  struct ObjectState {
    bool wasPresent = false;
    int visibleRun = 0;  // frames in a row in which it was visible
    bool awaitingBirth = false;
    std::int64_t arrivalFrame = 0;     // the first of the frames in a row in which it was visible
    std::optional<SessionId> contact;  // the contact that followed it in its last frame
    bool followed = false;             // a contact followed it since it came
  };
  struct ContactState {
    int owner = -1;  // the object it follows
    double owned_s = 0;
    // Screen positions while it follows a still hand.
    std::vector<std::pair<double, double>> stillPixels;
  };
  struct PendingRemoval {
    SessionId contact;
    std::int64_t departureFrame;
    std::size_t object;
  };

  void judge(const TouchFrame& frame, double end_s) {
    ++figures_.turns;
    ++frameIndex_;
    frameEnd_s_ = end_s;
    const std::vector<ObjectTurn> now = truth(lastFrame_s_, end_s);
    history_.push_back(now);
    while (history_.size() > static_cast<std::size_t>(settings_.birthTurns + 1))
      history_.pop_front();

    noteArrivalsAndDepartures(frame, now);
    judgeBirths(frame, now);
    judgeRemovals(frame, now);
    judgeFollowing(frame, now, end_s);
  }

  void noteArrivalsAndDepartures(const TouchFrame& frame, const std::vector<ObjectTurn>& now) {
    for (std::size_t o = 0; o < objects_.size(); ++o) {
      if (!now[o].swept)
        continue;  // nothing new about it in this frame
      ObjectState& state = objects_[o];
      if (now[o].present && !state.wasPresent) {
        ++figures_.arrivals;
        state.awaitingBirth = true;
        state.arrivalFrame = kNotSeen;
      }
      // A birth is due after the turns in a row in which the hand could be seen: in another
      // hand's shadow it starts again.
      if (state.awaitingBirth && now[o].present) {
        if (!now[o].visible)
          state.arrivalFrame = kNotSeen;
        else if (state.arrivalFrame == kNotSeen)
          state.arrivalFrame = frameIndex_;
      }
      if (!now[o].present && state.wasPresent) {
        // A hand seen in fewer turns than a birth takes was never meant to get a contact.
        if (state.awaitingBirth && seenTurns(state) >= settings_.birthTurns) {
          ++figures_.missedBirths;
          if (events_)
            printEvent("no birth for a hand that left", frame, now, 0, static_cast<int>(o), -1);
        }
        state.awaitingBirth = false;
        if (state.contact) {
          ++figures_.departures;
          removals_.push_back(PendingRemoval{*state.contact, frameIndex_, o});
        }
      }
      if (!now[o].present) {
        state.contact.reset();
        state.followed = false;
      }
      state.wasPresent = now[o].present;
      state.visibleRun = now[o].visible ? state.visibleRun + 1 : 0;
    }
  }

  // Frames since a hand awaiting its contact became visible, the present one not counted.
  std::int64_t seenTurns(const ObjectState& state) const {
    return state.arrivalFrame == kNotSeen ? 0 : frameIndex_ - state.arrivalFrame;
  }

  void judgeBirths(const TouchFrame& frame, const std::vector<ObjectTurn>& now) {
    for (const SessionId id : frame.born) {
      const auto contact = std::find_if(frame.live.begin(), frame.live.end(),
                                        [id](const Contact& c) { return c.sessionId == id; });
      if (contact == frame.live.end())
        continue;
      ++figures_.births;
      const sim::PlanePoint at = PlaneOf(*contact);
      // A ghost is far from every object there in the frames that made it.
      double nearest = 1e18;
      for (const std::vector<ObjectTurn>& past : history_) {
        for (const ObjectTurn& object : past) {
          if (object.present)
            nearest = std::min(nearest, Distance(at, object.at));
        }
      }
      if (nearest > kGhostMm) {
        ++figures_.ghosts;
        if (atStillThing(at))
          ++figures_.stillBirths;
        if (events_)
          printEvent("ghost", frame, now, id, -1, -1);
      }
      const auto [o, distance] = Nearest(at, now);
      if (o >= 0 && distance <= kGhostMm && !objects_[o].awaitingBirth && objects_[o].followed) {
        ++figures_.rebirths;
        if (events_)
          printEvent("contact born again", frame, now, id, -1, -1);
      }
      if (o < 0 || distance > kMatchMm || !objects_[o].awaitingBirth)
        continue;
      ObjectState& state = objects_[o];
      state.awaitingBirth = false;
      if (state.arrivalFrame == kNotSeen)
        continue;  // born from the part of it out of the shadow
      const int turns = static_cast<int>(frameIndex_ - state.arrivalFrame + 1);
      figures_.birthTurnsSum += turns;
      figures_.birthTurnsMax = std::max(figures_.birthTurnsMax, turns);
      if (turns <= settings_.birthTurns) {
        ++figures_.timelyBirths;
      } else {
        ++figures_.lateBirths;
        if (events_)
          printEvent(("birth after " + std::to_string(turns) + " turns").c_str(), frame, now, id,
                     -1, -1);
      }
    }
  }

  void judgeRemovals(const TouchFrame& frame, const std::vector<ObjectTurn>& now) {
    for (const Contact& removed : frame.removed) {
      auto state = contacts_.find(removed.sessionId);
      if (state != contacts_.end()) {
        const int owner = state->second.owner;
        if (owner >= 0 && now[owner].visible && objects_[owner].visibleRun > 1)
          ++figures_.dropouts;
        closeJitter(state->second);
        contacts_.erase(state);
      }
      const auto pending =
          std::find_if(removals_.begin(), removals_.end(),
                       [&](const PendingRemoval& p) { return p.contact == removed.sessionId; });
      if (pending == removals_.end())
        continue;
      const int turns = static_cast<int>(frameIndex_ - pending->departureFrame + 1);
      figures_.removalTurnsSum += turns;
      figures_.removalTurnsMax = std::max(figures_.removalTurnsMax, turns);
      if (turns <= settings_.removalTurns) {
        ++figures_.timelyRemovals;
      } else {
        ++figures_.lateRemovals;
        if (events_)
          printEvent(("removal after " + std::to_string(turns) + " turns").c_str(), frame, now,
                     removed.sessionId, -1, -1);
      }
      removals_.erase(pending);
    }
    // A contact that outlives its hand by far, or goes on to follow another, was never removed.
    std::erase_if(removals_, [&](const PendingRemoval& p) {
      const auto state = contacts_.find(p.contact);
      const bool takenOver = state != contacts_.end() && state->second.owner >= 0 &&
                             static_cast<std::size_t>(state->second.owner) != p.object;
      if (takenOver || frameIndex_ - p.departureFrame > kGiveUpTurns) {
        ++figures_.neverRemoved;
        if (events_) {
          printEvent(takenOver ? "contact of a hand that left follows another"
                               : "contact of a hand that left never removed",
                     frame, now, p.contact, static_cast<int>(p.object), -1);
        }
        return true;
      }
      return false;
    });
  }

  void judgeFollowing(const TouchFrame& frame, const std::vector<ObjectTurn>& now, double end_s) {
    // Each contact's nearest object.
    std::vector<std::pair<int, double>> nearestOf;
    nearestOf.reserve(frame.live.size());
    for (const Contact& contact : frame.live)
      nearestOf.push_back(Nearest(PlaneOf(contact), now));

    for (std::size_t o = 0; o < objects_.size(); ++o) {
      if (!now[o].visible)
        continue;
      ++figures_.visibleObjectTurns;
      if (objects_[o].visibleRun < settings_.birthTurns)
        continue;
      ++figures_.eligibleObjectTurns;
      double nearest = 1e18;
      double ownNearest = 1e18;  // of the contacts whose nearest object this is
      std::optional<sim::PlanePoint> own;
      for (std::size_t c = 0; c < frame.live.size(); ++c) {
        const double d = Distance(PlaneOf(frame.live[c]), now[o].at);
        nearest = std::min(nearest, d);
        if (nearestOf[c].first == static_cast<int>(o) && d < ownNearest) {
          ownNearest = d;
          own = PlaneOf(frame.live[c]);
        }
      }
      const bool matched = nearest <= kMatchMm;
      figures_.matchedObjectTurns += matched ? 1 : 0;
      if (scene_.stillThing) {
        const double gap =
            scene_.stillThing->gapMm(now[o].at) - scene_.scene.objects[o].diameterMm / 2;
        const bool far = gap >= bench_still::kFarMm;
        ++(far ? figures_.eligibleFarTurns : figures_.eligibleNearTurns);
        (far ? figures_.matchedFarTurns : figures_.matchedNearTurns) += matched ? 1 : 0;
      }
      switch (scene_.roles[o]) {
        case Role::still:
          ++figures_.eligibleStillTurns;
          figures_.matchedStillTurns += matched ? 1 : 0;
          break;
        case Role::moving:
        case Role::crossing:
          ++figures_.eligibleMovingTurns;
          figures_.matchedMovingTurns += matched ? 1 : 0;
          break;
        case Role::tapping:
          break;
      }
      if (own) {
        figures_.errorsMm.push_back(ownNearest);
        if (scene_.roles[o] == Role::still)
          figures_.stillErrorsMm.push_back(ownNearest);
        figures_.radialErrorSum +=
            std::hypot(own->x, own->y) - std::hypot(now[o].at.x, now[o].at.y);
      }
      // A hand seen long enough that has a contact it did not get born counts as born at once.
      if (objects_[o].awaitingBirth && nearest <= kMatchMm)
        objects_[o].awaitingBirth = false;
    }

    for (std::size_t o = 0; o < objects_.size(); ++o) {
      if (now[o].swept)
        objects_[o].contact.reset();
    }
    for (const Contact& contact : frame.live) {
      if (atStillThing(PlaneOf(contact)) && !explained(PlaneOf(contact)))
        ++figures_.stillContactTurns;
    }
    for (std::size_t c = 0; c < frame.live.size(); ++c) {
      const Contact& contact = frame.live[c];
      const auto [o, distance] = nearestOf[c];
      if (o < 0 || distance > kMatchMm)
        continue;
      ContactState& state = contacts_[contact.sessionId];
      if (state.owner >= 0 && state.owner != o) {
        if (now[state.owner].present && stayedApart(state.owner, o, state.owned_s, end_s)) {
          ++figures_.idSwitches;
          if (events_)
            printEvent("id switch", frame, now, contact.sessionId, state.owner, o);
        }
        closeJitter(state);
      }
      state.owner = o;
      state.owned_s = end_s;
      objects_[o].contact = contact.sessionId;
      objects_[o].followed = true;
      if (scene_.roles[o] == Role::still && now[o].visible)
        state.stillPixels.emplace_back(contact.screen.x, contact.screen.y);
    }
  }

  // One line for a ghost or an id switch: the contact, the hands there and every contact.
  void printEvent(const char* what, const TouchFrame& frame, const std::vector<ObjectTurn>& now,
                  SessionId id, int from, int to) const {
    std::printf("  %s at %.3f s: ", what, frameEnd_s_);
    if (to >= 0)
      std::printf("contact %llu from hand %d to hand %d", static_cast<unsigned long long>(id), from,
                  to);
    else if (from >= 0 && id != 0)
      std::printf("contact %llu of hand %d", static_cast<unsigned long long>(id), from);
    else if (from >= 0)
      std::printf("hand %d", from);
    else
      std::printf("contact %llu", static_cast<unsigned long long>(id));
    std::printf("; hands:");
    for (std::size_t o = 0; o < now.size(); ++o) {
      if (now[o].present)
        std::printf(" %zu(%.0f,%.0f%s)", o, now[o].at.x, now[o].at.y,
                    now[o].visible ? "" : " hidden");
    }
    std::printf("; contacts:");
    for (const Contact& contact : frame.live)
      std::printf(" %llu(%.0f,%.0f)", static_cast<unsigned long long>(contact.sessionId),
                  PlaneOf(contact).x, PlaneOf(contact).y);
    std::printf("\n");
  }

  // Within kStillMm of where the scene's still thing's echoes land.
  bool atStillThing(sim::PlanePoint at) const {
    return scene_.stillThing && scene_.stillThing->echoGapMm(at) <= bench_still::kStillMm;
  }

  // A hand was there, within kGhostMm, in the frames that made this one.
  bool explained(sim::PlanePoint at) const {
    for (const std::vector<ObjectTurn>& past : history_) {
      for (const ObjectTurn& object : past) {
        if (object.present && Distance(at, object.at) <= kGhostMm)
          return true;
      }
    }
    return false;
  }

  bool stayedApart(int a, int b, double from_s, double to_s) const {
    return StayedApart(scene_.scene.objects, a, b, from_s, to_s, 0.5 / turnsPerSecond_, kApartMm);
  }

  void closeJitter(ContactState& state) {
    const auto& pixels = state.stillPixels;
    if (pixels.size() >= 2) {
      double meanX = 0;
      double meanY = 0;
      for (const auto& [x, y] : pixels) {
        meanX += x;
        meanY += y;
      }
      meanX /= static_cast<double>(pixels.size());
      meanY /= static_cast<double>(pixels.size());
      for (const auto& [x, y] : pixels) {
        figures_.jitterSquaresX += (x - meanX) * (x - meanX);
        figures_.jitterSquaresY += (y - meanY) * (y - meanY);
      }
      figures_.jitterSamples += pixels.size();
    }
    state.stillPixels.clear();
  }

  bool events_;
  const BenchScene& scene_;
  const NodeTee& tee_;
  double turnsPerSecond_;
  TouchEngineSettings settings_;
  Figures& figures_;
  std::vector<ObjectState> objects_;
  std::map<SessionId, ContactState> contacts_;
  std::vector<PendingRemoval> removals_;
  std::deque<std::vector<ObjectTurn>> history_;
  std::vector<double> frameEnds_;
  std::int64_t frameIndex_ = 0;
  double lastFrame_s_ = 0;
  double frameEnd_s_ = 0;
};

// Nodes per second through the engine alone, on one core.
double TimeEngine(MainForm& form, const TouchEngineSettings& settings,
                  const std::vector<PreciseScanNode>& nodes) {
  if (nodes.empty())
    return 0;
  VirtualEventLoop loop;
  TouchEngine engine(EngineControls{form.Shape1, form.SHPWIN, form.TXT屏幕宽高, form.TXT屏幕左上角},
                     loop);
  engine.configure(settings);
  engine.setRunning(true);
  std::uint64_t fed = 0;
  const BenchClock::time_point start = BenchClock::now();
  double elapsed_s = 0;
  do {
    for (const PreciseScanNode& node : nodes)
      engine.processPreciseNode(node, 2);
    fed += nodes.size();
    elapsed_s = std::chrono::duration<double>(BenchClock::now() - start).count();
  } while (elapsed_s < 0.25);
  return static_cast<double>(fed) / elapsed_s;
}

struct Click {
  double time_s;
  sim::PlanePoint at;
};

// Whether hands explain a click after all: one there at its very time, or two there in the
// `window_s` before it on either side of it (the single-touch road's run over both, with nothing
// between them, clicks halfway).
bool BetweenHands(const BenchScene& scene, const Click& click, double window_s) {
  for (const sim::SceneObject& object : scene.scene.objects) {
    if (object.presentAt(click.time_s) &&
        Distance(click.at, object.centreAt(click.time_s)) <= kGhostMm)
      return true;
  }
  std::vector<const sim::SceneObject*> about;  // those there at some time of the window
  for (const sim::SceneObject& object : scene.scene.objects) {
    if (object.appear_s <= click.time_s && object.disappear_s > click.time_s - window_s)
      about.push_back(&object);
  }
  for (std::size_t a = 0; a < about.size(); ++a) {
    for (std::size_t b = a + 1; b < about.size(); ++b) {
      for (double t = click.time_s - window_s; t <= click.time_s + 1e-9; t += 0.005) {
        if (!about[a]->presentAt(t) || !about[b]->presentAt(t))
          continue;
        const sim::PlanePoint one = about[a]->centreAt(t);
        const sim::PlanePoint other = about[b]->centreAt(t);
        if (Distance(click.at, sim::PlanePoint{(one.x + other.x) / 2, (one.y + other.y) / 2}) <=
            kGhostMm)
          return true;
      }
    }
  }
  return false;
}

// How the single-touch road did: clicks near visible hands, and clicks near none.
void JudgeClicks(const Judge& judge, const BenchScene& scene, const std::vector<Click>& clicks,
                 double turnsPerSecond, double seconds, double window_s, Figures& figures) {
  figures.clicks += clicks.size();
  const auto turns = static_cast<std::int64_t>(seconds * turnsPerSecond) - 1;
  for (std::int64_t turn = 0; turn < turns; ++turn) {
    const double start_s = static_cast<double>(turn) / turnsPerSecond;
    const std::vector<ObjectTurn> now = judge.truth(start_s, start_s + 1 / turnsPerSecond);
    for (std::size_t o = 0; o < now.size(); ++o) {
      if (!now[o].visible)
        continue;
      const double swept_s = *SweptAt(scene.scene.objects[o], turn, turnsPerSecond);
      auto click = std::lower_bound(clicks.begin(), clicks.end(), swept_s,
                                    [](const Click& c, double t) { return c.time_s < t; });
      for (; click != clicks.end() && click->time_s <= swept_s + window_s; ++click) {
        if (Distance(click->at, now[o].at) <= kMatchMm) {
          ++figures.clickedObjectTurns;
          break;
        }
      }
    }
  }
  for (const Click& click : clicks) {
    double nearest = 1e18;
    for (double t = click.time_s - window_s; t <= click.time_s; t += 0.005) {
      for (const sim::SceneObject& object : scene.scene.objects) {
        if (object.presentAt(t))
          nearest = std::min(nearest, Distance(click.at, object.centreAt(t)));
      }
    }
    if (nearest > kGhostMm) {
      ++figures.strayClicks;
      if (scene.stillThing && scene.stillThing->echoGapMm(click.at) <= bench_still::kStillMm &&
          !BetweenHands(scene, click, window_s))
        ++figures.stillClicks;
    }
  }
}

sim::StreamSettings StreamOf(const Case& c, std::uint32_t seed, const BenchOptions& options) {
  sim::StreamSettings stream;
  stream.nodesPerSecond = c.nodesPerSecond;
  stream.revolutionsPerSecond = c.turnsPerSecond;
  stream.angleJitterDegrees = 0.05;
  stream.distanceNoiseMm = options.noiseMm;
  stream.noReturnShare = c.line.noReturn;
  stream.seed = seed;
  return stream;
}

// Runs `scene` through the road, the first scanner's learned `background` (if any) on the engine
// and the single-touch road, and judges it.
Figures RunScene(const Case& c, const BenchScene& scene, std::uint32_t seed,
                 const BenchOptions& options, const TouchEngineSettings& settings, bool timeEngine,
                 const std::optional<LearnedBackground>& background = std::nullopt) {
  Figures figures;
  testing::RecordingDesktopInput desktop;
  examples::InMemorySettings settingsFile;
  VirtualEventLoop loop;
  MainForm form(loop, desktop, settingsFile.file);
  Calibrate(form);
  TouchEngine& engine = form.engine();
  engine.configure(settings);
  form.runEngine(true);
  if (background) {
    engine.setBackground(0, background);
    form.decoder().setBackground(background);
  }
  // Between the decoder and the engine: the time of each node, and nodes for timing the engine.
  NodeTee tee(engine, c.turnsPerSecond, timeEngine ? 2'000'000 : 0);
  form.decoder().setPreciseConsumer(&tee);
  Judge judge(scene, tee, c.turnsPerSecond, settings, figures, options.events);
  engine.addSink(judge);

  sim::NodeStream nodes(scene.scene, StreamOf(c, seed, options));
  sim::LossyLine line(c.line.drop, c.line.corrupt, seed * 7919u + 1);
  std::mt19937 random(seed);
  // Blocks break anywhere, not only between nodes: part of each waits for the next.
  std::uniform_int_distribution<std::size_t> heldBack(0, 40);

  form.decoder().feed(sim::kScanDescriptor);
  std::vector<Click> clicks;
  std::vector<std::uint8_t> sent;
  std::vector<std::uint8_t> received;
  const double block_s = options.block_ms / 1000;
  while (nodes.time_s() < options.seconds) {
    sent.clear();
    nodes.appendSeconds(sent, block_s);
    const double arrived_s = nodes.time_s();
    tee.dataReaches(arrived_s);
    const std::vector<std::uint8_t> arrived = line.pass(sent);
    received.insert(received.end(), arrived.begin(), arrived.end());
    const std::size_t blockSize = received.size() - std::min(received.size(), heldBack(random));
    loop.advance(std::llround(arrived_s * 1000) - loop.nowMs());
    desktop.actions.clear();
    form.decoder().feed(std::span(received).first(blockSize));
    received.erase(received.begin(), received.begin() + static_cast<std::ptrdiff_t>(blockSize));
    for (const auto& action : desktop.actions) {
      if (action.kind != testing::RecordingDesktopInput::Action::Kind::click)
        continue;
      clicks.push_back(Click{arrived_s, sim::PlanePoint{action.at.x / kPixelsPerMm + kRectLeft,
                                                        action.at.y / kPixelsPerMm + kRectTop}});
    }
  }
  judge.finish();
  judge.countUnframedTurns(options.seconds);
  figures.seconds = nodes.time_s();
  figures.streamTurns = nodes.time_s() * c.turnsPerSecond;
  JudgeClicks(judge, scene, clicks, c.turnsPerSecond, options.seconds,
              2 * block_s + 1 / c.turnsPerSecond, figures);
  if (timeEngine)
    figures.engineNodesPerSecond = TimeEngine(form, settings, tee.nodes);
  return figures;
}

Figures RunCase(const Case& c, std::uint32_t seed, const BenchOptions& options,
                const TouchEngineSettings& settings, bool timeEngine) {
  BenchScene scene =
      c.kind == SceneKind::close     ? MakeCloseScene(options.seconds, seed, options.handMm)
      : c.kind == SceneKind::fast    ? MakeFastScene(options.seconds, seed, options.handMm)
      : c.kind == SceneKind::fingers ? MakeFingerScene(options.seconds, seed, c.turnsPerSecond)
                                     : MakeScene(c.hands, options.seconds, seed, options.handMm);
  sim::FurnishRoom(scene.scene, c.room, kTouchArea);
  return RunScene(c, scene, seed, options, settings, timeEngine);
}

Figures RunSeeds(const Case& c, const BenchOptions& options, const TouchEngineSettings& settings,
                 bool timeEngine) {
  Figures total;
  for (int seed = 1; seed <= options.seeds; ++seed) {
    total.add(
        RunCase(c, static_cast<std::uint32_t>(seed), options, settings, timeEngine && seed == 1));
  }
  return total;
}

// ---------------------------------------------------------------------------------------------
// Output

void PrintLegend(const BenchOptions& options, const TouchEngineSettings& settings) {
  std::printf(
      "touch_bench: %d seeds x %.0f s per case, blocks of %.0f ms, hands %.0f mm, distance noise "
      "%.1f mm sd, angle jitter 0.05 deg\n",
      options.seeds, options.seconds, options.block_ms, options.handMm, options.noiseMm);
  std::printf("engine: birth %d turns, removal %d turns, gap %.0f mm, gate %.0f mm, smoothing %s\n",
              settings.birthTurns, settings.removalTurns, settings.gapMm, settings.gateMm,
              settings.smoothing ? "on" : "off");
  std::printf(
      "match%%   visible hand-turns (seen >= birth turns in a row) with a contact within %.0f mm "
      "(in turns the\n         engine sent no frame for, none);\n"
      "         still, moving: the same for still hands, and for moving and crossing ones\n"
      "idsw     a contact following one hand then another, the two >= %.0f mm apart meanwhile\n"
      "ghost/m  contacts born > %.0f mm from every hand, per minute\n"
      "birth    turns from a hand's arrival to its contact's birth, the arrival turn counted: "
      "mean/max, share within the setting\n"
      "removal  turns from a hand's departure to its contact's removal, the same way\n"
      "err      distance from a visible hand to its nearest contact, mm: mean and 95th "
      "percentile; still: mean of still hands;\n"
      "         rad: mean of how much farther from the scanner the contact is than the hand's "
      "centre\n"
      "jit px   still hands: standard deviation of the contact's pixel, the larger axis\n"
      "fr/t     frames the engine sent per turn of the scanner\n"
      "Mn/s     million nodes per second through the engine alone (first seed's nodes)\n"
      "road     single-touch road: visible hand-turns with a click within %.0f mm, "
      "stray clicks (> %.0f mm) per minute\n",
      kMatchMm, kApartMm, kGhostMm, kMatchMm, kGhostMm);
  std::printf(
      "goals    clean: match >= 99.5%%, idsw 0, ghosts 0, still err <= 5 mm; garbled: <= 0.1 "
      "ghost/min; births and removals within the setting; jitter < 1 px; engine >= 5 Mn/s\n\n");
}

void PrintHeader() {
  std::printf(
      "%5s %6s %5s %-13s | %6s %6s %6s %4s %7s | %-15s %-15s | %5s %5s %5s %5s | %6s | %5s %5s | "
      "%5s %7s | %s\n",
      "hands", "nodes", "tps", "line", "match%", "still", "moving", "idsw", "ghost/m", "birth",
      "removal", "err", "p95", "still", "rad", "jit px", "fr/t", "Mn/s", "road%", "stray/m",
      "missed goals");
}

std::string MissedGoals(const Case& c, Figures& f, const TouchEngineSettings& settings) {
  std::string missed;
  const auto miss = [&missed](const char* goal) {
    if (!missed.empty())
      missed += ',';
    missed += goal;
  };
  if (c.line.name == kClean.name) {
    if (f.matchedShare() < 0.995)
      miss("match");
    if (f.idSwitches > 0)
      miss("idsw");
    if (f.ghosts > 0)
      miss("ghost");
    if (f.meanStillError() > 5)
      miss("err");
  }
  if (c.line.name == kGarbled.name && f.perMinute(f.ghosts) > 0.1)
    miss("ghost");
  if (f.birthTurnsMax > settings.birthTurns || f.missedBirths > 0)
    miss("birth");
  if (f.removalTurnsMax > settings.removalTurns || f.neverRemoved > 0)
    miss("removal");
  if (f.jitterPixels() >= 1)
    miss("jitter");
  if (f.engineNodesPerSecond > 0 && f.engineNodesPerSecond < 5e6)
    miss("speed");
  return missed;
}

void PrintRow(const Case& c, Figures& f, const TouchEngineSettings& settings) {
  char birth[32];
  char removal[32];
  const auto born = f.timelyBirths + f.lateBirths;
  const auto removed = f.timelyRemovals + f.lateRemovals;
  std::snprintf(birth, sizeof birth, "%.2f/%d %5.1f%%", f.meanBirthTurns(), f.birthTurnsMax,
                100.0 * static_cast<double>(f.timelyBirths) /
                    static_cast<double>(std::max<std::uint64_t>(born + f.missedBirths, 1)));
  std::snprintf(removal, sizeof removal, "%.2f/%d %5.1f%%", f.meanRemovalTurns(), f.removalTurnsMax,
                100.0 * static_cast<double>(f.timelyRemovals) /
                    static_cast<double>(std::max<std::uint64_t>(removed + f.neverRemoved, 1)));
  const double meanError = f.meanError();
  const double p95 = f.p95Error();
  std::printf(
      "%5d %6.0f %5.1f %-13s | %6.2f %6.2f %6.2f %4llu %7.2f | %-15s %-15s | %5.1f %5.1f %5.1f "
      "%5.1f | %6.2f | %5.2f %5.1f | %5.1f %7.1f | %s\n",
      c.hands, c.nodesPerSecond, c.turnsPerSecond, c.line.name, 100 * f.matchedShare(),
      100 * Figures::Share(f.matchedStillTurns, f.eligibleStillTurns),
      100 * Figures::Share(f.matchedMovingTurns, f.eligibleMovingTurns),
      static_cast<unsigned long long>(f.idSwitches), f.perMinute(f.ghosts), birth, removal,
      meanError, p95, f.meanStillError(), f.meanRadialError(), f.jitterPixels(), f.framesPerTurn(),
      f.engineNodesPerSecond / 1e6, 100 * f.clickedShare(), f.perMinute(f.strayClicks),
      MissedGoals(c, f, settings).c_str());
  std::fflush(stdout);
}

// What the main table runs. Every hand count, rate and turn rate on a clean line; the damaged
// lines on fewer combinations, every hand count and every rate still among them.
std::vector<Case> TableCases(bool quick) {
  std::vector<Case> cases;
  const int hands[] = {1, 2, 5, 10};
  const double rates[] = {2000, 8000, 16000, 32000};
  const double turnRates[] = {5.5, 10, 15};
  if (quick) {
    for (const int h : hands)
      cases.push_back(Case{h, 8000, 10, kClean});
    cases.push_back(Case{5, 2000, 5.5, kClean});
    cases.push_back(Case{5, 16000, 15, kClean});
    cases.push_back(Case{5, 32000, 10, kClean});
    for (const Line& line : {kLost, kGarbled, kNoReturn})
      cases.push_back(Case{5, 8000, 10, line});
    return cases;
  }
  for (const int h : hands) {
    for (const double rate : rates) {
      for (const double tps : turnRates)
        cases.push_back(Case{h, rate, tps, kClean});
    }
  }
  for (const Line& line : {kLost, kGarbled, kNoReturn}) {
    for (const int h : hands) {
      cases.push_back(Case{h, 2000, 5.5, line});
      cases.push_back(Case{h, 8000, 10, line});
      cases.push_back(Case{h, 16000, 15, line});
      cases.push_back(Case{h, 32000, 10, line});
    }
  }
  return cases;
}

void RunTable(const BenchOptions& options) {
  const TouchEngineSettings settings;
  PrintLegend(options, settings);
  PrintHeader();
  for (const Case& c : TableCases(options.quick)) {
    if ((options.onlyHands != 0 && c.hands != options.onlyHands) ||
        (options.onlyNodesPerSecond != 0 && c.nodesPerSecond != options.onlyNodesPerSecond) ||
        (options.onlyTurnsPerSecond != 0 && c.turnsPerSecond != options.onlyTurnsPerSecond))
      continue;
    Figures figures = RunSeeds(c, options, settings, true);
    PrintRow(c, figures, settings);
  }
}

void RunSweep(const BenchOptions& options) {
  const std::vector<Case> handCases{
      {2, 8000, 10, kClean},  {10, 8000, 10, kClean},    {10, 32000, 15, kClean},
      {5, 2000, 5.5, kClean}, {10, 16000, 10, kGarbled},
  };
  const std::vector<Case> closeCases{
      {4, 8000, 10, kClean, SceneKind::close},
      {4, 2000, 5.5, kClean, SceneKind::close},
  };
  const std::vector<Case> fastCases{
      {2, 8000, 10, kClean, SceneKind::fast},
      {2, 16000, 5.5, kClean, SceneKind::fast},
  };
  PrintLegend(options, TouchEngineSettings{});
  std::printf(
      "sweep: each setting on these cases, figures summed over them\n"
      "  hands: the scenes of the table with 2 hands at 8000/10, 10 at 8000/10, 10 at 32000/15,\n"
      "         5 at 2000/5.5 (nodes/s / turns/s), clean; garbled: 10 hands at 16000/10\n"
      "  close: two still hands 150 mm apart, a hand passing 110 mm beside a still one; "
      "8000/10 and 2000/5.5\n"
      "  fast:  a hand swiping at 1.4 to 2 m/s beside a still one; 8000/10 and 16000/5.5\n"
      "  reborn: contacts born for a hand that already had one and never left\n\n");
  std::printf("%4s %4s %6s | %6s %6s %6s %4s %7s %5s %5s %6s | %7s | %6s %4s %6s | %6s %6s\n",
              "gap", "gate", "smooth", "match%", "still", "moving", "idsw", "ghost/m", "err", "p95",
              "jit px", "garb/m", "close%", "idsw", "reborn", "fast%", "reborn");
  const auto run = [&](const std::vector<Case>& cases, const TouchEngineSettings& settings) {
    Figures total;
    for (const Case& c : cases)
      total.add(RunSeeds(c, options, settings, false));
    return total;
  };
  for (const double gap : {60.0, 100.0, 150.0}) {
    for (const double gate : {120.0, 250.0, 400.0}) {
      for (const bool smoothing : {true, false}) {
        TouchEngineSettings settings;
        settings.gapMm = gap;
        settings.gateMm = gate;
        settings.smoothing = smoothing;
        Figures hands = run({handCases.begin(), handCases.end() - 1}, settings);
        const Figures garbled = run({handCases.back()}, settings);
        const Figures close = run(closeCases, settings);
        const Figures fast = run(fastCases, settings);
        const double meanError = hands.meanError();
        const double p95 = hands.p95Error();
        std::printf(
            "%4.0f %4.0f %6s | %6.2f %6.2f %6.2f %4llu %7.2f %5.1f %5.1f %6.2f | %7.2f | %6.2f "
            "%4llu %6llu | %6.2f %6llu\n",
            gap, gate, smoothing ? "on" : "off", 100 * hands.matchedShare(),
            100 * Figures::Share(hands.matchedStillTurns, hands.eligibleStillTurns),
            100 * Figures::Share(hands.matchedMovingTurns, hands.eligibleMovingTurns),
            static_cast<unsigned long long>(hands.idSwitches), hands.perMinute(hands.ghosts),
            meanError, p95, hands.jitterPixels(), garbled.perMinute(garbled.ghosts),
            100 * close.matchedShare(), static_cast<unsigned long long>(close.idSwitches),
            static_cast<unsigned long long>(close.rebirths), 100 * fast.matchedShare(),
            static_cast<unsigned long long>(fast.rebirths));
        std::fflush(stdout);
      }
    }
  }
}

// Every scene of the table (hands 1 to 10, close, fast) and two fingers, in every room, at 8000
// nodes/s and 10 turns/s; each also on a garbled line for its ghosts.
void RunRooms(const BenchOptions& options) {
  const TouchEngineSettings settings;
  const auto run = [&](sim::RoomKind room, bench_rooms::TableScene scene) {
    Figures clean;
    Figures garbled;
    for (const Line* line : {&kClean, &kGarbled}) {
      const auto add = [&](Case c) {
        c.line = *line;
        c.room = room;
        (line == &kClean ? clean : garbled).add(RunSeeds(c, options, settings, false));
      };
      switch (scene) {
        case bench_rooms::TableScene::hands:
          for (const int hands : {1, 2, 5, 10})
            add(Case{hands, 8000, 10, kClean});
          break;
        case bench_rooms::TableScene::close:
          add(Case{4, 8000, 10, kClean, SceneKind::close});
          break;
        case bench_rooms::TableScene::fast:
          add(Case{2, 8000, 10, kClean, SceneKind::fast});
          break;
        case bench_rooms::TableScene::fingers:
          add(Case{2, 8000, 10, kClean, SceneKind::fingers});
          break;
      }
    }
    bench_rooms::TableFigures f;
    f.matchedShare = clean.matchedShare();
    f.idSwitches = clean.idSwitches;
    f.ghostsPerMinute = clean.perMinute(clean.ghosts);
    f.garbledGhostsPerMinute = garbled.perMinute(garbled.ghosts);
    f.meanBirthTurns = clean.meanBirthTurns();
    f.maxBirthTurns = clean.birthTurnsMax;
    f.missedBirths = clean.missedBirths;
    f.meanRemovalTurns = clean.meanRemovalTurns();
    f.maxRemovalTurns = clean.removalTurnsMax;
    f.neverRemoved = clean.neverRemoved;
    f.jitterPixels = clean.jitterPixels();
    f.stillErrorMm = clean.meanStillError();
    f.framesPerTurn = clean.framesPerTurn();
    f.birthTurns = settings.birthTurns;
    f.removalTurns = settings.removalTurns;
    return f;
  };
  char setting[96];
  std::snprintf(setting, sizeof setting, "8000 nodes/s, 10 turns/s, %d seeds x %.0f s",
                options.seeds, options.seconds);
  bench_rooms::RunTableRooms(setting, run);
}

struct Learned {
  std::optional<LearnedBackground> background;
  int wholeTurns = 0;
};

// The first scanner's background as the program learns it: every node the sweep hands on, over
// kLearn_s of `room` with nobody in it, on a stream of its own (another stretch of noise than the
// judged one's).
Learned LearnBackground(const Case& c, const sim::Scene& room, std::uint32_t seed,
                        const BenchOptions& options) {
  constexpr double kLearn_s = 3;
  struct Learner final : PreciseScanNodeConsumer {
    void processPreciseNode(const PreciseScanNode& node, std::int16_t) override {
      learning.take(node.scannerAngle, node.distance, node.startsTurn, node.wholeTurnEnds);
    }
    BackgroundLearning learning;
  } learner;
  testing::RecordingDesktopInput desktop;
  examples::InMemorySettings settingsFile;
  VirtualEventLoop loop;
  MainForm form(loop, desktop, settingsFile.file);
  Calibrate(form);
  form.decoder().setPreciseConsumer(&learner);
  sim::Scene empty = room;
  empty.objects.clear();
  sim::NodeStream nodes(empty, StreamOf(c, seed * 7919u + 104729u, options));
  form.decoder().feed(sim::kScanDescriptor);
  std::vector<std::uint8_t> sent;
  while (nodes.time_s() < kLearn_s) {
    sent.clear();
    nodes.appendSeconds(sent, options.block_ms / 1000);
    loop.advance(std::llround(nodes.time_s() * 1000) - loop.nowMs());
    form.decoder().feed(sent);
  }
  return Learned{learner.learning.finish(0), learner.learning.wholeTurns()};
}

// The scenes around a still thing (bench/still_scenes.h), at 8000 nodes/s and 10 turns/s on a
// clean line, each seed with the background learned before its hands come, or without.
void RunStill(const BenchOptions& options) {
  const TouchEngineSettings settings;
  const Case c{3, 8000, 10, kClean};
  const auto run = [&](bench_still::StillScene kind, bool withBackground) {
    Figures figures;
    bench_still::StillFigures still;
    for (int seed = 1; seed <= options.seeds; ++seed) {
      const auto s = static_cast<std::uint32_t>(seed);
      BenchScene scene;
      scene.scene.roomDistanceMm = {7000};
      sim::FurnishRoom(scene.scene, bench_still::RoomOf(kind), kTouchArea);
      scene.stillThing = bench_still::StillThingOf(scene.scene, kTouchArea);
      std::optional<LearnedBackground> background;
      if (withBackground) {
        const Learned learned = LearnBackground(c, scene.scene, s, options);
        background = learned.background;
        still.learnedTurns += learned.wholeTurns;
        still.unlearned += background ? 0 : 1;
      }
      for (const bench_still::StillHand& hand : bench_still::StillSceneHands(
               kind, kTouchArea, *scene.stillThing, options.seconds, s, options.handMm)) {
        scene.scene.objects.push_back(hand.object);
        scene.roles.push_back(hand.kind == bench_still::HandKind::still    ? Role::still
                              : hand.kind == bench_still::HandKind::moving ? Role::moving
                                                                           : Role::tapping);
      }
      scene.hands = 3;
      figures.add(RunScene(c, scene, s, options, settings, false, background));
    }
    still.seconds = figures.seconds;
    still.farTurns = figures.eligibleFarTurns;
    still.farMatched = figures.matchedFarTurns;
    still.nearTurns = figures.eligibleNearTurns;
    still.nearMatched = figures.matchedNearTurns;
    still.stillBirths = figures.stillBirths;
    still.stillContactTurns = figures.stillContactTurns;
    still.stillClicks = figures.stillClicks;
    still.ghosts = figures.ghosts;
    still.strayClicks = figures.strayClicks;
    still.clicks = figures.clicks;
    return still;
  };
  char setting[128];
  std::snprintf(setting, sizeof setting,
                "8000 nodes/s, 10 turns/s, clean line, %d seeds x %.0f s = %.0f min a scene",
                options.seeds, options.seconds, options.seeds * options.seconds / 60);
  bench_still::RunStillScenes(setting, run);
}

// Hands held still, or moving slowly, through the whole program for ten minutes on each line: how
// many sessions the engine gives each (tests/support/hand_sessions.h). 4 m from a scanner of
// 2 000 nodes a second at 5.5 turns, a 60 mm hand is met by one beam a turn and falls between two
// beams in about one turn in seven, so that one turn more without it ends its session.
void RunHeldHands(const BenchOptions& options) {
  const int seeds = options.quick ? 3 : options.seeds;
  std::printf(
      "\nheld hands: a still hand and one moving 150 mm to and fro in 20 s, 60 mm, 4 m away; 2000 "
      "nodes/s, 5.5 turns/s; the whole program; %d seeds x 10 min\n",
      seeds);
  std::printf("  %-13s | %15s %15s %15s | %s\n", "line", "sessions/hand", "breaks/hand",
              "strangers", "missed goals");
  for (const Line& line : {kClean, kLost, kGarbled}) {
    int sessions = 0;
    int breaks = 0;
    int strangers = 0;
    int hands = 0;
    for (int seed = 1; seed <= seeds; ++seed) {
      testing::HandSessionOptions run;
      run.hands = testing::StillAndSlowHands();
      run.simulated_s = 600;
      run.drop = line.drop;
      run.corrupt = line.corrupt;
      run.seed = static_cast<std::uint32_t>(seed);
      const testing::HandSessionFigures figures = testing::RunHandSessions(run);
      for (const int n : figures.sessions)
        sessions += n;
      breaks += figures.breaks();
      strangers += figures.strangers;
      hands += static_cast<int>(figures.sessions.size());
    }
    const double perHand = static_cast<double>(breaks) / hands;
    std::printf("  %-13s | %15.2f %15.2f %15.2f | %s\n", line.name,
                static_cast<double>(sessions) / hands, perHand,
                static_cast<double>(strangers) / seeds, perHand > 1 ? "breaks" : "");
    std::fflush(stdout);
  }
  std::printf(
      "  per hand and per 10 min: sessions, breaks (sessions after its first); strangers: contacts "
      "born > 150 mm from\n  both hands, per 10 min. goal: at most one break a hand in 10 min\n");
}

std::optional<BenchOptions> ParseOptions(int argc, char** argv) {
  BenchOptions options;
  bool seedsGiven = false;
  bool secondsGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view flag = argv[i];
    const auto value = [&]() -> std::optional<double> {
      if (i + 1 >= argc)
        return std::nullopt;
      char* end = nullptr;
      const double number = std::strtod(argv[++i], &end);
      if (end == argv[i] || *end != '\0' || !std::isfinite(number))
        return std::nullopt;
      return number;
    };
    std::optional<double> number;
    if (flag == "--quick") {
      options.quick = true;
    } else if (flag == "--sweep") {
      options.sweep = true;
    } else if (flag == "--events") {
      options.events = true;
    } else if (flag == "--surface") {
      options.surface = true;
    } else if (flag == "--rooms") {
      options.roomsOnly = true;
    } else if (flag == "--held") {
      options.heldOnly = true;
    } else if (flag == "--still") {
      options.still = true;
    } else if (flag == "--only") {
      // HANDS,NODES,TPS, each 0 for any
      if (i + 1 >= argc)
        return std::nullopt;
      double hands = 0;
      if (std::sscanf(argv[++i], "%lf,%lf,%lf", &hands, &options.onlyNodesPerSecond,
                      &options.onlyTurnsPerSecond) != 3)
        return std::nullopt;
      options.onlyHands = static_cast<int>(hands);
    } else if (flag == "--seeds") {
      if (!(number = value()) || *number < 1 || *number > 1000)
        return std::nullopt;
      options.seeds = static_cast<int>(*number);
      seedsGiven = true;
    } else if (flag == "--seconds") {
      if (!(number = value()) || *number < 3 || *number > 86400)
        return std::nullopt;
      options.seconds = *number;
      secondsGiven = true;
    } else if (flag == "--block-ms") {
      if (!(number = value()) || *number < 1 || *number > 1000)
        return std::nullopt;
      options.block_ms = *number;
    } else if (flag == "--noise-mm") {
      if (!(number = value()) || *number < 0 || *number > 100)
        return std::nullopt;
      options.noiseMm = *number;
    } else if (flag == "--hand-mm") {
      if (!(number = value()) || *number < 5 || *number > 300)
        return std::nullopt;
      options.handMm = *number;
    } else {
      return std::nullopt;
    }
  }
  if (options.quick) {
    if (!seedsGiven)
      options.seeds = 6;
    if (!secondsGiven)
      options.seconds = 10;
  }
  if (options.still) {
    if (!seedsGiven)
      options.seeds = options.quick ? 2 : 30;
    // The judge looks at every hand of a run each turn, and a scene's hands come ten seconds at a
    // time: many short runs go faster than few long ones.
    if (!secondsGiven)
      options.seconds = options.quick ? 60 : 120;
  }
  if (options.surface && !options.quick) {
    if (!seedsGiven)
      options.seeds = surface_bench::SurfaceOptions{}.seeds;
    if (!secondsGiven)
      options.seconds = surface_bench::SurfaceOptions{}.seconds;
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const auto options = ParseOptions(argc, argv);
  if (!options) {
    std::fprintf(stderr,
                 "usage: touch_bench [--seeds N] [--seconds S] [--quick] [--sweep] [--events]\n"
                 "                   [--only HANDS,NODES,TPS] [--block-ms B] [--noise-mm M]\n"
                 "                   [--hand-mm D] [--surface] [--rooms] [--held] [--still]\n");
    return 2;
  }
  if (options->surface) {
    surface_bench::SurfaceOptions surface;
    surface.seeds = options->seeds;
    surface.seconds = options->seconds;
    surface.block_ms = options->block_ms;
    surface.noiseMm = options->noiseMm;
    surface.handMm = options->handMm;
    surface.events = options->events;
    surface.roomsOnly = options->roomsOnly;
    surface_bench::RunSurface(surface);
  } else if (options->sweep) {
    RunSweep(*options);
  } else if (options->heldOnly) {
    RunHeldHands(*options);
  } else if (options->still) {
    RunStill(*options);
  } else {
    if (!options->roomsOnly) {
      RunTable(*options);
      RunHeldHands(*options);
    }
    RunRooms(*options);
  }
  return 0;
}
