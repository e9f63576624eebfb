#pragma once

#include "decoding/node_framing.h"

namespace scantouch::bench {

// Two earlier ways of recovering from a bad node, kept to compare the program's `NodeFraming`
// with. Both drop the rest of the pass after a failure.
class EarlierFraming final : public ByteFraming {
 public:
  enum class Rule {
    // Only the check bit is tested, and the next block is trusted to start on a node.
    restartAtNextBlock,
    // Nodes are also checked by their start bits and blamed for a bad group in the two groups
    // after them; decoding resumes only where three groups in a row look genuine.
    realignAtNextBlock,
  };

  explicit EarlierFraming(Rule rule) : rule_(rule) {}

 protected:
  ByteSpan decodeGroups(ByteSpan bytes, FramedNodeSink& sink) override;
  bool realignsAfterCut() const override { return realigns(); }

 private:
  bool realigns() const { return rule_ == Rule::realignAtNextBlock; }

  Rule rule_;
};

}  // namespace scantouch::bench
