// A command-line walk along the road from scanner bytes to cursor and click: a simulated scanner
// sweeps a room with one moving object, its stream is fed to the main window model in blocks as
// the serial poll would deliver them, and every published touch and mapped pixel is printed.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "common/hex_text.h"
#include "node_stream.h"

namespace {

using scantouch::MainForm;

// Prints what a real desktop would have been asked to do.
class PrintingDesktopInput final : public scantouch::DesktopInput {
 public:
  bool setCursorPos(std::int32_t x, std::int32_t y) override {
    std::printf("  cursor -> (%d, %d)\n", x, y);
    return true;
  }
  bool leftClick() override {
    std::printf("  click\n");
    return true;
  }
  std::optional<scantouch::ScreenPoint> cursorPos() override { return std::nullopt; }
};

void Calibrate(MainForm& form) {
  // Scanner in the middle of a 15 m view, touch rectangle 5 m x 3 m above it, a 1920 x 1080 screen.
  form.Shape1.setLeft(7350);
  form.Shape1.setTop(7350);
  (void)form.Shape1.setWidth(300);
  (void)form.Shape1.setHeight(300);
  form.SHPWIN.setLeft(5000);
  form.SHPWIN.setTop(2000);
  (void)form.SHPWIN.setWidth(5000);
  (void)form.SHPWIN.setHeight(3000);
  form.TXT灵敏度.setText("2");
  form.txt角度校正.setText("0");
  form.TXT屏幕宽高.setText("1920,1080");
  form.TXT屏幕左上角.setText("0,0");
  (void)form.CHK鼠标移动.setValue(scantouch::CheckBox::kChecked);
  (void)form.CHK鼠标点击.setValue(scantouch::CheckBox::kChecked);
}

scanner_sim::Scene DemoScene() {
  scanner_sim::Scene scene;
  scene.roomDistanceMm = {7000};
  scanner_sim::SceneObject hand;
  hand.from = {-1500, -4500};
  hand.to = scanner_sim::PlanePoint{1500, -3500};
  hand.diameterMm = 100;
  hand.period_s = 4;
  scene.objects.push_back(hand);
  return scene;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
  PrintingDesktopInput desktop;
  MainForm form(desktop);
  Calibrate(form);
  form.TXT当前处理数据.changed.connect([&form] {
    std::printf("touch %s -> pixel %s\n", form.TXT当前处理数据.text().c_str(),
                form.txt校正后数据.text().c_str());
  });

  scanner_sim::NodeStream stream(DemoScene(), scanner_sim::StreamSettings{});
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
