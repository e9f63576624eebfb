#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "decoding/node_framing.h"
#include "decoding/radar_view.h"
#include "decoding/sweep_tracker.h"
#include "engine/touch_engine.h"
#include "link/received_bytes.h"
#include "scanners/scanner_backgrounds.h"

namespace scantouch {

// A scanner of a surface beyond the first, on a link of its own: its bytes are framed into nodes
// of their own (a stream never mixes with another's) and followed by a sweep of their own, the
// same framing and sweep as the first scanner's, whose turns go to the engine as that scanner's.
// The points of its last whole turn are kept for the radar view, and its turns are counted for
// its rate and its watchdog.
class ScannerStream final : public PreciseScanNodeConsumer {
 public:
  // `backgrounds` (if any) gets the nodes while it listens.
  ScannerStream(LinkId link, std::size_t engineIndex, TouchEngine& engine,
                ScannerBackgrounds* backgrounds = nullptr);

  // One pass over what waits and `bytes`; with processing off the bytes only wait.
  void feed(ByteSpan bytes, bool processing, std::int16_t sensitivity);
  // Empties what waits and waits for the next scan descriptor (a start of the scanners); the
  // sweep is found anew.
  void resetSynchronisation();

  LinkId link() const { return link_; }
  std::size_t engineIndex() const { return engineIndex_; }
  // Whole turns since the last call.
  int takeTurns();
  // The measured points of its last whole turn, on the surface in view units.
  const std::vector<std::array<float, 2>>& lastTurn() const { return lastTurn_; }
  std::uint64_t decodedNodes() const { return sweep_.decodedNodes(); }
  // Whole turns since the stream was made: a new last turn for the radar view.
  std::uint64_t turnsSeen() const { return turnsSeen_; }

  void processPreciseNode(const PreciseScanNode& node, std::int16_t sensitivity) override;

 private:
  // A further scanner has neither the single-touch road nor the radar view's beams and labels.
  class NoPoints final : public ScanNodeConsumer {
    void processScanNode(const ScanNode&, std::int16_t) override {}
  };

  LinkId link_;
  std::size_t engineIndex_;
  TouchEngine& engine_;
  ScannerBackgrounds* backgrounds_;
  NullRadarView noView_;
  NoPoints noPoints_;
  NodeFraming framing_;
  SweepTracker sweep_{noView_, noPoints_};
  std::vector<std::array<float, 2>> thisTurn_;
  std::vector<std::array<float, 2>> lastTurn_;
  std::uint64_t turnsSeen_ = 0;
};

}  // namespace scantouch
