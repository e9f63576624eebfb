#pragma once

// The touch table's judge: compares every frame of the engine with the scene, where the hands
// were when the beam last passed them in the data the frame was made from.

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "decoding/scan_node.h"
#include "engine/touch_engine.h"
#include "scene_hands.h"
#include "sweep_times.h"
#include "table_figures.h"

namespace bench_table {

// Hands every decoded node on to the engine, and works out when the scanner measured it
// (bench_judging::NodeClock), so that a frame knows the time of the data it ends with. Keeps a
// copy of the first nodes for timing the engine alone.
class NodeTee final : public scantouch::PreciseScanNodeConsumer {
 public:
  NodeTee(scantouch::PreciseScanNodeConsumer& engine, double turnsPerSecond, std::size_t keep)
      : engine_(engine), clock_(turnsPerSecond, 0), keep_(keep) {}

  void dataReaches(double until_s) { clock_.dataReaches(until_s); }
  double lastNode_s() const { return clock_.last_s(); }

  void processPreciseNode(const scantouch::PreciseScanNode& node,
                          std::int16_t sensitivity) override;

  std::vector<scantouch::PreciseScanNode> nodes;

 private:
  scantouch::PreciseScanNodeConsumer& engine_;
  bench_judging::NodeClock clock_;
  std::size_t keep_;
};

// Where an object was when the beam last passed it in the data of one frame.
struct ObjectTurn {
  bool swept = false;  // the beam passed it in the frame's data
  bool present = false;
  bool visible = false;
  scanner_sim::PlanePoint at;
};

// When the beam passed `object` in turn `turn` (the stream's turn, from 0 at the start of the
// stream): see bench_judging::SweptAt.
std::optional<double> SweptAt(const scanner_sim::SceneObject& object, std::int64_t turn,
                              double turnsPerSecond);

// A hand is visible when it is there, its centre lies in the touch rectangle and at least
// kVisibleShare of its span is out of every other hand's shadow.
class Judge final : public scantouch::TouchFrameSink {
 public:
  Judge(const bench_scenes::HandScene& scene, const NodeTee& tee, double turnsPerSecond,
        const scantouch::TouchEngineSettings& settings, Figures& figures, bool events)
      : events_(events),
        scene_(scene),
        tee_(tee),
        turnsPerSecond_(turnsPerSecond),
        settings_(settings),
        figures_(figures),
        objects_(scene.scene.objects.size()) {}

  void onTouchFrame(const scantouch::TouchFrame& frame) override;

  // Where and whether the objects were when the beam last passed them in [from_s, to_s).
  std::vector<ObjectTurn> truth(double from_s, double to_s) const;

  // A hand that came in the last turns may yet get its contact.
  void finish();

  // Hand-turns the engine sent no frame for: a turn of the stream, visible hands in it that had
  // been visible the birth turns in a row, and no frame within half a turn of its end. They count
  // as not matched: a scanner whose turns the engine does not find follows nothing.
  void countUnframedTurns(double seconds);

 private:
  static constexpr std::int64_t kNotSeen = -1;
  // A contact not removed this long after its hand left never was.
  static constexpr int kGiveUpTurns = 50;

  struct ObjectState {
    bool wasPresent = false;
    int visibleRun = 0;  // frames in a row in which it was visible
    bool awaitingBirth = false;
    std::int64_t arrivalFrame = 0;  // the first of the frames in a row in which it was visible
    std::optional<scantouch::SessionId> contact;  // the contact that followed it in its last frame
    bool followed = false;                        // a contact followed it since it came
  };
  struct ContactState {
    int owner = -1;  // the object it follows
    double owned_s = 0;
    // Screen positions while it follows a still hand.
    std::vector<std::pair<double, double>> stillPixels;
  };
  struct PendingRemoval {
    scantouch::SessionId contact;
    std::int64_t departureFrame;
    std::size_t object;
  };

  void judge(const scantouch::TouchFrame& frame, double end_s);
  void noteArrivalsAndDepartures(const scantouch::TouchFrame& frame,
                                 const std::vector<ObjectTurn>& now);
  // Frames since a hand awaiting its contact became visible, the present one not counted.
  std::int64_t seenTurns(const ObjectState& state) const;
  void judgeBirths(const scantouch::TouchFrame& frame, const std::vector<ObjectTurn>& now);
  void judgeRemovals(const scantouch::TouchFrame& frame, const std::vector<ObjectTurn>& now);
  void judgeFollowing(const scantouch::TouchFrame& frame, const std::vector<ObjectTurn>& now,
                      double end_s);
  // One line for a ghost or an id switch: the contact, the hands there and every contact.
  void printEvent(const char* what, const scantouch::TouchFrame& frame,
                  const std::vector<ObjectTurn>& now, scantouch::SessionId id, int from,
                  int to) const;
  // Within kStillMm of where the scene's still thing's echoes land.
  bool atStillThing(scanner_sim::PlanePoint at) const;
  // A hand was there, within kGhostMm, in the frames that made this one.
  bool explained(scanner_sim::PlanePoint at) const;
  bool stayedApart(int a, int b, double from_s, double to_s) const;
  void closeJitter(ContactState& state);

  bool events_;
  const bench_scenes::HandScene& scene_;
  const NodeTee& tee_;
  double turnsPerSecond_;
  scantouch::TouchEngineSettings settings_;
  Figures& figures_;
  std::vector<ObjectState> objects_;
  std::map<scantouch::SessionId, ContactState> contacts_;
  std::vector<PendingRemoval> removals_;
  std::deque<std::vector<ObjectTurn>> history_;
  std::vector<double> frameEnds_;
  std::int64_t frameIndex_ = 0;
  double lastFrame_s_ = 0;
  double frameEnd_s_ = 0;
};

}  // namespace bench_table
