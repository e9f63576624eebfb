#include "earlier_framings.h"

namespace scantouch::bench {

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

}  // namespace scantouch::bench
