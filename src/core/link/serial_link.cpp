#include "link/serial_link.h"

#include "common/number_format.h"
#include "common/numeric_value.h"
#include "common/rounding.h"

namespace scantouch {

SerialLink::SerialLink(SerialControls controls, SerialPort& port, SettingsFile& mainSettings,
                       ReceivedBytes& receiver)
    : controls_(controls), port_(port), mainSettings_(mainSettings), receiver_(receiver) {}

void SerialLink::showIndicator() {
  controls_.indicator.setTextColour(port_.isOpen() ? colours::kGreen : colours::kRed);
}

void SerialLink::reopenSerialPort() {
  const double entered = NumericValue(controls_.portNumber.text());
  if (!(entered > 0))
    return;
  // Every step runs even when an earlier one failed: a refused number reopens the old port.
  port_.close();
  if (const auto number = RoundHalfEven16(entered))
    (void)port_.setPortNumber(*number);
  stayOpen_ = port_.open();
  showIndicator();
  // Stored as entered, not as rounded: 3.6 stays 3.6.
  if (const auto text = FormatShortest(entered))
    mainSettings_.write(main_settings::kSerial, main_settings::kPort, *text);
}

void SerialLink::checkSerialPort() {
  const double entered = NumericValue(controls_.portNumber.text());
  // Compared rounded, as the port was opened: "3.5" is port 4 and stays open.
  const auto wanted = RoundHalfEven16(entered);
  if (entered > 0 && (!wanted || *wanted != port_.portNumber())) {
    reopenSerialPort();
  } else if (stayOpen_ && !port_.isOpen()) {
    (void)port_.open();  // the port was lost after it opened; it may be back
  }
  showIndicator();
}

void SerialLink::pollSerialPort() {
  if (!port_.isOpen())
    return;
  const std::vector<std::uint8_t> bytes = port_.readAll();
  if (bytes.empty())
    return;
  receiver_.received(LinkId{}, bytes);
}

void SerialLink::write(std::string_view bytes) {
  if (port_.isOpen())
    (void)port_.write(bytes);
}

}  // namespace scantouch
