#include "table_scenes.h"

#include <algorithm>

#include "rooms.h"
#include "table_rectangle.h"

namespace bench_table {

namespace sim = scanner_sim;
using bench_scenes::AddHand;
using bench_scenes::Area;
using bench_scenes::HandDraws;
using bench_scenes::HandRole;
using bench_scenes::HandScene;

HandScene HandsInCells(int hands, double seconds, std::uint32_t seed, double handMm) {
  HandScene bench = bench_scenes::NewHandScene();
  HandDraws draws(seed * 7919u + static_cast<std::uint32_t>(hands));
  const int rows = hands <= 3 ? 1 : 2;
  const int columns = (hands + rows - 1) / rows;
  const double margin = handMm / 2 + 15;
  const auto cellOf = [&](int hand) {
    const int column = rows == 1 ? hand : hand / 2;
    const int row = rows == 1 ? 0 : hand % 2;
    const double width = kRectWidth / columns;
    const double height = kRectHeight / rows;
    return Area{kRectLeft + column * width + margin, kRectTop + row * height + margin,
                kRectLeft + (column + 1) * width - margin, kRectTop + (row + 1) * height - margin};
  };
  const bench_scenes::ThreePhases phases{seconds};
  int hand = 0;
  for (; hand + 1 < hands; hand += 2)
    AddHandPair(bench, draws, cellOf(hand), cellOf(hand + 1), handMm, phases);
  if (hand < hands) {
    const Area area = cellOf(hand);
    AddHand(bench, draws.still(area), HandRole::still, handMm, phases.from(0), phases.to(0));
    AddHand(bench, draws.moving(area), HandRole::moving, handMm, phases.from(1), phases.to(1));
    AddHand(bench, draws.tapping(area), HandRole::tapping, handMm, phases.from(2), phases.to(2));
  }
  return bench;
}

HandScene CloseHands(double seconds, std::uint32_t seed, double handMm) {
  HandScene bench = bench_scenes::NewHandScene();
  HandDraws draws(seed * 104729u);
  const auto add = [&](const sim::SceneObject& object, HandRole role) {
    AddHand(bench, object, role, handMm, 0.3, seconds - 0.3);
  };
  const sim::PlanePoint pair{draws.uniform(-650, -350), draws.uniform(-1000, -600)};
  sim::SceneObject left;
  left.from = {pair.x - 75, pair.y};
  sim::SceneObject right;
  right.from = {pair.x + 75, pair.y};
  add(left, HandRole::still);
  add(right, HandRole::still);
  const sim::PlanePoint still{draws.uniform(250, 550), draws.uniform(-950, -750)};
  sim::SceneObject standing;
  standing.from = still;
  add(standing, HandRole::still);
  sim::SceneObject passing;
  passing.from = {still.x + 110, still.y - 300};
  passing.to = sim::PlanePoint{still.x + 110, still.y + 350};
  passing.period_s = draws.uniform(4, 6);
  add(passing, HandRole::moving);
  return bench;
}

HandScene FastSwipe(double seconds, std::uint32_t seed, double handMm) {
  HandScene bench = bench_scenes::NewHandScene();
  HandDraws draws(seed * 15485863u);
  const double swipeY = draws.uniform(-1150, -850);
  sim::SceneObject swipe;
  swipe.from = {-900, swipeY};
  swipe.to = sim::PlanePoint{900, swipeY + draws.uniform(-100, 100)};
  swipe.period_s = 2 * 1800 / draws.uniform(1400, 2000);
  sim::SceneObject still;
  still.from = {draws.uniform(-700, 700), draws.uniform(-600, -350)};
  AddHand(bench, swipe, HandRole::moving, handMm, 0.3, seconds - 0.3);
  AddHand(bench, still, HandRole::still, handMm, 0.3, seconds - 0.3);
  return bench;
}

HandScene AroundStillThing(bench_still::StillScene kind, double seconds, std::uint32_t seed,
                           double handMm) {
  HandScene bench = bench_scenes::NewHandScene();
  sim::FurnishRoom(bench.scene, bench_still::RoomOf(kind), kTouchArea);
  bench.stillThing = bench_still::StillThingOf(bench.scene, kTouchArea);
  for (const bench_still::StillHand& hand :
       bench_still::StillSceneHands(kind, kTouchArea, *bench.stillThing, seconds, seed, handMm)) {
    bench.scene.objects.push_back(hand.object);
    bench.roles.push_back(hand.kind == bench_still::HandKind::still    ? HandRole::still
                          : hand.kind == bench_still::HandKind::moving ? HandRole::moving
                                                                       : HandRole::tapping);
  }
  return bench;
}

}  // namespace bench_table
