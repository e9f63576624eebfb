// Each scanner's learned background in the whole program: learned on the button or at start, kept
// in its file, refused when the file cannot be trusted, and left out of every road's touches.

#include "scanners/scanner_backgrounds.h"

#include <gtest/gtest.h>

#include "comma_locale.h"
#include "example_setup.h"
#include "node_stream.h"
#include "program_fixture.h"
#include "recording_log.h"

namespace scantouch {
namespace {

namespace sim = scanner_sim;

constexpr const char* kSettings = "/opt/scantouch/系统配置.ini";
constexpr const char* kBackground = "/opt/scantouch/扫描背景.txt";
// A pillar 100 mm across in the middle of the touch rectangle, 3 m ahead of the scanner.
constexpr sim::PlanePoint kPillar{0, -3000};

// The program started again on the files the first left.
struct NextStart {
  explicit NextStart(const std::map<std::string, std::string>& files) {
    fakes.files.files = files;
    program.lifecycle().startUp();
    examples::CalibrateLikeTheExamples(program.form());
  }
  testing::FakePlatform fakes;
  ScannerProgram program{fakes.platform([] {})};
};

class ScannerBackgroundsTest : public testing::ProgramFixture {
 protected:
  void startWith(const std::string& engineSection, double nodesPerSecond = 2000) {
    program_.connectLog(log_);
    files_.files[kSettings] = "[触控引擎]\n" + engineSection;
    program_.lifecycle().startUp();
    examples::CalibrateLikeTheExamples(form());
    scene_.roomDistanceMm = {7000};
    sim::SceneObject pillar;
    pillar.from = kPillar;
    pillar.diameterMm = 100;
    scene_.clutter = {pillar};
    settings_.nodesPerSecond = nodesPerSecond;
    settings_.revolutionsPerSecond = 5.5;
    scanner_.emplace(scene_, settings_);
    serialPort().waiting.assign(sim::kScanDescriptor.begin(), sim::kScanDescriptor.end());
    form().Text1.setText("3");  // the serial port opens
  }

  // The scanner streams for `seconds` (or the line stays silent), polled as the program polls.
  void play(double seconds, bool sends = true) {
    for (double t = 0; t < seconds; t += 0.1) {
      if (sends)
        scanner_->appendSeconds(serialPort().waiting, 0.1);
      loop_.advance(100);
    }
  }

  // A hand beside the pillar from now on.
  void handAt(sim::PlanePoint at) {
    sim::SceneObject hand;
    hand.from = at;
    hand.diameterMm = 60;
    scanner_->scene().objects = {hand};
  }

  std::size_t logged(std::string_view part) {
    std::size_t n = 0;
    for (const std::string& entry : form().List1.list().entries())
      n += entry.find(part) != std::string::npos ? 1 : 0;
    return n;
  }

  ScannerBackgrounds& backgrounds() { return program_.backgrounds(); }

