#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/touch_frame.h"

namespace scantouch {

// The most a TUIO datagram holds: an Ethernet frame of 1500 bytes less the IPv4 and UDP headers,
// so that no datagram is ever fragmented on the way.
inline constexpr std::size_t kMaxTuioDatagramBytes = 1472;

// The frame sequence number of bundles that belong to no frame (nothing present, start, exit);
// clients take them whatever frame they saw last.
inline constexpr std::int32_t kTuioIdleFrame = -1;

struct TuioDatagrams {
  std::vector<std::vector<std::uint8_t>> datagrams;
  // Contacts beyond what one datagram's alive list can hold beside one set message; the oldest
  // are the ones kept.
  std::size_t contactsLeftOut = 0;
};

// Turns the live contacts of one frame into TUIO 1.1 /tuio/2Dcur bundles: source, alive, one set
// per contact, fseq. A frame too large for one datagram is split into several bundles with the
// same fseq, each repeating source and the whole alive list, the set messages spread over them.
class TuioEncoder {
 public:
  explicit TuioEncoder(std::string source = "scantouch",
                       std::size_t maxDatagramBytes = kMaxTuioDatagramBytes);

  // `sessions` holds the TUIO id of each contact of `live`, in its order.
  TuioDatagrams encode(std::span<const Contact> live, std::span<const std::int32_t> sessions,
                       std::int32_t frameSequence) const;

  // The most contacts one frame can carry within the datagram size.
  std::size_t maxContacts() const { return maxContacts_; }

 private:
  std::string source_;
  std::size_t maxDatagramBytes_;
  std::size_t maxContacts_ = 0;
};

}  // namespace scantouch
