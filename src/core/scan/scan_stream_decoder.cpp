#include "scan_stream_decoder.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/number_format.h"
#include "common/numeric_value.h"
#include "common/rounding.h"
#include "node_group.h"

namespace scantouch {
namespace {

constexpr std::string_view kBufferLengthCaption = "数据长度：";
constexpr std::size_t kAlignmentGroups = 3;

// Appends "007 " for angle 7: the number format "000" and a blank.
void AppendTraceEntry(std::string& trace, int angle) {
  trace += static_cast<char>('0' + angle / 100);
  trace += static_cast<char>('0' + angle / 10 % 10);
  trace += static_cast<char>('0' + angle % 10);
  trace += ' ';
}

// Groups starting "01" are never tested, wherever they stand.
bool PassesChecks(std::string_view group) {
  return IsSkippedGroup(group) || LooksGenuine(group);
}

}  // namespace

ScanStreamDecoder::ScanStreamDecoder(DecoderControls controls, RadarView& radar,
                                     ScanNodeConsumer& consumer, Recovery recovery)
    : controls_(controls), radar_(radar), consumer_(consumer), recovery_(recovery) {}

bool ScanStreamDecoder::synchronised() const {
  return controls_.receiveBuffer.tag() == kSyncedTag;
}

double ScanStreamDecoder::revolutionCount() const {
  return NumericValue(controls_.revolutionCount.tag());
}

void ScanStreamDecoder::resetRevolutionCount() {
  controls_.revolutionCount.setTag("");
}

void ScanStreamDecoder::resetSynchronisation() {
  controls_.receiveBuffer.setTag("");
  realigning_ = false;
  controls_.receiveBuffer.setText("");
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

int ScanStreamDecoder::correctAngle(int angle, double correction) const {
  const auto corrected = static_cast<long long>(RoundHalfEvenUnbounded(angle + correction + 360.0));
  return static_cast<int>(((corrected % 360) + 360) % 360);
}

bool ScanStreamDecoder::failsChecks(std::string_view group) const {
  if (recovery_ == Recovery::restartAtNextAppend)
    return !CheckBitSet(group);
  return !LooksGenuine(group);
}

bool ScanStreamDecoder::blamedByFollowingGroups(std::string_view text,
                                                std::size_t groupStart) const {
  if (recovery_ == Recovery::restartAtNextAppend)
    return false;
  // A lost byte usually sits in the node just before the first group it spoils.
  for (std::size_t next = 1; next <= 2; ++next) {
    const std::size_t at = groupStart + next * kGroupChars;
    if (at + kCheckableChars > text.size())
      break;
    if (!PassesChecks(text.substr(at, kGroupChars)))
      return true;
  }
  return false;
}

ScanStreamDecoder::Alignment ScanStreamDecoder::findAlignment(std::string_view text) const {
  const std::size_t needed = kAlignmentGroups * kGroupChars;
  for (std::size_t start = 0;; start += kByteChars) {
    if (start + needed > text.size())
      return Alignment{false, start};
    bool genuine = true;
    for (std::size_t g = 0; g < kAlignmentGroups && genuine; ++g) {
      genuine = PassesChecks(text.substr(start + g * kGroupChars, kGroupChars));
    }
    if (genuine)
      return Alignment{true, start};
  }
}

void ScanStreamDecoder::onHalfTurn() {
  pendingTrace_.clear();
  radar_.clearAngleTrace();
  radar_.clearPicture();
  controls_.revolutionCount.setTag(FormatShortest(revolutionCount() + 0.5).value_or(""));
  radar_.countDownTouchMarker();
}

std::string_view ScanStreamDecoder::decodeGroups(std::string_view text, std::int16_t sensitivity) {
  pendingTrace_.clear();
  if (realigning_) {
    const Alignment alignment = findAlignment(text);
    if (!alignment.found)
      return text.substr(alignment.start);  // wait for more text
    text.remove_prefix(alignment.start);
    realigning_ = false;
  }

  const double correction = readAngleCorrection();
  const std::size_t complete = text.size() - text.size() % kGroupChars;
  bool failed = false;
  for (std::size_t at = 0; at < complete; at += kGroupChars) {
    const std::string_view group = text.substr(at, kGroupChars);
    if (IsSkippedGroup(group))
      continue;
    if (failsChecks(group) || blamedByFollowingGroups(text, at)) {
      failed = true;
      break;
    }
    const RawNode raw = DecodeGroup(group);
    const int angle = correctAngle(raw.angleDegrees, correction);
    const int half = angle / 180;
    if (half != lastHalf_) {
      onHalfTurn();
      lastHalf_ = half;
    }
    radar_.setQualityLabel(angle, raw.quality);
    AppendTraceEntry(pendingTrace_, angle);
    ++decodedNodes_;
    consumer_.processScanNode(ScanNode{angle, static_cast<std::int16_t>(raw.quality), raw.distance},
                              sensitivity);
  }
  radar_.appendAngleTrace(pendingTrace_);

  if (failed) {
    // Whatever follows a bad node can no longer be trusted to start on a node.
    if (recovery_ == Recovery::realign)
      realigning_ = true;
    return {};
  }
  return text.substr(complete);
}

void ScanStreamDecoder::writeBack(std::string_view text) {
  controls_.receiveBuffer.setText(text);
  std::string caption(kBufferLengthCaption);
  caption += std::to_string(text.size());
  controls_.bufferLength.setCaption(caption);
}

void ScanStreamDecoder::decodeReceiveBuffer() {
  if (inPass_)
    return;
  inPass_ = true;
  struct PassEnd {
    bool& flag;
    ~PassEnd() { flag = false; }
  } passEnd{inPass_};

  const std::int16_t sensitivity = readSensitivity();
  if (!controls_.processing.isChecked()) {
    // Nothing is decoded, but months of text must not pile up: keep the newest.
    const std::string& buffer = controls_.receiveBuffer.text();
    if (buffer.size() > kMaxBufferChars) {
      controls_.receiveBuffer.setText(
          std::string_view(buffer).substr(buffer.size() - kMaxBufferChars));
      if (synchronised() && recovery_ == Recovery::realign)
        realigning_ = true;
    }
    return;
  }

  // A copy, so that nothing a node handler does to the buffer can pull the text from under us.
  work_.assign(controls_.receiveBuffer.text());
  std::string_view text = work_;

  if (text.find(kScanDescriptorText) != std::string_view::npos) {
    // The first 21 characters go, wherever the descriptor stood; what follows starts on a node.
    text.remove_prefix(kScanDescriptorText.size());
    controls_.receiveBuffer.setTag(kSyncedTag);
    realigning_ = false;
  }

  if (synchronised())
    text = decodeGroups(text, sensitivity);

  if (text.size() == kDiscardLength)
    text = {};
  if (text.size() > kMaxBufferChars) {
    text.remove_prefix(text.size() - kMaxBufferChars);
    if (synchronised() && recovery_ == Recovery::realign)
      realigning_ = true;
  }
  writeBack(text);
}

}  // namespace scantouch
