#include "web/json_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "comma_locale.h"

namespace scantouch {
namespace {

std::string String(std::string_view text) {
  std::string out;
  AppendJsonString(out, text);
  return out;
}

std::string Number(double value, int decimals) {
  std::string out;
  AppendJsonNumber(out, value, decimals);
  return out;
}

TEST(JsonText, EscapesWhatJsonMustAndKeepsEveryMessageValidUtf8) {
  EXPECT_EQ(String("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\u000a\\u0001\"");
  EXPECT_EQ(String("通道1"), "\"通道1\"");
  // A byte that starts nothing, a cut sequence, an overlong slash and a surrogate.
  EXPECT_EQ(String("\xFF"), "\"\xEF\xBF\xBD\"");
  EXPECT_EQ(String("\xE9\x80"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");
  EXPECT_EQ(String("\xC0\xAF"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");
  EXPECT_EQ(String("\xED\xA0\x80"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"");
}

TEST(JsonText, WritesNumbersWithAPointUnderEveryLocaleAndNothingJsonCannotCarry) {
  testing::CommaLocale comma;
  if (!comma.available())
    GTEST_SKIP() << testing::CommaLocale::kMissing;
  EXPECT_EQ(Number(0.5, 4), "0.5");
  EXPECT_EQ(Number(4485.94, 1), "4485.9");
  EXPECT_EQ(Number(7500, 1), "7500");
  EXPECT_EQ(Number(-0.00001, 2), "0");
  EXPECT_EQ(Number(std::nan(""), 1), "0");
  EXPECT_EQ(Number(HUGE_VAL, 1), "0");

  std::string out;
  JsonObject object(out);
  object.text("name", "COM3").number("u", 0.125, 4).boolean("connected", false);
  object.member("points") += "[]";
  object.end();
  EXPECT_EQ(out, "{\"name\":\"COM3\",\"u\":0.125,\"connected\":false,\"points\":[]}");
}

}  // namespace
}  // namespace scantouch
