#include "corner_marks_window.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "calibration/corner_marks_look.h"
#include "win32/wide_text.h"
#include "window_class.h"

namespace scantouch::gui_win32 {
namespace {

constexpr const wchar_t* kMarksClass = L"ScantouchCornerMarks";
namespace look = corner_marks_look;
// In 96-dpi units: room for two lines of the prompt above the button.
constexpr int kPromptHeight = 90;
constexpr int kCancelId = 1;

COLORREF Rgb(Colour colour) {
  return RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

// The desktop's message font, which has the glyphs of the system's language, at a size of its own.
HFONT Font(int height96, double scale) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  LOGFONTW font = metrics.lfMessageFont;
  font.lfHeight = -static_cast<LONG>(std::lround(height96 * scale));
  font.lfWidth = 0;
  font.lfQuality = CLEARTYPE_QUALITY;
  return CreateFontIndirectW(&font);
}

}  // namespace

CornerMarksWindow::CornerMarksWindow(CornerCalibration& calibration) : calibration_(calibration) {
  RegisterWindowClass(kMarksClass, &CornerMarksWindow::Procedure, nullptr, IDC_ARROW, false);
  // A tool window: no button on the taskbar for a window that lives seconds.
  window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kMarksClass,
                            Widen(look::kTitle).c_str(), WS_POPUP | WS_CLIPCHILDREN, 0, 0, 100, 100,
                            nullptr, nullptr, GetModuleHandleW(nullptr), this);
  cancel_ = CreateWindowExW(0, L"BUTTON", Widen(look::kCancelCaption).c_str(),
                            WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 10, 10, window_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCancelId)),
                            GetModuleHandleW(nullptr), nullptr);
  connection_ = calibration_.changed.connect([this] { follow(); });
}

CornerMarksWindow::~CornerMarksWindow() {
  calibration_.changed.disconnect(connection_);
  DestroyWindowOf(window_);
  for (HFONT font : {promptFont_, buttonFont_}) {
    if (font != nullptr)
      DeleteObject(font);
  }
}

void CornerMarksWindow::follow() {
  if (!calibration_.active()) {
    ShowWindow(window_, SW_HIDE);
    return;
  }
  // Desktop pixels are the window's own: the program is aware of each monitor's DPI.
  const IntPair topLeft = calibration_.areaTopLeft();
  const IntPair size = calibration_.areaSize();
  SetWindowPos(window_, HWND_TOPMOST, topLeft.first, topLeft.second, size.first, size.second,
               SWP_SHOWWINDOW);
  layOut();
  InvalidateRect(window_, nullptr, TRUE);
  SetForegroundWindow(window_);
  // The window, not the button, holds the focus: Esc reaches it.
  SetFocus(window_);
}

void CornerMarksWindow::layOut() {
  const double scale = WindowScale(window_);
  if (scale != fontScale_) {
    for (HFONT* font : {&promptFont_, &buttonFont_}) {
      if (*font != nullptr)
        DeleteObject(*font);
    }
    promptFont_ = Font(look::kPromptFont, scale);
    buttonFont_ = Font(look::kButtonFont, scale);
    fontScale_ = scale;
    SendMessageW(cancel_, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_), FALSE);
  }
  RECT client;
  GetClientRect(window_, &client);
  const int width = static_cast<int>(look::kButtonWidth * scale);
  const int height = static_cast<int>(look::kButtonHeight * scale);
  MoveWindow(cancel_, (client.right - width) / 2,
             client.bottom / 2 + static_cast<int>(kPromptHeight * scale) / 2, width, height, TRUE);
}

void CornerMarksWindow::paint(HDC context) {
  RECT client;
  GetClientRect(window_, &client);
  HBRUSH background = CreateSolidBrush(Rgb(look::kBackground));
  FillRect(context, &client, background);
  DeleteObject(background);
  if (!calibration_.active())
    return;
  const double scale = WindowScale(window_);
  const auto px = [scale](int units) { return static_cast<int>(std::lround(units * scale)); };

  const auto [x, y] = look::MarkInWindow(calibration_);
  LOGBRUSH brush{BS_SOLID, Rgb(look::kMark), 0};
  HPEN pen =
      ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, px(look::kPen), &brush, 0, nullptr);
  HGDIOBJ oldPen = SelectObject(context, pen);
  HGDIOBJ oldBrush = SelectObject(context, GetStockObject(NULL_BRUSH));
  MoveToEx(context, x - px(look::kArm), y, nullptr);
  LineTo(context, x + px(look::kArm), y);
  MoveToEx(context, x, y - px(look::kArm), nullptr);
  LineTo(context, x, y + px(look::kArm));
  Ellipse(context, x - px(look::kRing), y - px(look::kRing), x + px(look::kRing) + 1,
          y + px(look::kRing) + 1);
  HBRUSH dot = CreateSolidBrush(Rgb(look::kMark));
  SelectObject(context, dot);
  Ellipse(context, x - px(look::kDot), y - px(look::kDot), x + px(look::kDot) + 1,
          y + px(look::kDot) + 1);
  SelectObject(context, oldBrush);
  SelectObject(context, oldPen);
  DeleteObject(dot);
  DeleteObject(pen);

  // The prompt just above the button, across the middle, clear of the marks at the corners.
  const std::wstring prompt = Widen(calibration_.prompt());
  const int margin = px(look::kMargin);
  RECT box{margin, client.bottom / 2 - px(kPromptHeight) / 2, client.right - margin,
           client.bottom / 2 + px(kPromptHeight) / 2 - px(12)};
  HGDIOBJ oldFont = SelectObject(context, promptFont_);
  SetBkMode(context, TRANSPARENT);
  SetTextColor(context, Rgb(look::kText));
  RECT measured = box;
  DrawTextW(context, prompt.c_str(), static_cast<int>(prompt.size()), &measured,
            DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
  // Bottom-aligned in its box, however many lines it takes.
  box.top = std::max(box.top, box.bottom - (measured.bottom - measured.top));
  DrawTextW(context, prompt.c_str(), static_cast<int>(prompt.size()), &box,
            DT_CENTER | DT_WORDBREAK);
  SelectObject(context, oldFont);
}

LRESULT CornerMarksWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paintStruct;
      HDC context = BeginPaint(window_, &paintStruct);
      paint(context);
      EndPaint(window_, &paintStruct);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // the paint fills everything
    case WM_SIZE:
    case WM_DPICHANGED:
      layOut();
      InvalidateRect(window_, nullptr, TRUE);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kCancelId && HIWORD(wParam) == BN_CLICKED)
        calibration_.cancel();
      return 0;
    case WM_KEYDOWN:
      if (wParam == look::kCancelKey) {
        calibration_.cancel();
        return 0;
      }
      break;
    case WM_CLOSE:
      // Closed by the system (Alt+F4): the calibration ends with it, which hides the window.
      calibration_.cancel();
      ShowWindow(window_, SW_HIDE);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK CornerMarksWindow::Procedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  auto* self = WindowObject<CornerMarksWindow>(window, message, lParam);
  if (self == nullptr || self->window_ == nullptr)
    return DefWindowProcW(window, message, wParam, lParam);
  return self->onMessage(message, wParam, lParam);
}

}  // namespace scantouch::gui_win32
