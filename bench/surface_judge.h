#pragma once

// touch_bench --surface's judge: compares every frame of the engine with the hands where the
// scanners' last turns saw them.

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <vector>

#include "engine/touch_engine.h"
#include "scene.h"
#include "scene_hands.h"
#include "surface_figures.h"
#include "surface_rig.h"

namespace surface_bench {

// Where a hand was as the frame's scanners saw it.
struct HandTurn {
  bool swept = false;         // a live scanner's last turn passed it
  bool present = false;       // there when one of them passed it
  bool visible = false;       // on the wall and out of every other hand's shadow for one of them
  bool hiddenForOne = false;  // visible, yet in a shadow for another that passed it
  scanner_sim::PlanePoint at;
};

// A scanner that sees a hand puts it where it was when its beam passed it; where several see it,
// the engine joins their objects at the mean weighted by their hits, and so does the judge, with
// the hits of each scanner's object there. A hand is visible when one live scanner sees at least
// kVisibleShare of its span. Its contact should keep its id while one scanner or another sees it.
class SurfaceJudge final : public scantouch::TouchFrameSink {
 public:
  SurfaceJudge(const SurfaceRig& rig, const bench_scenes::HandScene& scene, SurfaceFigures& figures,
               bool events)
      : rig_(rig),
        scene_(scene),
        figures_(figures),
        events_(events),
        birthTurns_(scantouch::TouchEngineSettings{}.birthTurns),
        hands_(scene.scene.objects.size()) {}

  void onTouchFrame(const scantouch::TouchFrame& frame) override;

  // Hand-turns the engine sent no frame for: a turn of the pacing scanner (the first one fed),
  // hands a fed scanner saw at its middle that it had seen the birth turns in a row, and no frame
  // within half a turn of its end. They count as not matched: scanners whose turns are not found
  // follow nothing.
  void countUnframedTurns(double seconds);

 private:
  struct HandState {
    int visibleRun = 0;
    std::optional<scantouch::SessionId> contact;  // its own contact while it stays visible
  };
  struct ContactState {
    int owner = -1;
    double owned_s = 0;
  };

  // The end of the pacing scanner's last turn.
  double frameTime() const;
  // The hits of scanner `s`'s object at `at`, if it saw one there.
  int hitsNear(std::size_t s, scanner_sim::PlanePoint at) const;
  std::vector<HandTurn> truth() const;
  void judgeBirths(const scantouch::TouchFrame& frame);
  void judgeHands(const scantouch::TouchFrame& frame, const std::vector<HandTurn>& now);
  // A contact that follows one hand and then another, the two apart all the while.
  void judgeOwners(const scantouch::TouchFrame& frame, const std::vector<HandTurn>& now);
  bool stayedApart(int a, int b, double from_s, double to_s) const;
  void printEvent(const char* what, const scantouch::TouchFrame& frame, scantouch::SessionId id,
                  int from, int to) const;

  const SurfaceRig& rig_;
  const bench_scenes::HandScene& scene_;
  SurfaceFigures& figures_;
  bool events_;
  int birthTurns_;
  std::vector<double> frameEnds_;
  std::vector<HandState> hands_;
  std::map<scantouch::SessionId, ContactState> contacts_;
  std::deque<std::vector<HandTurn>> history_;
  double frame_s_ = 0;
};

}  // namespace surface_bench
