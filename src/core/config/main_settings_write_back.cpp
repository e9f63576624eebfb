#include <string>

#include "config/main_settings.h"

namespace scantouch {
namespace {

namespace keys = main_settings;

}  // namespace

void MainSettings::connectWriteBack() {
  const auto storeText = [this](TextBox& box, std::string_view key) {
    box.changed.connect([this, &box, key] { file_.write(keys::kParameters, key, box.text()); });
  };
  storeText(c_.angleCorrection, keys::kAngleCorrection);
  storeText(c_.scannerPosition, keys::kScannerPosition);
  storeText(c_.sensitivity, keys::kSensitivity);
  storeText(c_.screenSize, keys::kScreenSize);
  storeText(c_.screenTopLeft, keys::kScreenTopLeft);
  storeText(c_.calibSize, keys::kCalibSize);
  storeText(c_.calibTopLeft, keys::kCalibTopLeft);

  const auto storeCheck = [this](CheckBox& box, std::string_view section, std::string_view key) {
    box.clicked.connect(
        [this, &box, section, key] { file_.write(section, key, std::to_string(box.value())); });
  };
  storeCheck(c_.hideAtStartup, keys::kActions, keys::kHideAtStartup);
  storeCheck(c_.runAtStartup, keys::kProgram, keys::kRunAtStartup);
  storeCheck(c_.mouseClick, keys::kActions, keys::kMouseClick);
  storeCheck(c_.mouseMove, keys::kActions, keys::kMouseMove);
  storeCheck(c_.useNetwork, keys::kNetwork, keys::kUseNetwork);

  c_.displayMode.clicked.connect([this](int index) {
    file_.write(keys::kDisplayMode, keys::kDisplayMode, std::to_string(index));
  });
  c_.viewRange.clicked.connect([this](int index) { onRangeSelected(index); });
}

}  // namespace scantouch
