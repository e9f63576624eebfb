#pragma once

#include <cstddef>
#include <cstdint>

#include "decoding/scan_stream_decoder.h"
#include "toolkit/event_loop.h"
#include "toolkit/text_box.h"
#include "toolkit/timer.h"
#include "toolkit/window.h"

namespace scantouch {

// What the window shows of the received data: the bytes the decoder has not decoded yet, as hex
// text ("A5 5A 05 "), in the text box TXTRX. The text is made only while the window is shown, at
// most ten times a second and only after a pass; a hidden program makes none. An emptied buffer
// (the clear button, the start sequence) empties the box at once.
class ReceiveBox {
 public:
  static constexpr std::int64_t kRefreshMs = 100;
  // The newest bytes shown: the faces show the last 3000 characters of the box.
  static constexpr std::size_t kShownBytes = 1000;

  ReceiveBox(TextBox& box, Window& window, ScanStreamDecoder& decoder, EventLoop& loop);

  // Writes the pending bytes into the box if a pass ran since it was last written.
  void refresh();

 private:
  void onPass();
  void followWindow();

  TextBox& box_;
  Window& window_;
  ScanStreamDecoder& decoder_;
  Timer timer_;
  bool stale_ = false;
};

}  // namespace scantouch
