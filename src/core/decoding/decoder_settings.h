#pragma once

#include <cstdint>

namespace scantouch {

// What a pass of the first scanner's decoder works with, as the window's boxes give it.
struct DecoderSettings {
  // Nodes of this quality or less are no hits (TXT灵敏度, rounded, held within 16 bits).
  std::int16_t qualityGate = 0;
  // Degrees added to every angle (txt角度校正), whole turns taken off: in (-360, 360), finite.
  double angleCorrectionDegrees = 0;
  friend bool operator==(const DecoderSettings&, const DecoderSettings&) = default;
};

}  // namespace scantouch
