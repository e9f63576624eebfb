#pragma once

// The scenes the touch table plays in its rectangle (bench/table_rectangle.h), each drawn from
// its seed.

#include <cstdint>

#include "scene_hands.h"
#include "still_scenes.h"

namespace bench_table {

// Hands in cells of the rectangle, so that they meet only where the scene wants them to: one row
// for up to three hands, two rows above that; hands in pairs share a column (two rows) or two
// neighbouring cells (one row) and go through the three phases of bench_scenes::AddHandPair; a
// hand left over stands still, moves and taps in its cell.
bench_scenes::HandScene HandsInCells(int hands, double seconds, std::uint32_t seed, double handMm);

// Two still hands side by side 150 mm apart (a gap of 90 mm between them), and a hand moving
// back and forth past a still one, 110 mm beside it at its nearest.
bench_scenes::HandScene CloseHands(double seconds, std::uint32_t seed, double handMm);

// A hand swiping across the rectangle at 1.4 to 2 m/s, and a still hand away from its way.
bench_scenes::HandScene FastSwipe(double seconds, std::uint32_t seed, double handMm);

// Three hands at a time around the still thing of `kind`'s room (bench/still_scenes.h), the room
// furnished around the rectangle.
bench_scenes::HandScene AroundStillThing(bench_still::StillScene kind, double seconds,
                                         std::uint32_t seed, double handMm);

}  // namespace bench_table
