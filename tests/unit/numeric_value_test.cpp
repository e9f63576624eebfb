#include "common/numeric_value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "common/pair.h"
#include "common/rounding.h"
#include "common/turn_remainder.h"

namespace scantouch {
namespace {

TEST(NumericValue, ReadsSignsPointsAndExponents) {
  EXPECT_EQ(NumericValue("42"), 42);
  EXPECT_EQ(NumericValue("-3.5"), -3.5);
  EXPECT_EQ(NumericValue("+7"), 7);
  EXPECT_EQ(NumericValue(".5"), 0.5);
  EXPECT_EQ(NumericValue("5."), 5);
  EXPECT_EQ(NumericValue("1.5E3"), 1500);
  EXPECT_EQ(NumericValue("1.5e-1"), 0.15);
  EXPECT_EQ(NumericValue("2D2"), 200);
  EXPECT_EQ(NumericValue("2d+2"), 200);
  EXPECT_EQ(NumericValue("-2E-2"), -0.02);
  // An exponent marker without digits is not part of the number.
  EXPECT_EQ(NumericValue("3E"), 3);
  EXPECT_EQ(NumericValue("3E+"), 3);
}

TEST(NumericValue, StopsAtTheFirstCharacterThatCannotContinue) {
  EXPECT_EQ(NumericValue("1024,768"), 1024);
  EXPECT_EQ(NumericValue("12abc"), 12);
  EXPECT_EQ(NumericValue("1.2.3"), 1.2);
  EXPECT_EQ(NumericValue("--1"), 0);
  EXPECT_EQ(NumericValue("+-5"), 0);
  EXPECT_EQ(NumericValue("abc"), 0);
  EXPECT_EQ(NumericValue(""), 0);
  EXPECT_EQ(NumericValue(","), 0);
  EXPECT_EQ(NumericValue("-"), 0);
  EXPECT_EQ(NumericValue("."), 0);
}

TEST(NumericValue, SkipsBlanksTabsAndLineFeedsAnywhere) {
  EXPECT_EQ(NumericValue("  \t\n 12"), 12);
  EXPECT_EQ(NumericValue("1 2\t3"), 123);
  EXPECT_EQ(NumericValue("- 4 . 5"), -4.5);
  // A carriage return is not one of them and ends the number.
  EXPECT_EQ(NumericValue("7\r8"), 7);
}

TEST(NumericValue, ReadsHexadecimalAfterAmpersandH) {
  EXPECT_EQ(NumericValue("&H3E"), 62);
  EXPECT_EQ(NumericValue("&hff"), 255);
  EXPECT_EQ(NumericValue("&H 1 0"), 16);
  EXPECT_EQ(NumericValue("&H"), 0);
  EXPECT_EQ(NumericValue("&HG"), 0);
  EXPECT_EQ(NumericValue("&O17"), 0);
  EXPECT_EQ(NumericValue("&H10,5"), 16);
}

TEST(NumericValue, HugeAndTinyNumbersDoNotBreakReading) {
  EXPECT_TRUE(std::isinf(NumericValue("1E999")));
  EXPECT_TRUE(std::isinf(NumericValue("-1E999")));
  EXPECT_EQ(NumericValue("1E-999"), 0);
  EXPECT_EQ(NumericValue("0." + std::string(1000, '0') + "1"), 0);
  EXPECT_EQ(NumericValue(std::string(100000, '9')), std::numeric_limits<double>::infinity());
  EXPECT_EQ(NumericValue("1E" + std::string(5000, '0') + "1"), 10);
}

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven32(2.5), 2);
  EXPECT_EQ(RoundHalfEven32(3.5), 4);
  EXPECT_EQ(RoundHalfEven32(-2.5), -2);
  EXPECT_EQ(RoundHalfEven32(-3.5), -4);
  EXPECT_EQ(RoundHalfEven32(0.5), 0);
  EXPECT_EQ(RoundHalfEven32(2.4999), 2);
  EXPECT_EQ(RoundHalfEven32(2.5001), 3);
  EXPECT_EQ(RoundHalfEven32(-0.4), 0);
}

