#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "radar_view.h"
#include "scan_node.h"
#include "toolkit/check_box.h"
#include "toolkit/label.h"
#include "toolkit/text_box.h"

namespace scantouch {

// The controls of the main window the decoder reads and writes.
struct DecoderControls {
  TextBox& receiveBuffer;    // TXTRX: received hex text not yet decoded; tag "OK" = synchronised
  TextBox& sensitivity;      // TXT灵敏度: quality gate
  TextBox& angleCorrection;  // txt角度校正: degrees added to every angle
  CheckBox& processing;      // CHK处理: decode only while checked
  Label& bufferLength;       // Label2: "数据长度：" and the length of what stays in the buffer
  Label& revolutionCount;    // Label4: its tag counts half turns, 0.5 each
};

// Turns the received hexadecimal text into measurement nodes. One pass runs per change of the
// receive buffer: it synchronises on the scan descriptor, decodes every complete node group,
// reports half turns of the sweep and leaves only the incomplete tail for the next pass.
class ScanStreamDecoder {
 public:
  // How a pass recovers once a node fails its checks. Only `realign` is used by the program;
  // the others are kept so that benchmarks can compare it with them.
  enum class Recovery {
    // Only the check bit is tested, and the next append is trusted to start on a node.
    restartAtNextAppend,
    // Nodes are also checked by their start bits and blamed for a bad group in the two groups
    // after them; the rest of the pass is dropped and decoding resumes only where three groups
    // in a row look genuine.
    realignAtNextAppend,
    // As above, but a node is blamed for a bad group in the three groups after it, and the search
    // for three genuine groups starts right after the failed node, in the same pass: the text
    // after a lost byte is decoded instead of dropped.
    realign,
  };

  // Largest receive buffer kept, in characters (64 KiB of received bytes); older text goes first.
  static constexpr std::size_t kMaxBufferChars = 3 * 65536;
  // A buffer of exactly this length is emptied, whatever else happens.
  static constexpr std::size_t kDiscardLength = 65535;
  static constexpr const char* kSyncedTag = "OK";
  // A no-return node changes the half of the sweep only this far inside the other half.
  static constexpr int kNoReturnHalfMarginDegrees = 20;

  ScanStreamDecoder(DecoderControls controls, RadarView& radar, ScanNodeConsumer& consumer,
                    Recovery recovery = Recovery::realign);

  // Also hands every measured node at its exact angle to `consumer` (nullptr: to nobody).
  void setPreciseConsumer(PreciseScanNodeConsumer* consumer) { preciseConsumer_ = consumer; }

  // One pass over the receive buffer; a change of the buffer made by the pass itself is ignored.
  void decodeReceiveBuffer();

  // Empties the buffer and waits for the next scan descriptor (start sequence, clear button).
  void resetSynchronisation();

  bool synchronised() const;
  bool realigning() const { return realigning_; }
  int lastHalf() const { return lastHalf_; }
  // Half turns since the scan-rate meter last reset the count, 0.5 each.
  double revolutionCount() const;
  void resetRevolutionCount();
  // Nodes taken out of the buffer and decoded, no-return nodes included.
  std::uint64_t decodedNodes() const { return decodedNodes_; }
  // Decoded nodes with distance 0: the beam found nothing to measure.
  std::uint64_t noReturnNodes() const { return noReturnNodes_; }

 private:
  std::int16_t readSensitivity() const;
  double readAngleCorrection() const;
  int correctAngle(int angle, double correction) const;
  // Decodes the groups of a synchronised buffer; returns what stays in the buffer.
  std::string_view decodeGroups(std::string_view text, std::int16_t sensitivity);
  // Decodes the complete groups from the start of `text`; returns where a group failed, or the
  // start of the incomplete tail when none did.
  struct GroupsEnd {
    bool failed;
    std::size_t at;
  };
  GroupsEnd decodeAlignedGroups(std::string_view text, double correction, std::int16_t sensitivity);
  void decodeNode(std::string_view group, double correction, std::int16_t sensitivity);
  void enterHalf(int half);
  bool failsChecks(std::string_view group) const;
  std::size_t blamingGroups() const;
  bool blamedByFollowingGroups(std::string_view text, std::size_t groupStart) const;
  struct Alignment {
    bool found;         // decoding resumes at `start`
    std::size_t start;  // when not found: the text before it can never align and may go
  };
  // The first offset, in whole bytes, at which three groups in a row look genuine.
  Alignment findAlignment(std::string_view text) const;
  void onHalfTurn();
  void writeBack(std::string_view text);

  DecoderControls controls_;
  RadarView& radar_;
  ScanNodeConsumer& consumer_;
  PreciseScanNodeConsumer* preciseConsumer_ = nullptr;
  Recovery recovery_;

  int lastHalf_ = 0;
  bool realigning_ = false;
  bool inPass_ = false;
  std::uint64_t decodedNodes_ = 0;
  std::uint64_t noReturnNodes_ = 0;
  std::string work_;          // the buffer text of the running pass
  std::string pendingTrace_;  // angles of the pass since the last half turn
};

}  // namespace scantouch
