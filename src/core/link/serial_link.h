#pragma once

#include <cstdint>
#include <string_view>

#include "config/settings_file.h"
#include "link/received_bytes.h"
#include "link/serial_port.h"
#include "toolkit/label.h"
#include "toolkit/text_box.h"

namespace scantouch {

// The controls of the main window the serial link reads and writes.
struct SerialControls {
  TextBox& portNumber;  // Text1: the port number as entered
  Label& indicator;     // Label1 "串口端口：": green while the port is open, red otherwise
};

// The scanner on a serial port: opens the port the user entered, follows every change of the
// number, and hands received bytes on every 100 ms.
class SerialLink {
 public:
  SerialLink(SerialControls controls, SerialPort& port, SettingsFile& mainSettings,
             ReceivedBytes& receiver);

  // On every change of the entered number: close, set the number, open, show, store.
  void reopenSerialPort();
  // Every second: reopen when the entered number, rounded, is not the port's number.
  void checkSerialPort();
  // Every 100 ms: all waiting bytes to the receiver as the serial link's, one block per poll.
  void pollSerialPort();

  bool isOpen() const { return port_.isOpen(); }
  // Writes bytes as they are; nothing when the port is closed.
  void write(std::string_view bytes);
  void flush() { port_.flush(); }

 private:
  void showIndicator();

  SerialControls controls_;
  SerialPort& port_;
  SettingsFile& mainSettings_;
  ReceivedBytes& receiver_;
  // The last reopen succeeded: if the port is lost later (an adapter pulled out), it is tried
  // again every second. A port that never opened waits for the number to be entered again.
  bool stayOpen_ = false;
};

}  // namespace scantouch
