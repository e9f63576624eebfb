// The whole program on a virtual X display against the simulated scanner, the touch engine
// driving the mouse (鼠标模式=1): the left button and the pointer as the X server records them
// for every client (the RECORD extension), so that what is seen is what another program on the
// desktop gets. A touch is one press and one release however many turns it lasts, and the
// pointer follows a hand that moves while the button is down.

#include <gtest/gtest.h>

#include <QProcess>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "installed_program.h"
#include "program_folder.h"
#include "qt_program.h"

// Last: Xlib defines macros such as None and Bool that clash with the test framework's names.
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/record.h>

namespace scantouch {
namespace {

namespace fs = std::filesystem;
using testing::RunUntil;
using testing::SimProcess;

// The left button's presses and releases and the pointer's moves, in the order the X server
// processed them, with the pointer's place on the root window.
class PointerRecord {
 public:
  enum class Kind { press, release, motion };
  struct Event {
    Kind kind;
    int x = 0;
    int y = 0;
  };

  PointerRecord() : control_(XOpenDisplay(nullptr)), data_(XOpenDisplay(nullptr)) {
    int major = 0, minor = 0;
    if (control_ == nullptr || data_ == nullptr || !XRecordQueryVersion(control_, &major, &minor))
      return;
    XRecordRange* range = XRecordAllocRange();
    range->device_events.first = ButtonPress;
    range->device_events.last = MotionNotify;
    XRecordClientSpec clients = XRecordAllClients;
    context_ = XRecordCreateContext(control_, 0, &clients, 1, &range, 1);
    XFree(range);
    XSync(control_, False);
    ready_ = context_ != 0 && XRecordEnableContextAsync(data_, context_, &PointerRecord::intercept,
                                                        reinterpret_cast<XPointer>(this));
  }
  ~PointerRecord() {
    if (context_ != 0) {
      XRecordDisableContext(control_, context_);
      XRecordFreeContext(control_, context_);
      XSync(control_, False);
    }
    if (data_ != nullptr)
      XCloseDisplay(data_);
    if (control_ != nullptr)
      XCloseDisplay(control_);
  }
  PointerRecord(const PointerRecord&) = delete;
  PointerRecord& operator=(const PointerRecord&) = delete;

  bool ready() const { return ready_; }

  // Everything recorded so far, the server's latest reports read first.
  const std::vector<Event>& events() {
    XRecordProcessReplies(data_);
    return events_;
  }
  int count(Kind kind) {
    int n = 0;
    for (const Event& event : events())
      n += event.kind == kind ? 1 : 0;
    return n;
  }

 private:
  static void intercept(XPointer self, XRecordInterceptData* data) {
    if (data->category == XRecordFromServer && data->data != nullptr) {
      const auto* event = reinterpret_cast<const xEvent*>(data->data);
      const int type = event->u.u.type & 0x7f;
      const int x = event->u.keyButtonPointer.rootX, y = event->u.keyButtonPointer.rootY;
      auto& events = reinterpret_cast<PointerRecord*>(self)->events_;
      if (type == MotionNotify)
        events.push_back(Event{Kind::motion, x, y});
      else if ((type == ButtonPress || type == ButtonRelease) && event->u.u.detail == Button1)
        events.push_back(Event{type == ButtonPress ? Kind::press : Kind::release, x, y});
    }
    XRecordFreeData(data);
  }

  Display* control_;
  Display* data_;
  XRecordContext context_ = 0;
  bool ready_ = false;
  std::vector<Event> events_;
};

// What the events say of the button: "P" for a press, "R" for a release, moves left out.
std::string Presses(const std::vector<PointerRecord::Event>& events) {
  std::string presses;
  for (const auto& event : events) {
    if (event.kind != PointerRecord::Kind::motion)
      presses += event.kind == PointerRecord::Kind::press ? 'P' : 'R';
  }
  return presses;
}

// The events as text for a failure's message: "P" press, "R" release, "m" move, each with its x,y.
std::string Describe(const std::vector<PointerRecord::Event>& events) {
  std::string text;
  for (const auto& event : events) {
    text += event.kind == PointerRecord::Kind::press     ? " P"
            : event.kind == PointerRecord::Kind::release ? " R"
                                                         : " m";
    text += std::to_string(event.x) + "," + std::to_string(event.y);
  }
  return text;
}

// The program's touch rectangle is 5000 x 3000 mm straight ahead of the scanner, mapped onto a
// band at the bottom of the desktop, clear of the program's own window: a hand at 4000 mm straight
// ahead is at the middle of the band's width, its near side 1550 mm below the rectangle's top.
// Hands are 100 mm across: at 4 m one spans more than the degree between the simulator's nodes,
// so that every turn sees it.
constexpr int kBandTop = 1300;
constexpr int kBandWidth = 2000;
constexpr int kBandHeight = 250;
constexpr int kAheadX = kBandWidth / 2;
constexpr int kAheadY = kBandTop + 1550 * kBandHeight / 3000;

class TouchEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(record_.ready()) << "needs an X server with RECORD (CTest runs it under Xvfb)";
  }
  void TearDown() override {
    if (program_.state() != QProcess::NotRunning) {
      program_.kill();
      program_.waitForFinished(5000);
    }
    sim_.reset();
    installation_.remove();
  }

