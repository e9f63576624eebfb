#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "decoding/node_group.h"

namespace scantouch {

// Whoever takes the nodes a framing finds, in stream order.
class FramedNodeSink {
 public:
  virtual ~FramedNodeSink() = default;
  virtual void takeNode(const RawNode& node) = 0;
  // The framing rules out bytes it cannot frame: what the scanner measured there is lost.
  virtual void nodesLost() {}
};

// Received bytes in, five-byte nodes out: the part of decoding that knows where nodes begin.
// A pass keeps its bytes, synchronises on the scan descriptor and bounds what waits; how groups
// are checked and how a bad one is recovered from is the one thing a framing decides. The program
// uses `NodeFraming`; benchmarks put other ways of recovering in its place.
class ByteFraming {
 public:
  // Largest buffer kept (64 KiB); older bytes go first.
  static constexpr std::size_t kMaxBufferBytes = 65536;
  // A buffer left with exactly this many bytes after a pass is emptied. The receive box once held
  // the buffer as hex text and emptied itself at 65535 characters, which are 21845 bytes.
  static constexpr std::size_t kDiscardBytes = 21845;

  virtual ~ByteFraming() = default;
  // Keeps `bytes` without decoding (processing switched off), within the buffer's bound.
  void keep(ByteSpan bytes);
  // Adds `bytes` and hands every node that can be framed to `sink`; the incomplete tail stays.
  // Returns whether the pass was synchronised and so looked for nodes at all.
  bool decode(ByteSpan bytes, FramedNodeSink& sink);
  // Empties the buffer and waits for the next scan descriptor.
  void reset();
  bool synchronised() const { return synchronised_; }
  bool realigning() const { return realigning_; }
  // The bytes received and not yet decoded, oldest first.
  ByteSpan pending() const { return buffer_; }

 protected:
  // Frames the groups of a synchronised buffer, handing each node to `sink`; returns what stays.
  virtual ByteSpan decodeGroups(ByteSpan bytes, FramedNodeSink& sink) = 0;
  // Whether a buffer cut at its oldest end must be searched for where nodes begin again.
  virtual bool realignsAfterCut() const { return true; }
  // The scan descriptor was found: what follows it starts on a node.
  virtual void streamStarts() {}

  // Set while the framing searches for where nodes begin; its own to set in decodeGroups.
  bool realigning_ = false;

 private:
  std::vector<std::uint8_t> buffer_;
  std::vector<std::uint8_t> work_;  // the buffer of the running pass
  bool synchronised_ = false;
};

// The program's framing: it checks every node and blames it for a bad group among the three after
// it, and after a failure searches on from the failed node's second byte, in the same pass, for
// the first offset where three groups in a row look like nodes. Every group is judged as a node
// start (LooksLikeANodeStart), each against the node before it: a lost byte makes the groups after
// it start one byte late, and those that pass the plain checks carry the start flag where no turn
// begins.
class NodeFraming final : public ByteFraming {
 public:
  static constexpr std::size_t kAlignmentGroups = 3;
  static constexpr std::size_t kBlamingGroups = 3;

 protected:
  ByteSpan decodeGroups(ByteSpan bytes, FramedNodeSink& sink) override;
  void streamStarts() override;

 private:
  // The wire angle of the node framed last, while framing is in step; unknown after a failure.
  std::optional<int> before_;
  // The next group follows the scan descriptor: it starts on a node for certain, and its start
  // flag, wherever it lies, is the scanner's.
  bool atStreamStart_ = false;
};

// Where the scan descriptor first stands in `bytes`, or bytes.size() when it is not there.
std::size_t FindScanDescriptor(ByteSpan bytes);

// Whether a group passes the checks; groups of skipped nodes are never tested.
inline bool PassesChecks(ByteSpan group) {
  return IsSkippedGroup(group) || LooksGenuine(group);
}

// Whether any of the `groups` groups after the one at `at` fails its checks; groups not yet
// received blame nobody.
bool BlamedByFollowingGroups(ByteSpan bytes, std::size_t at, std::size_t groups);

}  // namespace scantouch
