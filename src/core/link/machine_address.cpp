#include "link/machine_address.h"

namespace scantouch {

std::string MachineAddress(const std::vector<std::string>& ipv4Addresses) {
  for (const std::string& address : ipv4Addresses) {
    if (!address.empty() && address.rfind("127.", 0) != 0)  // 127.0.0.0/8 is this machine's loop
      return address;
  }
  return "127.0.0.1";
}

}  // namespace scantouch
