#pragma once

// The hand scenes touch_bench --surface plays on its wall (bench/surface_wall.h), in the first
// scanner's plane, each drawn from its seed.

#include <cstdint>

#include "scene_hands.h"

namespace surface_bench {

// Two hands on one beam of the first scanner, one behind the other. In the first half the front
// hand stands still and the hand behind it moves across the beam, into its shadow and out again;
// in the second half the hand behind stands still and the front one moves across, casting its
// shadow over it. The second scanner, at the other top corner, sees them apart.
bench_scenes::HandScene BeamScene(double seconds, std::uint32_t seed, double handMm);

// Ten hands over the wall, a pair in each column of 5 x 2 cells of 800 x 1000 mm, through the
// three phases of bench_scenes::AddHandPair: the upper hand still and the lower tapping; the two
// crossing each other's way through their column; then the upper tapping and the lower still.
// From the top corners many hands stand in others' shadows, and moving ones pass through them.
bench_scenes::HandScene WallScene(double seconds, std::uint32_t seed, double handMm);

// Pairs of 20 mm fingers over the wall, the second arriving some turns of the first scanner after
// the first (bench/finger_scenes.h); no hand of `handMm`.
bench_scenes::HandScene FingerScene(double seconds, std::uint32_t seed, double handMm);

using SceneMaker = bench_scenes::HandScene (*)(double seconds, std::uint32_t seed, double handMm);

}  // namespace surface_bench
