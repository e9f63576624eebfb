#pragma once

// What the touch benches share in judging contacts against the simulated hands.

#include <cmath>
#include <utility>
#include <vector>

#include "scene.h"

namespace bench_judging {

inline double Distance(scanner_sim::PlanePoint a, scanner_sim::PlanePoint b) {
  return std::hypot(a.x - b.x, a.y - b.y);
}

// The nearest of `now` that is there (`present`, at `at`), and its distance; -1 for none.
template <typename Hand>
std::pair<int, double> Nearest(scanner_sim::PlanePoint at, const std::vector<Hand>& now) {
  int nearest = -1;
  double distance = 1e18;
  for (std::size_t o = 0; o < now.size(); ++o) {
    if (!now[o].present)
      continue;
    const double d = Distance(at, now[o].at);
    if (d < distance) {
      distance = d;
      nearest = static_cast<int>(o);
    }
  }
  return {nearest, distance};
}

// Whether objects `a` and `b` stayed at least `apartMm` apart from `from_s` to `to_s`, looked at
// every `step_s`.
inline bool StayedApart(const std::vector<scanner_sim::SceneObject>& objects, int a, int b,
                        double from_s, double to_s, double step_s, double apartMm) {
  for (double time_s = from_s; time_s <= to_s; time_s += step_s) {
    if (Distance(objects[static_cast<std::size_t>(a)].centreAt(time_s),
                 objects[static_cast<std::size_t>(b)].centreAt(time_s)) < apartMm)
      return false;
  }
  return true;
}

}  // namespace bench_judging
