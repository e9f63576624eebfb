#pragma once

#include <windows.h>

#include "link/serial_port.h"

namespace scantouch {

// A serial port \\.\COMn (1 to 255) at 115200 baud, 8N1, no flow control. Reads never wait: they
// take what the driver holds. A port that vanishes (an adapter pulled out) or fails a read or a
// write is closed, so that it reads as closed and is tried again.
class Win32SerialPort final : public SerialPort {
 public:
  static constexpr int kMaxPortNumber = 255;

  ~Win32SerialPort() override { close(); }

  bool setPortNumber(std::int16_t number) override;
  std::int16_t portNumber() const override { return number_; }
  bool open() override;
  void close() override;
  bool isOpen() const override { return port_ != INVALID_HANDLE_VALUE; }
  std::vector<std::uint8_t> readAll() override;
  bool write(std::string_view bytes) override;
  void flush() override;

 private:
  HANDLE port_ = INVALID_HANDLE_VALUE;
  std::int16_t number_ = 1;
};

}  // namespace scantouch
