// Two simulated scanners over TCP as one surface, through the whole program, read by liblo's
// oscdump: two hands on one beam of the first scanner (the near one hides the far one) are two
// TUIO cursors, because the second scanner, at the rectangle's top-right corner, sees both.

#include <gtest/gtest.h>

#include <QProcess>
#include <algorithm>
#include <filesystem>
#include <set>

#include "installed_program.h"
#include "osc_dump.h"
#include "program_folder.h"
#include "qt_program.h"

namespace scantouch {
namespace {

namespace fs = std::filesystem;
using testing::DumpedBundle;
using testing::SimProcess;

TEST(SurfaceProgram, TwoHandsOnOneBeamOfTheFirstScannerAreTwoCursorsWithTheSecond) {
  testing::OscDump dump;
  ASSERT_TRUE(dump.ready()) << dump.output();

  testing::ProgramFolder installation{fs::temp_directory_path() /
                                      ("scantouch-surface-" + std::to_string(::getpid()))};
  const int firstPort = testing::FreeLoopbackPort();
  int secondPort = testing::FreeLoopbackPort();
  while (secondPort == firstPort)
    secondPort = testing::FreeLoopbackPort();
  installation.furtherPorts = {secondPort};
  // The first scanner at the place and angle the window has for it; the second 2.5 m to its
  // right and 5.5 m up: the rectangle's top-right corner (5000,2000 5000 x 3000).
  installation.touchEngine = {{"鼠标模式", "2"},
                              {"TUIO目标", "127.0.0.1:" + std::to_string(dump.port())},
                              {"多扫描仪", "1"},
                              {"扫描仪位姿0", "7500,7500,0"},
                              {"扫描仪位姿1", "10000,2000,0"}};
  installation.create(firstPort, SCANTOUCH_PATH);

  // Both hands straight ahead of the first scanner, 3 m and 4.5 m away: it sees only the near one.
  SimProcess sim({"--tcp", QString::number(firstPort), "--room", "7000", "--object", "0,3000,100",
                  "--object", "0,4500,100", "--scanner",
                  "tcp:" + QString::number(secondPort) + ",2500,-5500,0"});
  ASSERT_TRUE(sim.waitForLine("ready"));
  QProcess program;
  ASSERT_TRUE(testing::StartInstalledWithoutDisplay(program, installation));

  constexpr std::size_t kFrames = 15;
  const bool sent = dump.waitForLines(
      [&](const auto& lines) { return testing::BundlesWithAlive(lines, 2) >= kFrames; }, 20000);
  EXPECT_TRUE(sent) << dump.output();
  EXPECT_TRUE(testing::CloseAsAtLogOut(program));
  ASSERT_TRUE(sent);

  std::string problem;
  const std::vector<DumpedBundle> bundles = testing::DumpedBundles(dump.lines(), problem);
  ASSERT_EQ(problem, "");
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
  installation.remove();
}

}  // namespace
}  // namespace scantouch
