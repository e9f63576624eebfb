// The whole program in a room with a pillar in the touch rectangle, its TUIO read by liblo's
// oscdump: left as it always was it takes the pillar for a hand that never leaves; told to learn
// the background at start ("启动学习背景") it learns the pillar before any hand comes, keeps what
// it learned in a file beside the settings, and sends sessions for the hands alone.

#include <gtest/gtest.h>

#include <QProcess>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "background/learned_background.h"
#include "installed_program.h"
#include "osc_dump.h"
#include "program_folder.h"
#include "qt_program.h"

namespace scantouch {
namespace {

namespace fs = std::filesystem;
using testing::DumpedBundle;
using testing::SimProcess;

// Places in the touch rectangle (5000,2000 5000 x 3000, the scanner at 7500,7500) as TUIO gives
// them, u to the right and v down.
struct Place {
  double u = 0, v = 0;
};
// The simulator's pillar stands in the middle of the touch area, 4 m straight ahead.
constexpr Place kPillar{0.5, 0.5};
// A hand held still 30 degrees left at 4 m: 2000 mm left and 3464 mm ahead of the scanner.
constexpr Place kHeldHand{0.1, 0.679};
// A hand tapping 25 degrees right at 3.2 m: 1352 mm right and 2900 mm ahead.
constexpr Place kTappingHand{0.770, 0.867};
// How far a cursor may lie from where its hand is (the hand is 100 mm across: 0.02 of u).
constexpr double kNear = 0.03;
// Where the program keeps the first scanner's background, beside its settings.
const fs::path kBackgroundFile = "扫描背景.txt";
// What its log says when it begins and when it has done learning.
constexpr std::string_view kLearningBegins = "learning the background at start, for 2 s";
constexpr std::string_view kLearningEnds = "background of 扫描仪1 learned";

bool IsAt(const std::vector<double>& set, Place place, double within) {
  return std::hypot(set[1] - place.u, set[2] - place.v) <= within;
}

std::string FileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A folder for the program with the engine on and TUIO going to `dump`, the mouse left alone
// (鼠标模式=2) so that TUIO is the only way touches go out.
testing::ProgramFolder PillarRoomFolder(
    const std::string& name, const testing::OscDump& dump,
    const std::vector<std::pair<std::string, std::string>>& more) {
  testing::ProgramFolder installation{fs::temp_directory_path() /
                                      (name + "-" + std::to_string(::getpid()))};
  installation.touchEngine = {{"鼠标模式", "2"},
                              {"TUIO目标", "127.0.0.1:" + std::to_string(dump.port())}};
  installation.touchEngine.insert(installation.touchEngine.end(), more.begin(), more.end());
  return installation;
}

// The simulator's pillar room, walls at 7 m (well clear of the rectangle's far corners, at 6.04 m),
// with the given hands; it listens on `port`.
QStringList PillarRoom(int port, const QStringList& hands) {
  return QStringList{"--tcp", QString::number(port), "--room", "7000", "--room", "pillar"} + hands;
}

std::vector<DumpedBundle> Bundles(testing::OscDump& dump) {
  std::string problem;
  std::vector<DumpedBundle> bundles = testing::DumpedBundles(dump.lines(), problem);
  EXPECT_EQ(problem, "");
  return bundles;
}

// Every live cursor's sets by session, the "nobody here" bundles left out.
std::map<std::int64_t, std::vector<std::vector<double>>> SetsBySession(
    const std::vector<DumpedBundle>& bundles) {
  std::map<std::int64_t, std::vector<std::vector<double>>> sessions;
  for (const DumpedBundle& bundle : bundles) {
    if (bundle.frame == -1)
      continue;
    for (const std::vector<double>& set : bundle.sets)
      sessions[static_cast<std::int64_t>(set[0])].push_back(set);
  }
  return sessions;
}

// What the learning fixes: without it a pillar in the rectangle is a cursor for as long as the
// program runs, and nothing is learned or kept. It also shows that this room, seen through the
// program and oscdump, puts the pillar where the other test looks for it.
TEST(BackgroundProgram, WithoutLearningThePillarIsACursorThatNeverLeaves) {
  testing::OscDump dump;
  ASSERT_TRUE(dump.ready()) << dump.output();
  const testing::ProgramFolder installation = PillarRoomFolder("scantouch-pillar", dump, {});
  const int port = testing::FreeLoopbackPort();
  installation.create(port, SCANTOUCH_PATH);

  SimProcess sim(PillarRoom(port, {}));
  ASSERT_TRUE(sim.waitForLine("ready"));
  QProcess program;
  ASSERT_TRUE(testing::StartInstalledWithoutDisplay(program, installation));

  // About two seconds of turns with the pillar as a live cursor.
  constexpr std::size_t kFrames = 10;
  const bool seen = dump.waitForLines(
      [&](const auto& lines) { return testing::BundlesWithAlive(lines, 1) >= kFrames; }, 15000);
  EXPECT_TRUE(testing::CloseAsAtLogOut(program));
  ASSERT_TRUE(seen) << dump.output();

  const auto sessions = SetsBySession(Bundles(dump));
  ASSERT_EQ(sessions.size(), 1u) << dump.output();
  for (const std::vector<double>& set : sessions.begin()->second)
    EXPECT_TRUE(IsAt(set, kPillar, kNear)) << set[1] << "," << set[2];
  EXPECT_GE(sessions.begin()->second.size(), kFrames);
  // Nothing was kept beside the settings: the folder holds what the installation put there.
  std::set<std::string> kept;
  for (const fs::directory_entry& entry : fs::directory_iterator(installation.path))
    kept.insert(entry.path().filename().string());
  EXPECT_EQ(kept, (std::set<std::string>{"runtime", "scantouch", "系统配置.ini", "配置.ini"}));
  installation.remove();
}

// Learning for two seconds from the first whole turn: the hands come only once it is over, one
// held from 5 s to 7 s of the stream, one tapping twice (0.8 s of every 1.6 s) from 4.8 s to 8 s.
TEST(BackgroundProgram, LearnedAtStartThePillarIsNoTouchAndTheHandsAreTheirSessions) {
  testing::OscDump dump;
  ASSERT_TRUE(dump.ready()) << dump.output();
  const testing::ProgramFolder installation =
      PillarRoomFolder("scantouch-learning", dump, {{"启动学习背景", "2"}});
  const int port = testing::FreeLoopbackPort();
  installation.create(port, SCANTOUCH_PATH);
  const fs::path log = installation.path / "log.txt";

  SimProcess sim(PillarRoom(port, {"--object", "-30,4000,100", "--present", "5,7", "--object",
                                   "25,3200,100", "--present", "4.8,8", "--tap", "0.8,1.6"}));
  ASSERT_TRUE(sim.waitForLine("ready"));
  QProcess program;
  ASSERT_TRUE(testing::StartInstalledWithoutDisplay(program, installation,
                                                    {"--log", QString::fromStdString(log)}));
  // The simulator's clock starts with the stream; at 8.5 s every hand has come and gone.
  ASSERT_TRUE(sim.waitForLine(":SCAN.", 10000)) << sim.output();
  testing::RunFor(8500);
  EXPECT_TRUE(testing::CloseAsAtLogOut(program));

  const std::vector<DumpedBundle> bundles = Bundles(dump);
  ASSERT_FALSE(bundles.empty()) << dump.output();
  std::size_t atThePillar = 0;
  for (const DumpedBundle& bundle : bundles) {
    atThePillar += static_cast<std::size_t>(
        std::count_if(bundle.sets.begin(), bundle.sets.end(),
                      [](const auto& set) { return IsAt(set, kPillar, 0.1); }));
  }
  EXPECT_EQ(atThePillar, 0u) << "cursors set at the pillar";
  // Each session stays at one hand: one for the held hand, one for each tap.
  int held = 0, tapping = 0;
  for (const auto& [session, sets] : SetsBySession(bundles)) {
    const auto allAt = [&sets](Place place) {
      return std::all_of(sets.begin(), sets.end(),
                         [place](const auto& set) { return IsAt(set, place, kNear); });
    };
    if (allAt(kHeldHand)) {
      ++held;
    } else if (allAt(kTappingHand)) {
      ++tapping;
    } else {
      ADD_FAILURE() << "session " << session << " is at no hand, first at " << sets[0][1] << ","
                    << sets[0][2];
    }
  }
  EXPECT_EQ(held, 1) << dump.output();
  EXPECT_EQ(tapping, 2) << dump.output();

  const std::string logText = FileText(log);
  EXPECT_NE(logText.find(kLearningBegins), std::string::npos) << logText;
  EXPECT_NE(logText.find(kLearningEnds), std::string::npos) << logText;
  // The file holds the walls all round and the pillar's near side, 3950 mm ahead.
  const ReadBackground kept = ParseBackground(FileText(installation.path / kBackgroundFile));
  ASSERT_TRUE(kept.background) << kept.error;
  int walls = 0, pillar = 0;
  for (const LearnedBackground::Direction& direction : kept.background->directions()) {
    walls += std::abs(direction.distanceMm - 7000) <= 30;
    pillar += std::abs(direction.distanceMm - 3950) <= 50;
  }
  EXPECT_GE(walls, static_cast<int>(kept.background->directions().size()) * 9 / 10);
  EXPECT_GE(pillar, 1);
  EXPECT_LE(pillar, 4);
  installation.remove();
}

}  // namespace
}  // namespace scantouch
