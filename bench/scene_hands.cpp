#include "scene_hands.h"

#include <algorithm>

namespace bench_scenes {

namespace sim = scanner_sim;

HandScene NewHandScene() {
  HandScene bench;
  bench.scene.roomDistanceMm = {7000};
  return bench;
}

void AddHand(HandScene& scene, sim::SceneObject object, HandRole role, double handMm, double from_s,
             double to_s) {
  object.diameterMm = handMm;
  object.appear_s = from_s;
  object.disappear_s = to_s;
  scene.scene.objects.push_back(object);
  scene.roles.push_back(role);
}

sim::PlanePoint HandDraws::pointIn(const Area& area) {
  return sim::PlanePoint{uniform(area.left, area.right), uniform(area.top, area.bottom)};
}

sim::SceneObject HandDraws::still(const Area& area) {
  sim::SceneObject object;
  object.from = pointIn(area);
  return object;
}

sim::SceneObject HandDraws::moving(const Area& area) {
  sim::SceneObject object;
  object.from = pointIn(area);
  object.to = pointIn(area);
  object.period_s = uniform(2.5, 5);
  return object;
}

sim::SceneObject HandDraws::tapping(const Area& area) {
  sim::SceneObject object;
  object.from = pointIn(area);
  const double driftMm = std::min(150.0, (area.right - area.left) / 2);
  object.to = sim::PlanePoint{
      std::clamp(object.from.x + uniform(-driftMm, driftMm), area.left, area.right),
      std::clamp(object.from.y + uniform(-driftMm, driftMm), area.top, area.bottom)};
  object.period_s = uniform(6, 10);
  object.tapDown_s = uniform(0.4, 0.7);
  object.tapPeriod_s = object.tapDown_s + uniform(0.6, 1.0);
  object.tapPhase_s = uniform(0, object.tapPeriod_s);
  return object;
}

void AddHandPair(HandScene& scene, HandDraws& draws, const Area& a, const Area& b, double handMm,
                 const ThreePhases& phases) {
  const Area pair{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                  std::max(a.bottom, b.bottom)};
  AddHand(scene, draws.still(a), HandRole::still, handMm, phases.from(0), phases.to(0));
  AddHand(scene, draws.tapping(b), HandRole::tapping, handMm, phases.from(0), phases.to(0));
  // Opposite ways through the pair's area, never nearer than `offset` to each other.
  const double offset = std::min(160.0, (pair.right - pair.left) / 2);
  sim::SceneObject first;
  sim::SceneObject second;
  first.from = {pair.left, pair.top};
  first.to = sim::PlanePoint{pair.right - offset, pair.bottom};
  second.from = {pair.left + offset, pair.bottom};
  second.to = sim::PlanePoint{pair.right, pair.top};
  first.period_s = second.period_s = draws.uniform(4, 8);
  AddHand(scene, first, HandRole::crossing, handMm, phases.from(1), phases.to(1));
  AddHand(scene, second, HandRole::crossing, handMm, phases.from(1), phases.to(1));
  AddHand(scene, draws.tapping(a), HandRole::tapping, handMm, phases.from(2), phases.to(2));
  AddHand(scene, draws.still(b), HandRole::still, handMm, phases.from(2), phases.to(2));
}

}  // namespace bench_scenes
