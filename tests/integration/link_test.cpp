// The scanner links on the real adapters against the simulated scanner: a pseudo-terminal as
// the serial port, a loopback TCP server as the networked scanner.

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "config/ini_document.h"
#include "qt_program.h"

namespace scantouch {
namespace {

using testing::QtProgram;
using testing::RunUntil;
using testing::SimProcess;

TEST(SerialLinkOnAPseudoTerminal, StreamsIntoTheDecoderAndCarriesTheCommands) {
  QtProgram harness;
  SimProcess sim(
      {"--pty", QString::fromStdString(harness.directory() + "/COM7"), "--rate", "4000"});
  ASSERT_TRUE(sim.waitForLine("ready"));
  ScannerProgram& program = harness.start();
  MainForm& form = program.form();
  form.Text1.setText("7");
  ASSERT_TRUE(program.serial().isOpen());

  form.CMD开始.click();
  ASSERT_TRUE(sim.waitForLine(":SCAN."));
  ASSERT_TRUE(RunUntil([&] { return form.decoder().decodedNodes() > 1000; }, 5000))
      << form.decoder().decodedNodes() << " nodes";
  EXPECT_TRUE(form.decoder().synchronised());
  EXPECT_LT(form.TXTRX.text().size(), 15u);

  form.Command1[2].click();
  form.Command1[3].click();
  form.CMD停止.click();
  ASSERT_TRUE(sim.waitForLine(":STOP."));
  EXPECT_NE(sim.output().find(":SCAN.\n:LASERON.\n:LASEROFF.\n:STOP.\n"), std::string::npos)
      << sim.output();
}

TEST(TcpLinkOnLoopback, ConnectsStreamsAndReconnectsAfterTheScannerRestarts) {
  QtProgram harness;
  const int port = testing::FreeLoopbackPort();
  const std::string settings = harness.directory() + "/配置.ini";
  std::string ini = SetIniValue("", "网络参数", "TxtTcpIp0", "127.0.0.1");
  ini = SetIniValue(ini, "网络参数", "TxtTcpPost0", std::to_string(port));
  // Commands wait for the connection instead of being dropped while there is none.
  ini = SetIniValue(ini, "网络参数", "发送失败处理方法0", "尝试发送循环");
  IconvCodec gbk("CP936");
  ASSERT_TRUE(harness.files().replace(settings, gbk.encode(ini)));

  auto sim =
      std::make_unique<SimProcess>(QStringList{"--tcp", QString::number(port), "--rate", "4000"});
  ASSERT_TRUE(sim->waitForLine("ready"));
  ScannerProgram& program = harness.start();
  MainForm& form = program.form();
  form.CMD开始.click();  // loads the network window, which connects within a second
  ASSERT_TRUE(sim->waitForLine(":SCAN.", 5000));
  ASSERT_TRUE(RunUntil([&] { return form.decoder().decodedNodes() > 1000; }, 5000));
  EXPECT_EQ(program.network().channel(0).LblTcpNam.textColour(), colours::kGreen);

  // The scanner goes away and comes back on the same port.
  sim.reset();
  sim = std::make_unique<SimProcess>(QStringList{"--tcp", QString::number(port), "--rate", "4000"});
  ASSERT_TRUE(sim->waitForLine("ready"));
  const std::uint64_t before = form.decoder().decodedNodes();
  form.CMD开始.click();
  ASSERT_TRUE(sim->waitForLine(":SCAN.", 8000)) << sim->output();
  EXPECT_TRUE(RunUntil([&] { return form.decoder().decodedNodes() > before + 1000; }, 5000));

  form.Command1[2].click();
  form.Command1[3].click();
  ASSERT_TRUE(sim->waitForLine(":LASEROFF."));
  EXPECT_NE(sim->output().find(":SCAN.\n:LASERON.\n:LASEROFF.\n"), std::string::npos)
      << sim->output();
}

}  // namespace
}  // namespace scantouch

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
