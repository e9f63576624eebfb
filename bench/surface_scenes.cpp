#include "surface_scenes.h"

#include <cmath>
#include <numbers>

#include "finger_scenes.h"
#include "surface_wall.h"

namespace surface_bench {

namespace sim = scanner_sim;
using bench_scenes::AddHand;
using bench_scenes::Area;
using bench_scenes::HandRole;
using bench_scenes::HandScene;

HandScene BeamScene(double seconds, std::uint32_t seed, double handMm) {
  HandScene bench = bench_scenes::NewHandScene();
  bench_scenes::HandDraws draws(seed * 48271u + 3);
  const double margin = handMm / 2 + 60;
  const auto inside = [&](sim::PlanePoint p) {
    return p.x > kWallLeft + margin && p.x < kWallLeft + kWallWidth - margin &&
           p.y > kWallTop + margin && p.y < kWallTop + kWallHeight - margin;
  };
  const double backSweepMm = 350;
  const double frontSweepMm = 300;
  for (;;) {
    const double bearing = draws.uniform(110, 140) * std::numbers::pi / 180;
    const sim::PlanePoint along{std::sin(bearing), -std::cos(bearing)};
    const sim::PlanePoint across{std::cos(bearing), std::sin(bearing)};
    const double nearMm = draws.uniform(800, 1300);
    const double farMm = nearMm + draws.uniform(700, 1100);
    const auto at = [&](double distance, double sideways) {
      return sim::PlanePoint{distance * along.x + sideways * across.x,
                             distance * along.y + sideways * across.y};
    };
    if (!inside(at(farMm, -backSweepMm)) || !inside(at(farMm, backSweepMm)) ||
        !inside(at(nearMm, -frontSweepMm)) || !inside(at(nearMm, frontSweepMm)))
      continue;
    const double half_s = seconds / 2;
    sim::SceneObject front;
    front.from = at(nearMm, 0);
    sim::SceneObject back;
    back.from = at(farMm, -backSweepMm);
    back.to = at(farMm, backSweepMm);
    back.period_s = draws.uniform(4, 6);
    AddHand(bench, front, HandRole::still, handMm, 0.3, half_s - 0.3);
    AddHand(bench, back, HandRole::moving, handMm, 0.3, half_s - 0.3);
    sim::SceneObject crossing;
    crossing.from = at(nearMm, -frontSweepMm);
    crossing.to = at(nearMm, frontSweepMm);
    crossing.period_s = draws.uniform(4, 6);
    sim::SceneObject behind;
    behind.from = at(farMm, 0);
    AddHand(bench, crossing, HandRole::moving, handMm, half_s + 0.3, seconds - 0.3);
    AddHand(bench, behind, HandRole::still, handMm, half_s + 0.3, seconds - 0.3);
    return bench;
  }
}

HandScene WallScene(double seconds, std::uint32_t seed, double handMm) {
  HandScene bench = bench_scenes::NewHandScene();
  bench_scenes::HandDraws draws(seed * 69621u + 11);
  constexpr int kColumns = 5;
  constexpr int kRows = 2;
  const double margin = handMm / 2 + 60;
  const auto cellOf = [&](int column, int row) {
    const double width = kWallWidth / kColumns;
    const double height = kWallHeight / kRows;
    return Area{kWallLeft + column * width + margin, kWallTop + row * height + margin,
                kWallLeft + (column + 1) * width - margin, kWallTop + (row + 1) * height - margin};
  };
  const bench_scenes::ThreePhases phases{seconds};
  for (int column = 0; column < kColumns; ++column)
    AddHandPair(bench, draws, cellOf(column, 0), cellOf(column, 1), handMm, phases);
  return bench;
}

HandScene FingerScene(double seconds, std::uint32_t seed, double) {
  return bench_scenes::TwoFingerScene(kWallArea, seconds, seed, 1 / kFirst.turnsPerSecond);
}

}  // namespace surface_bench
