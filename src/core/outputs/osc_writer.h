#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scantouch::osc {

// One OSC 1.0 message as bytes: the address, the type tags and the arguments, each padded with
// zeros to a multiple of four bytes, numbers big-endian. Only the three types TUIO needs.
class Message {
 public:
  explicit Message(std::string_view address);

  Message& addInt32(std::int32_t value);
  Message& addFloat32(float value);
  // OSC strings end at their first zero byte, so a string is cut there.
  Message& addString(std::string_view value);

  std::string_view address() const { return address_; }
  std::string_view typeTags() const { return typeTags_; }
  // The size of bytes(), without building it.
  std::size_t size() const;
  std::vector<std::uint8_t> bytes() const;
  void appendTo(std::vector<std::uint8_t>& out) const;

 private:
  std::string address_;
  std::string typeTags_ = ",";
  std::vector<std::uint8_t> arguments_;  // already encoded and padded
};

// An OSC bundle: "#bundle", a time tag and the messages, each preceded by its size.
class Bundle {
 public:
  // The time tag that means "at once".
  static constexpr std::uint64_t kImmediately = 1;
  // "#bundle" with its terminating zero, and the time tag.
  static constexpr std::size_t kHeaderBytes = 16;

  explicit Bundle(std::uint64_t timeTag = kImmediately) : timeTag_(timeTag) {}

  void add(const Message& message);
  std::size_t size() const { return kHeaderBytes + elementBytes_; }
  std::size_t messageCount() const { return messages_.size(); }
  std::vector<std::uint8_t> bytes() const;

  // What one message adds to a bundle: its size prefix and its bytes.
  static std::size_t elementSize(const Message& message) { return 4 + message.size(); }

 private:
  std::uint64_t timeTag_;
  std::vector<Message> messages_;
  std::size_t elementBytes_ = 0;
};

}  // namespace scantouch::osc
