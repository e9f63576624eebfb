// The whole program sending TUIO from the simulated scanner's two hands, read by liblo's oscdump:
// the program runs on Qt's offscreen platform with no X server and leaves the mouse alone
// (鼠标模式=2), so TUIO is the only way its touches go out.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tuio_program.h"

namespace scantouch {
namespace {

using testing::DumpedBundle;

TEST(TuioProgram, TwoHandsAreTwoCursorsFrameByFrameAndTheExitSaysNobodyIsLeft) {
  testing::TuioProgram run("scantouch-tuio");
  // A hand still on the left, another wandering on the right at 0.4 m/s, both well inside the
  // rectangle and far apart; each is 100 mm across, wider than the simulator's nodes are apart.
  const int port = testing::FreeLoopbackPort();
  ASSERT_TRUE(run.start(port, {"--tcp", QString::number(port), "--room", "7000", "--object",
                               "-30,4000,100", "--object", "20,3500,100,30,4000,4"}));

  constexpr std::size_t kFrames = 15;
  const bool sent = run.waitForFrames(2, kFrames, 20000);
  EXPECT_TRUE(sent) << run.dump.output();

  EXPECT_TRUE(testing::CloseAsAtLogOut(run.program));
  const bool goodbye = run.dump.waitForLines(
      [](const auto& lines) {
        return !lines.empty() && lines.back().find(" \"fseq\" -1") != std::string::npos &&
               testing::BundlesWithAlive(lines, 2) >= kFrames;
      },
      3000);
  EXPECT_TRUE(goodbye) << run.dump.output();
  ASSERT_TRUE(sent && goodbye);

  const std::vector<DumpedBundle> bundles = run.bundles();
  ASSERT_FALSE(bundles.empty());
  std::set<std::int64_t> sessions;
  std::optional<std::int64_t> lastFrame;
  for (const DumpedBundle& bundle : bundles) {
    EXPECT_EQ(bundle.source.rfind("scantouch@", 0), 0u) << bundle.source;
    if (bundle.frame == -1) {  // the one-a-second "nobody here" and the goodbye
      EXPECT_TRUE(bundle.alive.empty());
      EXPECT_TRUE(bundle.sets.empty());
      continue;
    }
    if (lastFrame) {
      EXPECT_EQ(bundle.frame, *lastFrame + 1) << "frames are numbered one by one";
    }
    lastFrame = bundle.frame;
    // Every live cursor is set in its frame, at a place inside the screen area.
    ASSERT_EQ(bundle.sets.size(), bundle.alive.size());
    for (std::size_t i = 0; i < bundle.sets.size(); ++i) {
      const std::vector<double>& set = bundle.sets[i];
      EXPECT_EQ(set[0], static_cast<double>(bundle.alive[i]));
      EXPECT_GE(set[1], 0.0);
      EXPECT_LE(set[1], 1.0);
      EXPECT_GE(set[2], 0.0);
      EXPECT_LE(set[2], 1.0);
      sessions.insert(bundle.alive[i]);
    }
  }
  // Hands that never leave keep their sessions: two, one on each side.
  EXPECT_EQ(sessions.size(), 2u);
  const auto withTwo = std::find_if(bundles.begin(), bundles.end(),
                                    [](const DumpedBundle& b) { return b.sets.size() == 2; });
  ASSERT_NE(withTwo, bundles.end());
  const double left = std::min(withTwo->sets[0][1], withTwo->sets[1][1]);
  const double right = std::max(withTwo->sets[0][1], withTwo->sets[1][1]);
  EXPECT_LT(left, 0.5);
  EXPECT_GT(right, 0.5);
  // The last word is that nobody is left.
  EXPECT_TRUE(bundles.back().alive.empty());
  EXPECT_EQ(bundles.back().frame, -1);
  EXPECT_FALSE(bundles[bundles.size() - 2].alive.empty()) << "the hands were there at the exit";
  run.installation.remove();
}

}  // namespace
}  // namespace scantouch
