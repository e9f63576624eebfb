#include "still_scenes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <random>

#include "judging.h"

namespace bench_still {
namespace {

namespace sim = scanner_sim;
using bench_judging::Distance;

double SegmentDistance(sim::PlanePoint at, sim::PlanePoint from, sim::PlanePoint to) {
  const double ex = to.x - from.x;
  const double ey = to.y - from.y;
  const double length2 = ex * ex + ey * ey;
  const double t =
      length2 > 0 ? std::clamp(((at.x - from.x) * ex + (at.y - from.y) * ey) / length2, 0.0, 1.0)
                  : 0.0;
  return Distance(at, sim::PlanePoint{from.x + t * ex, from.y + t * ey});
}

// Points along a hand's way, for keeping it clear of the still thing and of other hands.
std::array<sim::PlanePoint, 21> Way(const sim::SceneObject& hand) {
  std::array<sim::PlanePoint, 21> points;
  const sim::PlanePoint to = hand.to.value_or(hand.from);
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double t = static_cast<double>(i) / static_cast<double>(points.size() - 1);
    points[i] = {hand.from.x + t * (to.x - hand.from.x), hand.from.y + t * (to.y - hand.from.y)};
  }
  return points;
}

double WaysApartMm(const sim::SceneObject& a, const sim::SceneObject& b) {
  double nearest = 1e18;
  for (const sim::PlanePoint p : Way(a)) {
    for (const sim::PlanePoint q : Way(b))
      nearest = std::min(nearest, Distance(p, q));
  }
  return nearest;
}

// The nearest the hand's outline comes to the thing's.
double ClosestGapMm(const sim::SceneObject& hand, const StillThing& thing) {
  double nearest = 1e18;
  for (const sim::PlanePoint p : Way(hand))
    nearest = std::min(nearest, thing.gapMm(p) - hand.diameterMm / 2);
  return nearest;
}

const char* Name(StillScene scene) {
  switch (scene) {
    case StillScene::pillar:
      return "pillar";
    case StillScene::bar:
      return "bar";
    case StillScene::grazing:
      return "grazing";
  }
  return "";
}

}  // namespace

sim::RoomKind RoomOf(StillScene scene) {
  switch (scene) {
    case StillScene::pillar:
      return sim::RoomKind::pillar;
    case StillScene::bar:
      return sim::RoomKind::bar;
    case StillScene::grazing:
      return sim::RoomKind::grazing;
  }
  return sim::RoomKind::plain;
}

double StillThing::gapMm(sim::PlanePoint at) const {
  const double d = round ? Distance(at, from) : SegmentDistance(at, from, to);
  return std::max(0.0, d - radiusMm);
}

double StillThing::echoGapMm(sim::PlanePoint at) const {
  return std::max(0.0, gapMm(at) - echoReachMm);
}

StillThing StillThingOf(const sim::Scene& room, const sim::TouchArea& area) {
  StillThing thing;
  if (!room.clutter.empty()) {
    thing.from = room.clutter.front().from;
    thing.to = thing.from;
    thing.radiusMm = room.clutter.front().diameterMm / 2;
    return thing;
  }
  if (room.segments.empty())
    return thing;
  const sim::SceneSegment& segment = room.segments.front();
  thing.round = false;
  thing.from = segment.from;
  thing.to = segment.to;
  // The farthest a return of a beam into the rectangle lands from the line.
  const double ex = segment.to.x - segment.from.x;
  const double ey = segment.to.y - segment.from.y;
  for (int i = 0; i <= 100; ++i) {
    const double t = i / 100.0;
    const sim::PlanePoint p{segment.from.x + t * ex, segment.from.y + t * ey};
    if (p.x < area.left || p.x > area.left + area.width)
      continue;
    const double distance = std::hypot(p.x, p.y);
    const double cosine = std::abs(p.x * ex + p.y * ey) / (distance * std::hypot(ex, ey));
    const double beamToLine = std::acos(std::min(1.0, cosine)) * 180 / 3.14159265358979;
    const double spread = sim::GrazingSpreadMm(segment.planeAngleDegrees, beamToLine, distance);
    // Along the beam, so across the line by the sine of the angle between them.
    thing.echoReachMm =
        std::max(thing.echoReachMm, spread * std::sin(beamToLine * 3.14159265358979 / 180));
  }
  return thing;
}

