#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "background/learned_background.h"
#include "background/view_masks.h"
#include "common/pair.h"
#include "decoding/scan_node.h"
#include "decoding/turn_finder.h"
#include "engine/contact_tracker.h"
#include "engine/object_grouping.h"
#include "engine/touch_engine_settings.h"
#include "engine/touch_frame.h"
#include "engine/turn_clock.h"
#include "geometry/pose.h"
#include "geometry/screen_area.h"
#include "geometry/surface_mapping.h"
#include "geometry/view_rect.h"
#include "toolkit/event_loop.h"
#include "toolkit/notifier.h"

namespace scantouch {

// Several touches at once: takes every measured node of the sweep at its exact angle, groups the
// hits of each turn into objects, tracks them from turn to turn as contacts and hands each turn's
// contacts to its outputs. Runs beside the single-touch road, which it never changes.
//
// Several scanners may see one surface, each from its pose. Each scanner's turns are grouped
// into objects on their own; the first scanner that is not silent paces the frames, and each of
// its turns tracks its objects joined with the latest objects of every other scanner that is not
// silent either (objects closer than the gap are one).
class TouchEngine final : public PreciseScanNodeConsumer {
 public:
  // A scanner whose last turn ended longer ago than this is silent: its objects are not used,
  // and the next scanner paces the frames.
  static constexpr std::int64_t kSilentAfter_ms = 500;
  // Turns with fewer measured nodes are too bare to tell two scanners apart by.
  static constexpr int kSignatureNodes = 50;

  explicit TouchEngine(EventLoop& loop);

  void configure(const TouchEngineSettings& settings);
  const TouchEngineSettings& settings() const { return settings_; }
  // Where the scanner's square and the touch rectangle lie: which hits count, where the first
  // scanner without a pose sits, and what a contact's offset is taken from.
  void configure(const ViewShapes& shapes);
  const ViewShapes& shapes() const { return shapes_; }
  // The screen area contacts map to.
  void configure(const ScreenArea& screen) { screen_ = screen; }
  const ScreenArea& screenArea() const { return screen_; }

  // While not running, nodes are passed over at the cost of one test, and nothing is sent.
  void setRunning(bool running);
  bool running() const { return running_; }

  // Outputs get every turn's frame, in the order they were added.
  void addSink(TouchFrameSink& sink);

  // Nodes of the first scanner.
  void processPreciseNode(const PreciseScanNode& node, std::int16_t sensitivity) override;

  // The scanners of the surface: the first, whose nodes come through processPreciseNode (no pose:
  // at the scanner marker's centre with its corrected angles, as with one scanner), and the
  // others, each at its pose, with angles as the scanner measures them. Forgets every contact.
  void setScanners(std::optional<Pose> first, const std::vector<Pose>& others);
  std::size_t scannerCount() const { return scanners_.size(); }
  // Nodes of scanner `index` (1 for the first of the others).
  void processScannerNode(std::size_t index, const PreciseScanNode& node, std::int16_t sensitivity);
  // The objects scanner `index` saw in its last complete turn, on the surface.
  const std::vector<TouchObject>& scannerObjects(std::size_t index) const {
    return scanners_.at(index).objects;
  }
  // The hits of that turn, kept only on a surface of several scanners (for placing them).
  const std::vector<TurnHit>& scannerHits(std::size_t index) const {
    return scanners_.at(index).hits;
  }
  // Whether a turn of scanner `index` ended within kSilentAfter_ms.
  bool scannerAlive(std::size_t index) const;
  const std::optional<Pose>& scannerPose(std::size_t index) const {
    return scanners_.at(index).pose;
  }
  // Where scanner `index` sees a point it measured at `angle` (degrees as measured, before any
  // correction) and `distance`, on the surface.
  PlanePoint surfacePoint(std::size_t index, double angle, double distance) const;

