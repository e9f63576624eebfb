#include "link/network_form.h"

#include "program_fixture.h"

namespace scantouch {
namespace {

using NetworkFormTest = testing::ProgramFixture;

TEST_F(NetworkFormTest, LoadingReadsTheSettingsAndShowsTheLocalAddress) {
  EXPECT_FALSE(network().loaded());
  network().ensureLoaded();
  EXPECT_EQ(channel().TxtTcpIp.text(), "");
  EXPECT_EQ(channel().TxtTcpPost.text(), "");  // the design's 8001 does not survive loading
  EXPECT_EQ(channel().CMB发送失败处理方法.text(), "忽略");
  EXPECT_EQ(network().Text5.text(), "192.0.2.7");
  EXPECT_FALSE(network().Window.visible());
}

TEST_F(NetworkFormTest, ConnectsReconnectsAndWaitsTickByTick) {
  configureChannel();
  loop_.advance(1000);
  EXPECT_EQ(socket().connects, 1);
  EXPECT_EQ(socket().remoteHost(), "192.0.2.10");
  EXPECT_EQ(socket().remotePort(), 8001);
  loop_.advance(1000);  // still connecting: wait
  EXPECT_EQ(socket().connects, 1);
  socket().accept();
  loop_.advance(1000);  // connected and matching: nothing
  EXPECT_EQ(socket().closes, 0);
  EXPECT_EQ(channel().LBLTcpState.caption(), "7");

  channel().TxtTcpPost.setText("8002");  // connected elsewhere: close and connect again
  loop_.advance(1000);
  EXPECT_EQ(socket().closes, 1);
  EXPECT_EQ(socket().connects, 2);
  EXPECT_EQ(socket().remotePort(), 8002);

  socket().fail(TcpError::connectionRefused, "refused");
  loop_.advance(1000);
  EXPECT_EQ(socket().connects, 3);
}

TEST_F(NetworkFormTest, APortWithLeadingZerosIsTheSamePort) {
  configureChannel("008123");
  connectChannel();
  EXPECT_EQ(socket().remotePort(), 8123);
  channel().TxtTcpPost.setText("08123");  // the same port: the connection stays
  loop_.advance(5000);
  EXPECT_EQ(socket().closes, 0);
  EXPECT_EQ(socket().connects, 1);
}

TEST_F(NetworkFormTest, InvalidOrMissingAddressesNeverConnect) {
  network().ensureLoaded();
  loop_.advance(3000);
  EXPECT_EQ(channel().LblTcpNam.textColour(), colours::kButtonFace);
  for (const auto& [address, port] : {std::pair{"1.2.3", "8001"},
                                      {"192.0.2.10", "0"},
                                      {"192.0.2.10", "80ab"},
                                      {"192.0.2.10", "99999"},
                                      {"192.0.2.10", "0065536"},
                                      {"192.0.2.10", "000"},
                                      {"192.0.2.10", ""}}) {
    channel().TxtTcpIp.setText(address);
    channel().TxtTcpPost.setText(port);
    loop_.advance(2000);
  }
  EXPECT_EQ(socket().connects, 0);
}

TEST_F(NetworkFormTest, ASilentChannelTurnsRedAndIsClosedAtTheSixteenthTick) {
  configureChannel();
  connectChannel();
  socket().deliver({0xA5});
  EXPECT_EQ(channel().LblTcpNam.textColour(), colours::kGreen);
  loop_.advance(9000);
  EXPECT_EQ(channel().LblTcpNam.textColour(), colours::kGreen);
  loop_.advance(1000);  // the tenth silent tick sees a count above 8
  EXPECT_EQ(channel().LblTcpNam.textColour(), colours::kRed);
  loop_.advance(5000);
  EXPECT_EQ(socket().closes, 0);
  loop_.advance(1000);
  EXPECT_EQ(socket().closes, 1);
  EXPECT_EQ(channel().LBLTcpState.tag(), "0");
}

TEST_F(NetworkFormTest, ReceivedBytesGoToTheDecoder) {
  configureChannel();
  connectChannel();
  network().show();
  socket().deliver({0xA5, 0x5A, 0x05});
  const auto pending = form().decoder().pendingBytes();
  EXPECT_EQ(std::vector<std::uint8_t>(pending.begin(), pending.end()),
            (std::vector<std::uint8_t>{0xA5, 0x5A, 0x05}));
  EXPECT_EQ(network().Text1.text(), "A5 5A 05 ");
  EXPECT_EQ(network().Text2.text(), "2");
  // The window's hex text of the last block is made only while it is shown.
  network().hide();
  socket().deliver({0x3E});
  EXPECT_EQ(network().Text1.text(), "A5 5A 05 ");
  EXPECT_EQ(network().Text2.text(), "0");
}

TEST_F(NetworkFormTest, TheSameErrorTwiceIsLoggedOnce) {
  configureChannel();
  socket().fail(TcpError::connectionRefused, "Connection refused");
  socket().fail(TcpError::connectionRefused, "Connection refused");
  socket().fail(TcpError::timedOut, "Timed out");
  EXPECT_EQ(
      form().List1.list().entries(),
      (std::vector<std::string>{"10061Connection refused.  TCPS0", "10060Timed out.  TCPS0"}));
  EXPECT_EQ(channel().sendStatus, "10060");
}

TEST_F(NetworkFormTest, AShortTimeOutWarnsAndIsUsedAsItIs) {
  configureChannel();
  connectChannel();
  network().TXTTCP连接超时.setText("5");
  EXPECT_EQ(form().List1.list().entries(),
            (std::vector<std::string>{"TCP连接超时时间必须大于10秒"}));
  network().TXTTCP连接超时.setText("10");
  EXPECT_EQ(form().List1.count(), 1u);
  network().TXTTCP连接超时.setText("5");
  socket().deliver({0x00});  // the scanner falls silent from here
  loop_.advance(5000);
  EXPECT_EQ(socket().closes, 0);
  loop_.advance(1000);
  EXPECT_EQ(socket().closes, 1);
}

TEST_F(NetworkFormTest, TheReceiveBoxEmptiesBeyondAThousandCharacters) {
  channel().TxtTcpRx.setText(std::string(1000, 'x'));
  EXPECT_EQ(channel().TxtTcpRx.text().size(), 1000u);
  channel().TxtTcpRx.setText(std::string(1001, 'x'));
  EXPECT_EQ(channel().TxtTcpRx.text(), "");
}

TEST_F(NetworkFormTest, SettingsAreSavedAndReloaded) {
  configureChannel();
  channel().TxtTcpNam.setText("门口");
  channel().CMB发送失败处理方法.setText("尝试循环");
  network().Command2.click();
  EXPECT_EQ(program_.networkSettings().read("网络参数", "TxtTcpIp0"), "192.0.2.10");
  EXPECT_EQ(program_.networkSettings().read("网络参数", "TxtTcp通道名称0"), "门口");
  EXPECT_EQ(program_.networkSettings().read("网络参数", "TxtTCP同步到其它端口0"), "");
  EXPECT_EQ(program_.networkSettings().read("网络参数", "发送失败处理方法0"), "尝试循环");

  channel().TxtTcpPost.setText("9000");
  network().Command1.click();  // read and reconfigure: the unsaved edit is gone
  EXPECT_EQ(channel().TxtTcpPost.text(), "8001");
  EXPECT_EQ(channel().CMB发送失败处理方法.text(), "尝试循环");
}

}  // namespace
}  // namespace scantouch
