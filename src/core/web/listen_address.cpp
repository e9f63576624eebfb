#include "web/listen_address.h"

#include <charconv>

#include "common/blanks.h"

namespace scantouch {

std::variant<ListenAddress, std::string> ParseListenAddress(std::string_view text) {
  text = TrimBlanks(text);
  const std::size_t colon = text.rfind(':');
  if (colon == std::string_view::npos)
    return std::string("not host:port");
  std::string_view host = text.substr(0, colon);
  const std::string_view port = text.substr(colon + 1);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  } else if (host.find(':') != std::string_view::npos) {
    return std::string("an IPv6 address goes in brackets, [::]:3343");
  }
  if (host.empty())
    return std::string("no host");
  if (host.find_first_of(" \t[]/") != std::string_view::npos)
    return std::string("not a host name or address");
  unsigned value = 0;
  const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
  if (port.empty() || error != std::errc{} || end != port.data() + port.size() || value < 1 ||
      value > 65535) {
    return std::string("the port must be 1 to 65535");
  }
  return ListenAddress{std::string(host), static_cast<std::uint16_t>(value)};
}

std::string BrowserAddress(const ListenAddress& address, std::string_view machine) {
  std::string host = address.host;
  if ((host == "0.0.0.0" || host == "::") && !machine.empty())
    host = std::string(machine);
  if (host.find(':') != std::string::npos)
    host = "[" + host + "]";
  return "http://" + host + ":" + std::to_string(address.port) + "/";
}

}  // namespace scantouch