  // Still things that are no touch: a hit inside one of the settings' masks (view units, every
  // scanner's) or no nearer than scanner `index`'s learned background counts as a measured miss,
  // so that it parts what lies on either side of it. Without either, every hit counts.
  void setBackground(std::size_t index, std::optional<LearnedBackground> background);

  // Four calibrated corners, when `mapping` has them, place contacts on the screen area.
  void setSurfaceMapping(const SurfaceMapping* mapping) { surfaceMapping_ = mapping; }

  // Two scanners delivered a turn of the very same nodes: one stream arrives twice.
  Notifier<std::size_t, std::size_t> sameStreamTwice;

  // Forgets the turn being collected and every contact (start-up, re-initialisation).
  void reset();

  const TouchFrame& lastFrame() const { return frame_; }
  std::uint64_t nodes() const { return nodes_; }
  std::uint64_t turns() const { return turns_; }

 private:
  // Part of a turn whose data is missing, clockwise from `from` to `to` in the angles the
  // scanner's hits are placed by: between two nodes that followed the sweep, where nodes were
  // lost or did not follow it.
  struct MissingStretch {
    double from;
    double to;
  };

  // One scanner of the surface as the engine follows it.
  struct Scanner {
    std::optional<Pose> pose;
    TurnClock clock;
    TurnHits turn;                     // this turn's hits in stream order
    bool turnOpen = false;             // a turn's start has come, and a turn is collected
    std::vector<TouchObject> objects;  // of the last complete turn
    std::vector<TurnHit> hits;         // of the last complete turn, with several scanners
    std::optional<std::int64_t> ended_ms;
    double turn_s = 0;                // the length of that turn
    bool framed = false;              // its objects were in a frame already
    std::uint64_t signature = 0;      // of the nodes of the turn being collected
    int measured = 0;                 // measured nodes in it
    std::uint64_t lastSignature = 0;  // of the last complete turn with enough nodes
    bool reportedTwice = false;
    std::vector<MissingStretch> missing;      // of the turn being collected
    std::vector<MissingStretch> lastMissing;  // of the last complete turn
    std::optional<double> lastFollowing;      // the angle of the last node that followed the sweep
    bool nodesMissing = false;                // since that node
  };

  void take(std::size_t index, const PreciseScanNode& node, std::int16_t sensitivity);
  // The stretch of the turn whose data went missing before `node`, if any.
  static std::optional<MissingStretch> missingBefore(Scanner& scanner, const PreciseScanNode& node);
  // Whether the last complete turn of scanner `index` lost its data where the point lies.
  bool missedAt(std::size_t index, double x, double y) const;
  // Whether a hit of scanner `index` at `at` on the surface is masked or its background.
  bool stillThing(std::size_t index, const PreciseScanNode& node, const PlanePoint& at) const;
  void endTurn(std::size_t index);
  void checkSameStream(std::size_t index);
  std::vector<TouchObject> frameObjects(std::size_t pacer, std::int64_t now_ms, double turn_s);
  Contact publish(const TrackedContact& tracked, const ScreenArea& screen) const;
  void mapThroughCorners(const TrackedContact& tracked, const ScreenArea& screen,
                         Contact& contact) const;

  EventLoop& loop_;
  TouchEngineSettings settings_;
  ViewShapes shapes_;
  // Farther than this from the first scanner without a pose, a node cannot lie in the touch
  // rectangle (its farthest corner and a millimetre for rounding): a room's walls need no sine.
  double touchReach_ = 0;
  ScreenArea screen_;
  bool running_ = false;
  std::vector<TouchFrameSink*> sinks_;
  std::vector<Scanner> scanners_{1};
  const SurfaceMapping* surfaceMapping_ = nullptr;
  ContactTracker tracker_;
  std::vector<std::optional<LearnedBackground>> backgrounds_;  // by scanner index
  TouchFrame frame_;
  std::uint64_t nodes_ = 0;
  std::uint64_t turns_ = 0;
};

}  // namespace scantouch
