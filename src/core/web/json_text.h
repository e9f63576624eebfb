#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace scantouch {

// Pieces of JSON text (RFC 8259), written the same under every locale: a decimal point, never a
// comma.

// `text` in quotes, with quotes, backslashes and control characters escaped. UTF-8 goes as it
// is; bytes that are not UTF-8 become U+FFFD, so the message stays valid for a browser.
void AppendJsonString(std::string& out, std::string_view text);
// `value` with at most `decimals` decimals and no trailing zeros; a value that is not finite,
// which JSON cannot carry, as 0.
void AppendJsonNumber(std::string& out, double value, int decimals);
void AppendJsonInteger(std::string& out, std::int64_t value);

// Writes the members of one JSON object into `out`, with the braces, commas and quoted names.
class JsonObject {
 public:
  explicit JsonObject(std::string& out) : out_(out) { out_ += '{'; }

  JsonObject& number(std::string_view name, double value, int decimals);
  JsonObject& integer(std::string_view name, std::int64_t value);
  JsonObject& text(std::string_view name, std::string_view value);
  JsonObject& boolean(std::string_view name, bool value);
  // Starts the member `name`; the caller writes its value into the text returned.
  std::string& member(std::string_view name);
  void end() { out_ += '}'; }

 private:
  std::string& out_;
  bool first_ = true;
};

}  // namespace scantouch
