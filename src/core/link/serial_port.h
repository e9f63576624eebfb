#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace scantouch {

// A serial port to the scanner: 115200 baud, 8 data bits, no parity, 1 stop bit, raw bytes.
class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // The number of the port to open next. A number the port layer does not support is refused:
  // false, and portNumber() keeps the previous one.
  virtual bool setPortNumber(std::int16_t number) = 0;
  virtual std::int16_t portNumber() const = 0;

  // Opens the port with the number set; false when it cannot be opened (absent, in use).
  virtual bool open() = 0;
  // Closing a closed port is harmless.
  virtual void close() = 0;
  // False also once an open port has vanished (a USB adapter pulled out).
  virtual bool isOpen() const = 0;

  // Every byte waiting, in arrival order, taken out of the port; empty when none.
  virtual std::vector<std::uint8_t> readAll() = 0;
  virtual bool write(std::string_view bytes) = 0;
  // Hands everything written so far to the device, waiting briefly if need be.
  virtual void flush() {}
};

}  // namespace scantouch