TEST(RoundHalfEven, ValuesBeyondTheRangeAreErrors) {
  EXPECT_EQ(RoundHalfEven16(32767.4), 32767);
  EXPECT_EQ(RoundHalfEven16(32767.5), std::nullopt);  // 32768 does not fit
  EXPECT_EQ(RoundHalfEven16(-32768.5), -32768);       // the even neighbour does
  EXPECT_EQ(RoundHalfEven16(-32769), std::nullopt);
  EXPECT_EQ(RoundHalfEven32(2147483647.0), 2147483647);
  EXPECT_EQ(RoundHalfEven32(2147483647.5), std::nullopt);
  EXPECT_EQ(RoundHalfEven32(-2147483648.5), -2147483648);
  EXPECT_EQ(RoundHalfEven32(std::numeric_limits<double>::infinity()), std::nullopt);
  EXPECT_EQ(RoundHalfEven32(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
}

TEST(RoundHalfEven, UnboundedAgreesWithFloorAndTiesToEvenEverywhere) {
  // What the rounding is defined as, written the slow way.
  const auto reference = [](double x) {
    const double below = std::floor(x);
    const double fraction = x - below;
    if (fraction > 0.5)
      return below + 1;
    if (fraction < 0.5)
      return below;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
  };
  std::vector<double> values{0.0,
                             -0.0,
                             0.49999999999999994,
                             -0.5,
                             -1.5,
                             1e15 + 0.5,
                             4503599627370495.5,
                             4503599627370496.0,
                             -4503599627370495.5,
                             9007199254740993.0,
                             1e300,
                             -1e300};
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> spread(-1e7, 1e7);
  for (int i = 0; i < 20000; ++i) {
    const double x = spread(random);
    values.push_back(x);
    values.push_back(std::floor(x) + 0.5);  // ties
  }
  for (const double x : values) {
    const double rounded = RoundHalfEvenUnbounded(x);
    EXPECT_EQ(rounded, reference(x)) << x;
    EXPECT_EQ(std::signbit(rounded), std::signbit(reference(x))) << x;
  }
  EXPECT_TRUE(std::isnan(RoundHalfEvenUnbounded(std::numeric_limits<double>::quiet_NaN())));
  EXPECT_EQ(RoundHalfEvenUnbounded(-std::numeric_limits<double>::infinity()),
            -std::numeric_limits<double>::infinity());
}

TEST(TurnRemainder, IsFmodBitForBit) {
  std::vector<double> values{0.0,
                             -0.0,
                             360.0,
                             359.99999999999994,
                             720.0,
                             2879.9,
                             2880.0,
                             -360.0,
                             -0.25,
                             1e300,
                             std::numeric_limits<double>::infinity()};
  std::mt19937_64 random(12);
  std::uniform_real_distribution<double> spread(-100, 3000);
  for (int i = 0; i < 20000; ++i)
    values.push_back(spread(random));
  for (int angle64 = 0; angle64 < 360 * 64; angle64 += 7)
    values.push_back(angle64 / 64.0 + 0.1 + 720.0);  // as the decoder forms a node's angle
  for (const double x : values) {
    const double remainder = TurnRemainder(x);
    const double reference = std::fmod(x, 360.0);
    EXPECT_TRUE(remainder == reference || (std::isnan(remainder) && std::isnan(reference))) << x;
    EXPECT_EQ(std::signbit(remainder), std::signbit(reference)) << x;
  }
}

TEST(ParsePair, SplitsAtTheTextsOwnFirstComma) {
  EXPECT_EQ(ParsePair("1024,768"), (IntPair{1024, 768}));
  EXPECT_EQ(ParsePair(" 10 , -20 "), (IntPair{10, -20}));
  EXPECT_EQ(ParsePair("2.5,3.5"), (IntPair{2, 4}));
  EXPECT_EQ(ParsePair("1,2,3"), (IntPair{1, 2}));
  EXPECT_EQ(ParsePair("10234,0567"), (IntPair{10234, 567}));
  EXPECT_EQ(ParsePair(",5"), (IntPair{0, 5}));
  EXPECT_EQ(ParsePair("abc,def"), (IntPair{0, 0}));
}

TEST(ParsePair, WithoutACommaTheWholeTextIsTheSecondNumber) {
  EXPECT_EQ(ParsePair("1920"), (IntPair{0, 1920}));
  EXPECT_EQ(ParsePair(""), (IntPair{0, 0}));
}

TEST(ParsePair, ASideBeyond32BitsIsAnError) {
  EXPECT_EQ(ParsePair("3000000000,1"), std::nullopt);
  EXPECT_EQ(ParsePair("1,1E10"), std::nullopt);
}

}  // namespace
}  // namespace scantouch
