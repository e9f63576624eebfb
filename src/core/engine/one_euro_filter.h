#pragma once

namespace scantouch {

// The One Euro filter on a point of the plane: a low-pass filter whose cut-off rises with the
// point's speed, so that a still hand is held steady and a moving one followed without lag. Each
// step takes the real time since the last one: a filter that assumed a fixed rate would smooth
// five turns a second very differently from fifteen.
class OneEuroFilter {
 public:
  struct Tuning {
    double minCutoff_hz = 0.2;  // cut-off of a still point
    double beta = 0.05;         // cut-off added per millimetre per second of speed
    double derivativeCutoff_hz = 0.3;
    friend bool operator==(const Tuning&, const Tuning&) = default;
  };

  OneEuroFilter() = default;
  explicit OneEuroFilter(Tuning tuning) : tuning_(tuning) {}

  // The filtered point for the measured (x, y), `dt_s` after the last step.
  void step(double x, double y, double dt_s);
  void reset() { started_ = false; }

  double x() const { return x_; }
  double y() const { return y_; }

 private:
  Tuning tuning_;
  bool started_ = false;
  double x_ = 0;
  double y_ = 0;
  double velocityX_ = 0;  // filtered, millimetres per second
  double velocityY_ = 0;
};

}  // namespace scantouch