  testing::RecordingLog log_;
  sim::Scene scene_;
  sim::StreamSettings settings_;
  std::optional<sim::NodeStream> scanner_;
};

TEST_F(ScannerBackgroundsTest, LearnedAtStartThePillarIsNoTouchInAnyRoadAndAHandIs) {
  // Without a background the pillar is a touch of the single-touch road in every turn.
  startWith("启动学习背景=2\n鼠标模式=1\n");
  EXPECT_EQ(logged("learning the background at start, for 2 s"), 1u);
  EXPECT_TRUE(backgrounds().learning());
  EXPECT_EQ(form().LBL背景.caption().rfind("正在学习背景", 0), 0u) << form().LBL背景.caption();

  play(1);
  // Nothing is touched while it learns, though the pillar lies in the rectangle.
  EXPECT_TRUE(desktop_.clicks().empty());
  EXPECT_TRUE(form().TXT当前处理数据.text().empty());
  play(2);
  ASSERT_FALSE(backgrounds().learning());
  EXPECT_EQ(logged("background of 扫描仪1 learned"), 1u);
  ASSERT_TRUE(files_.files.contains(kBackground));
  const auto read = ParseBackground(files_.files[kBackground]);
  ASSERT_TRUE(read.background) << read.error;
  EXPECT_EQ(*read.background, *backgrounds().background(0));
  EXPECT_EQ(backgrounds().background(0)->unsteady(), 0);
  EXPECT_NE(form().LBL背景.caption().find("0 个方向不稳定"), std::string::npos);
  EXPECT_FALSE(form().radar().stillShapes().outlines.empty());
  // The outline turns with the angle correction, as the beams do.
  const auto outlines = form().radar().stillShapes().outlines;
  const std::string correction = form().txt角度校正.text();
  form().txt角度校正.setText("123");
  EXPECT_NE(form().radar().stillShapes().outlines, outlines);
  form().txt角度校正.setText(correction);
  EXPECT_EQ(form().radar().stillShapes().outlines, outlines);

  form().TXT当前处理数据.setText("");
  play(3);
  EXPECT_TRUE(form().TXT当前处理数据.text().empty()) << "the pillar is no single touch";
  EXPECT_TRUE(form().engine().lastFrame().live.empty()) << "nor a contact";
  EXPECT_TRUE(desktop_.clicks().empty());

  // A hand 200 mm beside it is both.
  handAt({200, -3000});
  play(1);
  EXPECT_FALSE(form().TXT当前处理数据.text().empty());
  ASSERT_EQ(form().engine().lastFrame().live.size(), 1u);
  EXPECT_NEAR(form().engine().lastFrame().live[0].x, 7700, 40);
}

TEST_F(ScannerBackgroundsTest, AFileIsUsedOnlyForItsOwnScannerAndABadOneIsRefusedAndKept) {
  // Written and read on a machine that writes a decimal comma (where one is installed).
  testing::CommaLocale comma;
  // Learned from a scanner of 2000 nodes a second at 5.5 turns: about 364 directions, each with
  // a scatter of a few millimetres and a fraction.
  settings_.distanceNoiseMm = 3;
  startWith("");
  form().CMD学习背景.click();
  play(ScannerBackgrounds::kButtonSeconds + 1);
  ASSERT_TRUE(backgrounds().background(0));
  const std::string learned = files_.files.at(kBackground);
  EXPECT_NE(learned.find('.'), std::string::npos);
  EXPECT_EQ(learned.find(','), std::string::npos);

  // The same file at the next start: waiting for the scanner's first turn, then in force.
  {
    NextStart next(files_.files);
    EXPECT_FALSE(next.program.backgrounds().background(0));
    EXPECT_TRUE(next.program.backgrounds().listening());
    next.fakes.serialPort.waiting.assign(sim::kScanDescriptor.begin(), sim::kScanDescriptor.end());
    next.program.form().Text1.setText("3");
    sim::NodeStream scanner(scene_, settings_);
    for (int i = 0; i < 10; ++i) {
      scanner.appendSeconds(next.fakes.serialPort.waiting, 0.1);
      next.fakes.loop.advance(100);
    }
    ASSERT_TRUE(next.program.backgrounds().background(0));
    EXPECT_EQ(*next.program.backgrounds().background(0), *backgrounds().background(0));
    EXPECT_FALSE(next.program.backgrounds().listening());
  }

  // Cut short, not ours, or learned from a scanner of a quarter of this one's angular step: refused
  // at the start or at its first whole turn, and the file stays for the user to learn again.
  for (const auto& [content, why] : std::vector<std::pair<std::string, std::string>>{
           {learned.substr(0, learned.size() / 2), "truncated"},
           {"1,2\n", "not a background file"},
           {learned, "another angular step"}}) {
    std::map<std::string, std::string> files = files_.files;
    files[kBackground] = content;
    NextStart next(files);
    sim::StreamSettings dense = settings_;
    dense.nodesPerSecond = 8000;
    sim::NodeStream scanner(scene_, dense);
    next.fakes.serialPort.waiting.assign(sim::kScanDescriptor.begin(), sim::kScanDescriptor.end());
    next.program.form().Text1.setText("3");
    for (int i = 0; i < 10; ++i) {
      scanner.appendSeconds(next.fakes.serialPort.waiting, 0.1);
      next.fakes.loop.advance(100);
    }
    EXPECT_FALSE(next.program.backgrounds().background(0)) << why;
    EXPECT_FALSE(next.program.backgrounds().listening()) << why;
    EXPECT_EQ(next.fakes.files.files.at(kBackground), content) << why << ": the file is kept";
    std::size_t told = 0;
    for (const std::string& entry : next.program.form().List1.list().entries())
      told += entry.find("background file") != std::string::npos ? 1 : 0;
    EXPECT_EQ(told, 1u) << why;
    EXPECT_NE(next.program.form().LBL背景.caption().find("请重新学习"), std::string::npos) << why;
  }
}

TEST_F(ScannerBackgroundsTest, ALearningWhoseStreamStopsIsAbandonedAndClearRemovesTheFile) {
  startWith("");
  form().CMD学习背景.click();
  play(ScannerBackgrounds::kButtonSeconds + 1);
  const LearnedBackground first = *backgrounds().background(0);
  const std::string file = files_.files.at(kBackground);

  // Someone steps in and the scanner stalls mid-learning: the old background stays.
  handAt({0, -3300});
  form().CMD学习背景.click();
  play(1);
  play(3, false);
  EXPECT_FALSE(backgrounds().learning());
  EXPECT_EQ(logged("abandoned (its stream stopped)"), 1u);
  EXPECT_EQ(*backgrounds().background(0), first);
  EXPECT_EQ(files_.files.at(kBackground), file);
  EXPECT_NE(form().LBL背景.caption().find("沿用原背景"), std::string::npos);

  form().CMD清除背景.click();
  EXPECT_FALSE(backgrounds().background(0));
  EXPECT_FALSE(files_.files.contains(kBackground));
  EXPECT_TRUE(form().radar().stillShapes().outlines.empty());
  EXPECT_EQ(form().LBL背景.caption(), "未学习背景");
}

TEST_F(ScannerBackgroundsTest, AKeyThatIsNoNumberOfSecondsIsToldAndNothingIsLearned) {
  startWith("启动学习背景=3秒\n");
  EXPECT_FALSE(backgrounds().learning());
  EXPECT_TRUE(log_.mentions("[触控引擎] 启动学习背景"));
}

}  // namespace
}  // namespace scantouch
