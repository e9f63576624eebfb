#include "outputs/cursor_self_test.h"

#include <cmath>

#include "common/number_format.h"
#include "common/numeric_value.h"
#include "common/rounding.h"

namespace scantouch {
namespace {

struct Centre {
  int x;
  int y;
};
constexpr Centre kCentres[] = {{192, 192}, {192, 576},  {704, 192},
                               {704, 576}, {1216, 192}, {1216, 576}};

// The self-test has always used 3.14 for pi; its circles are drawn with it.
constexpr double kRoughPi = 3.14;

}  // namespace

CursorSelfTest::CursorSelfTest(SelfTestControls controls, EventLoop& loop, DesktopInput& desktop)
    : c_(controls), loop_(loop), desktop_(desktop) {}

void CursorSelfTest::onSwitch() {
  const bool on = c_.enabled.value() != CheckBox::kCleared;
  c_.circleTimer.setEnabled(on);
  c_.stopTimer.setEnabled(on);
  c_.stopTimer.setTag("0");
}

void CursorSelfTest::circleTick() {
  c_.mainWindow.setMinimised(true);
  if (angle_ < 360)
    angle_ = static_cast<std::int16_t>(angle_ + 5);
  if (angle_ < 0)
    angle_ = 0;
  if (angle_ >= 360)
    angle_ = 0;
  const double r = angle_ * kRoughPi / 180;
  for (const Centre& centre : kCentres) {
    const auto x = RoundHalfEven32(std::sin(r) * kRadius + centre.x);
    const auto y = RoundHalfEven32(std::cos(r) * kRadius + centre.y);
    if (x && y)
      (void)desktop_.setCursorPos(*x, *y);
    // Other events, the stop timer among them, run between the six moves.
    loop_.yield();
  }
}

void CursorSelfTest::stopTick() {
  const double seconds = NumericValue(c_.stopTimer.tag());
  if (seconds >= kStopAfterSeconds) {
    (void)c_.enabled.setValue(CheckBox::kCleared);
    c_.stopTimer.setEnabled(false);
    return;
  }
  c_.stopTimer.setTag(FormatShortest(seconds + 1).value_or("0"));
}

}  // namespace scantouch
