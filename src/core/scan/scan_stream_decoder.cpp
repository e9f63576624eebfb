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

// The node's angle at the scanner's full resolution, corrected into [0, 360).
double ExactAngle(const RawNode& raw, double correction) {
  const double angle = std::fmod(raw.angle64 / 64.0 + correction + 720.0, 360.0);
  return angle < 360.0 ? angle : 0.0;  // a sum a hair below a whole turn rounds up to it
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

std::size_t ScanStreamDecoder::blamingGroups() const {
  switch (recovery_) {
    case Recovery::restartAtNextAppend:
      return 0;
    case Recovery::realignAtNextAppend:
      return 2;
    case Recovery::realign:
      break;
  }
  return 3;
}

bool ScanStreamDecoder::blamedByFollowingGroups(std::string_view text,
                                                std::size_t groupStart) const {
  // A lost byte usually sits in a node shortly before the first group it spoils. Groups not yet
  // received cannot blame anyone: the node is decoded as it is.
  for (std::size_t next = 1; next <= blamingGroups(); ++next) {
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

void ScanStreamDecoder::enterHalf(int half) {
  if (half == lastHalf_)
    return;
  onHalfTurn();
  lastHalf_ = half;
}

void ScanStreamDecoder::decodeNode(std::string_view group, double correction,
                                   std::int16_t sensitivity) {
  const RawNode raw = DecodeGroup(group);
  const int angle = correctAngle(raw.angleDegrees, correction);
  ++decodedNodes_;
  if (raw.distance == 0) {
    // The beam came back with nothing: no point, no hit, and a run is neither started nor ended
    // by it. Scanners report such nodes at angles that wander several degrees around their
    // neighbours, so their angle moves the sweep into the other half only from well inside it:
    // their wandering around 0 and 180 makes no half turns, while a scanner that sees nothing at
    // all still counts its turns.
    ++noReturnNodes_;
    if (raw.startOfTurn && preciseConsumer_ != nullptr)  // it still tells where a turn begins
      preciseConsumer_->processPreciseNode(
          PreciseScanNode{ExactAngle(raw, correction), 0, 0, true, ExactAngle(raw, 0)},
          sensitivity);
    const int intoHalf = angle % 180;
    if (intoHalf >= kNoReturnHalfMarginDegrees && intoHalf < 180 - kNoReturnHalfMarginDegrees)
      enterHalf(angle / 180);
    return;
  }
  enterHalf(angle / 180);
  radar_.setQualityLabel(angle, raw.quality);
  AppendTraceEntry(pendingTrace_, angle);
  consumer_.processScanNode(ScanNode{angle, static_cast<std::int16_t>(raw.quality), raw.distance},
                            sensitivity);
  if (preciseConsumer_ != nullptr) {
    preciseConsumer_->processPreciseNode(
        PreciseScanNode{ExactAngle(raw, correction), static_cast<std::int16_t>(raw.quality),
                        raw.distance, raw.startOfTurn, ExactAngle(raw, 0)},
        sensitivity);
  }
}

ScanStreamDecoder::GroupsEnd ScanStreamDecoder::decodeAlignedGroups(std::string_view text,
                                                                    double correction,
                                                                    std::int16_t sensitivity) {
  const std::size_t complete = text.size() - text.size() % kGroupChars;
  for (std::size_t at = 0; at < complete; at += kGroupChars) {
    const std::string_view group = text.substr(at, kGroupChars);
    if (IsSkippedGroup(group))
      continue;
    if (failsChecks(group) || blamedByFollowingGroups(text, at))
      return GroupsEnd{true, at};
    decodeNode(group, correction, sensitivity);
  }
  return GroupsEnd{false, complete};
}

std::string_view ScanStreamDecoder::decodeGroups(std::string_view text, std::int16_t sensitivity) {
  pendingTrace_.clear();
  const double correction = readAngleCorrection();
  for (;;) {
    if (realigning_) {
      const Alignment alignment = findAlignment(text);
      if (!alignment.found) {
        text.remove_prefix(alignment.start);  // wait for more text
        break;
      }
      text.remove_prefix(alignment.start);
      realigning_ = false;
    }
    const GroupsEnd end = decodeAlignedGroups(text, correction, sensitivity);
    if (!end.failed) {
      text.remove_prefix(end.at);
      break;
    }
    // Whatever follows a bad node can no longer be trusted to start on a node.
    if (recovery_ == Recovery::restartAtNextAppend) {
      text = {};
      break;
    }
    realigning_ = true;
    if (recovery_ == Recovery::realignAtNextAppend) {
      text = {};
      break;
    }
    // The failed node itself is ruled out; the search goes on from its second byte.
    text.remove_prefix(end.at + kByteChars);
  }
  radar_.appendAngleTrace(pendingTrace_);
  return text;
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
      if (synchronised() && recovery_ != Recovery::restartAtNextAppend)
        realigning_ = true;
    }
    return;
  }

  // A copy, so that nothing a node handler does to the buffer can pull the text from under us.
  work_.assign(controls_.receiveBuffer.text());
  std::string_view text = work_;

  if (const std::size_t at = text.find(kScanDescriptorText); at != std::string_view::npos) {
    // What follows the descriptor starts on a node; what precedes it (the tail of an earlier
    // stream) goes with it.
    text.remove_prefix(at + kScanDescriptorText.size());
    controls_.receiveBuffer.setTag(kSyncedTag);
    realigning_ = false;
  }

  if (synchronised())
    text = decodeGroups(text, sensitivity);

  if (text.size() == kDiscardLength)
    text = {};
  if (text.size() > kMaxBufferChars) {
    text.remove_prefix(text.size() - kMaxBufferChars);
    if (synchronised() && recovery_ != Recovery::restartAtNextAppend)
      realigning_ = true;
  }
  writeBack(text);
}

}  // namespace scantouch
