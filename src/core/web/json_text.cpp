#include "web/json_text.h"

#include <array>
#include <charconv>
#include <cmath>

namespace scantouch {
namespace {

// The length of the UTF-8 sequence at the start of `text`, or 0 when it is not one.
std::size_t Utf8Length(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  std::uint32_t code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07u;
  } else {
    return 0;
  }
  if (text.size() < length)
    return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80)
      return 0;
    code = code << 6 | (byte(i) & 0x3Fu);
  }
  // Overlong forms, surrogates and what lies beyond U+10FFFF are not UTF-8.
  if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
      (code >= 0xD800 && code <= 0xDFFF)) {
    return 0;
  }
  return length;
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  while (!text.empty()) {
    const auto c = static_cast<unsigned char>(text.front());
    if (c >= 0x80) {
      const std::size_t length = Utf8Length(text);
      if (length == 0) {
        out += "\xEF\xBF\xBD";
        text.remove_prefix(1);
      } else {
        out += text.substr(0, length);
        text.remove_prefix(length);
      }
      continue;
    }
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
    text.remove_prefix(1);
  }
  out += '"';
}

void AppendJsonNumber(std::string& out, double value, int decimals) {
  if (!std::isfinite(value))
    value = 0;
  std::array<char, 64> buffer{};
  auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::fixed, decimals);
  if (error != std::errc{}) {
    out += '0';
    return;
  }
  std::string_view text(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
  if (text.find('.') != std::string_view::npos) {
    while (text.back() == '0')
      text.remove_suffix(1);
    if (text.back() == '.')
      text.remove_suffix(1);
  }
  if (text == "-0")
    text = "0";
  out += text;
}

void AppendJsonInteger(std::string& out, std::int64_t value) {
  out += std::to_string(value);
}

std::string& JsonObject::member(std::string_view name) {
  if (!first_)
    out_ += ',';
  first_ = false;
  AppendJsonString(out_, name);
  out_ += ':';
  return out_;
}

JsonObject& JsonObject::number(std::string_view name, double value, int decimals) {
  AppendJsonNumber(member(name), value, decimals);
  return *this;
}

JsonObject& JsonObject::integer(std::string_view name, std::int64_t value) {
  AppendJsonInteger(member(name), value);
  return *this;
}

JsonObject& JsonObject::text(std::string_view name, std::string_view value) {
  AppendJsonString(member(name), value);
  return *this;
}

JsonObject& JsonObject::boolean(std::string_view name, bool value) {
  member(name) += value ? "true" : "false";
  return *this;
}

}  // namespace scantouch
