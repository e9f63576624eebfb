#include "network_window.h"

#include <cmath>

#include "bindings.h"
#include "win32/wide_text.h"
#include "window_class.h"

namespace scantouch::gui_win32 {
namespace {

constexpr const wchar_t* kNetworkClass = L"ScantouchNetwork";

}  // namespace

NetworkWindow::NetworkWindow(NetworkForm& form, FramePacer& pacer, HICON icon)
    : form_(form), pacer_(pacer) {
  RegisterWindowClass(kNetworkClass, &NetworkWindow::Procedure, icon);
  window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kNetworkClass, Widen("网络控制调试窗口").c_str(),
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                            100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  HDC screen = GetDC(window_);
  const double scale = GetDeviceCaps(screen, LOGPIXELSX) / 96.0;
  ReleaseDC(window_, screen);
  font_ = MessageFont(scale);
  page_ = std::make_unique<Page>(window_, font_);
  Page& page = *page_;

  page.group("TCP client", 4, 4, 972, 40 + 28 * form.channelCount());
  const char* headings[] = {
      "", "IP", "端口", "名称", "状态", "发送", "发送失败处理方法", "同步到其它端口", "接收"};
  const int columns[] = {12, 76, 196, 256, 356, 400, 560, 720, 850};
  const int widths[] = {60, 116, 56, 96, 40, 156, 156, 126, 116};
  for (int c = 0; c < 9; ++c)
    page.label(headings[c], columns[c], 20, widths[c]);
  for (int i = 0; i < form.channelCount(); ++i) {
    TcpChannel& channel = form.channel(i);
    const int y = 44 + 28 * i;
    Bind(channel.LblTcpNam, page.label("", columns[0], y, widths[0], 22));
    Bind(channel.TxtTcpIp, page.edit(columns[1], y, widths[1]));
    Bind(channel.TxtTcpPost, page.edit(columns[2], y, widths[2]));
    Bind(channel.TxtTcpNam, page.edit(columns[3], y, widths[3]));
    Bind(channel.LBLTcpState, page.label("", columns[4], y, widths[4], 22));
    const DWORD comboStyle = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
    BindPaced(channel.TxtTcpTx, page.add(L"COMBOBOX", comboStyle, columns[5], y, widths[5], 200),
              pacer);
    BindPaced(channel.CMB发送失败处理方法,
              page.add(L"COMBOBOX", comboStyle, columns[6], y, widths[6], 200), pacer);
    BindPaced(channel.CMDTCP同步到其它端口,
              page.add(L"COMBOBOX", comboStyle, columns[7], y, widths[7], 200), pacer);
    Bind(channel.TxtTcpRx, page.edit(columns[8], y, widths[8]));
  }
  int y = 52 + 28 * form.channelCount();
  page.label("连接超时（秒）：", 8, y, 110);
  Bind(form.TXTTCP连接超时, page.edit(120, y, 60));
  page.label("本机IP：", 190, y, 60);
  Bind(form.Text5, page.edit(252, y, 130));
  page.label("注意防火墙是否打开.", 392, y, 200);
  y += 30;
  BindPaced(form.Text1, page.edit(8, y, 800, 80, ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL),
            pacer);
  BindPaced(form.Text2, page.edit(816, y, 160), pacer);
  y += 88;
  int x = 8;
  for (Button* button : {&form.Command1, &form.Command2, &form.Command3}) {
    Bind(*button, page.button(x, y, 120, 28));
    x += 128;
  }
  y += 36;

  RECT frame{0, 0, static_cast<LONG>(std::lround(984 * scale)),
             static_cast<LONG>(std::lround(y * scale))};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_CONTROLPARENT);
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(page.handle(), SW_SHOW);
  RECT client;
  GetClientRect(window_, &client);
  page.place(0, 0, client.right, client.bottom, scale);

  form.Window.visibilityChanged.connect([this] {
    ShowWindow(window_, form_.Window.visible() ? SW_SHOW : SW_HIDE);
    if (form_.Window.visible())
      pacer_.wake();
  });
}

NetworkWindow::~NetworkWindow() {
  page_.reset();
  DestroyWindowOf(window_);
  if (font_ != nullptr)
    DeleteObject(font_);
}

LRESULT CALLBACK NetworkWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = WindowObject<NetworkWindow>(window, message, lParam);
  if (self != nullptr && message == WM_CLOSE) {
    // The window, its sockets and its timers live on; closing only hides.
    self->form_.hide();
    return 0;
  }
  LRESULT result = 0;
  if (HandleControlMessage(message, wParam, lParam, result))
    return result;
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace scantouch::gui_win32
