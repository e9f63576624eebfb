// The listing a golden-file mismatch prints: it is all a reviewer sees of a changed record, so it
// must point at the lines that moved and no others.

#include "golden_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace scantouch {
namespace {

using testing::UnifiedLineDiff;

std::string Numbered(int from, int to) {
  std::string text;
  for (int i = from; i <= to; ++i)
    text += "line " + std::to_string(i) + "\n";
  return text;
}

TEST(GoldenFileTest, AChangedLineShowsWithItsContextAndWhereItIs) {
  std::string changed = Numbered(1, 20);
  changed.replace(changed.find("line 10\n"), 8, "line ten\n");
  EXPECT_EQ(UnifiedLineDiff(Numbered(1, 20), changed),
            "@@ -7,7 +7,7 @@\n line 7\n line 8\n line 9\n-line 10\n+line ten\n line 11\n line 12\n"
            " line 13\n");
  EXPECT_EQ(UnifiedLineDiff(Numbered(1, 20), Numbered(1, 20)), "");
}

// An extra event early in a record must not show as every later line changed.
TEST(GoldenFileTest, ALineAddedOrLostIsThatLineAlone) {
  const std::string added = "line 1\nline 2\nextra\n" + Numbered(3, 30);
  EXPECT_EQ(UnifiedLineDiff(Numbered(1, 30), added, 1),
            "@@ -2,2 +2,3 @@\n line 2\n+extra\n line 3\n");
  EXPECT_EQ(UnifiedLineDiff(added, Numbered(1, 30), 1),
            "@@ -2,3 +2,2 @@\n line 2\n-extra\n line 3\n");
  // At the very end, and changes far apart in hunks of their own.
  EXPECT_EQ(UnifiedLineDiff(Numbered(1, 3), Numbered(1, 4), 1),
            "@@ -3,1 +3,2 @@\n line 3\n+line 4\n");
  std::string twice = Numbered(1, 30);
  twice.replace(twice.find("line 5\n"), 7, "five\n");
  twice.replace(twice.find("line 25\n"), 8, "twenty-five\n");
  EXPECT_EQ(UnifiedLineDiff(Numbered(1, 30), twice, 0),
            "@@ -5,1 +5,1 @@\n-line 5\n+five\n@@ -25,1 +25,1 @@\n-line 25\n+twenty-five\n");
}

TEST(GoldenFileTest, ALongListingIsCutAndSaysHowMuchIsLeft) {
  const std::string diff = UnifiedLineDiff(Numbered(1, 100), Numbered(101, 200), 3, 10);
  EXPECT_NE(diff.find("-line 10\n"), std::string::npos);
  EXPECT_EQ(diff.find("-line 11\n"), std::string::npos);
  EXPECT_NE(diff.find("... and 190 more changed lines\n"), std::string::npos);
}

TEST(GoldenFileTest, AMismatchNamesTheFileAndAMissingFileSaysHowToMakeIt) {
  const std::string path =
      (std::filesystem::temp_directory_path() / "scantouch-golden-file-test.txt").string();
  std::ofstream(path, std::ios::binary) << "same\nbefore\n";
  EXPECT_TRUE(testing::ComparedWithGoldenFile(path, "same\nbefore\n"));
  const auto changed = testing::ComparedWithGoldenFile(path, "same\nafter\n");
  EXPECT_FALSE(changed);
  EXPECT_NE(std::string(changed.message())
                .find("--- " + path +
                      "\n+++ this run\n@@ -1,2 +1,2 @@\n"
                      " same\n-before\n+after\n"),
            std::string::npos)
      << changed.message();
  // A file written with Windows line ends shows nothing in the listing, but does not match.
  std::ofstream(path, std::ios::binary) << "same\r\nbefore\r\n";
  EXPECT_FALSE(testing::ComparedWithGoldenFile(path, "same\nbefore\n"));
  std::filesystem::remove(path);

  const auto missing = testing::ComparedWithGoldenFile(path, "a\n");
  EXPECT_FALSE(missing);
  EXPECT_NE(std::string(missing.message()).find("SCANTOUCH_UPDATE_GOLDEN=1"), std::string::npos);
}

}  // namespace
}  // namespace scantouch
