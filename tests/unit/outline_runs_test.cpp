#include "radar/outline_runs.h"

#include <gtest/gtest.h>

namespace scantouch {
namespace {

using Points = std::vector<std::array<float, 2>>;

TEST(OutlineRuns, ARoomSeenAllRoundIsOneClosedLine) {
  const Points square{{0, 0}, {100, 0}, {100, 100}, {0, 100}};
  EXPECT_EQ(OutlineRuns(square),
            (std::vector<Points>{{{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}}}));
}

TEST(OutlineRuns, FarNeighboursArePartedAndARunOverTheEndIsNotCut) {
  // A wall over the outline's end (the last two points and the first), a post far in front of
  // it, and a point alone.
  const Points outline{{0, 0},    {100, 0},  {5000, 3000}, {5100, 3000},
                       {9000, 0}, {-200, 0}, {-100, 0}};
  EXPECT_EQ(OutlineRuns(outline), (std::vector<Points>{{{5000, 3000}, {5100, 3000}},
                                                       {{9000, 0}},
                                                       {{-200, 0}, {-100, 0}, {0, 0}, {100, 0}}}));
  EXPECT_TRUE(OutlineRuns({}).empty());
  EXPECT_EQ(OutlineRuns({{1, 2}}), (std::vector<Points>{{{1, 2}}}));
}

}  // namespace
}  // namespace scantouch
