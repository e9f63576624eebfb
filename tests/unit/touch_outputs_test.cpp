// Where the engine's contacts go in the whole program: held back while a calibration runs, never
// after the exit, and TUIO from this host with ids of its own.

#include "app/touch_outputs.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "example_setup.h"
#include "osc_reading.h"
#include "program_fixture.h"
#include "recording_datagrams.h"
#include "recording_touch_injector.h"
#include "scan_text.h"

namespace scantouch {
namespace {

constexpr const char* kPath = "/opt/scantouch/系统配置.ini";
constexpr const char* kTarget = "127.0.0.1:3333";
using Kind = testing::RecordingDesktopInput::Action::Kind;

Contact At(SessionId session, std::int32_t x, std::int32_t y) {
  Contact contact;
  contact.sessionId = session;
  contact.screen = ScreenPoint{x, y};
  contact.x = 7000;
  contact.y = 3000;
  contact.u = 0.5;
  contact.v = 0.5;
  return contact;
}

// The datagram sockets outlive the program, whose TUIO output holds sockets of theirs until it
// goes: a base made before the program's fixture goes after it.
struct WithDatagramSockets {
  testing::RecordingDatagramSockets datagrams_;
};

class TouchOutputsTest : protected WithDatagramSockets, public testing::ProgramFixture {
 protected:
  // Mode "1", the system's touch and TUIO, and whatever `more` adds to the section.
  void startWithEveryOutput(const std::string& more = "") {
    files_.files[kPath] =
        "[触控引擎]\n鼠标模式=1\n系统触控=1\nTUIO目标=" + std::string(kTarget) + "\n" + more;
    outputs().connectNetwork(datagrams_);
    outputs().connectTouchDevice([this](std::string&) {
      auto device = std::make_unique<testing::RecordingTouchInjector>(loop_);
      injector_ = device.get();
      return device;
    });
    program_.lifecycle().startUp();
    examples::CalibrateLikeTheExamples(form());
    ASSERT_NE(injector_, nullptr);
  }

  TouchOutputs& outputs() { return program_.touchOutputs(); }

  void frame(std::vector<Contact> live) {
    TouchFrame f;
    f.timeMs = loop_.nowMs();
    f.live = std::move(live);
    outputs().onTouchFrame(f);
  }

  int count(Kind kind) const {
    int n = 0;
    for (const auto& action : desktop_.actions)
      n += action.kind == kind;
    return n;
  }
  std::vector<TouchPointState> touches() const { return injector_->last(); }
  // The alive list of the last TUIO datagram.
  std::vector<std::int32_t> alive() const {
    const auto sent = datagrams_.sentTo(kTarget);
    if (sent.empty())
      return {999};
    const auto read = testing::ReadTuioBundle(sent.back());
    return read ? read->alive : std::vector<std::int32_t>{-999};
  }

