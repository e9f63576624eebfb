#include "outputs/osc_writer.h"

#include <bit>
#include <limits>

namespace scantouch::osc {
namespace {

// A string with its terminating zero, padded to a multiple of four bytes.
std::size_t PaddedStringSize(std::size_t length) {
  return (length / 4 + 1) * 4;
}

void AppendBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value >> 24));
  out.push_back(static_cast<std::uint8_t>(value >> 16));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value));
}

void AppendPaddedString(std::vector<std::uint8_t>& out, std::string_view text) {
  out.insert(out.end(), text.begin(), text.end());
  out.resize(out.size() + PaddedStringSize(text.size()) - text.size(), 0);
}

std::string_view UpToZero(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

}  // namespace

Message::Message(std::string_view address) : address_(UpToZero(address)) {}

Message& Message::addInt32(std::int32_t value) {
  typeTags_ += 'i';
  AppendBigEndian32(arguments_, static_cast<std::uint32_t>(value));
  return *this;
}

Message& Message::addFloat32(float value) {
  static_assert(std::numeric_limits<float>::is_iec559, "OSC floats are IEEE 754 single precision");
  typeTags_ += 'f';
  AppendBigEndian32(arguments_, std::bit_cast<std::uint32_t>(value));
  return *this;
}

Message& Message::addString(std::string_view value) {
  typeTags_ += 's';
  AppendPaddedString(arguments_, UpToZero(value));
  return *this;
}

std::size_t Message::size() const {
  return PaddedStringSize(address_.size()) + PaddedStringSize(typeTags_.size()) + arguments_.size();
}

void Message::appendTo(std::vector<std::uint8_t>& out) const {
  AppendPaddedString(out, address_);
  AppendPaddedString(out, typeTags_);
  out.insert(out.end(), arguments_.begin(), arguments_.end());
}

std::vector<std::uint8_t> Message::bytes() const {
  std::vector<std::uint8_t> out;
  out.reserve(size());
  appendTo(out);
  return out;
}

void Bundle::add(const Message& message) {
  elementBytes_ += elementSize(message);
  messages_.push_back(message);
}

std::vector<std::uint8_t> Bundle::bytes() const {
  std::vector<std::uint8_t> out;
  out.reserve(size());
  AppendPaddedString(out, "#bundle");
  AppendBigEndian32(out, static_cast<std::uint32_t>(timeTag_ >> 32));
  AppendBigEndian32(out, static_cast<std::uint32_t>(timeTag_));
  for (const Message& message : messages_) {
    AppendBigEndian32(out, static_cast<std::uint32_t>(message.size()));
    message.appendTo(out);
  }
  return out;
}

}  // namespace scantouch::osc
