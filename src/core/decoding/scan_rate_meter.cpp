#include "decoding/scan_rate_meter.h"

#include <string>

#include "common/number_format.h"

namespace scantouch {

void ScanRateMeter::tickScanRate() {
  const double revolutions = decoder_.revolutionCount();
  lastRevolutions_ = revolutions;
  if (revolutions == 0) {
    // Starting the scanner after the program started is no restart yet.
    if (turned_)
      ++restarts_;
    requestScannerStart_();
  } else {
    turned_ = true;
  }
  rateLabel_.setCaption(std::string(kCaptionPrefix) + FormatShortest(revolutions).value_or("0"));
  decoder_.resetRevolutionCount();
}

}  // namespace scantouch
