#include "scanners/surface_settings.h"

#include <gtest/gtest.h>

#include <array>

#include "comma_locale.h"
#include "example_setup.h"
#include "recording_log.h"

namespace scantouch {
namespace {

// The pose's numbers as its text gives them, for comparing.
std::optional<std::array<double, 3>> Numbers(const std::optional<Pose>& pose) {
  if (!pose)
    return std::nullopt;
  return std::array<double, 3>{pose->x, pose->y, pose->angleDegrees};
}
using Three = std::array<double, 3>;

class SurfaceSettingsTest : public ::testing::Test {
 protected:
  SurfaceSettingsTest() { settings_.store.reports().setLog(&log_); }

  void write(std::string_view key, std::string_view value) {
    settings_.file.write("触控引擎", key, value);
  }
  // The lines of the log about one key.
  std::vector<std::string> toldAbout(std::string_view key) const {
    std::vector<std::string> lines;
    for (const std::string& line : log_.lines) {
      if (line.find("[触控引擎] " + std::string(key) + " ") != std::string::npos)
        lines.push_back(line);
    }
    return lines;
  }

  examples::InMemorySettings settings_;
  testing::RecordingLog log_;
};

TEST(SurfaceSettings, ReadsPosesAndCornersAndRefusesWhatCannotBeUsed) {
  EXPECT_EQ(PoseText(*ParsePose(" 10000 , 2000.25,-30")), "10000,2000.3,-30");
  EXPECT_FALSE(ParsePose("1,2"));
  EXPECT_FALSE(ParsePose("1,2,3,4"));
  EXPECT_FALSE(ParsePose("1,2,400"));
  EXPECT_FALSE(ParsePose("1,x,3"));
  EXPECT_FALSE(ParsePose("nan,2,3"));
  const auto corners = ParseCorners("0,0;10,0;10,5;0,5");
  ASSERT_TRUE(corners);
  EXPECT_EQ(CornersText(*corners), "0,0;10,0;10,5;0,5");
  EXPECT_FALSE(ParseCorners("0,0;10,0;10,5"));
  EXPECT_FALSE(ParseCorners("0,0;10,0;10,5;0"));

  examples::InMemorySettings settings;
  settings.file.write("触控引擎", "多扫描仪", "1");
  settings.file.write("触控引擎", "扫描仪位姿串口", "7500,7500,0");
  settings.file.write("触控引擎", "扫描仪位姿1", "1,2,3");
  settings.file.write("触控引擎", "扫描仪位姿2", "beyond the channels");
  settings.file.write("触控引擎", "四角标定", "0,0;10,5;10,0;0,5");
  const SurfaceSettings read = ReadSurfaceSettings(settings.file, 2);
  EXPECT_TRUE(read.severalScanners);
  ASSERT_EQ(read.poses.size(), 2u);
  EXPECT_EQ(read.poses.begin()->first, LinkId{});
  EXPECT_EQ(read.poses.rbegin()->first, LinkId{1});
  EXPECT_FALSE(read.fourCorners) << "a bow tie is no calibration";
}

TEST(SurfaceSettings, ADoubledSignIsNoNumber) {
  EXPECT_FALSE(ParsePose("+-5,2000,30"));
  EXPECT_FALSE(ParsePose("10000,-+5,30"));
  EXPECT_FALSE(ParsePose("10000,2000,++30"));
  EXPECT_FALSE(ParseCorners("+-5,0;10,0;10,5;0,5"));
  EXPECT_EQ(Numbers(ParsePose("+5,-2000,+30")), (Three{5, -2000, 30}));
}

// The numbers of the files never follow the locale: a decimal comma would split their fields.
TEST_F(SurfaceSettingsTest, PosesAndCornersSurviveARestartUnderADecimalComma) {
  testing::CommaLocale comma;
  if (!comma.available())
    GTEST_SKIP() << testing::CommaLocale::kMissing;
  const Pose pose{10000, 2000.25, -30.04};
  const SurfaceMapping::Corners corners{PlanePoint{5500.5, 2000}, PlanePoint{9500, 2000.25},
                                        PlanePoint{10000, 5000}, PlanePoint{5000, 4999.9}};
  EXPECT_EQ(PoseText(pose), "10000,2000.3,-30");
  EXPECT_EQ(CornersText(corners), "5500.5,2000;9500,2000.3;10000,5000;5000,4999.9");

  write("多扫描仪", "1");
  write("扫描仪位姿0", PoseText(pose));
  write("四角标定", CornersText(corners));
  const SurfaceSettings read = ReadSurfaceSettings(settings_.file, 4);
  ASSERT_EQ(read.poses.size(), 1u);
  EXPECT_EQ(Numbers(read.poses.begin()->second), (Three{10000, 2000.3, -30}));
  ASSERT_TRUE(read.fourCorners);
  EXPECT_EQ((*read.fourCorners)[1], (PlanePoint{9500, 2000.3}));
  EXPECT_TRUE(log_.lines.empty());
}

TEST_F(SurfaceSettingsTest, WhatAnEarlierVersionWroteUnderADecimalCommaIsRead) {
  EXPECT_EQ(Numbers(ParsePose("10000,0,2000,3,-30,0")), (Three{10000, 2000.3, -30}));
  const auto corners = ParseCorners("5500,5,2000,0;9500,0,2000,0;10000,0,5000,0;5000,0,5000,0");
  ASSERT_TRUE(corners);
  EXPECT_EQ((*corners)[0], (PlanePoint{5500.5, 2000}));
  // Only that form: twice the fields, every second a single digit.
  EXPECT_FALSE(ParsePose("10000,0,2000,30,-30,0"));
  EXPECT_FALSE(ParsePose("10000,0,2000,0,-30"));
}

TEST_F(SurfaceSettingsTest, APoseOfAChannelTheWindowDoesNotHaveIsTold) {
  write("多扫描仪", "1");
  write("扫描仪位姿3", "10000,2000,30");
  write("扫描仪位姿5", "10000,2000,30");
  const SurfaceSettings read = ReadSurfaceSettings(settings_.file, 4);
  EXPECT_EQ(read.poses.size(), 1u);
  EXPECT_TRUE(toldAbout("扫描仪位姿3").empty());
  ASSERT_EQ(toldAbout("扫描仪位姿5").size(), 1u);
  EXPECT_NE(toldAbout("扫描仪位姿5")[0].find("4 channels"), std::string::npos) << log_.lines[0];
}

TEST_F(SurfaceSettingsTest, CornersThatCannotBeReadAreNotCalledConcave) {
  write("四角标定", "0,0;10,0;10,5");
  EXPECT_FALSE(ReadSurfaceSettings(settings_.file, 0).fourCorners);
  ASSERT_EQ(toldAbout("四角标定").size(), 1u);
  EXPECT_NE(toldAbout("四角标定")[0].find("cannot be read"), std::string::npos);
  EXPECT_EQ(toldAbout("四角标定")[0].find("convex"), std::string::npos);

  examples::InMemorySettings bowTie;
  testing::RecordingLog log;
  bowTie.store.reports().setLog(&log);
  bowTie.file.write("触控引擎", "四角标定", "0,0;10,5;10,0;0,5");
  EXPECT_FALSE(ReadSurfaceSettings(bowTie.file, 0).fourCorners);
  EXPECT_TRUE(log.mentions("not a convex quadrilateral"));
}

}  // namespace
}  // namespace scantouch
