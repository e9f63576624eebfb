#pragma once

#include <cstddef>
#include <cstdint>

#include "decoding/decoder_settings.h"
#include "decoding/node_framing.h"
#include "decoding/radar_view.h"
#include "decoding/scan_node.h"
#include "decoding/sweep_tracker.h"
#include "toolkit/check_box.h"
#include "toolkit/label.h"
#include "toolkit/notifier.h"

namespace scantouch {

// The controls of the main window the decoder reads and writes.
struct DecoderControls {
  CheckBox& processing;  // CHK处理: decode only while checked
  Label& bufferLength;   // Label2: "数据长度：" and the length of what stays, as hex text
};

// Turns received bytes into measurement nodes: the links hand every block to `feed`, which runs
// one pass. The framing (bytes into nodes, synchronisation and recovery) and the sweep (angles,
// half turns, the radar's trace and labels, the nodes handed on) are apart; this class holds the
// settings the window gives it, takes them once per pass, and shows the buffer's length.
class ScanStreamDecoder {
 public:
  ScanStreamDecoder(DecoderControls controls, RadarView& radar, ScanNodeConsumer& consumer);

  // The settings from the next pass on; a pass under way keeps those it began with.
  void configure(const DecoderSettings& settings) { settings_ = settings; }

  // One pass over the buffer and `bytes`. Bytes fed from inside a pass (by a handler of its
  // nodes) are dropped: the pass keeps only its own tail.
  void feed(ByteSpan bytes);

  // Also hands every node at its exact angle, with where turns begin, to `consumer` (nullptr: to
  // nobody).
  void setPreciseConsumer(PreciseScanNodeConsumer* consumer) {
    sweep_.setPreciseConsumer(consumer);
  }

  // The first scanner's learned background: the single-touch road takes no touch from what it
  // holds (nothing: from every hit, as always).
  void setBackground(std::optional<LearnedBackground> background) {
    sweep_.setBackground(std::move(background));
  }

  // Empties the buffer and waits for the next scan descriptor (start sequence, clear button); the
  // sweep is found anew.
  void resetSynchronisation();

  // Decodes with `framing` instead of the program's own, for benchmarks comparing ways of
  // recovering; it must outlive the decoder.
  void useFraming(ByteFraming& framing) { framing_ = &framing; }

  // The quality gate in force now.
  std::int16_t sensitivity() const { return settings_.qualityGate; }
  bool synchronised() const { return framing_->synchronised(); }
  bool realigning() const { return framing_->realigning(); }
  // The bytes received and not yet decoded, oldest first.
  ByteSpan pendingBytes() const { return framing_->pending(); }
  // Half turns of the sweep since the scan-rate meter last reset the count, 0.5 each: only those
  // of a sweep, so that a line of garbage shows none and the watchdog starts the scanner again.
  double revolutionCount() const { return static_cast<double>(sweep_.halfTurns()) * 0.5; }
  void resetRevolutionCount() { sweep_.resetTurnCounts(); }
  std::uint64_t decodedNodes() const { return sweep_.decodedNodes(); }
  std::uint64_t noReturnNodes() const { return sweep_.noReturnNodes(); }

  // After every pass and every reset: the pending bytes may have changed.
  Notifier<> passed;

 private:
  DecoderControls controls_;
  DecoderSettings settings_;
  NodeFraming ownFraming_;
  ByteFraming* framing_ = &ownFraming_;
  SweepTracker sweep_;
  bool inPass_ = false;
};

}  // namespace scantouch
