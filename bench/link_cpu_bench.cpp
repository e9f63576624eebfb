// What the scanner links cost: the simulated scanner streams 8 000 nodes per second over TCP and
// then over a pseudo-terminal, and the program (core and real adapters, in this process) is timed
// by the CPU it uses per second of stream. An idle stretch with no scanner at all shows what the
// timers cost on their own. Usage: link_cpu_bench [seconds per run, default 20]

#include <sys/resource.h>

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

#include "config/ini_document.h"
#include "qt_program.h"

namespace {

using namespace scantouch;

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Figures {
  double cpuPercent = 0;
  std::uint64_t nodes = 0;
  std::size_t largestBufferAfterPass = 0;
};

// Runs the program for `seconds` once it is streaming and measures it.
Figures Measure(ScannerProgram& program, double seconds) {
  MainForm& form = program.form();
  Figures figures;
  form.Label2.changed.connect([&] {
    if (form.decoder().synchronised()) {
      figures.largestBufferAfterPass =
          std::max(figures.largestBufferAfterPass, 3 * form.decoder().pendingBytes().size());
    }
  });
  const std::uint64_t nodesBefore = form.decoder().decodedNodes();
  const double cpuBefore = CpuSeconds();
  testing::RunFor(static_cast<int>(seconds * 1000));
  figures.cpuPercent = 100 * (CpuSeconds() - cpuBefore) / seconds;
  figures.nodes = form.decoder().decodedNodes() - nodesBefore;
  return figures;
}

void Report(const char* what, const Figures& f, double seconds) {
  std::printf(
      "%-22s cpu %.2f %% of one core, %.0f nodes/s decoded, largest buffer after a pass %zu "
      "chars\n",
      what, f.cpuPercent, static_cast<double>(f.nodes) / seconds, f.largestBufferAfterPass);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  const double seconds = argc > 1 ? std::atof(argv[1]) : 20;

  {
    testing::QtProgram harness;
    ScannerProgram& program = harness.start();
    program.network().ensureLoaded();  // timers of both windows running, nothing to talk to
    Report("idle (no scanner)", Measure(program, seconds / 4), seconds / 4);
  }
  {
    testing::QtProgram harness;
    const int port = testing::FreeLoopbackPort();
    std::string ini = SetIniValue("", "网络参数", "TxtTcpIp0", "127.0.0.1");
    ini = SetIniValue(ini, "网络参数", "TxtTcpPost0", std::to_string(port));
    ini = SetIniValue(ini, "网络参数", "发送失败处理方法0", "尝试发送循环");
    IconvTextCodec gbk("CP936");
    harness.files().replace(harness.directory() + "/配置.ini", gbk.encode(ini));
    testing::SimProcess sim({"--tcp", QString::number(port), "--rate", "8000", "--rps", "10"});
    sim.waitForLine("ready");
    ScannerProgram& program = harness.start();
    program.form().CMD开始.click();
    testing::RunUntil([&] { return program.form().decoder().decodedNodes() > 8000; }, 10000);
    Report("TCP, 8000 nodes/s", Measure(program, seconds), seconds);
  }
  {
    testing::QtProgram harness;
    testing::SimProcess sim({"--pty", QString::fromStdString(harness.directory() + "/COM7"),
                             "--rate", "8000", "--rps", "10"});
    sim.waitForLine("ready");
    ScannerProgram& program = harness.start();
    program.form().Text1.setText("7");
    program.form().CMD开始.click();
    testing::RunUntil([&] { return program.form().decoder().decodedNodes() > 8000; }, 10000);
    Report("serial, 8000 nodes/s", Measure(program, seconds), seconds);
  }
  return 0;
}
