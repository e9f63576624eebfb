#include "outputs/mouse_contact_driver.h"

#include <gtest/gtest.h>

#include "recording_desktop_input.h"
#include "toolkit/virtual_event_loop.h"

namespace scantouch {
namespace {

using testing::RecordingDesktopInput;
using Kind = RecordingDesktopInput::Action::Kind;

Contact At(SessionId session, std::int32_t x, std::int32_t y) {
  Contact contact;
  contact.sessionId = session;
  contact.screen = ScreenPoint{x, y};
  return contact;
}

class MouseContactDriverTest : public ::testing::Test {
 protected:
  MouseContactDriverTest() {
    (void)move_.setValue(CheckBox::kChecked);
    (void)click_.setValue(CheckBox::kChecked);
    driver_.setEnabled(true);
  }

  void frame(std::vector<Contact> live, std::vector<Contact> removed = {}) {
    TouchFrame f;
    f.live = std::move(live);
    f.removed = std::move(removed);
    driver_.onTouchFrame(f);
  }

  int count(Kind kind) const {
    int n = 0;
    for (const auto& action : desktop_.actions)
      n += action.kind == kind;
    return n;
  }

  VirtualEventLoop loop_;
  RecordingDesktopInput desktop_;
  CheckBox move_{"CHK鼠标移动", "鼠标移动"};
  CheckBox click_{"CHK鼠标点击", "鼠标点击"};
  MouseContactDriver driver_{loop_, desktop_, move_, click_};
};

TEST_F(MouseContactDriverTest, ATouchPressesDragsAndReleasesOnce) {
  frame({At(1, 100, 100)});
  frame({At(1, 100, 100)});  // still: nothing new
  frame({At(1, 120, 110)});
  frame({}, {At(1, 130, 115)});
  frame({});
  using Action = RecordingDesktopInput::Action;
  EXPECT_EQ(desktop_.actions, (std::vector<Action>{{Kind::move, {100, 100}},
                                                   {Kind::press, {100, 100}},
                                                   {Kind::move, {120, 110}},
                                                   {Kind::move, {130, 115}},
                                                   {Kind::release, {130, 115}}}));
}

TEST_F(MouseContactDriverTest, AContactThatCameWhileTheMouseWasHeldNeverTakesItOver) {
  frame({At(1, 100, 100)});
  frame({At(1, 100, 100), At(2, 500, 500)});
  frame({At(2, 500, 500)}, {At(1, 100, 100)});  // the first lifts, the second is still down
  frame({At(2, 510, 500)});
  frame({At(2, 510, 500), At(3, 900, 900)});  // a new touch while the mouse is free takes it
  EXPECT_EQ(desktop_.actions.back().kind, Kind::press);
  EXPECT_EQ(desktop_.actions.back().at, (ScreenPoint{900, 900}));
  int presses = 0;
  for (const auto& action : desktop_.actions)
    presses += action.kind == Kind::press;
  EXPECT_EQ(presses, 2);
}

TEST_F(MouseContactDriverTest, TheBoxesGateMovesAndButtonsButAHeldButtonIsAlwaysReleased) {
  (void)move_.setValue(CheckBox::kCleared);
  frame({At(1, 100, 100)});
  frame({At(1, 150, 100)});
  (void)click_.setValue(CheckBox::kCleared);  // cleared while the button is down
  frame({}, {At(1, 150, 100)});
  using Action = RecordingDesktopInput::Action;
  EXPECT_EQ(desktop_.actions,
            (std::vector<Action>{{Kind::press, {0, 0}}, {Kind::release, {0, 0}}}));

  frame({At(2, 100, 100)});  // clicking off: no button at all
  frame({}, {At(2, 100, 100)});
  EXPECT_EQ(desktop_.actions.size(), 2u);
}

TEST_F(MouseContactDriverTest, TurningItOffReleasesTheButton) {
  frame({At(1, 100, 100)});
  driver_.setEnabled(false);
  EXPECT_EQ(desktop_.actions.back().kind, Kind::release);
  frame({At(1, 200, 200)});
  EXPECT_EQ(desktop_.actions.back().kind, Kind::release);
}

TEST_F(MouseContactDriverTest, ASilentStreamLetsGoAfterASecondAndTheContactDoesNotPressAgain) {
  frame({At(1, 100, 100)});
  loop_.advance(100);
  frame({At(1, 110, 100)});
  loop_.advance(MouseContactDriver::kStaleAfter_ms - 1);
  EXPECT_EQ(count(Kind::release), 0) << "a frame a second keeps the button down";
  loop_.advance(1);
  EXPECT_EQ(count(Kind::release), 1);
  EXPECT_EQ(desktop_.actions.back().at, (ScreenPoint{110, 100}));
  EXPECT_EQ(loop_.activeTimers(), 0u);

  // The stream comes back with the hand in the middle of its gesture; then a new touch.
  frame({At(1, 120, 100)});
  frame({At(1, 130, 100)});
  EXPECT_EQ(count(Kind::press), 1);
  frame({At(1, 130, 100), At(2, 700, 700)});
  EXPECT_EQ(count(Kind::press), 2);
  EXPECT_EQ(desktop_.actions.back().at, (ScreenPoint{700, 700}));
}

TEST_F(MouseContactDriverTest, ContactsThatWereThereWhileItWasOffDoNotPressWhenItComesOn) {
  frame({At(1, 100, 100)});
  frame({At(1, 100, 100), At(2, 300, 300)});
  driver_.setEnabled(false);
  frame({At(2, 300, 300), At(3, 500, 500)});
  driver_.setEnabled(true);
  frame({At(2, 310, 300), At(3, 510, 500)});
  EXPECT_EQ(count(Kind::press), 1);
  EXPECT_EQ(count(Kind::release), 1);
  frame({At(2, 310, 300), At(3, 510, 500), At(4, 900, 900)});
  EXPECT_EQ(count(Kind::press), 2);
  EXPECT_EQ(desktop_.actions.back().at, (ScreenPoint{900, 900}));
}

TEST_F(MouseContactDriverTest, TakesTheMouseAfterTheSessionIdsPassedThirtyTwoBits) {
  const SessionId last32 = 0xffffffffULL;
  for (SessionId id = last32 - 1; id <= last32 + 2; ++id) {
    frame({At(id, 100, 100)});
    frame({}, {At(id, 100, 100)});
  }
  EXPECT_EQ(count(Kind::press), 4);
  EXPECT_EQ(count(Kind::release), 4);
}

}  // namespace
}  // namespace scantouch
