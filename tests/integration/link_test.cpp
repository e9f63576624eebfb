// The scanner links on the real adapters against the simulated scanner: a pseudo-terminal as
// the serial port, a loopback TCP server as the networked scanner.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "config/ini_document.h"
#include "qt_program.h"

namespace scantouch {
namespace {

using testing::QtProgram;
using testing::RunFor;
using testing::RunUntil;
using testing::SimProcess;

TEST(SerialLinkOnAPseudoTerminal, StreamsIntoTheDecoderAndCarriesTheCommands) {
  QtProgram harness;
  SimProcess sim(
      {"--pty", QString::fromStdString(harness.directory() + "/COM7"), "--rate", "4000"});
  ASSERT_TRUE(sim.waitForLine("ready"));
  ScannerProgram& program = harness.start();
  program.lifecycle().startUp();  // the port's timers run from here
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

// A pseudo-terminal standing in for a serial device, reachable as the program's port 7.
class PseudoTerminal {
 public:
  explicit PseudoTerminal(const std::string& linkPath) : linkPath_(linkPath) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
      return;
    termios raw{};
    const int slave = ::open(::ptsname(master_), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    ::close(slave);
    ::unlink(linkPath_.c_str());
    linked_ = ::symlink(::ptsname(master_), linkPath_.c_str()) == 0;
  }
  ~PseudoTerminal() { hangUp(); }
  bool usable() const { return linked_; }
  void send(const std::string& bytes) { (void)!::write(master_, bytes.data(), bytes.size()); }
  // The device goes away: the terminal is closed and its node disappears.
  void hangUp() {
    if (master_ < 0)
      return;
    ::unlink(linkPath_.c_str());
    ::close(master_);
    master_ = -1;
  }

 private:
  std::string linkPath_;
  int master_ = -1;
  bool linked_ = false;
};

double ProcessCpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

TEST(SerialLinkOnAPseudoTerminal, AHungUpDeviceClosesThePortWhichOpensAgainWhenItIsBack) {
  QtProgram harness;
  const std::string link = harness.directory() + "/COM7";
  auto device = std::make_unique<PseudoTerminal>(link);
  ASSERT_TRUE(device->usable());
  ScannerProgram& program = harness.start();
  program.lifecycle().startUp();  // the port's timers run from here
  MainForm& form = program.form();
  form.Text1.setText("7");
  ASSERT_TRUE(program.serial().isOpen());
  EXPECT_EQ(form.Label1.textColour(), colours::kGreen);

  device.reset();
  ASSERT_TRUE(RunUntil([&] { return form.Label1.textColour() == colours::kRed; }, 3000));
  EXPECT_FALSE(program.serial().isOpen());
  // Nothing to read and nothing to write: the program waits instead of spinning on the port.
  const double cpuBefore = ProcessCpuSeconds();
  RunFor(2000);
  std::printf("CPU while the device is gone: %.1f %% of a core\n",
              100 * (ProcessCpuSeconds() - cpuBefore) / 2);

  device = std::make_unique<PseudoTerminal>(link);
  ASSERT_TRUE(RunUntil([&] { return form.Label1.textColour() == colours::kGreen; }, 3000));
  const std::uint64_t before = form.decoder().decodedNodes();
  form.Command2.click();  // "清空接收数据": what the old device left is not decoded
  device->send(std::string("\xA5\x5A\x05\x00\x00\x40\x81", 7) +
               std::string("\x3E\x03\x2D\x10\x27\x3E\x03\x2D\x10\x27", 10));
  EXPECT_TRUE(RunUntil([&] { return form.decoder().decodedNodes() >= before + 2; }, 3000));
}

// Channel 0 set to the scanner at 127.0.0.1:port, holding commands until it is connected.
void ConfigureNetworkedScanner(QtProgram& harness, int port) {
  const std::string settings = harness.directory() + "/配置.ini";
  std::string ini = SetIniValue("", "网络参数", "TxtTcpIp0", "127.0.0.1");
  ini = SetIniValue(ini, "网络参数", "TxtTcpPost0", std::to_string(port));
  // Commands wait for the connection instead of being dropped while there is none.
  ini = SetIniValue(ini, "网络参数", "发送失败处理方法0", "尝试发送循环");
  IconvTextCodec gbk("CP936");
  ASSERT_TRUE(harness.files().replace(settings, gbk.encode(ini)));
}

TEST(TcpLinkOnLoopback, ConnectsStreamsAndReconnectsAfterTheScannerRestarts) {
  QtProgram harness;
  const int port = testing::FreeLoopbackPort();
  ConfigureNetworkedScanner(harness, port);

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

TEST(TcpLinkOnLoopback, AStreamAsRealScannersSendItIsDecodedWithoutRestarts) {
  QtProgram harness;
  const int port = testing::FreeLoopbackPort();
  ConfigureNetworkedScanner(harness, port);
  // Two nodes in five find nothing, the stream starts behind eleven stale bytes, and it starts
  // anew, descriptor first, every second.
  SimProcess sim({"--tcp", QString::number(port), "--rate", "4000", "--no-return", "0.4,15,9",
                  "--stale-bytes", "11", "--restart-every", "1"});
  ASSERT_TRUE(sim.waitForLine("ready"));
  ScannerProgram& program = harness.start();
  program.lifecycle().startUp();  // with the scan-rate meter, the scanner's watchdog
  MainForm& form = program.form();
  ASSERT_TRUE(sim.waitForLine(":SCAN.", 5000));
  ASSERT_TRUE(RunUntil([&] { return form.decoder().decodedNodes() > 2000; }, 5000));
  const std::size_t streaming = sim.output().size();
  ASSERT_TRUE(RunUntil([&] { return form.decoder().decodedNodes() > 14000; }, 8000))
      << form.decoder().decodedNodes();
  const double noReturnShare = static_cast<double>(form.decoder().noReturnNodes()) /
                               static_cast<double>(form.decoder().decodedNodes());
  EXPECT_NEAR(noReturnShare, 0.4, 0.05);
  EXPECT_NE(form.Label4.caption(), "扫描频率:0");
  // Once it streams, the watchdog never has to start it again.
  EXPECT_EQ(sim.output().find(":SCAN.", streaming), std::string::npos) << sim.output();
}

}  // namespace
}  // namespace scantouch
