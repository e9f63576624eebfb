#include "link/send_entry.h"

#include "common/numeric_value.h"

namespace scantouch {

std::optional<std::string> BytesOfEntry(std::string_view entry, const TextCodec& ansiCodec) {
  constexpr std::string_view kBinaryMark = "HEX ";
  if (!entry.starts_with(kBinaryMark))
    return ansiCodec.encode(entry);
  std::string bytes;
  // Every group is sent, however many there are.
  for (std::size_t at = kBinaryMark.size(); at < entry.size(); at += 3) {
    const std::string group = "&H" + std::string(entry.substr(at, 2));
    bytes += static_cast<char>(static_cast<unsigned>(NumericValue(group)) & 0xFF);
  }
  if (bytes.empty())
    return std::nullopt;
  return bytes;
}

SendFailurePolicy PolicyNamed(std::string_view text) {
  if (text == "忽略" || text == "忽略放弃本条")
    return SendFailurePolicy::ignore;
  if (text == "尝试发送循环" || text == "尝试循环")
    return SendFailurePolicy::keepTrying;
  if (text == "尝试发送到有新数据" || text == "尝试到有新数据")
    return SendFailurePolicy::untilNewerData;
  if (text == "只发送最后一条" || text == "只发最后一条")
    return SendFailurePolicy::onlyNewest;
  if (text == "提示人工选择")
    return SendFailurePolicy::askUser;
  if (text == "计划功能：尝试发送5次")
    return SendFailurePolicy::tryFiveTimes;
  return SendFailurePolicy::unknown;
}

}  // namespace scantouch
