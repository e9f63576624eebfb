// The simulator's scene and command line: objects that come and go, and what the beams see of them.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "node_stream.h"
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

TEST(SceneObjectTest, IsThereWithinItsTimeAndOnlyDuringItsTaps) {
  SceneObject object = Still({0, -1000});
  EXPECT_TRUE(object.presentAt(0));
  EXPECT_TRUE(object.presentAt(1e6));

  object.appear_s = 2;
  object.disappear_s = 5;
  EXPECT_FALSE(object.presentAt(1.999));
  EXPECT_TRUE(object.presentAt(2));
  EXPECT_TRUE(object.presentAt(4.999));
  EXPECT_FALSE(object.presentAt(5));

  // Down 0.25 s of every second, from 0.5 s into each: 2.5..2.75, 3.5..3.75, 4.5..4.75.
  object.tapPeriod_s = 1;
  object.tapDown_s = 0.25;
  object.tapPhase_s = 0.5;
  std::vector<double> down;
  for (int ms = 0; ms < 6000; ms += 50) {
    if (object.presentAt(ms / 1000.0))
      down.push_back(ms / 1000.0);
  }
  EXPECT_EQ(down, (std::vector<double>{2.5, 2.55, 2.6, 2.65, 2.7, 3.5, 3.55, 3.6, 3.65, 3.7, 4.5,
                                       4.55, 4.6, 4.65, 4.7}));
}

TEST(SceneObjectTest, KeepsMovingWhileAway) {
  SceneObject object = Still({0, -1000});
  object.to = PlanePoint{1000, -1000};
  object.period_s = 4;
  object.tapPeriod_s = 2;
  object.tapDown_s = 0.5;
  // Away at 1 s, yet where the movement puts it: halfway there.
  EXPECT_FALSE(object.presentAt(1));
  EXPECT_DOUBLE_EQ(object.centreAt(1).x, 500);
  EXPECT_TRUE(object.presentAt(2.25));
  EXPECT_DOUBLE_EQ(object.centreAt(2.25).x, 875);
}

TEST(SceneTest, AnObjectThatIsAwayIsNotMeasuredAndCastsNoShadow) {
  Scene scene;
  scene.roomDistanceMm = {6000};
  scene.objects.push_back(Still({0, -1000}));  // straight up, nearer
  scene.objects.push_back(Still({0, -2000}));  // behind it
  scene.objects[0].appear_s = 1;

  EXPECT_NEAR(scene.measure(0, 0.5), 1970, 1e-9);  // the nearer one is away: the farther one
  EXPECT_NEAR(scene.measure(0, 1.5), 970, 1e-9);
  EXPECT_DOUBLE_EQ(scene.visibleShare(1, 0.5), 1);
  EXPECT_DOUBLE_EQ(scene.visibleShare(1, 1.5), 0);  // wholly in the nearer one's shadow
  EXPECT_DOUBLE_EQ(scene.visibleShare(0, 0.5), 0);  // away

  scene.objects[1].disappear_s = 0.8;
  EXPECT_DOUBLE_EQ(scene.measure(0, 0.9), 6000);  // neither is there
}

TEST(SceneTest, VisibleShareCountsTheUnshadowedPartOfTheSpan) {
  Scene scene;
  scene.objects.push_back(Still({0, -2000}, 100));
  scene.objects.push_back(Still({25, -1000}, 50));  // covers the right half of its span
  EXPECT_NEAR(scene.visibleShare(0, 0), 0.5, 1.0 / 32);
  EXPECT_DOUBLE_EQ(scene.visibleShare(1, 0), 1);
  EXPECT_DOUBLE_EQ(scene.visibleShare(7, 0), 0);  // no such object

  scene.objects.push_back(Still({0, 0}, 100));  // around the scanner: no span to see
  EXPECT_DOUBLE_EQ(scene.visibleShare(2, 0), 0);
}

std::optional<SimOptions> Parse(std::vector<std::string> arguments, std::string& error) {
  arguments.insert(arguments.begin(), {"scanner-sim", "--tcp", "9000"});
  std::vector<char*> argv;
  for (std::string& argument : arguments)
    argv.push_back(argument.data());
  return ParseSimOptions(static_cast<int>(argv.size()), argv.data(), error);
}

