#include "outputs/tuio_session_ids.h"

#include <algorithm>
#include <string>

#include "common/fnv_hash.h"

namespace scantouch {
namespace {

// SplitMix64's finaliser: every bit of the input moves about half of the output's bits.
std::uint64_t Mix(std::uint64_t value) {
  value += 0x9e3779b97f4a7c15ULL;
  value = (value ^ (value >> 30)) * 0xbf58476d1ce4e5b9ULL;
  value = (value ^ (value >> 27)) * 0x94d049bb133111ebULL;
  return value ^ (value >> 31);
}

}  // namespace

std::int32_t TuioSessionIds::firstChoice(SessionId session) const {
  // Session 1 with start 0 is TUIO id 1.
  return static_cast<std::int32_t>((session % kRange + start_ + kRange - 1) % kRange + 1);
}

std::span<const std::int32_t> TuioSessionIds::assign(std::span<const Contact> live) {
  const auto known = [this](SessionId session) {
    return std::find_if(alive_.begin(), alive_.end(),
                        [session](const auto& entry) { return entry.first == session; });
  };
  const auto taken = [this](std::int32_t id) {
    return std::any_of(next_.begin(), next_.end(),
                       [id](const auto& entry) { return entry.second == id; });
  };

  // Those that stay keep their ids before any newcomer chooses.
  next_.clear();
  for (const Contact& contact : live) {
    if (const auto it = known(contact.sessionId); it != alive_.end())
      next_.push_back(*it);
  }
  ids_.clear();
  for (const Contact& contact : live) {
    const auto it = std::find_if(next_.begin(), next_.end(), [&](const auto& entry) {
      return entry.first == contact.sessionId;
    });
    if (it != next_.end()) {
      ids_.push_back(it->second);
      continue;
    }
    std::int32_t id = firstChoice(contact.sessionId);
    while (taken(id))
      id = static_cast<std::uint64_t>(id) == kRange ? 1 : id + 1;
    next_.emplace_back(contact.sessionId, id);
    ids_.push_back(id);
  }
  std::swap(alive_, next_);
  return ids_;
}

std::uint64_t TuioSessionStart(std::int64_t wallClock_ms, std::string_view hostName) {
  return Mix(static_cast<std::uint64_t>(wallClock_ms) ^ Fnv1a64(hostName)) % TuioSessionIds::kRange;
}

std::string TuioSourceName(std::string_view hostName) {
  std::string source = "scantouch";
  if (!hostName.empty())
    source += "@" + std::string(hostName);
  return source;
}

}  // namespace scantouch