std::vector<StillHand> StillSceneHands(StillScene scene, const sim::TouchArea& area,
                                       const StillThing& thing, double seconds, std::uint32_t seed,
                                       double handMm) {
  std::mt19937 random(seed * 2654435761u + static_cast<std::uint32_t>(scene) * 97u + 13u);
  const auto uniform = [&random](double from, double to) {
    return std::uniform_real_distribution<double>(from, to)(random);
  };
  const double margin = handMm / 2 + 15;
  const double left = area.left + margin;
  const double right = area.left + area.width - margin;
  const double top = area.top + margin;
  const double bottom = area.top + area.height - margin;
  const auto inArea = [&](sim::PlanePoint p) {
    return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
  };
  const auto anywhere = [&] { return sim::PlanePoint{uniform(left, right), uniform(top, bottom)}; };
  constexpr double kApartMm = 250;
  constexpr double kEpisode_s = 10;
  constexpr std::array<HandKind, 3> kKinds{HandKind::moving, HandKind::tapping, HandKind::still};

  // Sets the hand's way by kind: a still one stands at `from`, a tapping one drifts to `to`
  // between taps, a moving one goes to and fro.
  const auto shape = [&](sim::SceneObject& hand, HandKind kind) {
    if (kind == HandKind::still) {
      hand.to.reset();
    } else if (kind == HandKind::tapping) {
      hand.period_s = uniform(6, 10);
      hand.tapDown_s = uniform(0.4, 0.7);
      hand.tapPeriod_s = hand.tapDown_s + uniform(0.6, 1.0);
      hand.tapPhase_s = uniform(0, hand.tapPeriod_s);
    } else {
      hand.period_s = uniform(2.5, 5);
    }
  };

  // The near hand: 10 to 80 mm from the thing, on the scanner's side of it.
  const auto nearHand = [&](HandKind kind) -> std::optional<sim::SceneObject> {
    for (int attempt = 0; attempt < 1000; ++attempt) {
      sim::SceneObject hand;
      hand.diameterMm = handMm;
      const double gap = uniform(10, 80);
      sim::PlanePoint base;
      sim::PlanePoint along;  // unit, the way it passes
      if (thing.round) {
        const double distance = std::hypot(thing.from.x, thing.from.y);
        const sim::PlanePoint toward{-thing.from.x / distance, -thing.from.y / distance};
        const double out = thing.radiusMm + handMm / 2 + gap;
        base = {thing.from.x + toward.x * out, thing.from.y + toward.y * out};
        along = {-toward.y, toward.x};
      } else {
        const double length = Distance(thing.from, thing.to);
        along = {(thing.to.x - thing.from.x) / length, (thing.to.y - thing.from.y) / length};
        const double t = uniform(0.1, 0.9);
        const sim::PlanePoint on{thing.from.x + t * (thing.to.x - thing.from.x),
                                 thing.from.y + t * (thing.to.y - thing.from.y)};
        sim::PlanePoint normal{-along.y, along.x};
        if (normal.x * -on.x + normal.y * -on.y < 0)
          normal = {-normal.x, -normal.y};
        const double out = handMm / 2 + gap;
        base = {on.x + normal.x * out, on.y + normal.y * out};
      }
      // Passing: across the beam to the pillar, or along the bar or wall.
      const double reach = kind == HandKind::moving
                               ? (thing.round ? uniform(80, 160) : uniform(100, 300))
                               : uniform(0, thing.round ? 40 : 150);
      // A moving hand passes to and fro through `base`, a tapping one drifts away from it.
      const double side = kind == HandKind::moving || uniform(0, 1) < 0.5 ? 1 : -1;
      hand.from = kind == HandKind::moving
                      ? sim::PlanePoint{base.x - along.x * reach, base.y - along.y * reach}
                      : base;
      hand.to = sim::PlanePoint{base.x + side * along.x * reach, base.y + side * along.y * reach};
      shape(hand, kind);
      // Inside the rectangle, its near face between the scanner and the thing.
      if (inArea(hand.from) && inArea(hand.to.value_or(hand.from)) &&
          ClosestGapMm(hand, thing) >= 5)
        return hand;
    }
    return std::nullopt;
  };

  // A hand keeping `fromMm` to `toMm` from the thing all along its way, and kApartMm from others.
  const auto farHand =
      [&](HandKind kind, double fromMm, double toMm,
          const std::vector<sim::SceneObject>& others) -> std::optional<sim::SceneObject> {
    const auto gapOf = [&](sim::PlanePoint p) { return thing.gapMm(p) - handMm / 2; };
    for (int attempt = 0; attempt < 20000; ++attempt) {
      sim::SceneObject hand;
      hand.diameterMm = handMm;
      hand.from = anywhere();
      if (gapOf(hand.from) < fromMm || gapOf(hand.from) > toMm)
        continue;
      const double reach = kind == HandKind::moving ? 600 : 150;
      const sim::PlanePoint to{hand.from.x + uniform(-reach, reach),
                               hand.from.y + uniform(-reach, reach)};
      if (!inArea(to) || gapOf(to) > toMm)
        continue;
      hand.to = to;
      shape(hand, kind);
      if (ClosestGapMm(hand, thing) < fromMm)
        continue;
      if (std::all_of(others.begin(), others.end(), [&](const sim::SceneObject& other) {
            return WaysApartMm(hand, other) >= kApartMm;
          }))
        return hand;
    }
    return std::nullopt;
  };

  std::vector<StillHand> hands;
  int episode = 0;
  for (double start_s = 0; start_s + kEpisode_s <= seconds + 1e-9;
       start_s += kEpisode_s, ++episode) {
    std::vector<sim::SceneObject> placed;
    std::vector<HandKind> kinds;
    const auto place = [&](std::optional<sim::SceneObject> hand, HandKind kind) {
      if (!hand)
        return;
      hand->appear_s = start_s + 0.3;
      hand->disappear_s = start_s + kEpisode_s - 0.3;
      placed.push_back(*hand);
      kinds.push_back(kind);
    };
    const HandKind nearKind = kKinds[static_cast<std::size_t>(episode) % 3];
    const HandKind aroundKind = kKinds[static_cast<std::size_t>(episode + 1) % 3];
    const HandKind elseKind = kKinds[static_cast<std::size_t>(episode + 2) % 3];
    place(nearHand(nearKind), nearKind);
    place(farHand(aroundKind, kFarMm, kFarMm + 150, placed), aroundKind);
    place(farHand(elseKind, kFarMm, 1e9, placed), elseKind);
    for (std::size_t i = 0; i < placed.size(); ++i)
      hands.push_back(StillHand{placed[i], kinds[i]});
  }
  return hands;
}

