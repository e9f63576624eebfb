#include "link/tcp_client_socket.h"

#include <gtest/gtest.h>

namespace scantouch {
namespace {

TEST(WithoutBlanksAround, AsciiAndUnicodeSpacesAtEitherEndGo) {
  EXPECT_EQ(WithoutBlanksAround(" \t192.168.0.7 \r\n"), "192.168.0.7");
  // A full-width space, a no-break space and a thin space, as input methods type them.
  EXPECT_EQ(WithoutBlanksAround("\u3000192.168.0.7\u00A0\u2009"), "192.168.0.7");
  EXPECT_EQ(WithoutBlanksAround(" \u3000 "), "");
  EXPECT_EQ(WithoutBlanksAround(""), "");
}

TEST(WithoutBlanksAround, WhatLiesInsideOrIsNoSpaceStays) {
  EXPECT_EQ(WithoutBlanksAround("scanner one"), "scanner one");
  EXPECT_EQ(WithoutBlanksAround("扫描仪"), "扫描仪");  // no byte of it makes a space
  // Broken or overlong UTF-8 is not read as a space: the lookup is left to refuse it.
  EXPECT_EQ(WithoutBlanksAround("\xE3\x80 host"), "\xE3\x80 host");
  EXPECT_EQ(WithoutBlanksAround("host \x80\x80"), "host \x80\x80");
  EXPECT_EQ(WithoutBlanksAround("\xC0\xA0host"), "\xC0\xA0host");
}

// Every system's socket keeps the address the channel set as it was typed; only what is dialled
// loses the blanks.
class DialledHost final : public TcpClientSocket {
 public:
  TcpState state() const override { return TcpState::closed; }
  void connect() override { dialled = hostToDial(); }
  void close() override {}
  std::vector<std::uint8_t> readAll() override { return {}; }
  bool send(std::string_view) override { return false; }
  std::string localAddress() const override { return ""; }
  std::string dialled;
};

TEST(TcpClientSocket, KeepsTheAddressAsSetAndDialsItWithoutBlanks) {
  DialledHost socket;
  socket.setRemoteHost(" 192.0.2.10\u3000");
  socket.setRemotePort(8001);
  socket.setLocalPort(5000);  // the system's choice, always
  socket.connect();
  EXPECT_EQ(socket.remoteHost(), " 192.0.2.10\u3000");
  EXPECT_EQ(socket.remotePort(), 8001);
  EXPECT_EQ(socket.dialled, "192.0.2.10");
}

}  // namespace
}  // namespace scantouch
