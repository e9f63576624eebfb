#include "link/scanner_commands.h"

#include "program_fixture.h"
#include "scan_text.h"

namespace scantouch {
namespace {

using ScannerCommandsTest = testing::ProgramFixture;

TEST_F(ScannerCommandsTest, ACommandGoesToTheOpenSerialPortAndIntoTheTcpQueue) {
  form().Text1.setText("1");
  form().Command1[2].click();
  EXPECT_EQ(serialPort().written, ":LASERON.");
  EXPECT_TRUE(network().loaded());  // the first send loads the network window
  EXPECT_FALSE(network().Window.visible());
  form().Command1[2].click();  // the same command again is queued again
  EXPECT_EQ(channel().TxtTcpTx.list().entries(),
            (std::vector<std::string>{":LASERON.", ":LASERON."}));

  form().Text3[0].setText("");
  form().Command1[0].click();
  EXPECT_EQ(serialPort().written, ":LASERON.:LASERON.");
  EXPECT_EQ(channel().TxtTcpTx.list().size(), 2u);
}

TEST_F(ScannerCommandsTest, TwoStartClicksWithin100msLogTwiceAndSendOnce) {
  form().Text1.setText("1");
  form().CMD开始.click();
  loop_.advance(50);
  form().CMD开始.click();
  EXPECT_EQ(form().List1.count(), 2u);
  EXPECT_TRUE(form().List1.list().at(0).ends_with(",启动"));
  EXPECT_EQ(serialPort().written, "");
  loop_.advance(100);
  EXPECT_EQ(serialPort().written, ":SCAN.");
  loop_.advance(1000);
  EXPECT_EQ(serialPort().written, ":SCAN.");
}

TEST_F(ScannerCommandsTest, TheStartSequenceEmptiesTheBufferAndWaitsForANewDescriptor) {
  testing::Feed(form().decoder(), testing::DescriptorText() + "3E 03");
  ASSERT_TRUE(form().decoder().synchronised());
  form().CMD开始.click();
  loop_.advance(100);
  EXPECT_EQ(form().TXTRX.text(), "");
  EXPECT_FALSE(form().decoder().synchronised());
  EXPECT_EQ(form().Label2.caption(), "数据长度：0");

  form().Command1[0].click();  // "启动" sends without resetting anything
  testing::Feed(form().decoder(), testing::DescriptorText());
  form().Command1[0].click();
  EXPECT_TRUE(form().decoder().synchronised());
}

TEST_F(ScannerCommandsTest, ClearingEmptiesBufferTraceAndLog) {
  form().CMD开始.click();
  testing::Feed(form().decoder(), testing::DescriptorText() + testing::NodeText(10, 1000) +
                                      testing::NodeText(11, 1000));
  form().Command2.click();
  EXPECT_EQ(form().TXTRX.text(), "");
  EXPECT_EQ(form().radar().txtjd.text(), "");
  EXPECT_EQ(form().List1.count(), 0u);
  EXPECT_FALSE(form().decoder().synchronised());
}

TEST_F(ScannerCommandsTest, TheStopButtonAndTheNetworkButton) {
  form().CMD停止.click();
  EXPECT_EQ(channel().TxtTcpTx.list().entries(), (std::vector<std::string>{":STOP."}));
  form().Command3.click();
  EXPECT_TRUE(network().Window.visible());
  network().Command3.click();
  EXPECT_FALSE(network().Window.visible());
}

TEST_F(ScannerCommandsTest, TheEventLogKeepsItsNewestEntries) {
  network().ensureLoaded();
  for (std::size_t i = 0; i < MainForm::kMaxLogEntries + 10; ++i)
    network().LogBook("log " + std::to_string(i));
  form().CMD开始.click();
  EXPECT_EQ(form().List1.count(), MainForm::kMaxLogEntries);
  EXPECT_TRUE(form().List1.list().at(0).ends_with(",启动"));
  EXPECT_EQ(form().List1.list().at(1), "log 11");
}

}  // namespace
}  // namespace scantouch
