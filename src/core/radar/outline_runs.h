#pragma once

#include <array>
#include <vector>

namespace scantouch {

// A learned background's outline as a face draws it: a point a direction, joined to the next
// where the two lie close. Farther apart they are two things, one behind the other, or a
// direction between them that saw nothing, and a line across would show a wall that is not
// there.
inline constexpr float kOutlineJoin = 300;  // view units

// The runs of joined neighbours, in the outline's order; the last point joins the first when they
// are close, so a room seen all round is one closed run (its first point repeated at the end). A
// run of one point is a point on its own.
std::vector<std::vector<std::array<float, 2>>> OutlineRuns(
    const std::vector<std::array<float, 2>>& outline, float join = kOutlineJoin);

}  // namespace scantouch
