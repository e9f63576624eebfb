#include "engine/one_euro_filter.h"

#include <cmath>
#include <numbers>

namespace scantouch {
namespace {

// The weight of a new value in an exponential smoothing with this cut-off over `dt_s`.
double Alpha(double cutoff_hz, double dt_s) {
  const double tau_s = 1.0 / (2 * std::numbers::pi * cutoff_hz);
  return 1.0 / (1.0 + tau_s / dt_s);
}

}  // namespace

void OneEuroFilter::step(double x, double y, double dt_s) {
  if (!started_) {
    x_ = x;
    y_ = y;
    velocityX_ = velocityY_ = 0;
    started_ = true;
    return;
  }
  if (!(dt_s > 0))
    return;
  // The velocity is smoothed as a vector: the noise of a still point points every way and
  // cancels out, a hand's movement does not.
  const double derivativeAlpha = Alpha(tuning_.derivativeCutoff_hz, dt_s);
  velocityX_ += derivativeAlpha * ((x - x_) / dt_s - velocityX_);
  velocityY_ += derivativeAlpha * ((y - y_) / dt_s - velocityY_);
  const double speed = std::hypot(velocityX_, velocityY_);
  const double alpha = Alpha(tuning_.minCutoff_hz + tuning_.beta * speed, dt_s);
  x_ += alpha * (x - x_);
  y_ += alpha * (y - y_);
}

}  // namespace scantouch
