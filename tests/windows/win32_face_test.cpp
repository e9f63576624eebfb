// The native windows, built from the description both faces share: every described control is
// there under its English name, typing goes into the core as on Qt, a page scrolls when its area
// is too small and gives the height to spare to its log when it is large, and the network window
// follows its monitor's DPI; the radar view paints each change of the model, not only the first,
// and a mask can be dragged out on it.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/window_layout.h"
#include "background/view_masks.h"
#include "gui/win32/bindings.h"
#include "gui/win32/main_window.h"
#include "gui/win32/network_window.h"
#include "gui/win32/window_class.h"
#include "program_fixture.h"
#include "radar/radar_palette.h"
#include "run_until.h"
#include "win32/wide_text.h"

namespace scantouch {
namespace {

RECT RectIn(HWND control, HWND parent) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// What the window shows, as 32-bit pixels.
std::vector<std::uint32_t> Pixels(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  HDC screen = GetDC(window);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = client.right;
  info.bmiHeader.biHeight = -client.bottom;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(client.right * client.bottom));
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(client.bottom), pixels.data(), &info,
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  return pixels;
}

SCROLLINFO VerticalScroll(HWND window) {
  SCROLLINFO scroll{};
  scroll.cbSize = sizeof scroll;
  scroll.fMask = SIF_ALL;
  GetScrollInfo(window, SB_VERT, &scroll);
  return scroll;
}

class Win32FaceTest : public testing::ProgramFixture {
 protected:
  Win32FaceTest() { program_.lifecycle().startUp(); }

