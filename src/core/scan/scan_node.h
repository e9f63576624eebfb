#pragma once

#include <cstdint>

namespace scantouch {

// One decoded measurement of the sweep.
struct ScanNode {
  int angle = 0;              // 0..359 whole degrees after angle correction; 0 is straight up
  std::int16_t quality = 0;   // 0..64
  std::int32_t distance = 0;  // millimetres
  friend bool operator==(const ScanNode&, const ScanNode&) = default;
};

// Whoever takes the decoded nodes of a pass, one at a time and in stream order. `sensitivity` is
// the quality gate as read once at the start of the pass.
class ScanNodeConsumer {
 public:
  virtual ~ScanNodeConsumer() = default;
  virtual void processScanNode(const ScanNode& node, std::int16_t sensitivity) = 0;
};

}  // namespace scantouch
