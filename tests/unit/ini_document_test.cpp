#include "config/ini_document.h"

#include <gtest/gtest.h>

#include <string>

namespace scantouch {
namespace {

TEST(IniDocument, ReadsWindowsFilesWithBlanksCommentsAndCrlf) {
  const std::string file =
      "; written by hand\r\n"
      "[ 参数设置 ]\r\n"
      "  灵敏度 =  3.5 \r\n"
      "# another comment\r\n"
      "雷达位置=7500,7500\r\n"
      "empty=\r\n"
      "\r\n"
      "[Other]\n"
      "Key=lf only";
  EXPECT_EQ(FindIniValue(file, "参数设置", "灵敏度"), "3.5");
  EXPECT_EQ(FindIniValue(file, "参数设置", "雷达位置"), "7500,7500");
  EXPECT_EQ(FindIniValue(file, "参数设置", "empty"), "");
  EXPECT_EQ(FindIniValue(file, "other", "KEY"), "lf only");  // ASCII case does not count
  EXPECT_EQ(FindIniValue(file, "参数设置", "Key"), std::nullopt);
  EXPECT_EQ(FindIniValue(file, "参数设置", "; written by hand"), std::nullopt);
  EXPECT_EQ(FindIniValue(file, "missing", "灵敏度"), std::nullopt);
}

TEST(IniDocument, TheFirstOfDuplicateSectionsAndKeysCountsAndKeysOutsideSectionsBelongToNone) {
  const std::string file = "k=outside\n[s]\nk=first\nk=second\n[s]\nk=third\nonly=later\n";
  EXPECT_EQ(FindIniValue(file, "s", "k"), "first");
  EXPECT_EQ(FindIniValue(file, "s", "only"), std::nullopt);
  EXPECT_EQ(FindIniValue(file, "", "k"), std::nullopt);
}

TEST(IniDocument, ReplacesAKeyInPlaceAndLeavesEverythingElseAlone) {
  const std::string file = "; c\r\n[a]\r\n x = 1 \r\n y=2\r\n[b]\r\nx=3\r\n";
  EXPECT_EQ(SetIniValue(file, "a", "x", "9"), "; c\r\n[a]\r\nx=9\r\n y=2\r\n[b]\r\nx=3\r\n");
  EXPECT_EQ(SetIniValue(file, "B", "x", ""), "; c\r\n[a]\r\n x = 1 \r\n y=2\r\n[b]\r\nx=\r\n");
}

TEST(IniDocument, AddsKeysAfterTheirSectionsLastEntryAndNewSectionsAtTheEnd) {
  const std::string file = "[a]\nx=1\n\n[b]\nz=3";
  EXPECT_EQ(SetIniValue(file, "a", "y", "2"), "[a]\nx=1\ny=2\n\n[b]\nz=3");
  EXPECT_EQ(SetIniValue(file, "b", "w", "4"), "[a]\nx=1\n\n[b]\nz=3\nw=4\n");
  EXPECT_EQ(SetIniValue(file, "c", "v", "5"), "[a]\nx=1\n\n[b]\nz=3\n[c]\nv=5\n");
  EXPECT_EQ(SetIniValue("", "参数设置", "灵敏度", "2"), "[参数设置]\r\n灵敏度=2\r\n");
}

TEST(IniDocument, ALastLineEndingInALoneCrKeepsItsValueWhenAKeyFollows) {
  const std::string file = "[s]\r\nk=1\r";
  EXPECT_EQ(SetIniValue(file, "s", "n", "2"), "[s]\r\nk=1\r\nn=2\r\n");
  EXPECT_EQ(FindIniValue(SetIniValue(file, "t", "n", "2"), "s", "k"), "1");
}

TEST(IniDocument, WritingWhatIsThereAlreadyChangesNoByte) {
  std::string file = SetIniValue("", "s", "k", "v");
  file = SetIniValue(file, "t", "k", "w");
  EXPECT_EQ(SetIniValue(file, "s", "k", "v"), file);
  EXPECT_EQ(SetIniValue(file, "t", "k", "w"), file);
}

TEST(IniDocument, SurvivesHugeLinesAndBinaryGarbage) {
  std::string garbage(1 << 20, '\0');
  for (std::size_t i = 0; i < garbage.size(); ++i)
    garbage[i] = static_cast<char>((i * 7919) % 251);
  EXPECT_EQ(FindIniValue(garbage, "s", "k"), std::nullopt);
  const std::string longLine = "[s]\nk=" + std::string(100000, 'x') + "\n";
  EXPECT_EQ(FindIniValue(longLine, "s", "k")->size(), 100000u);
  EXPECT_EQ(FindIniValue(SetIniValue(garbage, "s", "k", "v"), "s", "k"), "v");
}

}  // namespace
}  // namespace scantouch
