#include "decoding/node_framing.h"

#include <algorithm>

namespace scantouch {
namespace {

struct Alignment {
  bool found;         // decoding resumes at `start`
  std::size_t start;  // when not found: the bytes before it can never align and may go
};

// The first offset at which three groups in a row look like nodes, each after the one before.
Alignment FindAlignment(ByteSpan bytes) {
  const std::size_t needed = NodeFraming::kAlignmentGroups * kGroupBytes;
  for (std::size_t start = 0;; ++start) {
    if (start + needed > bytes.size())
      return Alignment{false, start};
    bool genuine = true;
    std::optional<int> before;  // nothing is known of what precedes the search
    for (std::size_t g = 0; g < NodeFraming::kAlignmentGroups && genuine; ++g) {
      const ByteSpan group = bytes.subspan(start + g * kGroupBytes, kGroupBytes);
      if (IsSkippedGroup(group))
        continue;
      genuine = LooksLikeANodeStart(group, before);
      before = WireAngle64(group);
    }
    if (genuine)
      return Alignment{true, start};
  }
}

// Whether any of the kBlamingGroups groups after the node at `at` does not look like a node
// start, each judged after the one before it; groups not yet received blame nobody.
bool BlamedAsANodeStart(ByteSpan bytes, std::size_t at) {
  std::optional<int> before = WireAngle64(bytes.subspan(at, kGroupBytes));
  for (std::size_t next = 1; next <= NodeFraming::kBlamingGroups; ++next) {
    const std::size_t following = at + next * kGroupBytes;
    if (following + kCheckableBytes > bytes.size())
      break;
    const ByteSpan group =
        bytes.subspan(following, std::min(kGroupBytes, bytes.size() - following));
    if (IsSkippedGroup(group))
      continue;
    if (!LooksLikeANodeStart(group, before))
      return true;
    if (group.size() == kGroupBytes)
      before = WireAngle64(group);
  }
  return false;
}

}  // namespace

std::size_t FindScanDescriptor(ByteSpan bytes) {
  return static_cast<std::size_t>(
      std::search(bytes.begin(), bytes.end(), kScanDescriptor.begin(), kScanDescriptor.end()) -
      bytes.begin());
}

bool BlamedByFollowingGroups(ByteSpan bytes, std::size_t at, std::size_t groups) {
  // A lost byte usually sits in a node shortly before the first group it spoils.
  for (std::size_t next = 1; next <= groups; ++next) {
    const std::size_t following = at + next * kGroupBytes;
    if (following + kCheckableBytes > bytes.size())
      break;
    if (!PassesChecks(bytes.subspan(following, std::min(kGroupBytes, bytes.size() - following))))
      return true;
  }
  return false;
}

void ByteFraming::reset() {
  synchronised_ = false;
  realigning_ = false;
  buffer_.clear();
}

void ByteFraming::keep(ByteSpan bytes) {
  buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
  if (buffer_.size() > kMaxBufferBytes) {
    buffer_.erase(buffer_.begin(),
                  buffer_.begin() + static_cast<std::ptrdiff_t>(buffer_.size() - kMaxBufferBytes));
    // The newest bytes kept may start anywhere in a node.
    if (synchronised_ && realignsAfterCut())
      realigning_ = true;
  }
}

bool ByteFraming::decode(ByteSpan bytes, FramedNodeSink& sink) {
  // The pass works on its own copy, so that nothing a node's handler does to the buffer (a reset)
  // can pull the bytes from under it.
  work_.swap(buffer_);
  buffer_.clear();
  work_.insert(work_.end(), bytes.begin(), bytes.end());
  ByteSpan rest = work_;

  if (const std::size_t at = FindScanDescriptor(rest); at != rest.size()) {
    // What follows the descriptor starts on a node; what precedes it (the tail of an earlier
    // stream) goes with it.
    rest = rest.subspan(at + kScanDescriptor.size());
    synchronised_ = true;
    realigning_ = false;
    streamStarts();
  }

  const bool framing = synchronised_;
  if (framing)
    rest = decodeGroups(rest, sink);

  if (rest.size() == kDiscardBytes)
    rest = {};
  if (rest.size() > kMaxBufferBytes) {
    rest = rest.subspan(rest.size() - kMaxBufferBytes);
    if (synchronised_ && realignsAfterCut())
      realigning_ = true;
  }
  buffer_.assign(rest.begin(), rest.end());  // `rest` lies in work_, never in buffer_
  return framing;
}

void NodeFraming::streamStarts() {
  before_.reset();
  atStreamStart_ = true;
}

ByteSpan NodeFraming::decodeGroups(ByteSpan bytes, FramedNodeSink& sink) {
  for (;;) {
    if (realigning_) {
      sink.nodesLost();
      before_.reset();
      atStreamStart_ = false;
      const Alignment alignment = FindAlignment(bytes);
      bytes = bytes.subspan(alignment.start);
      if (!alignment.found)
        break;  // wait for more bytes
      realigning_ = false;
    }
    const std::size_t complete = bytes.size() - bytes.size() % kGroupBytes;
    std::size_t failedAt = complete;
    for (std::size_t at = 0; at < complete; at += kGroupBytes) {
      const ByteSpan group = bytes.subspan(at, kGroupBytes);
      if (IsSkippedGroup(group))
        continue;
      const bool looksLikeANode =
          atStreamStart_ ? LooksGenuine(group) : LooksLikeANodeStart(group, before_);
      if (!looksLikeANode || BlamedAsANodeStart(bytes, at)) {
        failedAt = at;
        break;
      }
      sink.takeNode(DecodeGroup(group));
      before_ = WireAngle64(group);
      atStreamStart_ = false;
    }
    if (failedAt == complete) {
      bytes = bytes.subspan(complete);
      break;
    }
    // Whatever follows a bad node can no longer be trusted to start on a node; the failed node
    // itself is ruled out, and the search goes on from its second byte.
    realigning_ = true;
    bytes = bytes.subspan(failedAt + 1);
  }
  return bytes;
}

}  // namespace scantouch