  // The program with the touch engine's section holding `engine` (none: no section), against a
  // simulator playing `scene`.
  void start(const std::vector<std::pair<std::string, std::string>>& engine,
             const QStringList& scene) {
    installation_.touchEngine = engine;
    const int port = testing::FreeLoopbackPort();
    installation_.create(port, SCANTOUCH_PATH);
    sim_ = std::make_unique<SimProcess>(
        QStringList{"--tcp", QString::number(port), "--room", "7000"} + scene);
    ASSERT_TRUE(sim_->waitForLine("ready"));
    ASSERT_TRUE(testing::StartInstalled(program_, installation_));
  }
  // Closes the program as log-out does, and waits for its end.
  ::testing::AssertionResult close() { return testing::CloseAsAtLogOut(program_); }
  void drag(int fromDegrees, int toDegrees);
  bool waitFor(PointerRecord::Kind kind, int count, int timeout_ms = 20000) {
    return RunUntil([&] { return record_.count(kind) >= count; }, timeout_ms);
  }

  PointerRecord record_;
  testing::ProgramFolder installation_{
      fs::temp_directory_path() / ("scantouch-touch-e2e-" + std::to_string(::getpid())), "0,1300",
      std::to_string(kBandWidth) + "," + std::to_string(kBandHeight)};
  std::unique_ptr<SimProcess> sim_;
  QProcess program_;
};

const std::vector<std::pair<std::string, std::string>> kPressDragRelease{{"鼠标模式", "1"}};

TEST_F(TouchEndToEnd, EachTapIsOnePressAndOneReleaseWhereTheHandIs) {
  // Three taps of a still hand, each there for 1 s (five or six turns) and away for 1 s.
  constexpr int kTaps = 3;
  start(kPressDragRelease, {"--object", "0,4000,100", "--present", "0,6", "--tap", "1,2,0.5"});
  ASSERT_TRUE(waitFor(PointerRecord::Kind::release, kTaps)) << Describe(record_.events());
  // Long enough for a tap that came apart into two contacts to show its second press.
  RunUntil([&] { return record_.count(PointerRecord::Kind::press) > kTaps; }, 2000);

  const auto& events = record_.events();
  EXPECT_EQ(Presses(events), "PRPRPR") << Describe(events);
  for (const auto& event : events) {
    if (event.kind == PointerRecord::Kind::motion)
      continue;
    EXPECT_NEAR(event.x, kAheadX, 10);
    EXPECT_NEAR(event.y, kAheadY, 25);
  }
  EXPECT_TRUE(close());
}

// A hand that comes in at `fromDegrees`, moves at 0.7 m/s to `toDegrees` 4 m away and leaves
// there: the button goes down where it came, the cursor follows it with the button down, and
// the button goes up where it left.
void TouchEndToEnd::drag(int fromDegrees, int toDegrees) {
  const QString way = QString("%1,4000,100,%2,4000,6").arg(fromDegrees).arg(toDegrees);
  start(kPressDragRelease, {"--object", way, "--present", "0,3"});
  ASSERT_TRUE(waitFor(PointerRecord::Kind::release, 1)) << Describe(record_.events());
  RunUntil([&] { return record_.count(PointerRecord::Kind::press) > 1; }, 1500);

  const auto& events = record_.events();
  EXPECT_EQ(Presses(events), "PR") << "one press for the whole drag:" << Describe(events);
  const auto press = std::find_if(events.begin(), events.end(), [](const auto& event) {
    return event.kind == PointerRecord::Kind::press;
  });
  const auto release = std::find_if(press, events.end(), [](const auto& event) {
    return event.kind == PointerRecord::Kind::release;
  });
  ASSERT_NE(release, events.end());
  // From 15 degrees one side to 15 the other is 2070 mm, 828 pixels; birth and removal take a few
  // turns of it at each end.
  const int way_px = release->x - press->x;
  EXPECT_GT(toDegrees > fromDegrees ? way_px : -way_px, 500) << Describe(events);
  const auto moves = std::count_if(
      press, release, [](const auto& event) { return event.kind == PointerRecord::Kind::motion; });
  EXPECT_GT(moves, 5) << "the cursor follows the hand turn by turn:" << Describe(events);
  EXPECT_TRUE(close());
}

TEST_F(TouchEndToEnd, ADragToTheRightIsOnePressThatTheCursorFollows) {
  drag(-15, 15);
}

// Across straight ahead, the start of the scanner's turn, against its sweep.
TEST_F(TouchEndToEnd, ADragToTheLeftIsOnePressThatTheCursorFollows) {
  drag(15, -15);
}

TEST_F(TouchEndToEnd, TheButtonHeldByAHandAtTheExitGoesUp) {
  start(kPressDragRelease, {"--object", "0,4000,100"});
  ASSERT_TRUE(waitFor(PointerRecord::Kind::press, 1)) << sim_->output();
  EXPECT_TRUE(close());
  EXPECT_TRUE(waitFor(PointerRecord::Kind::release, 1, 3000));
  EXPECT_EQ(Presses(record_.events()), "PR") << Describe(record_.events());
}

TEST_F(TouchEndToEnd, WithoutTheEngineSectionAHeldHandClicksAsBefore) {
  // Click per touch: a hand held still clicks again and again, each click a press and a release.
  start({}, {"--object", "0,4000,100"});
  ASSERT_TRUE(waitFor(PointerRecord::Kind::press, 3)) << sim_->output();
  EXPECT_TRUE(close());
  // The last click's release may still be on its way to the recording.
  RunUntil(
      [&] {
        return record_.count(PointerRecord::Kind::release) >=
               record_.count(PointerRecord::Kind::press);
      },
      3000);
  const std::string presses = Presses(record_.events());
  ASSERT_GE(presses.size(), 6u);
  for (std::size_t i = 0; i < presses.size(); ++i)
    EXPECT_EQ(presses[i], i % 2 == 0 ? 'P' : 'R') << presses;
  EXPECT_EQ(presses.back(), 'R') << "no button is left held";
}

}  // namespace
}  // namespace scantouch
