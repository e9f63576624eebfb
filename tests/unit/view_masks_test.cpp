#include "background/view_masks.h"

#include <gtest/gtest.h>

#include "comma_locale.h"

namespace scantouch {
namespace {

TEST(ViewMasksTest, CornersInAnyOrderBlanksAndEmptyEntries) {
  const ParsedMasks parsed = ParseMasks(" 100, 200 ,300,400;;5000,7000,4000,6000.5; ");
  EXPECT_TRUE(parsed.refused.empty());
  ASSERT_EQ(parsed.masks.size(), 2u);
  EXPECT_EQ(parsed.masks[0], (ViewMask{100, 200, 300, 400}));
  EXPECT_EQ(parsed.masks[1], (ViewMask{4000, 6000.5, 5000, 7000}));
  EXPECT_TRUE(Masked(parsed.masks, 4000, 7000));  // the edges belong to the mask
  EXPECT_FALSE(Masked(parsed.masks, 3999, 6500));
  EXPECT_TRUE(ParseMasks("").masks.empty());
}

// What cannot be used is told with its text and left out; the rest is used.
TEST(ViewMasksTest, BadEntriesAreRefusedOneByOne) {
  const ParsedMasks parsed = ParseMasks(
      "1,2,3;a,b,c,d;+-5,0,100,100;10,10,10,500;-900,-900,-1,-1;20000,0,30000,100;"
      "1,2,3,4,5;12abc,0,100,100;-50,-50,100,100");
  ASSERT_EQ(parsed.masks.size(), 1u);
  EXPECT_EQ(parsed.masks[0], (ViewMask{-50, -50, 100, 100}));  // partly in the view: used
  std::vector<std::string> reasons;
  for (const ParsedMasks::Refused& refused : parsed.refused)
    reasons.push_back(refused.text + ": " + refused.reason);
  EXPECT_EQ(reasons, (std::vector<std::string>{
                         "1,2,3: not four numbers", "a,b,c,d: not four numbers",
                         "+-5,0,100,100: not four numbers", "10,10,10,500: zero area",
                         "-900,-900,-1,-1: outside the view", "20000,0,30000,100: outside the view",
                         "1,2,3,4,5: not four numbers", "12abc,0,100,100: not four numbers"}));
}

TEST(ViewMasksTest, TheTextReadsBackTheSameMasksUnderADecimalComma) {
  testing::CommaLocale comma;
  if (!comma.available())
    GTEST_SKIP() << testing::CommaLocale::kMissing;
  const std::vector<ViewMask> masks{{100.5, 200, 300, 400.25}, {0, 0, 15000, 20}};
  const std::string text = MasksText(masks);
  EXPECT_EQ(text, "100.5,200,300,400.25;0,0,15000,20");
  EXPECT_EQ(ParseMasks(text).masks, masks);
}

}  // namespace
}  // namespace scantouch
