#pragma once

#include <string>
#include <vector>

namespace scantouch {

// The address of this machine the network window shows while a socket is not connected: the first
// of its IPv4 addresses (dotted, as the system lists them) that is on a network, not a loopback
// one; 127.0.0.1 when it has none.
std::string MachineAddress(const std::vector<std::string>& ipv4Addresses);

}  // namespace scantouch
