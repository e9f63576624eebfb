#pragma once

#include <cstdint>
#include <vector>

#include "rooms.h"
#include "scene.h"
#include "scene_hands.h"

namespace bench_scenes {

// Two fingers 60 to 100 mm apart, the second arriving 2 to 10 turns after the first, both then
// staying still: a pinch or a two-finger touch as it begins. One pair every 4 s at a place of its
// own in `area` (in the first scanner's plane), the pair lying within 45 degrees of across the
// first scanner's beam, so that it sees both; each pair leaves together before the next comes.
std::vector<scanner_sim::SceneObject> TwoFingers(const scanner_sim::TouchArea& area, double seconds,
                                                 std::uint32_t seed, double turn_s,
                                                 double fingerMm = 20);

// Those pairs, still hands all, in a round room of 7 m.
HandScene TwoFingerScene(const scanner_sim::TouchArea& area, double seconds, std::uint32_t seed,
                         double turn_s);

}  // namespace bench_scenes
