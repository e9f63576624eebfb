#pragma once

// The hands the benches' scenes are made of: where they stand, how they move or tap, and pairs
// of them that cross each other's way.

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include "scene.h"
#include "still_scenes.h"

namespace bench_scenes {

// What a hand does, for judging still and moving ones apart; crossing ones move.
enum class HandRole { still, moving, tapping, crossing };

// A scene of hands in a round room of 7 m, and what each does.
struct HandScene {
  scanner_sim::Scene scene;
  std::vector<HandRole> roles;  // one per object
  // The room's one still thing, for the scenes around it (bench/still_scenes.h).
  std::optional<bench_still::StillThing> stillThing;
};

// A round room of 7 m with no hand in it yet.
HandScene NewHandScene();

// Adds `object` as a hand of `handMm` that is there from `from_s` to `to_s`.
void AddHand(HandScene& scene, scanner_sim::SceneObject object, HandRole role, double handMm,
             double from_s, double to_s);

struct Area {
  double left, top, right, bottom;
};

// Hands drawn at random in areas: each draw takes the next numbers of one generator, so that a
// scene drawn in the same order comes out the same.
class HandDraws {
 public:
  explicit HandDraws(std::uint32_t seed) : random_(seed) {}

  double uniform(double from, double to) {
    return std::uniform_real_distribution<double>(from, to)(random_);
  }
  scanner_sim::PlanePoint pointIn(const Area& area);
  scanner_sim::SceneObject still(const Area& area);
  // To and fro between two places in `area`, every 2.5 to 5 s.
  scanner_sim::SceneObject moving(const Area& area);
  // A hand that taps and drifts a little between taps; down long enough to be seen twice at
  // 5.5 turns a second, up long enough for its contact to be removed.
  scanner_sim::SceneObject tapping(const Area& area);

 private:
  std::mt19937 random_;
};

// A scene's time in three phases with 0.6 s of absence between them, so that every hand also
// arrives and leaves.
struct ThreePhases {
  double seconds;
  double from(int phase) const { return phase * (seconds / 3) + 0.3; }
  double to(int phase) const { return (phase + 1) * (seconds / 3) - 0.3; }
};

// Two hands in neighbouring areas `a` and `b` through the three phases: one still in `a` and one
// tapping in `b`; both crossing each other's way through the two areas; then one tapping in `a`
// and one still in `b`.
void AddHandPair(HandScene& scene, HandDraws& draws, const Area& a, const Area& b, double handMm,
                 const ThreePhases& phases);

}  // namespace bench_scenes
