#include "app/receive_box.h"

#include <algorithm>

#include "common/hex_text.h"

namespace scantouch {

ReceiveBox::ReceiveBox(TextBox& box, Window& window, ScanStreamDecoder& decoder, EventLoop& loop)
    : box_(box),
      window_(window),
      decoder_(decoder),
      timer_("receiveBoxRefresh", loop, kRefreshMs, false) {
  decoder_.passed.connect([this] { onPass(); });
  timer_.ticked.connect([this] { refresh(); });
  window_.visibilityChanged.connect([this] { followWindow(); });
  followWindow();
}

void ReceiveBox::followWindow() {
  timer_.setEnabled(window_.visible());
}

void ReceiveBox::onPass() {
  stale_ = true;
  // Emptying costs nothing and must show at once.
  if (decoder_.pendingBytes().empty() && !box_.text().empty()) {
    box_.setText("");
    stale_ = false;
  }
}

void ReceiveBox::refresh() {
  if (!stale_ || !window_.visible())
    return;
  stale_ = false;
  const ByteSpan pending = decoder_.pendingBytes();
  box_.setText(HexText(pending.last(std::min(pending.size(), kShownBytes))));
}

}  // namespace scantouch
