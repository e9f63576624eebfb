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

}  // namespace scantouch
