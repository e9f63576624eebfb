#include "main_window.h"

#include <commctrl.h>

#include <cmath>

#include "bindings.h"
#include "win32/wide_text.h"
#include "window_class.h"

namespace scantouch::gui_win32 {
namespace {

constexpr const wchar_t* kMainClass = L"ScantouchMain";
constexpr int kSideWidth = 380;  // the pages and buttons, in 96-dpi units
constexpr int kButtonsHeight = 40;

std::vector<HWND> Radios(Page& page, int count, int x, int y, int width, int perRow,
                         int rowHeight = 26) {
  std::vector<HWND> radios;
  for (int i = 0; i < count; ++i)
    radios.push_back(page.radio(x + (i % perRow) * width, y + (i / perRow) * rowHeight, width - 4));
  return radios;
}

}  // namespace

MainWindow::MainWindow(ScannerProgram& program, FramePacer& pacer, HICON icon)
    : program_(program), form_(program.form()), pacer_(pacer) {
  RegisterWindowClass(kMainClass, &MainWindow::Procedure, icon);
  window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kMainClass, Widen(form_.Form1.caption()).c_str(),
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                            100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  font_ = MessageFont(scale());
  radar_ = std::make_unique<RadarWidget>(window_, form_, program.calibration(), pacer);
  tabs_ = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 10,
                          10, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  const char* titles[kPages] = {"标定", "选项", "触控", "调试"};
  for (int i = 0; i < kPages; ++i) {
    const std::wstring title = Widen(titles[i]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(title.c_str());
    SendMessageW(tabs_, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    pages_[i] = std::make_unique<Page>(window_, font_);
  }
  makeCalibrationPage();
  makeOptionsPage();
  MakeTouchPage(form_, *pages_[2]);
  MakeDebugPanel(program, pacer, *pages_[3]);
  makeButtons();
  showPage(0);

  // 1200 x 760, or less on a smaller screen.
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width =
      std::min(static_cast<int>(1200 * scale()), static_cast<int>(work.right - work.left));
  const int height =
      std::min(static_cast<int>(760 * scale()), static_cast<int>(work.bottom - work.top));
  SetWindowPos(window_, nullptr, work.left, work.top, width, height, SWP_NOZORDER);
  followWindowState();
}

MainWindow::~MainWindow() {
  DestroyWindowOf(window_);
  if (font_ != nullptr)
    DeleteObject(font_);
}

double MainWindow::scale() const {
  // The DPI of the monitor the window is on, where Windows can tell (10 and later); the
  // system's otherwise.
  using DpiForWindow = UINT(WINAPI*)(HWND);
  static const auto dpiForWindow = reinterpret_cast<DpiForWindow>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  int dpi = dpiForWindow != nullptr ? static_cast<int>(dpiForWindow(window_)) : 0;
  if (dpi <= 0) {
    HDC screen = GetDC(window_);
    dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(window_, screen);
  }
  return dpi > 0 ? dpi / 96.0 : 1.0;
}

void MainWindow::makeCalibrationPage() {
  Page& page = *pages_[0];
  page.group("位置相关参数设置", 4, 4, 364, 196);
  // Each option on the row of the text box it fills, scanner first; "完成" last.
  struct Row {
    int option;
    TextBox* box;
  };
  const Row rows[] = {{2, &form_.txt雷达位置},
                      {0, &form_.TXT标定左上角},
                      {1, &form_.TXT标定右下角},
                      {3, &form_.TXT屏幕左上角},
                      {4, &form_.TXT屏幕宽高}};
  std::vector<HWND> radios(6);
  int y = 26;
  for (const Row& row : rows) {
    radios[static_cast<std::size_t>(row.option)] = page.radio(14, y, 124);
    Bind(*row.box, page.edit(142, y, 214));
    y += 28;
  }
  radios[5] = page.radio(14, y, 124);
  Bind(form_.OPT标定, radios);
  Bind(form_.LBL鼠标在屏幕的当前位置, page.label("", 142, y, 214, 22));

  page.group("扫描参数", 4, 208, 364, 112);
  page.label("灵敏度", 14, 230, 70);
  Bind(form_.TXT灵敏度, page.edit(88, 230, 60));
  page.label("0-64，数值越小灵敏度越高", 154, 230, 206);
  page.label("角度校正", 14, 258, 70);
  Bind(form_.txt角度校正, page.edit(88, 258, 60));
  Bind(form_.Label1, page.label("", 14, 286, 72));
  Bind(form_.Text1, page.edit(88, 286, 60));
  BindPaced(form_.Label4, page.label("", 154, 286, 206), pacer_);
}

void MainWindow::makeOptionsPage() {
  Page& page = *pages_[1];
  page.group("曲线模式", 4, 4, 364, 54);
  Bind(form_.OPT曲线模式, Radios(page, 3, 14, 26, 116, 3));
  page.group("面积设置", 4, 64, 364, 82);
  Bind(form_.OPT面积设置, Radios(page, 8, 14, 86, 86, 4));
  page.group("动作设置", 4, 152, 364, 54);
  Bind(form_.CHK鼠标移动, page.check(14, 174, 110));
  Bind(form_.CHK鼠标点击, page.check(130, 174, 110));
  Bind(form_.CHK使用网络, page.check(246, 174, 110));
  page.group("程序设置", 4, 212, 364, 54);
  Bind(form_.CHK开机自动运行, page.check(14, 234, 170));
  Bind(form_.CHK开机自动隐藏, page.check(190, 234, 170));
  page.group("其它", 4, 272, 364, 110);
  Bind(form_.OPT精度, Radios(page, 5, 14, 294, 70, 5));
  Bind(form_.Option1, {page.radio(14, 322, 170)});
  Bind(form_.Option2, {page.radio(190, 322, 170)});
  Bind(form_.Check2, page.check(14, 350, 170));
  Bind(form_.CHK鼠标画4个圈测试, page.check(190, 350, 170));
}

void MainWindow::makeButtons() {
  buttons_ = std::make_unique<Page>(window_, font_);
  int x = 0;
  for (Button* button :
       {&form_.CMD开始, &form_.CMD停止, &form_.Command3, &form_.CMD隐藏, &form_.CMD结束程序}) {
    Bind(*button, buttons_->button(x, 6, 72, 28));
    x += 76;
  }
  ShowWindow(buttons_->handle(), SW_SHOWNA);
}

void MainWindow::showPage(int index) {
  for (int i = 0; i < kPages; ++i)
    ShowWindow(pages_[i]->handle(), i == index ? SW_SHOW : SW_HIDE);
  pacer_.wake();  // what went stale on the hidden page shows now
}

void MainWindow::layOut() {
  RECT client;
  GetClientRect(window_, &client);
  const double s = scale();
  const int side = static_cast<int>(kSideWidth * s);
  const int margin = static_cast<int>(6 * s);
  const int radarWidth = std::max(0, static_cast<int>(client.right) - side - 3 * margin);
  MoveWindow(radar_->handle(), margin, margin, radarWidth, client.bottom - 2 * margin, TRUE);
  const int left = client.right - side - margin;
  const int buttonsHeight = static_cast<int>(kButtonsHeight * s);
  const int tabsHeight = client.bottom - 2 * margin - buttonsHeight;
  MoveWindow(tabs_, left, margin, side, tabsHeight, TRUE);
  RECT display{left, margin, left + side, margin + tabsHeight};
  SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  for (auto& page : pages_) {
    page->place(display.left, display.top, display.right - display.left,
                display.bottom - display.top, s);
    SetWindowPos(page->handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  buttons_->place(left, margin + tabsHeight, side, buttonsHeight, s);
}

void MainWindow::followWindowState() {
  const auto show = [this] {
    followingCore_ = true;
    if (!form_.Form1.visible()) {
      ShowWindow(window_, SW_HIDE);
    } else if (form_.Form1.minimised()) {
      ShowWindow(window_, SW_MINIMIZE);
    } else {
      ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
      SetForegroundWindow(window_);
      pacer_.wake();
    }
    followingCore_ = false;
  };
  form_.Form1.visibilityChanged.connect(show);
  form_.Form1.stateChanged.connect(show);
}

LRESULT MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (HandleControlMessage(message, wParam, lParam, result))
    return result;
  switch (message) {
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED || wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) {
        // The user minimised or restored the window: the core follows.
        if (!followingCore_)
          form_.Form1.setMinimised(wParam == SIZE_MINIMIZED);
      }
      if (wParam != SIZE_MINIMIZED && radar_)
        layOut();
      return 0;
    case WM_DPICHANGED: {
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      DeleteObject(font_);
      font_ = MessageFont(HIWORD(wParam) / 96.0);
      SendMessageW(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
      for (auto& page : pages_)
        page->setFont(font_);
      buttons_->setFont(font_);
      SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->hwndFrom == tabs_ && header->code == TCN_SELCHANGE)
        showPage(static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)));
      return 0;
    }
    case WM_CLOSE:
      // Every way of closing the window is the program's one exit.
      program_.lifecycle().exitProgram();
      return 0;
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = WindowObject<MainWindow>(window, message, lParam);
  if (self == nullptr || self->window_ == nullptr)
    return DefWindowProcW(window, message, wParam, lParam);
  return self->onMessage(message, wParam, lParam);
}

}  // namespace scantouch::gui_win32
