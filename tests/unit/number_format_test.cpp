#include "common/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "common/hex_text.h"
#include "common/numeric_value.h"

namespace scantouch {
namespace {

TEST(FormatShortest, WritesPlainNumbersWithoutNoise) {
  EXPECT_EQ(FormatShortest(2), "2");
  EXPECT_EQ(FormatShortest(2.5), "2.5");
  EXPECT_EQ(FormatShortest(-3), "-3");
  EXPECT_EQ(FormatShortest(0), "0");
  EXPECT_EQ(FormatShortest(-0.0), "0");
  EXPECT_EQ(FormatShortest(0.1 + 0.2), "0.3");
  EXPECT_EQ(FormatShortest(7500), "7500");
  EXPECT_EQ(FormatShortest(3.6), "3.6");
  EXPECT_EQ(FormatShortest(1e16), "1E+16");
}

TEST(FormatShortest, ReadsBackAsTheSameNumber) {
  for (const double value : {1.0, -2.5, 0.001, 123456.789, 64.0, -7.125, 1e-7, 3e20}) {
    EXPECT_EQ(NumericValue(*FormatShortest(value)), value) << value;
  }
}

TEST(FormatShortest, TheLargestNumbersStayFinite) {
  const double largest = std::numeric_limits<double>::max();
  EXPECT_EQ(FormatShortest(largest), "1.7976931348623157E+308");
  EXPECT_EQ(NumericValue(*FormatShortest(-largest)), -largest);
  EXPECT_EQ(FormatShortest(1.5e308), "1.5E+308");  // 15 digits where they read back
}

TEST(FormatShortest, NonFiniteValuesHaveNoForm) {
  EXPECT_EQ(FormatShortest(std::numeric_limits<double>::infinity()), std::nullopt);
  EXPECT_EQ(FormatShortest(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
}

TEST(FormatZeroPadded, PadsAndRoundsHalvesAwayFromZero) {
  EXPECT_EQ(FormatZeroPadded(std::int64_t{7}, 3), "007");
  EXPECT_EQ(FormatZeroPadded(std::int64_t{123}, 4), "0123");
  EXPECT_EQ(FormatZeroPadded(std::int64_t{10234}, 4), "10234");
  EXPECT_EQ(FormatZeroPadded(std::int64_t{-5}, 4), "-0005");
  EXPECT_EQ(FormatZeroPadded(std::numeric_limits<std::int64_t>::min(), 4), "-9223372036854775808");
  EXPECT_EQ(FormatZeroPadded(2639.5, 4), "2640");
  EXPECT_EQ(FormatZeroPadded(2640.5, 4), "2641");
  EXPECT_EQ(FormatZeroPadded(-2.5, 4), "-0003");
  EXPECT_EQ(FormatZeroPadded(-0.4, 4), "0000");
  EXPECT_EQ(FormatZeroPadded(std::nan(""), 4), "0000");
}

TEST(HexText, WritesEveryByteAsTwoUpperCaseDigitsAndABlank) {
  const std::vector<std::uint8_t> bytes{0xA5, 0x5A, 0x05, 0x00, 0xFF};
  EXPECT_EQ(HexText(bytes), "A5 5A 05 00 FF ");
  EXPECT_EQ(HexText({}), "");
  std::string text = "X";
  AppendHexText(text, std::vector<std::uint8_t>{0x0F});
  EXPECT_EQ(text, "X0F ");
}

}  // namespace
}  // namespace scantouch
