// A command-line walk along the road from scanner bytes to cursor and click: a simulated scanner
// sweeps a room with one moving object, its stream is fed to the main window model in blocks as
// the serial poll would deliver them, and every published touch and mapped pixel is printed.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "common/hex_text.h"
#include "demo_setup.h"
#include "node_stream.h"
#include "toolkit/virtual_event_loop.h"

namespace {

using scantouch::MainForm;

// Notes what a real desktop would have been asked to do, for the touch line to report.
class NotingDesktopInput final : public scantouch::DesktopInput {
 public:
  bool setCursorPos(std::int32_t x, std::int32_t y) override {
    actions += " move(" + std::to_string(x) + "," + std::to_string(y) + ")";
    return true;
  }
  bool leftClick() override {
    actions += " click";
    return true;
  }
  std::optional<scantouch::ScreenPoint> cursorPos() override { return std::nullopt; }

  std::string actions;
};

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
  NotingDesktopInput desktop;
  scantouch::demo::InMemorySettings settingsFile;
  scantouch::VirtualEventLoop loop;
  MainForm form(loop, desktop, settingsFile.file);
  scantouch::demo::CalibrateLikeTheExamples(form);
  // Runs after the mapping, which the form connected first.
  form.TXT当前处理数据.changed.connect([&form, &desktop] {
    std::printf("touch %s -> pixel %s:%s\n", form.TXT当前处理数据.text().c_str(),
                form.txt校正后数据.text().c_str(), desktop.actions.c_str());
    desktop.actions.clear();
  });

  scanner_sim::NodeStream stream(scantouch::demo::HandInTheRectangle(4),
                                 scanner_sim::StreamSettings{});
  std::vector<std::uint8_t> block(scanner_sim::kScanDescriptor.begin(),
                                  scanner_sim::kScanDescriptor.end());
  constexpr double kBlockSeconds = 0.1;  // what one serial poll collects
  for (double t = 0; t < seconds; t += kBlockSeconds) {
    stream.appendSeconds(block, kBlockSeconds);
    form.TXTRX.appendText(scantouch::HexText(block));
    block.clear();
  }
  std::printf("%llu nodes decoded, %.1f revolutions\n",
              static_cast<unsigned long long>(form.decoder().decodedNodes()),
              form.decoder().revolutionCount());
  return 0;
}
