#include "win32/win32_event_loop.h"

#include "win32/wide_text.h"

namespace scantouch {
namespace {

constexpr UINT kPostedEvent = WM_APP + 1;

}  // namespace

Win32EventLoop::Win32EventLoop()
    : window_([this](UINT message, WPARAM wParam, LPARAM) {
        onMessage(message, wParam);
        return LRESULT{0};
      }) {}

std::int64_t Win32EventLoop::nowMs() const {
  return static_cast<std::int64_t>(GetTickCount64());
}

EventLoop::TimerId Win32EventLoop::startTimer(std::int64_t interval_ms,
                                              std::function<void()> tick) {
  const TimerId id = nextId_++;
  auto entry = std::make_shared<Entry>();
  entry->tick = std::move(tick);
  timers_[id] = std::move(entry);
  SetTimer(window_.handle(), static_cast<UINT_PTR>(id),
           static_cast<UINT>(std::max<std::int64_t>(interval_ms, 1)), nullptr);
  return id;
}

void Win32EventLoop::stopTimer(TimerId id) {
  KillTimer(window_.handle(), static_cast<UINT_PTR>(id));
  timers_.erase(id);  // a tick that is running keeps its entry alive until it returns
}

void Win32EventLoop::post(std::function<void()> event) {
  posted_.push_back(std::move(event));
  PostMessageW(window_.handle(), kPostedEvent, 0, 0);
}

void Win32EventLoop::yield() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that waits for it
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

int Win32EventLoop::run() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

void Win32EventLoop::onMessage(UINT message, WPARAM wParam) {
  if (message == WM_TIMER) {
    const auto it = timers_.find(static_cast<TimerId>(wParam));
    if (it == timers_.end())
      return;
    const std::shared_ptr<Entry> entry = it->second;
    // A tick never runs nested inside the same timer's tick (a yield in it).
    if (entry->inTick)
      return;
    entry->inTick = true;
    entry->tick();
    entry->inTick = false;
  } else if (message == kPostedEvent && !posted_.empty()) {
    std::function<void()> event = std::move(posted_.front());
    posted_.pop_front();
    event();
  }
}

std::string Win32EventLoop::localDateTimeText() const {
  SYSTEMTIME now;
  GetLocalTime(&now);
  wchar_t date[64] = L"";
  wchar_t time[64] = L"";
  GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, 64, nullptr);
  GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &now, nullptr, time, 64);
  return Narrow(date) + " " + Narrow(time);
}

std::int64_t Win32EventLoop::wallClockMs() const {
  // A FILETIME counts 100 ns since 1601; 1970 came 11644473600 seconds later.
  constexpr std::int64_t kUnixEpoch_ms = 11644473600000;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const std::int64_t ticks = static_cast<std::int64_t>(
      (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
  return ticks / 10000 - kUnixEpoch_ms;
}

}  // namespace scantouch
