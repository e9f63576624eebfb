#include "outputs/tuio_targets.h"

#include <algorithm>

#include "common/blanks.h"

namespace scantouch {
namespace {

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The target of one entry, or the reason it is none.
std::string ReadEntry(std::string_view entry, TuioTarget& target) {
  const std::size_t colon = entry.rfind(':');
  if (colon == std::string_view::npos)
    return "not host:port";
  std::string_view host = entry.substr(0, colon);
  const std::string_view port = entry.substr(colon + 1);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  } else if (host.find(':') != std::string_view::npos) {
    return "an IPv6 address goes in brackets, as [::1]:3333";
  }
  if (host.empty())
    return "no host before the port";
  if (host.find_first_of(" \t[]") != std::string_view::npos)
    return "not a host name or address";
  if (port.empty())
    return "no port after the colon";
  if (!AllDigits(port))
    return "the port is not a number";
  // Leading zeros cannot make a valid port out of too many digits, but they may stand before one.
  const std::string_view digits = port.substr(std::min(port.find_first_not_of('0'), port.size()));
  if (digits.empty() || digits.size() > 5 || std::stoul(std::string(digits)) > 65535)
    return "the port must be 1 to 65535";
  target.host = std::string(host);
  target.port = static_cast<std::uint16_t>(std::stoul(std::string(digits)));
  return {};
}

}  // namespace

TuioTargetList ParseTuioTargets(std::string_view text) {
  TuioTargetList list;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find(';'), text.size());
    const std::string_view entry = TrimBlanks(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    if (entry.empty())
      continue;  // "a;;b" and a closing ";" are just separators
    TuioTarget target;
    target.text = std::string(entry);
    std::string reason = ReadEntry(entry, target);
    if (reason.empty() &&
        std::any_of(list.targets.begin(), list.targets.end(), [&](const TuioTarget& kept) {
          return kept.host == target.host && kept.port == target.port;
        })) {
      reason = "listed before";
    }
    if (reason.empty())
      list.targets.push_back(std::move(target));
    else
      list.rejected.push_back(RejectedTuioTarget{std::string(entry), std::move(reason)});
  }
  return list;
}

}  // namespace scantouch