  // Resizes the window's client area, which lays the pages out anew.
  void resizeTo(int width, int height) {
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_CONTROLPARENT);
    SetWindowPos(window_.handle(), nullptr, 0, 0, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // Shows the page that holds `control`, as a click on its tab does.
  void showPageOf(HWND control) {
    HWND tabs = FindWindowExW(window_.handle(), nullptr, WC_TABCONTROLW, nullptr);
    const LRESULT count = SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0);
    for (LRESULT index = 0; index < count && !IsWindowVisible(control); ++index) {
      SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
      NMHDR header{tabs, static_cast<UINT_PTR>(GetDlgCtrlID(tabs)), TCN_SELCHANGE};
      SendMessageW(window_.handle(), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    }
  }

  gui_win32::FramePacer pacer_;
  gui_win32::MainWindow window_{program_, pacer_, nullptr};
};

TEST_F(Win32FaceTest, EveryDescribedControlIsThereUnderItsEnglishName) {
  gui_win32::NetworkWindow networkWindow(program_.network(), pacer_, nullptr);
  const auto expectEach = [](const layout::WindowLayout& description, auto find) {
    layout::ForEachItem(description, [&](const layout::Item& item) {
      if (item.control == nullptr || item.kind == layout::Kind::radarView)
        return;
      const std::string name =
          item.kind == layout::Kind::radioButtons ? item.name + ".0" : item.name;
      EXPECT_NE(find(name), nullptr) << name;
    });
  };
  expectEach(layout::MainWindowLayout(form()),
             [&](const std::string& name) { return window_.control(name); });
  expectEach(layout::NetworkWindowLayout(network()),
             [&](const std::string& name) { return networkWindow.control(name); });
}

TEST_F(Win32FaceTest, ATouchTypedIntoTheDebugPageIsMappedAsOnQt) {
  HWND current = window_.control("currentTouch");
  HWND mapped = window_.control("mappedTouch");
  ASSERT_NE(current, nullptr);
  ASSERT_NE(mapped, nullptr);
  EXPECT_EQ(GetWindowLongW(current, GWL_STYLE) & ES_READONLY, 0);
  EXPECT_EQ(GetWindowLongW(mapped, GWL_STYLE) & ES_READONLY, 0);
  showPageOf(current);
  ASSERT_TRUE(IsWindowVisible(mapped));
  const std::string before = form().txt校正后数据.text();
  SetWindowTextW(current, L"6000,2500");  // as the user's typing ends
  EXPECT_EQ(form().TXT当前处理数据.text(), "6000,2500");
  EXPECT_NE(form().txt校正后数据.text(), before);
  EXPECT_EQ(Narrow(gui_win32::WindowText(mapped)), form().txt校正后数据.text());
  SetWindowTextW(mapped, L"1,2");
  EXPECT_EQ(form().txt校正后数据.text(), "1,2");
}

TEST_F(Win32FaceTest, ABoxOnAPageNotShownTakesTheNewestTextWhenItShows) {
  HWND mapped = window_.control("mappedTouch");
  ASSERT_NE(mapped, nullptr);
  showPageOf(window_.control("screenSize"));  // the calibration page
  ASSERT_FALSE(IsWindowVisible(mapped));
  form().txt校正后数据.setText("1,2");
  form().txt校正后数据.setText("12,34");
  EXPECT_NE(Narrow(gui_win32::WindowText(mapped)), "12,34");  // no text laid out meanwhile
  showPageOf(mapped);
  Win32EventLoop loop;
  EXPECT_TRUE(testing::RunUntil(
      loop, [&] { return Narrow(gui_win32::WindowText(mapped)) == "12,34"; }, 2000));
  EXPECT_EQ(form().txt校正后数据.text(), "12,34");  // and showing it is no edit
}

TEST_F(Win32FaceTest, ASmallPageScrollsAndALargeOneGivesItsLogTheHeightToSpare) {
  HWND log = window_.control("eventLog");
  ASSERT_NE(log, nullptr);
  HWND page = GetParent(log);
  resizeTo(900, 360);
  SCROLLINFO scroll = VerticalScroll(page);
  EXPECT_GT(scroll.nMax + 1, static_cast<int>(scroll.nPage)) << "the debug page needs scrolling";
  RECT area;
  GetClientRect(page, &area);
  EXPECT_GT(RectIn(log, page).bottom, area.bottom);
  SendMessageW(page, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_LE(RectIn(log, page).bottom, area.bottom);
  EXPECT_GT(VerticalScroll(page).nPos, 0);

  resizeTo(1200, 1000);
  scroll = VerticalScroll(page);
  EXPECT_GT(static_cast<int>(scroll.nPage), scroll.nMax) << "the whole page fits";
  GetClientRect(page, &area);
  const RECT shown = RectIn(log, page);
  EXPECT_GE(shown.top, 0) << "scrolled back to the top";
  EXPECT_GT(shown.bottom - shown.top, 120);
  EXPECT_GE(area.bottom - shown.bottom, 0);
  EXPECT_LT(area.bottom - shown.bottom, 30) << "the log reaches down to the page's end";
}

TEST_F(Win32FaceTest, TheNetworkWindowFollowsItsMonitorsDpi) {
  gui_win32::NetworkWindow network(program_.network(), pacer_, nullptr);
  HWND address = network.control("channel0.address");
  ASSERT_NE(address, nullptr);
  const RECT at96 = RectIn(address, network.handle());
  RECT frame;
  GetWindowRect(network.handle(), &frame);
  RECT suggested{frame.left, frame.top, frame.left + 2 * (frame.right - frame.left),
                 frame.top + 2 * (frame.bottom - frame.top)};
  const double scale = gui_win32::WindowScale(network.handle());
  const auto twice = static_cast<WPARAM>(2 * 96 * scale);
  SendMessageW(network.handle(), WM_DPICHANGED, MAKEWPARAM(twice, twice),
               reinterpret_cast<LPARAM>(&suggested));
  const RECT at192 = RectIn(address, network.handle());
  EXPECT_NEAR(at192.bottom - at192.top, 2 * (at96.bottom - at96.top), 2);
  EXPECT_NEAR(at192.right - at192.left, 2 * (at96.right - at96.left), 4);
  EXPECT_NEAR(at192.left, 2 * at96.left, 2);
}

TEST_F(Win32FaceTest, TheCornerMarksCoverTheScreenAreaUntilTheUserCancels) {
  form().TXT屏幕宽高.setText("640,480");
  form().TXT屏幕左上角.setText("100,50");
  HWND marks = window_.cornerMarks().handle();
  EXPECT_FALSE(IsWindowVisible(marks));
  SendMessageW(window_.control("fourCornerCalibration"), BM_CLICK, 0, 0);
  ASSERT_TRUE(form().cornerCalibration().active());
  EXPECT_TRUE(IsWindowVisible(marks));
  RECT area;
  GetWindowRect(marks, &area);
  EXPECT_EQ(area.left, 100);
  EXPECT_EQ(area.top, 50);
  EXPECT_EQ(area.right - area.left, 640);
  EXPECT_EQ(area.bottom - area.top, 480);
  EXPECT_NE(GetWindowLongW(marks, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_EQ(GetWindowLongW(marks, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);

  SendMessageW(marks, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(form().cornerCalibration().active());
  EXPECT_FALSE(IsWindowVisible(marks));

  form().CMD四角标定.click();
  ASSERT_TRUE(IsWindowVisible(marks));
  HWND cancel = window_.cornerMarks().cancelButton();
  EXPECT_EQ(Narrow(gui_win32::WindowText(cancel)), "取消");
  SendMessageW(cancel, BM_CLICK, 0, 0);
  EXPECT_FALSE(form().cornerCalibration().active());
  EXPECT_FALSE(IsWindowVisible(marks));
}

// Nothing but the model's changes asks for the radar view's frames: no click on it, no cursor
// over it (the touch engine with the mouse left alone).
TEST_F(Win32FaceTest, TheRadarViewPaintsEachChangeOfTheModel) {
  Win32EventLoop loop;
  ShowWindow(window_.handle(), SW_SHOWNOACTIVATE);
  HWND radar = FindWindowExW(window_.handle(), nullptr, L"ScantouchRadar", nullptr);
  ASSERT_NE(radar, nullptr);
  form().SHPWIN.setVisible(true);
  form().SHPWIN.setTop(2000);
  ASSERT_EQ(form().SHPWIN.setWidth(3000), ToolkitResult::ok);
  ASSERT_EQ(form().SHPWIN.setHeight(2000), ToolkitResult::ok);
  testing::RunUntil(
      loop, [] { return false; }, 300);  // the first frames
  for (int move = 1; move <= 3; ++move) {
    const std::vector<std::uint32_t> before = Pixels(radar);
    ASSERT_FALSE(before.empty());
    form().SHPWIN.setLeft(form().SHPWIN.left() + 800);
    EXPECT_TRUE(testing::RunUntil(
        loop, [&] { return Pixels(radar) != before; }, 2000))
        << "the touch rectangle's move " << move << " is not shown";
  }
  // A quality label's caption repaints only its box.
  for (const char* caption : {"A", "B", "C"}) {
    const std::vector<std::uint32_t> before = Pixels(radar);
    form().radar().lblquality[0].setCaption(caption);
    EXPECT_TRUE(testing::RunUntil(
        loop, [&] { return Pixels(radar) != before; }, 2000))
        << "the caption " << caption << " is not shown";
  }
}

TEST_F(Win32FaceTest, AMaskDraggedOnTheRadarViewWithItsBoxTickedIsAddedAndShownShaded) {
  Win32EventLoop loop;
  ShowWindow(window_.handle(), SW_SHOWNOACTIVATE);
  HWND radar = FindWindowExW(window_.handle(), nullptr, L"ScantouchRadar", nullptr);
  ASSERT_NE(radar, nullptr);
  form().TXT屏蔽区域.setText("");
  testing::RunUntil(
      loop, [] { return false; }, 300);  // the first frames
  RECT client;
  GetClientRect(radar, &client);
  const int side = std::min(client.right, client.bottom);
  const POINT view{(client.right - side) / 2, (client.bottom - side) / 2};
  const POINT from{view.x + side * 15 / 100, view.y + side * 60 / 100};
  const POINT to{from.x + 120, from.y + 90};
  const POINT inside{from.x + 60, from.y + 45};
  const double unitsPerPixel = form().PICYL.scaleWidth() / static_cast<double>(side);
  const auto colourAt = [&](const std::vector<std::uint32_t>& pixels, POINT at) {
    return pixels[static_cast<std::size_t>(at.y * client.right + at.x)] & 0xFFFFFF;
  };
  const auto drag = [&](bool lookHalfway) {
    const auto at = [](POINT pixel) { return MAKELPARAM(pixel.x, pixel.y); };
    SendMessageW(radar, WM_LBUTTONDOWN, MK_LBUTTON, at(from));
    SendMessageW(radar, WM_MOUSEMOVE, MK_LBUTTON, at({to.x - 40, to.y - 30}));
    SendMessageW(radar, WM_MOUSEMOVE, MK_LBUTTON, at(to));
    std::vector<std::uint32_t> halfway;
    if (lookHalfway) {
      const std::vector<std::uint32_t> before = Pixels(radar);
      testing::RunUntil(
          loop, [&] { return Pixels(radar) != before; }, 2000);
      halfway = Pixels(radar);
    }
    SendMessageW(radar, WM_LBUTTONUP, 0, at(to));
    return halfway;
  };
  const std::vector<std::uint32_t> before = Pixels(radar);

  drag(false);  // the box cleared: a click on the view as ever
  EXPECT_EQ(form().TXT屏蔽区域.text(), "");
  EXPECT_EQ(GetCapture(), nullptr);

  ASSERT_EQ(form().CHK画屏蔽区.setValue(CheckBox::kChecked), ToolkitResult::ok);
  const std::vector<std::uint32_t> halfway = drag(true);
  EXPECT_EQ(GetCapture(), nullptr);
  // The rectangle being dragged shows along its top edge, over everything.
  int draggedPixels = 0;
  for (LONG x = from.x + 5; x < to.x - 5; ++x) {
    for (LONG y = from.y - 1; y <= from.y + 1; ++y)
      draggedPixels += colourAt(halfway, {x, y}) == radar_palette::kDraggedMask ? 1 : 0;
  }
  EXPECT_GT(draggedPixels, 20);

  const ParsedMasks masks = ParseMasks(form().TXT屏蔽区域.text());
  ASSERT_EQ(masks.masks.size(), 1u) << form().TXT屏蔽区域.text();
  EXPECT_NEAR(masks.masks[0].left, (from.x - view.x) * unitsPerPixel, unitsPerPixel);
  EXPECT_NEAR(masks.masks[0].top, (from.y - view.y) * unitsPerPixel, unitsPerPixel);
  EXPECT_NEAR(masks.masks[0].right, (to.x - view.x) * unitsPerPixel, unitsPerPixel);
  EXPECT_NEAR(masks.masks[0].bottom, (to.y - view.y) * unitsPerPixel, unitsPerPixel);
  EXPECT_TRUE(testing::RunUntil(
      loop, [&] { return colourAt(Pixels(radar), inside) == radar_palette::kMaskFill; }, 2000));
  EXPECT_NE(colourAt(Pixels(radar), inside), colourAt(before, inside));
  const POINT outside{to.x + 20, to.y + 20};
  EXPECT_EQ(colourAt(Pixels(radar), outside), colourAt(before, outside));
}

TEST_F(Win32FaceTest, TheButtonToLearnTheBackgroundStartsLearningAndSaysSo) {
  HWND learn = window_.control("learnBackground");
  HWND status = window_.control("backgroundStatus");
  ASSERT_NE(learn, nullptr);
  ASSERT_NE(status, nullptr);
  EXPECT_NE(window_.control("clearBackground"), nullptr);
  EXPECT_EQ(Narrow(gui_win32::WindowText(learn)), "学习背景");
  EXPECT_NE(Narrow(gui_win32::WindowText(status)).rfind("正在学习背景", 0), 0u);
  SendMessageW(learn, BM_CLICK, 0, 0);
  const std::string shown = Narrow(gui_win32::WindowText(status));
  EXPECT_EQ(shown.rfind("正在学习背景", 0), 0u) << shown;
  EXPECT_EQ(shown, form().LBL背景.caption());
}

}  // namespace
}  // namespace scantouch
