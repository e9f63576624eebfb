#pragma once

#include <bit>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace scantouch::testing {

// A strict reader of OSC bundles for checking what was sent: every size, padding byte and type
// tag must be right, or nothing is returned.
struct OscMessageRead {
  std::string address;
  std::string typeTags;  // without the leading ','
  std::vector<std::variant<std::int32_t, float, std::string>> arguments;
};

struct OscBundleRead {
  std::uint64_t timeTag = 0;
  std::vector<OscMessageRead> messages;
};

class OscReader {
 public:
  explicit OscReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::optional<OscBundleRead> bundle() {
    OscBundleRead bundle;
    std::string tag;
    std::uint32_t high = 0, low = 0;
    if (!string(tag) || tag != "#bundle" || !word(high) || !word(low))
      return std::nullopt;
    bundle.timeTag = (std::uint64_t{high} << 32) | low;
    while (at_ < bytes_.size()) {
      std::uint32_t size = 0;
      if (!word(size) || size % 4 != 0 || size > bytes_.size() - at_)
        return std::nullopt;
      OscReader inner(bytes_.subspan(at_, size));
      auto message = inner.message();
      if (!message || inner.at_ != size)
        return std::nullopt;
      bundle.messages.push_back(*message);
      at_ += size;
    }
    return bundle;
  }

  std::optional<OscMessageRead> message() {
    OscMessageRead message;
    std::string tags;
    if (!string(message.address) || message.address.empty() || message.address[0] != '/' ||
        !string(tags) || tags.empty() || tags[0] != ',')
      return std::nullopt;
    message.typeTags = tags.substr(1);
    for (const char type : message.typeTags) {
      std::uint32_t value = 0;
      std::string text;
      if (type == 'i' && word(value))
        message.arguments.emplace_back(static_cast<std::int32_t>(value));
      else if (type == 'f' && word(value))
        message.arguments.emplace_back(std::bit_cast<float>(value));
      else if (type == 's' && string(text))
        message.arguments.emplace_back(text);
      else
        return std::nullopt;
    }
    return message;
  }

 private:
  bool word(std::uint32_t& value) {
    if (bytes_.size() - at_ < 4)
      return false;
    value = (std::uint32_t{bytes_[at_]} << 24) | (std::uint32_t{bytes_[at_ + 1]} << 16) |
            (std::uint32_t{bytes_[at_ + 2]} << 8) | bytes_[at_ + 3];
    at_ += 4;
    return true;
  }
  bool string(std::string& text) {
    std::size_t end = at_;
    while (end < bytes_.size() && bytes_[end] != 0)
      ++end;
    const std::size_t padded = at_ + ((end - at_) / 4 + 1) * 4;
    if (padded > bytes_.size())
      return false;
    for (std::size_t i = end; i < padded; ++i) {
      if (bytes_[i] != 0)
        return false;
    }
    text.assign(bytes_.begin() + at_, bytes_.begin() + end);
    at_ = padded;
    return true;
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

// One TUIO /tuio/2Dcur bundle as its parts, read only when it is in the order TUIO wants:
// source, alive, any number of set, fseq.
struct TuioCursor {
  std::int32_t session = 0;
  float x = 0, y = 0, velocityX = 0, velocityY = 0, acceleration = 0;
};

struct TuioBundleRead {
  std::string source;
  std::vector<std::int32_t> alive;
  std::vector<TuioCursor> sets;
  std::int32_t frame = 0;
};

inline std::optional<TuioBundleRead> ReadTuioBundle(std::span<const std::uint8_t> bytes) {
  const auto bundle = OscReader(bytes).bundle();
  if (!bundle || bundle->timeTag != 1 || bundle->messages.size() < 3)
    return std::nullopt;
  const auto& messages = bundle->messages;
  for (const OscMessageRead& message : messages) {
    if (message.address != "/tuio/2Dcur" || message.typeTags.empty() || message.typeTags[0] != 's')
      return std::nullopt;
  }
  const auto command = [](const OscMessageRead& message) {
    return std::get<std::string>(message.arguments[0]);
  };
  TuioBundleRead tuio;
  const OscMessageRead& source = messages.front();
  const OscMessageRead& alive = messages[1];
  const OscMessageRead& frame = messages.back();
  if (command(source) != "source" || source.typeTags != "ss" || command(alive) != "alive" ||
      alive.typeTags != "s" + std::string(alive.arguments.size() - 1, 'i') ||
      command(frame) != "fseq" || frame.typeTags != "si")
    return std::nullopt;
  tuio.source = std::get<std::string>(source.arguments[1]);
  for (std::size_t i = 1; i < alive.arguments.size(); ++i)
    tuio.alive.push_back(std::get<std::int32_t>(alive.arguments[i]));
  tuio.frame = std::get<std::int32_t>(frame.arguments[1]);
  for (std::size_t m = 2; m + 1 < messages.size(); ++m) {
    const OscMessageRead& set = messages[m];
    if (command(set) != "set" || set.typeTags != "sifffff")
      return std::nullopt;
    const auto number = [&](std::size_t i) { return std::get<float>(set.arguments[i]); };
    tuio.sets.push_back(TuioCursor{std::get<std::int32_t>(set.arguments[1]), number(2), number(3),
                                   number(4), number(5), number(6)});
  }
  return tuio;
}

}  // namespace scantouch::testing
