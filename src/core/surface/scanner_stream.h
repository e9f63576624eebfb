#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/touch_engine.h"
#include "link/received_bytes.h"
#include "scan/node_framing.h"

namespace scantouch {

// A scanner of a surface beyond the first, on a link of its own: its bytes are framed into nodes
// of their own (a stream never mixes with another's), which go to the engine as that scanner's;
// the points of its last turn are kept for the radar view, and its turns are counted for its
// rate and its watchdog.
class ScannerStream final : public FramedNodeSink {
 public:
  ScannerStream(LinkId link, std::size_t engineIndex, TouchEngine& engine);

  // One pass over what waits and `bytes`; with processing off the bytes only wait.
  void feed(ByteSpan bytes, bool processing, std::int16_t sensitivity);
  // Empties what waits and waits for the next scan descriptor (a start of the scanners).
  void resetSynchronisation() { framing_.reset(); }

  LinkId link() const { return link_; }
  std::size_t engineIndex() const { return engineIndex_; }
  // Turns begun since the last call.
  int takeTurns();
  // The measured points of its last complete turn, on the surface in view units.
  const std::vector<std::array<float, 2>>& lastTurn() const { return lastTurn_; }
  std::uint64_t decodedNodes() const { return decodedNodes_; }
  // Turns begun since the stream was made: a new last turn for the radar view.
  std::uint64_t turnsSeen() const { return turnsSeen_; }

  void takeNode(const RawNode& node) override;

 private:
  LinkId link_;
  std::size_t engineIndex_;
  TouchEngine& engine_;
  NodeFraming framing_;
  std::int16_t sensitivity_ = 0;
  int turns_ = 0;
  std::vector<std::array<float, 2>> thisTurn_;
  std::vector<std::array<float, 2>> lastTurn_;
  std::uint64_t decodedNodes_ = 0;
  std::uint64_t turnsSeen_ = 0;
};

}  // namespace scantouch
