#include <string>
#include <string_view>
#include <utility>

#include "common/blanks.h"
#include "common/number_format.h"
#include "common/numeric_value.h"
#include "common/pair.h"
#include "common/rounding.h"
#include "config/main_settings.h"

namespace scantouch {
namespace {

namespace keys = main_settings;

constexpr float kScannerMarkerSize = 300;

// Selects the option whose index is stored; false when the stored number is not an index.
bool SelectStored(OptionArray& options, const std::string& stored) {
  const auto index = RoundHalfEven16(NumericValue(stored));
  return index && options.select(*index) == ToolkitResult::ok;
}

bool CheckStored(CheckBox& box, const std::string& stored) {
  const auto value = RoundHalfEven16(NumericValue(stored));
  return value && box.setValue(*value) == ToolkitResult::ok;
}

// Sets the box to the stored number in shortest decimal form; false when it has none.
bool SetNumberText(TextBox& box, const std::string& stored) {
  const auto text = FormatShortest(NumericValue(stored));
  if (!text)
    return false;
  box.setText(*text);
  return true;
}

}  // namespace

MainSettings::MainSettings(SettingsControls controls, SettingsFile& file,
                           std::function<void()> resetView)
    : c_(controls), file_(file), resetView_(std::move(resetView)) {}

void MainSettings::fun_init() {
  ++initialisationRuns_;
  // Each part stops at the first value it cannot apply, and so does the whole.
  if (!loadOptionsAndTexts())
    return;
  if (!loadCheckBoxes())
    return;
  if (c_.hideAtStartup.value() == CheckBox::kChecked)
    c_.mainWindow.setVisible(false);
  if (!placeShapes())
    return;
  if (resetView_)
    resetView_();
}

bool MainSettings::loadOptionsAndTexts() {
  if (!SelectStored(c_.displayMode, file_.read(keys::kDisplayMode, keys::kDisplayMode)))
    return stopAt(keys::kDisplayMode, keys::kDisplayMode);
  // Selecting a range runs its handler, which runs this whole initialisation once more, nested.
  if (!SelectStored(c_.viewRange, file_.read(keys::kViewRange, keys::kViewRange)))
    return stopAt(keys::kViewRange, keys::kViewRange);

  c_.scannerPosition.setText(file_.read(keys::kParameters, keys::kScannerPosition));
  c_.screenSize.setText(file_.read(keys::kParameters, keys::kScreenSize));
  c_.screenTopLeft.setText(file_.read(keys::kParameters, keys::kScreenTopLeft));
  c_.calibSize.setText(file_.read(keys::kParameters, keys::kCalibSize));
  c_.calibTopLeft.setText(file_.read(keys::kParameters, keys::kCalibTopLeft));

  const std::string sensitivity = file_.read(keys::kParameters, keys::kSensitivity);
  if (TrimBlanks(sensitivity).empty()) {
    c_.sensitivity.setText("2");
  } else if (!SetNumberText(c_.sensitivity, sensitivity)) {
    return stopAt(keys::kParameters, keys::kSensitivity);
  }
  if (!SetNumberText(c_.serialPort, file_.read(keys::kSerial, keys::kPort)))
    return stopAt(keys::kSerial, keys::kPort);
  if (!SetNumberText(c_.angleCorrection, file_.read(keys::kParameters, keys::kAngleCorrection)))
    return stopAt(keys::kParameters, keys::kAngleCorrection);
  if (NumericValue(c_.serialPort.text()) < 1)
    c_.serialPort.setText("1");
  return true;
}

bool MainSettings::loadCheckBoxes() {
  const std::pair<CheckBox&, std::pair<std::string_view, std::string_view>> boxes[] = {
      {c_.mouseMove, {keys::kActions, keys::kMouseMove}},
      {c_.mouseClick, {keys::kActions, keys::kMouseClick}},
      {c_.useNetwork, {keys::kNetwork, keys::kUseNetwork}},
      {c_.hideAtStartup, {keys::kActions, keys::kHideAtStartup}},
  };
  for (const auto& [box, where] : boxes) {
    if (!CheckStored(box, file_.read(where.first, where.second)))
      return stopAt(where.first, where.second);
  }
  return true;
}

bool MainSettings::placeShapes() {
  const auto position = ParsePair(c_.scannerPosition.text());
  if (!position)
    return stopAt(keys::kParameters, keys::kScannerPosition);
  (void)c_.scannerMarker.setWidth(kScannerMarkerSize);
  (void)c_.scannerMarker.setHeight(kScannerMarkerSize);
  c_.scannerMarker.setLeft(static_cast<float>(position->first) - kScannerMarkerSize / 2);
  c_.scannerMarker.setTop(static_cast<float>(position->second) - kScannerMarkerSize / 2);

  const auto corner = ParsePair(c_.calibTopLeft.text());
  if (!corner)
    return stopAt(keys::kParameters, keys::kCalibTopLeft);
  c_.touchRect.setTop(static_cast<float>(corner->second));
  c_.touchRect.setLeft(static_cast<float>(corner->first));

  // The stored pair is the rectangle's width and height, not its far corner.
  const auto size = ParsePair(c_.calibSize.text());
  if (!size || c_.touchRect.setWidth(static_cast<float>(size->first)) != ToolkitResult::ok ||
      c_.touchRect.setHeight(static_cast<float>(size->second)) != ToolkitResult::ok)
    return stopAt(keys::kParameters, keys::kCalibSize);
  return true;
}

bool MainSettings::stopAt(std::string_view section, std::string_view key) {
  file_.reportUnusable(section, key, "the start-up stopped here, later settings are not loaded");
  return false;
}

void MainSettings::onRangeSelected(int index) {
  file_.write(keys::kViewRange, keys::kViewRange, std::to_string(index));
  const auto range = RoundHalfEven32(NumericValue(c_.viewRange.caption(index)) * 1000);
  if (range) {
    c_.view.setScaleHeight(static_cast<float>(*range));
    c_.view.setScaleWidth(static_cast<float>(*range));
  }
  fun_init();
}

}  // namespace scantouch
