#pragma once

#include <string>
#include <string_view>

namespace scantouch {

// Converts between the program's text (UTF-8) and the bytes a settings file holds.
class TextCodec {
 public:
  virtual ~TextCodec() = default;
  // Characters the file's encoding cannot hold become "?".
  virtual std::string encode(std::string_view text) const = 0;
  // Bytes that are not valid in the file's encoding become U+FFFD; decoding never fails.
  virtual std::string decode(std::string_view bytes) const = 0;
};

// For files that are UTF-8 already (those that start with a UTF-8 byte-order mark).
class Utf8Codec final : public TextCodec {
 public:
  std::string encode(std::string_view text) const override { return std::string(text); }
  std::string decode(std::string_view bytes) const override { return std::string(bytes); }
};

}  // namespace scantouch
