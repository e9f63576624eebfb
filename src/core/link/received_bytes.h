#pragma once

#include <string>

#include "decoding/node_framing.h"

namespace scantouch {

// A link a scanner may be on: the serial port, or one TCP channel of the network window.
struct LinkId {
  static constexpr int kSerial = -1;
  int channel = kSerial;
  bool serial() const { return channel == kSerial; }
  friend auto operator<=>(const LinkId&, const LinkId&) = default;
};

// "串口" or "TCP<i>", as the window and the log name a link.
std::string LinkName(LinkId link);

// Takes the bytes each link receives, told apart by link: the one place that knows which scanner
// a link carries.
class ReceivedBytes {
 public:
  virtual ~ReceivedBytes() = default;
  virtual void received(LinkId link, ByteSpan bytes) = 0;
};

}  // namespace scantouch
