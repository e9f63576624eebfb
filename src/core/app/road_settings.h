#pragma once

#include <string_view>

#include "decoding/decoder_settings.h"
#include "geometry/scanner_placement.h"

namespace scantouch {

// The texts of the window's boxes read as the road has always read them: each number is the
// NumericValue of its text, so whatever a user types gives some value and never an error.

// TXT灵敏度 rounded half to even, beyond 16 bits the nearest limit; txt角度校正 less its whole
// turns, 0 when it is no finite number.
DecoderSettings DecoderSettingsFromText(std::string_view qualityGate,
                                        std::string_view angleCorrection);

// txt雷达位置 as a pair, txt角度校正 as typed.
ScannerPlacement ScannerPlacementFromText(std::string_view position,
                                          std::string_view angleCorrection);

}  // namespace scantouch
