#pragma once

#include <optional>

#include "common/pair.h"

namespace scantouch {

// Where the first scanner stands on the view and how far its zero is turned, as the window's
// boxes give them (txt雷达位置, txt角度校正); a scanner with a pose of its own goes by that
// instead.
struct ScannerPlacement {
  // In view units; none when the text is no pair that fits 32 bits.
  std::optional<IntPair> position;
  // Degrees as typed, whole turns included: what is compared with a pose and turns the outline.
  double angleCorrectionDegrees = 0;
  friend bool operator==(const ScannerPlacement&, const ScannerPlacement&) = default;
};

}  // namespace scantouch
