// Several scanners of one scene: each sees the objects from where it stands.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "node_stream.h"
#include "scanner_pose.h"
#include "scene.h"
#include "sim_options.h"

namespace scanner_sim {
namespace {

SceneObject Still(PlanePoint at, double diameterMm = 60) {
  SceneObject object;
  object.from = at;
  object.diameterMm = diameterMm;
  return object;
}

TEST(ScannerPoseTest, APointASecondScannerSeesLiesWhereItsPoseSays) {
  // Turned a quarter clockwise: its own straight up points to the first scanner's right.
  const ScannerPose pose{1000, 500, 90};
  const PlanePoint ahead = ToFirstScanner(pose, PolarToPlane(0, 200));
  EXPECT_NEAR(ahead.x, 1200, 1e-9);
  EXPECT_NEAR(ahead.y, 500, 1e-9);
  // x = X + d sin(a + angle), y = Y - d cos(a + angle) for any a.
  const ScannerPose turned{-300, 700, 30};
  const PlanePoint seen = ToFirstScanner(turned, PolarToPlane(100, 400));
  EXPECT_NEAR(seen.x, -300 + 400 * std::sin(130 * std::numbers::pi / 180), 1e-9);
  EXPECT_NEAR(seen.y, 700 - 400 * std::cos(130 * std::numbers::pi / 180), 1e-9);
  const PlanePoint back = FromFirstScanner(turned, seen);
  EXPECT_NEAR(back.x, PolarToPlane(100, 400).x, 1e-9);
  EXPECT_NEAR(back.y, PolarToPlane(100, 400).y, 1e-9);

  // An object placed there is measured by the second scanner straight ahead, moving with it.
  Scene scene;
  scene.objects.push_back(Still(ahead, 60));
  scene.objects[0].to = PlanePoint{1000, 1100};  // 600 mm below the second scanner
  const Scene second = SceneSeenFrom(scene, pose);
  EXPECT_NEAR(second.measure(0, 0), 170, 1e-6);
  EXPECT_NEAR(second.measure(90, scene.objects[0].period_s / 2), 570, 1e-6);
  EXPECT_EQ(second.roomDistanceMm, scene.roomDistanceMm);
}

TEST(ScannerPoseTest, WhatOneScannerCannotSeeBehindAnObjectTheOtherSees) {
  Scene scene;
  scene.objects.push_back(Still({0, -1000}));
  scene.objects.push_back(Still({0, -2000}));  // behind the first for the first scanner
  EXPECT_NEAR(scene.measure(0, 0), 970, 1e-9);
  EXPECT_DOUBLE_EQ(scene.visibleShare(1, 0), 0);

  // Beside the far one, looking left at it (its 270 degrees), the near one off its beam.
  const Scene second = SceneSeenFrom(scene, ScannerPose{1000, -2000, 0});
  EXPECT_NEAR(second.measure(270, 0), 970, 1e-9);
  EXPECT_DOUBLE_EQ(second.visibleShare(1, 0), 1);
  EXPECT_DOUBLE_EQ(second.visibleShare(0, 0), 1);
}

TEST(ScannerPoseTest, TheRoomsFurnitureStandsWhereItIsForEveryScanner) {
  // A post and a bar of the first scanner's room, seen by a scanner 1 m to its right and turned
  // 90 degrees: the post straight ahead of it, the bar to its left; its walls are its own.
  Scene scene;
  scene.clutter.push_back(Still({1000, -1000}, 40));
  scene.segments.push_back(SceneSegment{{-500, -3000}, {-500, 3000}});
  scene.wallSectors = {AngleSector{0, 180}};
  const Scene second = SceneSeenFrom(scene, ScannerPose{1000, 0, 90});
  EXPECT_NEAR(second.measure(270, 0), 980, 1e-9);
  EXPECT_NEAR(second.measure(180, 0), 1500, 1e-9);
  EXPECT_NEAR(second.measure(200, 0), 1500 / std::cos(20 * std::numbers::pi / 180), 1e-6);
  EXPECT_EQ(second.measure(90, 0), 6000);  // its own wall
  EXPECT_EQ(second.measure(300, 0), 0);    // its own open space
}

std::optional<SimOptions> Parse(std::vector<std::string> arguments, std::string& error) {
  arguments.insert(arguments.begin(), {"scanner-sim", "--tcp", "9000"});
  std::vector<char*> argv;
  for (std::string& argument : arguments)
    argv.push_back(argument.data());
  return ParseSimOptions(static_cast<int>(argv.size()), argv.data(), error);
}

TEST(SimOptionsTest, FurtherScannersTakeTheFirstsSettingsUnlessTheyHaveTheirOwn) {
  std::string error;
  const auto options =
      Parse({"--scanner", "tcp:9001,1000,-500,45", "--scanner",
             "pty:/tmp/second scanner,0,800,180,3000,7", "--rate", "4000", "--noise", "5"},
            error);
  ASSERT_TRUE(options) << error;
  ASSERT_EQ(options->scanners.size(), 2u);
  const FurtherScanner& tcp = options->scanners[0];
  EXPECT_EQ(tcp.tcpPort, 9001);
  EXPECT_EQ(tcp.pose.x, 1000);
  EXPECT_EQ(tcp.pose.y, -500);
  EXPECT_EQ(tcp.pose.angleDegrees, 45);
  EXPECT_EQ(tcp.stream.nodesPerSecond, 4000);  // given after it, still the first's
  EXPECT_EQ(tcp.stream.revolutionsPerSecond, 5.5);
  EXPECT_EQ(tcp.stream.distanceNoiseMm, 5);
  const FurtherScanner& pty = options->scanners[1];
  EXPECT_EQ(pty.ptyLink, "/tmp/second scanner");
  EXPECT_EQ(pty.stream.nodesPerSecond, 3000);
  EXPECT_EQ(pty.stream.revolutionsPerSecond, 7);
  // Not in step with the first nor with each other, and with noise of their own.
  EXPECT_EQ(options->stream.turnPhase, 0);
  EXPECT_GT(tcp.stream.turnPhase, 0.1);
  EXPECT_GT(std::abs(pty.stream.turnPhase - tcp.stream.turnPhase), 0.1);
  EXPECT_NE(tcp.stream.seed, options->stream.seed);
  EXPECT_NE(pty.stream.seed, tcp.stream.seed);

  const std::vector<std::vector<std::string>> refused{
      {"--scanner", "tcp:9000,0,0,0"},  // the first scanner's port
      {"--scanner", "tcp:9001,0,0,0", "--scanner", "tcp:9001,5,0,0"},
      {"--scanner", "udp:9001,0,0,0"},
      {"--scanner", "tcp:9001,0,0"},
      {"--scanner", "tcp:9001,0,0,0,0"},  // no nodes at all
      {"--scanner", "pty:,0,0,0"},
      {"--scanner"},
  };
  for (const auto& arguments : refused) {
    std::string refusal;
    EXPECT_FALSE(Parse(arguments, refusal)) << arguments.back();
    EXPECT_FALSE(refusal.empty()) << arguments.back();
  }
}

TEST(NodeStreamTest, AStreamStartingWithinATurnFlagsOnlyTheTurnsItReachesTheStartOf) {
  StreamSettings settings;
  settings.nodesPerSecond = 3600;
  settings.revolutionsPerSecond = 10;  // a degree a node
  settings.turnPhase = 0.25;
  NodeStream stream(Scene{}, settings);
  std::vector<std::uint8_t> bytes;
  stream.appendSeconds(bytes, 0.1);
  ASSERT_EQ(bytes.size(), 360u * 5);
  EXPECT_EQ((bytes[1] | bytes[2] << 8) >> 1, 90 * 64);
  for (std::size_t node = 0; node < 360; ++node) {
    EXPECT_EQ((bytes[5 * node] & 0x03) == 0x01, node == 270) << node;
  }
}

}  // namespace
}  // namespace scanner_sim
