// Windows' touch injection: the exact contact arrays handed to InjectTouchInput, through functions
// of the test's own, and what the system's own lookup finds under Wine.

#include "win32/win32_touch_injector.h"

#include <gtest/gtest.h>

#include <iostream>
#include <vector>

#include "outputs/system_touch_output.h"
#include "toolkit/virtual_event_loop.h"

namespace scantouch {
namespace {

constexpr POINTER_FLAGS kDown = POINTER_FLAG_DOWN | POINTER_FLAG_INRANGE | POINTER_FLAG_INCONTACT;
constexpr POINTER_FLAGS kMove = POINTER_FLAG_UPDATE | POINTER_FLAG_INRANGE | POINTER_FLAG_INCONTACT;
constexpr POINTER_FLAGS kUp = POINTER_FLAG_UP;

// What the stand-ins for user32's functions were given; plain functions cannot carry state.
struct Calls {
  std::vector<std::pair<UINT32, DWORD>> initialized;
  std::vector<std::vector<POINTER_TOUCH_INFO>> injected;
  BOOL initializeResult = TRUE;
  DWORD injectError = 0;  // 0: the injection succeeds
};
Calls calls;

BOOL WINAPI RecordInitialize(UINT32 maxCount, DWORD mode) {
  calls.initialized.emplace_back(maxCount, mode);
  if (!calls.initializeResult)
    SetLastError(ERROR_ACCESS_DENIED);
  return calls.initializeResult;
}

BOOL WINAPI RecordInject(UINT32 count, const POINTER_TOUCH_INFO* contacts) {
  calls.injected.emplace_back(contacts, contacts + count);
  if (calls.injectError == 0)
    return TRUE;
  SetLastError(calls.injectError);
  return FALSE;
}

// One contact as InjectTouchInput got it: id, flags and place.
struct Sent {
  UINT32 id;
  POINTER_FLAGS flags;
  LONG x, y;
  friend bool operator==(const Sent&, const Sent&) = default;
};
std::ostream& operator<<(std::ostream& out, const Sent& sent) {
  return out << "{" << sent.id << ", 0x" << std::hex << sent.flags << std::dec << ", " << sent.x
             << ", " << sent.y << "}";
}

std::vector<Sent> Summary(const std::vector<POINTER_TOUCH_INFO>& infos) {
  std::vector<Sent> result;
  for (const POINTER_TOUCH_INFO& info : infos) {
    result.push_back({info.pointerInfo.pointerId, info.pointerInfo.pointerFlags,
                      info.pointerInfo.ptPixelLocation.x, info.pointerInfo.ptPixelLocation.y});
  }
  return result;
}

class Win32TouchInjectorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    calls = Calls{};
    injection = Win32TouchInjector::Create(
        TouchInjectionFunctions{&RecordInitialize, &RecordInject}, problem);
    ASSERT_NE(injection, nullptr) << problem;
  }
  bool inject(std::vector<TouchPointState> contacts) { return injection->inject(contacts); }

  std::string problem;
  std::unique_ptr<Win32TouchInjector> injection;
  const LONG left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const LONG top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const LONG right = left + GetSystemMetrics(SM_CXVIRTUALSCREEN) - 1;
  const LONG bottom = top + GetSystemMetrics(SM_CYVIRTUALSCREEN) - 1;
};

TEST_F(Win32TouchInjectorTest, ContactsGoDownMoveAndComeUpAsTouchPointers) {
  EXPECT_EQ(calls.initialized,
            (std::vector<std::pair<UINT32, DWORD>>{{10, DWORD{TOUCH_FEEDBACK_DEFAULT}}}));
  EXPECT_EQ(injection->maxContacts(), 10);
  EXPECT_EQ(injection->refreshInterval_ms(), 50);

  EXPECT_TRUE(inject({{0, {left + 100, top + 50}, TouchPhase::down}}));
  ASSERT_EQ(calls.injected.size(), 1u);
  const POINTER_TOUCH_INFO& first = calls.injected[0].at(0);
  EXPECT_EQ(first.pointerInfo.pointerType, PT_TOUCH);
  EXPECT_EQ(first.touchMask, TOUCH_MASK_CONTACTAREA);
  EXPECT_EQ(first.rcContact.left, left + 98);
  EXPECT_EQ(first.rcContact.bottom, top + 52);
  EXPECT_EQ(Summary(calls.injected[0]), (std::vector<Sent>{{0, kDown, left + 100, top + 50}}));

  EXPECT_TRUE(inject({{0, {left + 110, top + 60}, TouchPhase::move},
                      {3, {left + 300, top + 200}, TouchPhase::down}}));
  EXPECT_EQ(Summary(calls.injected[1]), (std::vector<Sent>{{0, kMove, left + 110, top + 60},
                                                           {3, kDown, left + 300, top + 200}}));
  EXPECT_TRUE(inject({{3, {left + 301, top + 201}, TouchPhase::move},
                      {0, {left + 111, top + 61}, TouchPhase::up}}));
  EXPECT_EQ(Summary(calls.injected[2]),
            (std::vector<Sent>{{3, kMove, left + 301, top + 201}, {0, kUp, left + 111, top + 61}}));
}

