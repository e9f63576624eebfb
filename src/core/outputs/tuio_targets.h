#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scantouch {

// Where TUIO goes: one receiver, as the user wrote it.
struct TuioTarget {
  std::string text;  // the entry without the blanks around it, "host:port"
  std::string host;  // a name or an address; an IPv6 address without its brackets
  std::uint16_t port = 0;
  friend bool operator==(const TuioTarget&, const TuioTarget&) = default;
};

struct RejectedTuioTarget {
  std::string text;
  std::string reason;
  friend bool operator==(const RejectedTuioTarget&, const RejectedTuioTarget&) = default;
};

struct TuioTargetList {
  std::vector<TuioTarget> targets;
  std::vector<RejectedTuioTarget> rejected;
};

// Reads the TUIO setting: empty or blank is off; otherwise "host:port" entries separated by ";",
// blanks around them ignored. An IPv6 address goes in brackets ("[::1]:3333"). Entries that are
// not host:port with a port of 1 to 65535 are rejected with a reason, and so is an entry listed a
// second time; the good ones are kept in order.
TuioTargetList ParseTuioTargets(std::string_view text);

}  // namespace scantouch
