#include "decoding/scan_rate_meter.h"

#include <string>

#include "common/number_format.h"

namespace scantouch {

void ScanRateMeter::tickScanRate() {
  const double revolutions = decoder_.revolutionCount();
  lastRevolutions_ = revolutions;
  if (revolutions == 0) {
    ++restarts_;
    requestScannerStart_();
  }
  rateLabel_.setCaption(std::string(kCaptionPrefix) + FormatShortest(revolutions).value_or("0"));
  decoder_.resetRevolutionCount();
}

}  // namespace scantouch
