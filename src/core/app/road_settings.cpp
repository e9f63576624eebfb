#include "app/road_settings.h"

#include <cmath>
#include <limits>

#include "common/numeric_value.h"
#include "common/pair.h"
#include "common/rounding.h"

namespace scantouch {
namespace {

std::int16_t QualityGate(std::string_view text) {
  const double value = NumericValue(text);
  if (const auto rounded = RoundHalfEven16(value))
    return *rounded;
  // Beyond 16 bits the gate lets everything through or nothing, just as the nearest limit does.
  return value < 0 ? std::numeric_limits<std::int16_t>::min()
                   : std::numeric_limits<std::int16_t>::max();
}

double ReducedAngleCorrection(std::string_view text) {
  // Whole turns change nothing; taking them off first keeps any correction in range. fmod is
  // exact, and a multiple of 360 does not change which neighbour a tie rounds to.
  const double correction = std::fmod(NumericValue(text), 360.0);
  return std::isfinite(correction) ? correction : 0.0;
}

}  // namespace

DecoderSettings DecoderSettingsFromText(std::string_view qualityGate,
                                        std::string_view angleCorrection) {
  return DecoderSettings{QualityGate(qualityGate), ReducedAngleCorrection(angleCorrection)};
}

ScannerPlacement ScannerPlacementFromText(std::string_view position,
                                          std::string_view angleCorrection) {
  return ScannerPlacement{ParsePair(position), NumericValue(angleCorrection)};
}

}  // namespace scantouch
