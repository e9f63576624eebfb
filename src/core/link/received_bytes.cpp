#include "link/received_bytes.h"

namespace scantouch {

std::string LinkName(LinkId link) {
  return link.serial() ? "串口" : "TCP" + std::to_string(link.channel);
}

}  // namespace scantouch
