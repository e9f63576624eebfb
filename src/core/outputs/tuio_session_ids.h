#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/touch_frame.h"

namespace scantouch {

// TUIO's session id is an OSC int32, and clients take 0 for no cursor, so it holds 1 to 2^31-1:
// the engine's 64-bit ids, moved on by a start, are taken modulo that range. A contact keeps its
// TUIO id while it lives; one that would get the id of a contact still alive (two ids 2^31-1
// apart) takes the next free one instead, so that an alive list never names one id twice.
class TuioSessionIds {
 public:
  static constexpr std::uint64_t kRange = 0x7fffffff;  // 1 .. 2^31-1

  // `start` moves every id on: 0 keeps the engine's ids up to 2^31-1 as they are.
  explicit TuioSessionIds(std::uint64_t start = 0) : start_(start % kRange) {}

  // The TUIO ids of `live`, in its order. Contacts not in `live` are forgotten.
  std::span<const std::int32_t> assign(std::span<const Contact> live);

 private:
  std::int32_t firstChoice(SessionId session) const;

  std::uint64_t start_;
  std::vector<std::pair<SessionId, std::int32_t>> alive_;
  std::vector<std::pair<SessionId, std::int32_t>> next_;
  std::vector<std::int32_t> ids_;
};

// Where one program's TUIO ids start. Two programs that send to one client (two walls, one
// content machine) would otherwise both count from 1, and a client that does not tell their
// sources apart would take two hands for one. Drawn from the wall-clock time of the start and
// the host's name, the starts of two programs lie about a third of the range apart on average:
// their ids meet only after hundreds of millions of touches.
std::uint64_t TuioSessionStart(std::int64_t wallClock_ms, std::string_view hostName);

// What the source message names: "scantouch@<host>", as TUIO 1.1 has it (name@address), or
// "scantouch" alone when the host is not known.
std::string TuioSourceName(std::string_view hostName);

}  // namespace scantouch
