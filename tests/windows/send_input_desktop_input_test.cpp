// Cursor and clicks through SendInput under Wine, as a low-level mouse hook sees them.

#include "win32/send_input_desktop_input.h"

#include <gtest/gtest.h>

#include <vector>

#include "run_until.h"

namespace scantouch {
namespace {

using testing::RunUntil;

// What a low-level mouse hook sees of the program's input.
std::vector<MSLLHOOKSTRUCT>* seen = nullptr;
std::vector<WPARAM>* seenKinds = nullptr;

LRESULT CALLBACK MouseHook(int code, WPARAM kind, LPARAM data) {
  if (code == HC_ACTION && seen != nullptr) {
    seen->push_back(*reinterpret_cast<const MSLLHOOKSTRUCT*>(data));
    seenKinds->push_back(kind);
  }
  return CallNextHookEx(nullptr, code, kind, data);
}

TEST(WindowsDesktopInput, MovesAndClicksReachAMouseHookAtTheirPixels) {
  Win32EventLoop loop;
  std::vector<MSLLHOOKSTRUCT> events;
  std::vector<WPARAM> kinds;
  seen = &events;
  seenKinds = &kinds;
  HHOOK hook = SetWindowsHookExW(WH_MOUSE_LL, MouseHook, GetModuleHandleW(nullptr), 0);
  ASSERT_NE(hook, nullptr);
  SendInputDesktopInput desktop;
  EXPECT_TRUE(desktop.setCursorPos(300, 200));
  EXPECT_TRUE(desktop.leftClick());
  RunUntil(
      loop, [&] { return kinds.size() >= 3; }, 3000);
  UnhookWindowsHookEx(hook);
  seen = nullptr;
  ASSERT_GE(kinds.size(), 3u);
  EXPECT_EQ(kinds[0], static_cast<WPARAM>(WM_MOUSEMOVE));
  EXPECT_NEAR(events[0].pt.x, 300, 1);
  EXPECT_NEAR(events[0].pt.y, 200, 1);
  EXPECT_NE(events[0].flags & LLMHF_INJECTED, 0u);
  EXPECT_EQ(kinds[1], static_cast<WPARAM>(WM_LBUTTONDOWN));
  EXPECT_EQ(kinds[2], static_cast<WPARAM>(WM_LBUTTONUP));
}

}  // namespace
}  // namespace scantouch
