// The Windows serial port under Wine, where no port is attached.

#include "win32/win32_serial_port.h"

#include <gtest/gtest.h>

namespace scantouch {
namespace {

TEST(WindowsSerialPort, RefusesNumbersBeyondItsRangeAndStaysClosedOnAMissingPort) {
  Win32SerialPort port;
  EXPECT_FALSE(port.setPortNumber(0));
  EXPECT_FALSE(port.setPortNumber(256));
  EXPECT_EQ(port.portNumber(), 1);
  EXPECT_TRUE(port.setPortNumber(200));
  EXPECT_FALSE(port.open());  // there is no COM200
  EXPECT_FALSE(port.isOpen());
  EXPECT_TRUE(port.readAll().empty());
  EXPECT_FALSE(port.write(":SCAN."));
}

}  // namespace
}  // namespace scantouch
