#pragma once

#include <cstdint>
#include <functional>

#include "decoding/scan_stream_decoder.h"
#include "toolkit/label.h"

namespace scantouch {

// Shows the revolutions of the last second and restarts a scanner that made none: once a second
// the half turns the decoder counted are shown in Label4 and set back to 0, and a second without
// any asks for the scanner to be started again. After program start this is what starts it.
class ScanRateMeter {
 public:
  static constexpr const char* kCaptionPrefix = "扫描频率:";

  ScanRateMeter(Label& rateLabel, ScanStreamDecoder& decoder,
                std::function<void()> requestScannerStart)
      : rateLabel_(rateLabel),
        decoder_(decoder),
        requestScannerStart_(std::move(requestScannerStart)) {}

  void tickScanRate();

  // The revolutions of the last whole second, and how often a second without any asked for the
  // scanner to be started again once it had turned.
  double lastRevolutions() const { return lastRevolutions_; }
  std::uint64_t restarts() const { return restarts_; }

 private:
  Label& rateLabel_;
  ScanStreamDecoder& decoder_;
  std::function<void()> requestScannerStart_;
  double lastRevolutions_ = 0;
  std::uint64_t restarts_ = 0;
  bool turned_ = false;
};

}  // namespace scantouch
