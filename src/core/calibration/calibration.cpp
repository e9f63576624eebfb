#include "calibration/calibration.h"

#include <cmath>
#include <string>

#include "common/number_format.h"
#include "common/pair.h"

namespace scantouch {
namespace {

// A view-unit value as calibration writes it: rounded towards minus infinity, shortest form.
std::string Floored(double value) {
  return FormatShortest(std::floor(value)).value_or("0");
}

std::string PairText(double first, double second) {
  return Floored(first) + "," + Floored(second);
}

}  // namespace

Calibration::Calibration(CalibrationControls controls, DesktopInput& desktop)
    : c_(controls), desktop_(desktop) {
  c_.screenTopLeft.keyPressHandler = [this](int key) { return captureScreenTopLeft(key); };
  c_.screenSize.keyPressHandler = [this](int key) { return captureScreenSize(key); };
}

void Calibration::click(float x, float y) {
  Shape& rect = c_.touchRect;
  switch (c_.mode.selected()) {
    case kTopLeft: {
      // The far corner stays; a size that would turn negative is refused and kept.
      const double width = static_cast<double>(rect.width()) - x + rect.left();
      const double height = static_cast<double>(rect.height()) - y + rect.top();
      (void)rect.setWidth(static_cast<float>(width));
      (void)rect.setHeight(static_cast<float>(height));
      rect.setLeft(x);
      rect.setTop(y);
      c_.calibTopLeft.setText(PairText(x, y));
      break;
    }
    case kBottomRight:
      (void)rect.setWidth(static_cast<float>(static_cast<double>(x) - rect.left()));
      (void)rect.setHeight(static_cast<float>(static_cast<double>(y) - rect.top()));
      c_.calibSize.setText(PairText(rect.width(), rect.height()));
      break;
    case kScanner: {
      Shape& marker = c_.scannerMarker;
      marker.setTop(static_cast<float>(static_cast<double>(y) - marker.height() / 2.0));
      marker.setLeft(static_cast<float>(static_cast<double>(x) - marker.width() / 2.0));
      c_.scannerPosition.setText(PairText(x, y));
      break;
    }
    default:
      break;  // the screen options and "完成": a click changes nothing
  }
}

void Calibration::onModeSelected(int index) {
  if (index != c_.mode.selected())
    return;  // an earlier handler refused the option and put the selection back
  if (index == kScreenTopLeft)
    c_.screenTopLeft.setFocus();
  if (index == kScreenSize)
    c_.screenSize.setFocus();
}

void Calibration::readCursor() {
  // A failed query leaves the last position.
  if (const auto position = desktop_.cursorPos())
    cursor_ = *position;
}

bool Calibration::captureScreenTopLeft(int keyCode) {
  if (keyCode != kKeySpace)
    return false;
  if (!desktop_.canReadCursor())
    return true;  // nothing to capture: the box keeps what it holds
  readCursor();
  c_.screenTopLeft.setText(std::to_string(cursor_.x) + "," + std::to_string(cursor_.y));
  return true;
}

bool Calibration::captureScreenSize(int keyCode) {
  if (keyCode != kKeySpace)
    return false;
  if (!desktop_.canReadCursor())
    return true;
  readCursor();
  // Measured from the corner captured before; a corner that cannot be read counts as 0,0.
  const IntPair topLeft = ParsePair(c_.screenTopLeft.text()).value_or(IntPair{});
  c_.screenSize.setText(std::to_string(std::int64_t{cursor_.x} - topLeft.first) + "," +
                        std::to_string(std::int64_t{cursor_.y} - topLeft.second));
  return true;
}

void Calibration::showCursorPosition() {
  if (!desktop_.canReadCursor()) {
    c_.cursorPosition.setCaption(std::string(kCursorCaption) + kUnknownPosition);
    return;
  }
  readCursor();
  c_.cursorPosition.setCaption(std::string(kCursorCaption) + std::to_string(cursor_.x) + "," +
                               std::to_string(cursor_.y));
}

}  // namespace scantouch
