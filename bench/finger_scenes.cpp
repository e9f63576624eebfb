#include "finger_scenes.h"

#include <cmath>
#include <numbers>
#include <random>

namespace bench_scenes {

std::vector<scanner_sim::SceneObject> TwoFingers(const scanner_sim::TouchArea& area, double seconds,
                                                 std::uint32_t seed, double turn_s,
                                                 double fingerMm) {
  namespace sim = scanner_sim;
  std::mt19937 random(seed * 31337u + 101);
  const auto uniform = [&random](double from, double to) {
    return std::uniform_real_distribution<double>(from, to)(random);
  };
  constexpr double kPair_s = 4;
  constexpr double kMarginMm = 150;  // from the edges: the second finger stays inside too
  std::vector<sim::SceneObject> fingers;
  for (double start_s = 0.3; start_s + kPair_s - 0.3 <= seconds; start_s += kPair_s) {
    const sim::PlanePoint first{uniform(area.left + kMarginMm, area.left + area.width - kMarginMm),
                                uniform(area.top + kMarginMm, area.top + area.height - kMarginMm)};
    // Across the beam: at right angles to the bearing, turned up to 45 degrees either way.
    const double bearing = std::atan2(first.y, first.x);
    const double direction =
        bearing + std::numbers::pi / 2 + uniform(-std::numbers::pi / 4, std::numbers::pi / 4);
    const double apartMm = uniform(60, 100);
    const sim::PlanePoint second{first.x + apartMm * std::cos(direction),
                                 first.y + apartMm * std::sin(direction)};
    sim::SceneObject one;
    one.from = first;
    one.diameterMm = fingerMm;
    one.appear_s = start_s;
    one.disappear_s = start_s + kPair_s - 0.6;
    sim::SceneObject two = one;
    two.from = second;
    two.appear_s = start_s + turn_s * std::floor(uniform(2, 11));
    fingers.push_back(one);
    fingers.push_back(two);
  }
  return fingers;
}

HandScene TwoFingerScene(const scanner_sim::TouchArea& area, double seconds, std::uint32_t seed,
                         double turn_s) {
  HandScene bench = NewHandScene();
  bench.scene.objects = TwoFingers(area, seconds, seed, turn_s);
  bench.roles.assign(bench.scene.objects.size(), HandRole::still);
  return bench;
}

}  // namespace bench_scenes
