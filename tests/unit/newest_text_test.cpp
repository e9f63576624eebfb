#include "toolkit/newest_text.h"

#include <gtest/gtest.h>

#include <string>

namespace scantouch {
namespace {

TEST(NewestText, ShortTextIsShownWhole) {
  EXPECT_EQ(NewestText("", 3), "");
  EXPECT_EQ(NewestText("abc", 3), "abc");
  EXPECT_EQ(NewestText("数据", 6), "数据");
}

TEST(NewestText, LongTextKeepsItsEnd) {
  EXPECT_EQ(NewestText("01 02 03 ", 6), "02 03 ");
  EXPECT_EQ(NewestText("abc", 0), "");
}

// "数" and "据" are three bytes each: a cut inside one drops the whole character, never shows part.
TEST(NewestText, ACutInsideACharacterStartsAtTheNextOne) {
  const std::string text = "a数据";  // 1 + 3 + 3 bytes
  EXPECT_EQ(NewestText(text, 6), "数据");
  EXPECT_EQ(NewestText(text, 5), "据");
  EXPECT_EQ(NewestText(text, 4), "据");
  EXPECT_EQ(NewestText(text, 3), "据");
  EXPECT_EQ(NewestText(text, 2), "");
  // Four-byte characters too.
  EXPECT_EQ(NewestText("x\xF0\x9F\x98\x80y", 4), "y");
}

}  // namespace
}  // namespace scantouch
