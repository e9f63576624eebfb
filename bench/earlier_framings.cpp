#include "earlier_framings.h"

namespace scantouch::bench {

void EarlierFraming::reset() {
  synchronised_ = false;
  realigning_ = false;
  buffer_.clear();
}

void EarlierFraming::keep(ByteSpan bytes) {
  buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
  if (buffer_.size() > NodeFraming::kMaxBufferBytes) {
    buffer_.erase(buffer_.begin(), buffer_.end() - NodeFraming::kMaxBufferBytes);
    if (synchronised_ && realigns())
      realigning_ = true;
  }
}

ByteSpan EarlierFraming::decodeGroups(ByteSpan bytes, FramedNodeSink& sink) {
  if (realigning_) {
    std::size_t start = 0;
    for (;; ++start) {
      if (start + 3 * kGroupBytes > bytes.size())
        return bytes.subspan(start);  // wait for more bytes
      if (PassesChecks(bytes.subspan(start, kGroupBytes)) &&
          PassesChecks(bytes.subspan(start + kGroupBytes, kGroupBytes)) &&
          PassesChecks(bytes.subspan(start + 2 * kGroupBytes, kGroupBytes)))
        break;
    }
    bytes = bytes.subspan(start);
    realigning_ = false;
  }
  const std::size_t complete = bytes.size() - bytes.size() % kGroupBytes;
  for (std::size_t at = 0; at < complete; at += kGroupBytes) {
    const ByteSpan group = bytes.subspan(at, kGroupBytes);
    if (IsSkippedGroup(group))
      continue;
    const bool fails = realigns() ? !LooksGenuine(group) || BlamedByFollowingGroups(bytes, at, 2)
                                  : !CheckBitSet(group);
    if (fails) {
      // Whatever follows a bad node can no longer be trusted: the rest of the pass goes.
      realigning_ = realigns();
      return {};
    }
    sink.takeNode(DecodeGroup(group));
  }
  return bytes.subspan(complete);
}

bool EarlierFraming::decode(ByteSpan bytes, FramedNodeSink& sink) {
  work_.swap(buffer_);
  buffer_.clear();
  work_.insert(work_.end(), bytes.begin(), bytes.end());
  ByteSpan rest = work_;
  if (const std::size_t at = FindScanDescriptor(rest); at != rest.size()) {
    rest = rest.subspan(at + kScanDescriptor.size());
    synchronised_ = true;
    realigning_ = false;
  }
  const bool framing = synchronised_;
  if (framing)
    rest = decodeGroups(rest, sink);
  if (rest.size() == NodeFraming::kDiscardBytes)
    rest = {};
  if (rest.size() > NodeFraming::kMaxBufferBytes) {
    rest = rest.subspan(rest.size() - NodeFraming::kMaxBufferBytes);
    if (synchronised_ && realigns())
      realigning_ = true;
  }
  buffer_.assign(rest.begin(), rest.end());
  return framing;
}

}  // namespace scantouch::bench
