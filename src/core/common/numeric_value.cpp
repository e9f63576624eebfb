#include "common/numeric_value.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace scantouch {
namespace {

// Hands out the characters of a text with the blanks NumericValue ignores already removed.
class NumberReader {
 public:
  explicit NumberReader(std::string_view text) : text_(text) {}

  char peek() {
    skipBlanks();
    return pos_ < text_.size() ? text_[pos_] : '\0';
  }
  void advance() { ++pos_; }

 private:
  void skipBlanks() {
    while (pos_ < text_.size() && IsNumericBlank(text_[pos_]))
      ++pos_;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The power of ten of the leading digit of a plain "[-]digits[.digits][e[-]digits]" number.
long DecimalMagnitude(std::string_view plain) {
  const auto e = plain.find('e');
  const long exponent =
      e == std::string_view::npos ? 0 : std::stol(std::string(plain.substr(e + 1)));
  const std::string_view mantissa = plain.substr(0, e);
  long position = 0;  // power of ten of the digit being looked at
  const auto point = mantissa.find('.');
  const std::size_t integerDigits = (point == std::string_view::npos ? mantissa.size() : point) -
                                    (mantissa.starts_with('-') ? 1 : 0);
  position = static_cast<long>(integerDigits) - 1;
  for (const char c : mantissa) {
    if (!IsDigit(c))
      continue;
    if (c != '0')
      return position + exponent;
    --position;
  }
  return 0;
}

double ReadHexadecimal(NumberReader& reader) {
  double value = 0;
  for (int digit = HexDigitValue(reader.peek()); digit >= 0; digit = HexDigitValue(reader.peek())) {
    value = value * 16 + digit;
    reader.advance();
  }
  return value;
}

// Collects sign, mantissa and exponent into a plain "[-]digits[.digits][e[-]digits]" text and
// lets from_chars convert it, so the result is correctly rounded and independent of the locale.
double ReadDecimal(NumberReader& reader) {
  std::string plain;
  if (reader.peek() == '+' || reader.peek() == '-') {
    if (reader.peek() == '-')
      plain += '-';
    reader.advance();
  }
  bool anyDigit = false;
  bool pointSeen = false;
  for (char c = reader.peek(); IsDigit(c) || (c == '.' && !pointSeen); c = reader.peek()) {
    if (c == '.') {
      pointSeen = true;
    } else {
      anyDigit = true;
    }
    plain += c;
    reader.advance();
  }
  if (!anyDigit)
    return 0;

  const char marker = reader.peek();
  if (marker == 'E' || marker == 'e' || marker == 'D' || marker == 'd') {
    reader.advance();
    bool negativeExponent = false;
    if (reader.peek() == '+' || reader.peek() == '-') {
      negativeExponent = reader.peek() == '-';
      reader.advance();
    }
    bool anyExponentDigit = false;
    int exponent = 0;
    while (IsDigit(reader.peek())) {
      // Beyond a few digits an exponent only ever means "too large" or "too small".
      exponent = std::min(exponent * 10 + (reader.peek() - '0'), 99999);
      anyExponentDigit = true;
      reader.advance();
    }
    if (anyExponentDigit)
      plain += (negativeExponent ? "e-" : "e") + std::to_string(exponent);
  }

  double value = 0;
  const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    // from_chars leaves the value alone on overflow and underflow: tell them apart by magnitude.
    const bool negative = plain[0] == '-';
    if (DecimalMagnitude(plain) < 0)
      return negative ? -0.0 : 0.0;
    return negative ? -HUGE_VAL : HUGE_VAL;
  }
  return value;
}

}  // namespace

double NumericValue(std::string_view text) {
  NumberReader reader(text);
  if (reader.peek() == '&') {
    reader.advance();
    const char kind = reader.peek();
    if (kind != 'H' && kind != 'h')
      return 0;
    reader.advance();
    return ReadHexadecimal(reader);
  }
  return ReadDecimal(reader);
}

}  // namespace scantouch
