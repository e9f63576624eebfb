#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "config/text_codec.h"

namespace scantouch {

// The bytes a queued entry sends. "HEX A5 20" is a binary entry: two-character hexadecimal groups
// from the fifth character on, one every three characters. Any other entry is text, sent in the
// desktop's code page. A binary entry without a single group has nothing to send: nullopt.
std::optional<std::string> BytesOfEntry(std::string_view entry, const TextCodec& ansiCodec);

// The failure policies of a send queue, by the names the policy box offers or also accepts.
enum class SendFailurePolicy {
  ignore,          // "忽略", "忽略放弃本条": drop the entry
  keepTrying,      // "尝试发送循环", "尝试循环"
  untilNewerData,  // "尝试发送到有新数据", "尝试到有新数据"
  onlyNewest,      // "只发送最后一条", "只发最后一条"
  askUser,         // "提示人工选择"
  tryFiveTimes,    // "计划功能：尝试发送5次": planned, does nothing
  unknown,         // any other text: no action
};
SendFailurePolicy PolicyNamed(std::string_view text);

// The entries of the policy box, in order; the first is the default.
inline constexpr std::string_view kPolicyEntries[] = {
    "忽略",           "尝试发送循环", "尝试发送到有新数据",
    "只发送最后一条", "提示人工选择", "计划功能：尝试发送5次"};

}  // namespace scantouch