TEST(SimOptionsTest, PresenceAndTapsApplyToTheObjectBeforeThem) {
  std::string error;
  const auto options = Parse(
      {"--object", "0,1000,60", "--present", "2,5", "--object", "90,1000,60,90,1500,3", "--tap",
       "0.2,1", "--object", "180,1000,60", "--present", "1", "--tap", "0.3,1.5,0.75"},
      error);
  ASSERT_TRUE(options) << error;
  const std::vector<SceneObject>& objects = options->scene.objects;
  ASSERT_EQ(objects.size(), 3u);
  EXPECT_EQ(objects[0].appear_s, 2);
  EXPECT_EQ(objects[0].disappear_s, 5);
  EXPECT_FALSE(objects[0].taps());
  EXPECT_FALSE(objects[1].presentAt(0.5));
  EXPECT_TRUE(objects[1].presentAt(1.1));
  EXPECT_TRUE(objects[1].moves());
  EXPECT_EQ(objects[2].appear_s, 1);
  EXPECT_FALSE(objects[2].presentAt(2.0));
  EXPECT_TRUE(objects[2].presentAt(2.3));
}

TEST(SimOptionsTest, ObjectsWithoutPresenceOrTapsAreThereAllTheTime) {
  std::string error;
  const auto options = Parse({"--object", "0,1000,60"}, error);
  ASSERT_TRUE(options) << error;
  EXPECT_EQ(options->stream.distanceNoiseMm, 0);
  EXPECT_TRUE(options->scene.objects[0].presentAt(0));
  EXPECT_TRUE(options->scene.objects[0].presentAt(86400));
}

TEST(NodeStreamTest, DistanceNoiseSpreadsMeasurementsAroundTheTruth) {
  Scene room;
  room.roomDistanceMm = {3000};
  StreamSettings settings;
  settings.distanceNoiseMm = 10;
  NodeStream stream(room, settings);
  std::vector<std::uint8_t> bytes;
  stream.appendSeconds(bytes, 1);
  double sum = 0;
  double squares = 0;
  const std::size_t count = bytes.size() / 5;
  const auto nodes = static_cast<double>(count);
  for (std::size_t i = 0; i < count; ++i) {
    const double distance = (bytes[5 * i + 3] | bytes[5 * i + 4] << 8) / 4.0 - 3000;
    sum += distance;
    squares += distance * distance;
  }
  EXPECT_NEAR(sum / nodes, 0, 1.5);
  EXPECT_NEAR(std::sqrt(squares / nodes), 10, 1.5);
}

TEST(NodeStreamTest, TheStartFlagIsOnTheFirstNodeOfEachTurnAsTheWireCarriesIt) {
  // 800 nodes a turn put a node on the turn's start, where angle noise sends some just below 360,
  // which the wire carries as 0.
  StreamSettings settings;
  settings.nodesPerSecond = 8000;
  settings.revolutionsPerSecond = 10;
  settings.angleJitterDegrees = 0.05;
  NodeStream stream(Scene{}, settings);
  std::vector<std::uint8_t> bytes;
  stream.appendSeconds(bytes, 3);
  int flags = 0;
  int previousAngle64 = 0;
  for (std::size_t i = 0; i + 5 <= bytes.size(); i += 5) {
    const int angle64 = (bytes[i + 1] | bytes[i + 2] << 8) >> 1;
    const bool flagged = (bytes[i] & 0x03) == 0x01;
    if (i > 0) {
      EXPECT_EQ(flagged, angle64 < previousAngle64 - 180 * 64) << "node " << i / 5;
    }
    flags += flagged ? 1 : 0;
    previousAngle64 = angle64;
  }
  EXPECT_EQ(flags, 30);
}

TEST(SimOptionsTest, RefusesPresenceAndTapsItCannotUse) {
  const std::vector<std::vector<std::string>> refused{
      {"--present", "1,2"},  // no object yet
      {"--tap", "0.2,1"},
      {"--object", "0,1000,60", "--present", "3,2"},
      {"--object", "0,1000,60", "--present", "2,2"},
      {"--object", "0,1000,60", "--present", "-1"},
      {"--object", "0,1000,60", "--present", "1,2,3"},
      {"--object", "0,1000,60", "--present"},
      {"--object", "0,1000,60", "--tap", "0,1"},
      {"--object", "0,1000,60", "--tap", "1.5,1"},
      {"--object", "0,1000,60", "--tap", "0.2,1,1"},
      {"--object", "0,1000,60", "--tap", "0.2,1,-0.1"},
      {"--object", "0,1000,60", "--tap", "0.2"},
      {"--object", "0,1000,60", "--tap", "0.2,inf"},
      {"--noise", "-1"},
  };
  for (const auto& arguments : refused) {
    std::string error;
    EXPECT_FALSE(Parse(arguments, error)) << arguments.back();
    EXPECT_FALSE(error.empty()) << arguments.back();
  }
}

}  // namespace
}  // namespace scanner_sim