TEST_F(Win32TouchInjectorTest, ContactsOffTheDesktopAreHeldAtItsEdge) {
  EXPECT_TRUE(inject({{0, {left - 5000, bottom + 5000}, TouchPhase::down}}));
  const POINTER_TOUCH_INFO& info = calls.injected.at(0).at(0);
  EXPECT_EQ(Summary(calls.injected[0]), (std::vector<Sent>{{0, kDown, left, bottom}}));
  EXPECT_EQ(info.rcContact.left, left);
  EXPECT_EQ(info.rcContact.bottom, bottom);
  EXPECT_EQ(info.rcContact.right, left + 2);
}

TEST_F(Win32TouchInjectorTest, ARefusalSaysWhy) {
  calls.injectError = ERROR_TIMEOUT;
  EXPECT_FALSE(inject({{0, {left, top}, TouchPhase::move}}));
  EXPECT_NE(injection->lastProblem().find("100 ms"), std::string::npos);
  calls.injectError = 0;
  EXPECT_TRUE(inject({{0, {left, top}, TouchPhase::down}}));
  EXPECT_TRUE(injection->lastProblem().empty());
}

TEST_F(Win32TouchInjectorTest, TheEnginesFramesBecomeReportsRepeatedWhileHeld) {
  VirtualEventLoop loop;
  SystemTouchOutput output(loop, *injection);
  TouchFrame frame;
  Contact contact;
  contact.sessionId = 4;
  contact.screen = ScreenPoint{left + 20, top + 30};
  frame.live = {contact};
  output.onTouchFrame(frame);
  loop.advance(50);
  frame.live.clear();
  contact.screen = ScreenPoint{left + 25, top + 35};
  frame.removed = {contact};
  output.onTouchFrame(frame);
  loop.advance(200);
  ASSERT_EQ(calls.injected.size(), 3u);
  EXPECT_EQ(Summary(calls.injected[0]), (std::vector<Sent>{{0, kDown, left + 20, top + 30}}));
  EXPECT_EQ(Summary(calls.injected[1]), (std::vector<Sent>{{0, kMove, left + 20, top + 30}}));
  EXPECT_EQ(Summary(calls.injected[2]), (std::vector<Sent>{{0, kUp, left + 25, top + 35}}));
}

TEST(TouchInjectionAvailability, AMissingOrRefusedInjectionIsToldAndTheSystemsLookupAnswers) {
  std::string problem;
  EXPECT_EQ(Win32TouchInjector::Create(TouchInjectionFunctions{}, problem), nullptr);
  EXPECT_NE(problem.find("not available"), std::string::npos);
  calls = Calls{};
  calls.initializeResult = FALSE;
  EXPECT_EQ(Win32TouchInjector::Create(TouchInjectionFunctions{&RecordInitialize, &RecordInject},
                                       problem),
            nullptr);
  EXPECT_NE(problem.find("refused"), std::string::npos);

  // The real thing: available, or a clear reason why not. Nothing is injected: on Windows that
  // would touch the desktop of whoever runs the tests.
  problem.clear();
  const auto system = Win32TouchInjector::Create(problem);
  if (system == nullptr) {
    EXPECT_NE(problem.find("system's touch output is off"), std::string::npos);
    std::cout << "touch injection here: " << problem << "\n";
  } else {
    EXPECT_TRUE(problem.empty());
    std::cout << "touch injection here: available\n";
  }
}

}  // namespace
}  // namespace scantouch
