#pragma once

#include <QSerialPort>
#include <string>

#include "config/executable_directory.h"
#include "link/serial_port.h"

namespace scantouch {

// A serial port on QSerialPort. Port number n is the device that the link `COM<n>` in the
// executable's directory points to, when there is one (a user or a test can point it at any
// terminal); otherwise the first of /dev/ttyUSB<n-1>, /dev/ttyACM<n-1>, /dev/ttyS<n-1> that
// exists. Numbers 1 to 255 are supported.
class QtSerialPort final : public SerialPort {
 public:
  static constexpr int kMaxPortNumber = 255;

  explicit QtSerialPort(const ExecutableDirectory& directory);

  bool setPortNumber(std::int16_t number) override;
  std::int16_t portNumber() const override { return number_; }
  bool open() override;
  void close() override;
  bool isOpen() const override { return port_.isOpen(); }
  std::vector<std::uint8_t> readAll() override;
  bool write(std::string_view bytes) override;

  // The device the current number stands for, or "" when none exists.
  std::string devicePath() const;

 private:
  const ExecutableDirectory& directory_;
  QSerialPort port_;
  std::int16_t number_ = 1;
};

}  // namespace scantouch
