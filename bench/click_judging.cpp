#include "click_judging.h"

#include <algorithm>
#include <cstdint>

#include "judging.h"
#include "still_scenes.h"

namespace bench_table {
namespace {

namespace sim = scanner_sim;
using bench_judging::Distance;
using bench_judging::kGhostMm;
using bench_judging::kMatchMm;
using bench_scenes::HandScene;

// Whether hands explain a click after all: one there at its very time, or two there in the
// `window_s` before it on either side of it (the single-touch road's run over both, with nothing
// between them, clicks halfway).
bool BetweenHands(const HandScene& scene, const Click& click, double window_s) {
  for (const sim::SceneObject& object : scene.scene.objects) {
    if (object.presentAt(click.time_s) &&
        Distance(click.at, object.centreAt(click.time_s)) <= kGhostMm)
      return true;
  }
  std::vector<const sim::SceneObject*> about;  // those there at some time of the window
  for (const sim::SceneObject& object : scene.scene.objects) {
    if (object.appear_s <= click.time_s && object.disappear_s > click.time_s - window_s)
      about.push_back(&object);
  }
  for (std::size_t a = 0; a < about.size(); ++a) {
    for (std::size_t b = a + 1; b < about.size(); ++b) {
      for (double t = click.time_s - window_s; t <= click.time_s + 1e-9; t += 0.005) {
        if (!about[a]->presentAt(t) || !about[b]->presentAt(t))
          continue;
        const sim::PlanePoint one = about[a]->centreAt(t);
        const sim::PlanePoint other = about[b]->centreAt(t);
        if (Distance(click.at, sim::PlanePoint{(one.x + other.x) / 2, (one.y + other.y) / 2}) <=
            kGhostMm)
          return true;
      }
    }
  }
  return false;
}

}  // namespace

void JudgeClicks(const Judge& judge, const HandScene& scene, const std::vector<Click>& clicks,
                 double turnsPerSecond, double seconds, double window_s, Figures& figures) {
  figures.clicks += clicks.size();
  const auto turns = static_cast<std::int64_t>(seconds * turnsPerSecond) - 1;
  for (std::int64_t turn = 0; turn < turns; ++turn) {
    const double start_s = static_cast<double>(turn) / turnsPerSecond;
    const std::vector<ObjectTurn> now = judge.truth(start_s, start_s + 1 / turnsPerSecond);
    for (std::size_t o = 0; o < now.size(); ++o) {
      if (!now[o].visible)
        continue;
      const double swept_s = *SweptAt(scene.scene.objects[o], turn, turnsPerSecond);
      auto click = std::lower_bound(clicks.begin(), clicks.end(), swept_s,
                                    [](const Click& c, double t) { return c.time_s < t; });
      for (; click != clicks.end() && click->time_s <= swept_s + window_s; ++click) {
        if (Distance(click->at, now[o].at) <= kMatchMm) {
          ++figures.clickedObjectTurns;
          break;
        }
      }
    }
  }
  for (const Click& click : clicks) {
    double nearest = 1e18;
    for (double t = click.time_s - window_s; t <= click.time_s; t += 0.005) {
      for (const sim::SceneObject& object : scene.scene.objects) {
        if (object.presentAt(t))
          nearest = std::min(nearest, Distance(click.at, object.centreAt(t)));
      }
    }
    if (nearest > kGhostMm) {
      ++figures.strayClicks;
      if (scene.stillThing && scene.stillThing->echoGapMm(click.at) <= bench_still::kStillMm &&
          !BetweenHands(scene, click, window_s))
        ++figures.stillClicks;
    }
  }
}

}  // namespace bench_table
