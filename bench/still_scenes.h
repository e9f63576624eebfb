#pragma once

// Scenes of hands around one still thing in the touch rectangle (a pillar, a bar along the far
// edge, a wall the plane grazes), run with the background the program learns of the empty room
// and without it, and the table of what they came to against their goals.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "rooms.h"
#include "scene.h"

namespace bench_still {

enum class StillScene { pillar, bar, grazing };

scanner_sim::RoomKind RoomOf(StillScene scene);

// The still thing of a furnished room, as the judge needs it: where it is, and how far from its
// outline its echoes land (a grazed wall's come back spread along the beam, up to some 130 mm
// nearer than the wall across a 2 m rectangle at 1.3 m).
struct StillThing {
  bool round = true;
  scanner_sim::PlanePoint from;  // the centre of a round one, else one end of the line
  scanner_sim::PlanePoint to;
  double radiusMm = 0;
  double echoReachMm = 0;

  // From `at` to its outline, 0 inside it.
  double gapMm(scanner_sim::PlanePoint at) const;
  // From `at` to where its echoes may land.
  double echoGapMm(scanner_sim::PlanePoint at) const;
};

// The room's one still thing; `room` as FurnishRoom made it around `area`.
StillThing StillThingOf(const scanner_sim::Scene& room, const scanner_sim::TouchArea& area);

enum class HandKind { still, moving, tapping };

struct StillHand {
  scanner_sim::SceneObject object;
  HandKind kind = HandKind::moving;
};

// Episodes of 10 s, with 0.6 s of absence between them, until `seconds`. In each: a hand close to
// the still thing (10 to 80 mm from it: for the pillar passing in front of it, between it and the
// scanner; for the bar and the grazed wall along them), one that keeps 100 to 250 mm from it and
// one anywhere else at least 100 mm from it, the three at least 250 mm apart. Each is still,
// moving or tapping, by turns from one episode to the next.
std::vector<StillHand> StillSceneHands(StillScene scene, const scanner_sim::TouchArea& area,
                                       const StillThing& thing, double seconds, std::uint32_t seed,
                                       double handMm);

// What one scene came to, summed over its seeds.
struct StillFigures {
  double seconds = 0;  // of the judged stream, learning not counted
  // Visible hand-turns seen for the birth turns in a row, and those matched; split by the hand's
  // distance from the still thing's outline when the beam passed it.
  std::uint64_t farTurns = 0;  // 100 mm or more
  std::uint64_t farMatched = 0;
  std::uint64_t nearTurns = 0;  // closer: in front of it, along it
  std::uint64_t nearMatched = 0;
  // Contacts born, contact-turns and clicks of the single-touch road at the still thing (within
  // kStillMm of where its echoes land) that no hand explains (none within 60 mm meanwhile).
  std::uint64_t stillBirths = 0;
  std::uint64_t stillContactTurns = 0;
  std::uint64_t stillClicks = 0;
  // Anywhere: contacts born and clicks farther than 60 mm from every hand.
  std::uint64_t ghosts = 0;
  std::uint64_t strayClicks = 0;
  std::uint64_t clicks = 0;
  int learnedTurns = 0;  // whole turns the background was learned from, over the seeds
  int unlearned = 0;     // seeds whose learning gave no background
};

// How near to where a still thing's echoes land a contact or click counts as on it.
inline constexpr double kStillMm = 60;
// Hands this far from the still thing's outline, or farther, are held to the higher goal.
inline constexpr double kFarMm = 100;

using StillRunner = std::function<StillFigures(StillScene, bool withBackground)>;

// Runs each scene with the learned background and without, and prints a row for each.
void RunStillScenes(const std::string& setting, const StillRunner& run);

}  // namespace bench_still
