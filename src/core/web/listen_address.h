#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace scantouch {

// Where the web service listens, as the user wrote it.
struct ListenAddress {
  std::string host;  // an address or a name; an IPv6 address without its brackets
  std::uint16_t port = 0;
  friend bool operator==(const ListenAddress&, const ListenAddress&) = default;
};

// Reads "host:port" (an IPv6 address in brackets, "[::]:3343"), blanks around it ignored. The
// port must be 1 to 65535; otherwise the reason, for the log.
std::variant<ListenAddress, std::string> ParseListenAddress(std::string_view text);

// The address to open in a browser: "http://host:port/", a listening on every address shown as
// `machine` (this computer's name or address).
std::string BrowserAddress(const ListenAddress& address, std::string_view machine);

}  // namespace scantouch
