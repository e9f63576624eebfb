// Two simulated scanners over TCP as one surface, through the whole program, read by liblo's
// oscdump: two hands on one beam of the first scanner (the near one hides the far one) are two
// TUIO cursors, because the second scanner, at the rectangle's top-right corner, sees both.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tuio_program.h"

namespace scantouch {
namespace {

using testing::DumpedBundle;

TEST(SurfaceProgram, TwoHandsOnOneBeamOfTheFirstScannerAreTwoCursorsWithTheSecond) {
  // The first scanner at the place and angle the window has for it; the second 2.5 m to its
  // right and 5.5 m up: the rectangle's top-right corner (5000,2000 5000 x 3000).
  testing::TuioProgram run(
      "scantouch-surface",
      {{"多扫描仪", "1"}, {"扫描仪位姿0", "7500,7500,0"}, {"扫描仪位姿1", "10000,2000,0"}});
  const int firstPort = testing::FreeLoopbackPort();
  int secondPort = testing::FreeLoopbackPort();
  while (secondPort == firstPort)
    secondPort = testing::FreeLoopbackPort();
  run.installation.furtherPorts = {secondPort};
  // Both hands straight ahead of the first scanner, 3 m and 4.5 m away: it sees only the near one.
  ASSERT_TRUE(run.start(firstPort, {"--tcp", QString::number(firstPort), "--room", "7000",
                                    "--object", "0,3000,100", "--object", "0,4500,100", "--scanner",
                                    "tcp:" + QString::number(secondPort) + ",2500,-5500,0"}));

  constexpr std::size_t kFrames = 15;
  const bool sent = run.waitForFrames(2, kFrames, 20000);
  EXPECT_TRUE(sent) << run.dump.output();
  EXPECT_TRUE(testing::CloseAsAtLogOut(run.program));
  ASSERT_TRUE(sent);

  const std::vector<DumpedBundle> bundles = run.bundles();
  const auto withTwo = std::find_if(bundles.rbegin(), bundles.rend(),
                                    [](const DumpedBundle& b) { return b.sets.size() == 2; });
  ASSERT_NE(withTwo, bundles.rend());
  // Both on the rectangle's middle line; the near hand low (y 4500: v 5/6), the far one high
  // (y 3000: v 1/3).
  std::vector<std::vector<double>> sets = withTwo->sets;
  std::sort(sets.begin(), sets.end(), [](const auto& a, const auto& b) { return a[2] < b[2]; });
  EXPECT_NEAR(sets[0][1], 0.5, 0.03);
  EXPECT_NEAR(sets[1][1], 0.5, 0.03);
  EXPECT_NEAR(sets[0][2], 1.0 / 3, 0.03);
  EXPECT_NEAR(sets[1][2], 5.0 / 6, 0.03);
  // Still hands keep their sessions.
  std::set<std::int64_t> sessions;
  for (const DumpedBundle& bundle : bundles) {
    if (bundle.frame != -1)
      sessions.insert(bundle.alive.begin(), bundle.alive.end());
  }
  EXPECT_EQ(sessions.size(), 2u);
  run.installation.remove();
}

}  // namespace
}  // namespace scantouch
