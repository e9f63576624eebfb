#include "decoding/scan_stream_decoder.h"

#include <cmath>
#include <limits>
#include <string>

#include "common/numeric_value.h"
#include "common/rounding.h"

namespace scantouch {
namespace {

constexpr std::string_view kBufferLengthCaption = "数据长度：";
// The length shown is that of the bytes as hex text: two digits and a blank each.
constexpr std::size_t kCharsPerByte = 3;

}  // namespace

ScanStreamDecoder::ScanStreamDecoder(DecoderControls controls, RadarView& radar,
                                     ScanNodeConsumer& consumer)
    : controls_(controls), sweep_(radar, consumer) {}

void ScanStreamDecoder::resetSynchronisation() {
  framing_->reset();
  sweep_.resetSweep();
  feed({});  // a pass over nothing: the length shown becomes 0
}

std::int16_t ScanStreamDecoder::readSensitivity() const {
  const double value = NumericValue(controls_.sensitivity.text());
  if (const auto rounded = RoundHalfEven16(value))
    return *rounded;
  // Beyond 16 bits the gate lets everything through or nothing, just as the nearest limit does.
  return value < 0 ? std::numeric_limits<std::int16_t>::min()
                   : std::numeric_limits<std::int16_t>::max();
}

double ScanStreamDecoder::readAngleCorrection() const {
  // Whole turns change nothing; taking them off first keeps any correction in range. fmod is
  // exact, and a multiple of 360 does not change which neighbour a tie rounds to.
  const double correction = std::fmod(NumericValue(controls_.angleCorrection.text()), 360.0);
  return std::isfinite(correction) ? correction : 0.0;
}

void ScanStreamDecoder::feed(ByteSpan bytes) {
  if (inPass_)
    return;
  inPass_ = true;
  struct PassEnd {
    bool& flag;
    ~PassEnd() { flag = false; }
  } passEnd{inPass_};

  if (!controls_.processing.isChecked()) {
    // Nothing is decoded, but months of bytes must not pile up: the newest are kept.
    framing_->keep(bytes);
    passed.notify();
    return;
  }
  sweep_.beginPass(readSensitivity(), readAngleCorrection());
  if (framing_->decode(bytes, sweep_))
    sweep_.endPass();
  std::string caption(kBufferLengthCaption);
  caption += std::to_string(framing_->pending().size() * kCharsPerByte);
  controls_.bufferLength.setCaption(caption);
  passed.notify();
}

}  // namespace scantouch
