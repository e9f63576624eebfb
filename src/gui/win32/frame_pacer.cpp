#include "frame_pacer.h"

namespace scantouch::gui_win32 {

FramePacer::FramePacer()
    : timerWindow_([this](UINT message, WPARAM, LPARAM) {
        if (message == WM_TIMER)
          frame();
        return LRESULT{0};
      }) {}

std::function<void()> FramePacer::add(HWND window, std::function<void()> refresh) {
  entries_.push_back(Entry{window, std::move(refresh), false});
  const std::size_t index = entries_.size() - 1;
  return [this, index] {
    entries_[index].stale = true;
    if (!frameDue_ && IsWindowVisible(entries_[index].window))
      wake();
  };
}

void FramePacer::wake() {
  if (frameDue_)
    return;
  frameDue_ = true;
  SetTimer(timerWindow_.handle(), 1, kFrameInterval_ms, nullptr);
}

void FramePacer::frame() {
  KillTimer(timerWindow_.handle(), 1);
  frameDue_ = false;
  for (Entry& entry : entries_) {
    if (!entry.stale || !IsWindowVisible(entry.window))
      continue;
    entry.stale = false;
    entry.refresh();
  }
}

}  // namespace scantouch::gui_win32