void RunStillScenes(const std::string& setting, const StillRunner& run) {
  std::printf(
      "\nstill things: hands around one still thing in the rectangle (%s), with the background\n"
      "  learned over 3 s of the empty room (on the engine and the single-touch road) and without "
      "it\n  pillar: 100 mm across in the middle; bar: along the far edge, 25 mm inside; grazing: "
      "the plane meets a wall\n  at 1 deg 20 mm beyond the far edge. Episodes of 10 s: a hand "
      "10-80 mm from the thing (passing in front of\n  the pillar, along the bar or wall), one "
      "100-250 mm from it, one anywhere >= 100 mm from it; still, moving, tapping\n"
      "  far%%, near%%: visible hand-turns (seen >= birth turns in a row) with a contact within "
      "30 mm, the hand's outline\n  >= %.0f mm from the thing's, or nearer\n"
      "  at the thing: contacts born, contact-turns and clicks (single-touch road) within %.0f mm "
      "of where its echoes\n  land (a grazed wall's up to the spread along the beam) and > 60 mm "
      "from every hand there meanwhile\n  (a click also > 60 mm from halfway between two hands: "
      "the road's run over both clicks there)\n  ghost/m, stray/m: contacts born and clicks > 60 "
      "mm from "
      "every hand, anywhere, per minute\n  goals with the background: far >= 99%%, near >= 95%%, "
      "nothing at the thing\n",
      setting.c_str(), kFarMm, kStillMm);
  std::printf("  %-8s %-10s | %6s %6s | %7s %8s %7s | %7s %7s | %6s | %s\n", "room", "background",
              "far%", "near%", "born", "c-turns", "clicks", "ghost/m", "stray/m", "turns",
              "missed goals");
  for (const StillScene scene : {StillScene::pillar, StillScene::bar, StillScene::grazing}) {
    for (const bool withBackground : {true, false}) {
      const StillFigures f = run(scene, withBackground);
      const double far = bench_judging::Percent(f.farMatched, f.farTurns);
      const double near = bench_judging::Percent(f.nearMatched, f.nearTurns);
      std::string missed;
      if (withBackground) {
        if (far < 99)
          bench_judging::AddMissedGoal(missed, "far");
        if (near < 95)
          bench_judging::AddMissedGoal(missed, "near");
        if (f.stillBirths > 0 || f.stillContactTurns > 0)
          bench_judging::AddMissedGoal(missed, "contact");
        if (f.stillClicks > 0)
          bench_judging::AddMissedGoal(missed, "click");
        if (f.unlearned > 0)
          bench_judging::AddMissedGoal(missed, "not learned");
      }
      const double minutes = f.seconds / 60;
      char turns[16];
      if (withBackground)
        std::snprintf(turns, sizeof turns, "%d", f.learnedTurns);
      else
        std::snprintf(turns, sizeof turns, "-");
      std::printf("  %-8s %-10s | %6.2f %6.2f | %7llu %8llu %7llu | %7.2f %7.2f | %6s | %s\n",
                  Name(scene), withBackground ? "learned" : "none", far, near,
                  static_cast<unsigned long long>(f.stillBirths),
                  static_cast<unsigned long long>(f.stillContactTurns),
                  static_cast<unsigned long long>(f.stillClicks),
                  minutes > 0 ? static_cast<double>(f.ghosts) / minutes : 0,
                  minutes > 0 ? static_cast<double>(f.strayClicks) / minutes : 0, turns,
                  missed.c_str());
      std::fflush(stdout);
    }
  }
  std::printf(
      "  born, c-turns, clicks: counts over the whole run; turns: whole turns the background was "
      "learned from, over the seeds\n");
}

}  // namespace bench_still