  testing::RecordingTouchInjector* injector_ = nullptr;
};

using Touches = std::vector<TouchPointState>;
using Alive = std::vector<std::int32_t>;

TEST_F(TouchOutputsTest, TheFourCornerCalibrationLetsGoAtOnceAndItsTouchesNeverReachTheOutputs) {
  startWithEveryOutput();
  frame({At(1, 100, 100)});
  ASSERT_EQ(count(Kind::press), 1);
  ASSERT_EQ(touches(), (Touches{{0, {100, 100}, TouchPhase::down}}));
  const std::int32_t first = alive().at(0);

  form().CMD四角标定.click();
  ASSERT_TRUE(form().cornerCalibration().active());
  EXPECT_TRUE(outputs().holding());
  EXPECT_EQ(count(Kind::release), 1);
  EXPECT_EQ(touches(), (Touches{{0, {100, 100}, TouchPhase::up}}));
  EXPECT_EQ(alive(), Alive{});

  // The hand touches a corner, a second one comes: the radar shows them, nothing else does.
  const std::size_t reports = injector_->reports.size();
  const std::size_t sent = datagrams_.sent.size();
  frame({At(1, 100, 100), At(2, 1900, 10)});
  frame({At(1, 100, 100), At(2, 1900, 10)});
  EXPECT_EQ(form().radar().contacts().size(), 2u);
  form().cornerCalibration().cancel();
  EXPECT_FALSE(outputs().holding());
  frame({At(1, 100, 100), At(2, 1900, 10)});
  EXPECT_EQ(count(Kind::press), 1);
  EXPECT_EQ(injector_->reports.size(), reports);
  EXPECT_EQ(datagrams_.sent.size(), sent);

  // A touch after the calibration goes out as ever.
  frame({At(1, 100, 100), At(2, 1900, 10), At(3, 500, 500)});
  EXPECT_EQ(count(Kind::press), 2);
  EXPECT_EQ(desktop_.actions.back().at, (ScreenPoint{500, 500}));
  EXPECT_EQ(touches(), (Touches{{0, {500, 500}, TouchPhase::down}}));
  EXPECT_EQ(alive(), Alive{first + 2});
}

TEST_F(TouchOutputsTest, RecordingThePlaceOfAPoseHoldsTheOutputsBackUntilItsTurnsAreDone) {
  startWithEveryOutput("多扫描仪=1\n扫描仪位姿串口=7500,7500,0\n扫描仪位姿0=10000,2000,30\n");
  frame({At(1, 100, 100)});
  ASSERT_EQ(count(Kind::press), 1);

  form().CMD记录位姿点.click();
  PoseCalibration& pose = program_.surface().poseCalibration();
  ASSERT_TRUE(pose.recording());
  EXPECT_EQ(count(Kind::release), 1);
  EXPECT_EQ(touches(), (Touches{{0, {100, 100}, TouchPhase::up}}));
  EXPECT_EQ(alive(), Alive{});

  for (int turn = 0; turn < PoseCalibration::kPlaceTurns; ++turn) {
    frame({At(1, 100, 100)});
    pose.onTouchFrame(TouchFrame{});
  }
  ASSERT_FALSE(pose.recording());
  frame({At(1, 100, 100)});
  EXPECT_FALSE(outputs().holding());
  EXPECT_EQ(count(Kind::press), 1) << "the hand held still for the pose presses nothing";
  frame({At(1, 100, 100), At(2, 300, 300)});
  EXPECT_EQ(count(Kind::press), 2);
}

TEST_F(TouchOutputsTest, RecordingThePlaceOfAPoseHoldsTheClickPerTouchBackToo) {
  files_.files[kPath] =
      "[触控引擎]\n多扫描仪=1\n扫描仪位姿串口=7500,7500,0\n扫描仪位姿0=10000,2000,30\n";
  program_.lifecycle().startUp();
  examples::CalibrateLikeTheExamples(form());
  // A hand 4 m straight up from the scanner, in the touch rectangle, at a place that moves a
  // degree each time: every such touch clicks.
  double place = 0;
  const auto touch = [&] {
    std::string nodes = testing::DescriptorText();
    for (double angle = 0.25; angle < 3; angle += 1)
      nodes += testing::NodeText(angle + place, 4000);
    nodes += testing::NodeText(4.25 + place, 7000);
    testing::Feed(form().decoder(), nodes);
    place += 1;
  };
  touch();
  ASSERT_EQ(count(Kind::click), 1);

  form().CMD记录位姿点.click();
  ASSERT_TRUE(program_.surface().poseCalibration().recording());
  touch();
  EXPECT_EQ(count(Kind::click), 1) << "the hand held still for the pose clicks nothing";
  for (int turn = 0; turn < PoseCalibration::kPlaceTurns; ++turn)
    program_.surface().poseCalibration().onTouchFrame(TouchFrame{});
  touch();
  EXPECT_EQ(count(Kind::click), 2);
}

TEST_F(TouchOutputsTest, FramesThatComeWhileTheProgramEndsReachNoOutput) {
  startWithEveryOutput();
  frame({At(1, 100, 100)});
  program_.lifecycle().exitProgram();
  EXPECT_EQ(count(Kind::release), 1);
  EXPECT_EQ(touches(), (Touches{{0, {100, 100}, TouchPhase::up}}));
  const std::size_t reports = injector_->reports.size();
  const std::size_t sent = datagrams_.sent.size();
  frame({At(1, 110, 100)});
  frame({At(1, 120, 100), At(2, 500, 500)});
  EXPECT_EQ(count(Kind::press), 1);
  EXPECT_EQ(injector_->reports.size(), reports);
  EXPECT_EQ(datagrams_.sent.size(), sent);
}

TEST_F(TouchOutputsTest, TurningTheSystemsTouchOffLiftsItsTouchesThoughTheFirstLiftIsRefused) {
  startWithEveryOutput();
  frame({At(1, 100, 100)});
  injector_->refusing = true;
  (void)form().CHK系统触控.setValue(CheckBox::kCleared);
  EXPECT_EQ(touches(), (Touches{{0, {100, 100}, TouchPhase::up}}));
  injector_->refusing = false;
  const std::size_t reports = injector_->reports.size();
  loop_.advance(SystemTouchOutput::kStaleAfter_ms);
  EXPECT_EQ(injector_->reports.size(), reports + 1);
  EXPECT_EQ(touches(), (Touches{{0, {100, 100}, TouchPhase::up}}));
  frame({At(1, 100, 100)});
  loop_.advance(5000);
  EXPECT_EQ(injector_->reports.size(), reports + 1) << "off is off";
}

TEST_F(TouchOutputsTest, TuioNamesThisHostAndStartsItsIdsFromTheTimeOfTheStart) {
  loop_.setWallClockStart(1'700'000'000'000);
  startWithEveryOutput();
  frame({At(1, 100, 100)});
  const auto read = testing::ReadTuioBundle(datagrams_.sentTo(kTarget).back());
  ASSERT_TRUE(read);
  EXPECT_EQ(read->source, "scantouch@wall-1");
  TuioSessionIds expected(TuioSessionStart(1'700'000'000'000, "wall-1"));
  const std::vector<Contact> live{At(1, 100, 100)};
  EXPECT_EQ(read->alive, Alive{expected.assign(live)[0]});
  EXPECT_NE(read->alive, Alive{1});
}

}  // namespace
}  // namespace scantouch
