#include "decoding/scan_stream_decoder.h"

#include <string>

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
  sweep_.beginPass(settings_.qualityGate, settings_.angleCorrectionDegrees);
  if (framing_->decode(bytes, sweep_))
    sweep_.endPass();
  std::string caption(kBufferLengthCaption);
  caption += std::to_string(framing_->pending().size() * kCharsPerByte);
  controls_.bufferLength.setCaption(caption);
  passed.notify();
}

}  // namespace scantouch
