#include "main_window.h"

#include <commctrl.h>

#include <cmath>

#include "layout_builder.h"
#include "win32/wide_text.h"
#include "window_class.h"

namespace scantouch::gui_win32 {
namespace {

constexpr const wchar_t* kMainClass = L"ScantouchMain";
constexpr int kSideWidth = 380;  // the pages and buttons, in 96-dpi units
constexpr int kPageWidth = 368;
constexpr int kButtonsHeight = 40;

}  // namespace

MainWindow::MainWindow(ScannerProgram& program, FramePacer& pacer, HICON icon)
    : program_(program), form_(program.form()), pacer_(pacer) {
  const layout::WindowLayout description = layout::MainWindowLayout(form_);
  RegisterWindowClass(kMainClass, &MainWindow::Procedure, icon);
  window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kMainClass, Widen(description.title).c_str(),
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                            100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  font_ = MessageFont(scale());
  radar_ = std::make_unique<RadarWidget>(window_, form_, program.calibration(), pacer);
  tabs_ = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 10,
                          10, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);

  // The settings, in pages, and the debug area share the space beside the radar view, one page
  // at a time, as on the Qt face.
  LayoutBuilder build(pacer);
  for (const layout::Page& described : description.pages) {
    const std::wstring title = Widen(described.caption);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(title.c_str());
    SendMessageW(tabs_, TCM_INSERTITEMW, pages_.size(), reinterpret_cast<LPARAM>(&item));
    pages_.push_back(std::make_unique<Page>(window_, font_));
    build.fill(*pages_.back(), described, kPageWidth);
  }
  buttons_ = std::make_unique<Page>(window_, font_);
  build.row(*buttons_, description.buttons, 0, 8, kSideWidth - 4, 24);
  build.finish();
  ShowWindow(buttons_->handle(), SW_SHOWNA);
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
  cornerMarks_ = std::make_unique<CornerMarksWindow>(form_.cornerCalibration());
}

MainWindow::~MainWindow() {
  DestroyWindowOf(window_);
  if (font_ != nullptr)
    DeleteObject(font_);
}

HWND MainWindow::control(std::string_view name) const {
  for (const auto& page : pages_) {
    if (HWND found = page->find(name))
      return found;
  }
  return buttons_->find(name);
}

double MainWindow::scale() const {
  return WindowScale(window_);
}

void MainWindow::showPage(int index) {
  for (std::size_t i = 0; i < pages_.size(); ++i)
    ShowWindow(pages_[i]->handle(), static_cast<int>(i) == index ? SW_SHOW : SW_HIDE);
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
