// The simulator's scene and command line: objects that come and go, and what the beams see of them.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "node_stream.h"
#include "rooms.h"
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

// A node as the wire carries it.
struct WireNode {
  double angle;
  double distanceMm;
  int quality;
  bool start;
};

std::vector<WireNode> Nodes(const std::vector<std::uint8_t>& bytes) {
  std::vector<WireNode> nodes;
  for (std::size_t i = 0; i + 5 <= bytes.size(); i += 5) {
    nodes.push_back(WireNode{((bytes[i + 1] | bytes[i + 2] << 8) >> 1) / 64.0,
                             (bytes[i + 3] | bytes[i + 4] << 8) / 4.0, bytes[i] >> 2,
                             (bytes[i] & 0x03) == 0x01});
  }
  return nodes;
}

// The angle node `k` of a stream without angle jitter is measured at, as the wire carries it.
double SweepAngle(std::size_t k, const StreamSettings& settings) {
  const double turns =
      static_cast<double>(k) / settings.nodesPerSecond * settings.revolutionsPerSecond;
  return static_cast<double>(std::lround((turns - std::floor(turns)) * 360 * 64) % (360 * 64)) / 64;
}

TEST(RoomTest, BeamsIntoOpenSpaceSendNoReturnNodesAndEveryTurnStillStartsOnce) {
  // 800 nodes a turn; in each room a measured node lies only where a wall is, every other node
  // finds nothing: distance 0, the no-return quality, an angle that wanders. The turn's start
  // falls in open space in two of them, where the flag is carried by a no-return node.
  StreamSettings settings;
  settings.nodesPerSecond = 8000;
  settings.revolutionsPerSecond = 10;
  for (const RoomKind kind : {RoomKind::openQuarter, RoomKind::half, RoomKind::zeroOpen}) {
    Scene scene;
    scene.roomDistanceMm = {5000};
    FurnishRoom(scene, kind, TouchArea{});
    NodeStream stream(scene, settings);
    std::vector<std::uint8_t> bytes;
    stream.appendSeconds(bytes, 3);
    const std::vector<WireNode> nodes = Nodes(bytes);
    int flags = 0;
    std::size_t lastFlag = 0;
    int noReturn = 0;
    for (std::size_t k = 0; k < nodes.size(); ++k) {
      const WireNode& node = nodes[k];
      const double sweep = SweepAngle(k, settings);
      if (node.start) {
        if (flags > 0) {
          EXPECT_NEAR(static_cast<double>(k - lastFlag), 800, 1) << RoomName(kind);
        }
        lastFlag = k;
        ++flags;
      }
      if (scene.wallAt(sweep)) {
        EXPECT_EQ(node.distanceMm, 5000) << RoomName(kind) << " at " << sweep;
        EXPECT_EQ(node.quality, settings.quality);
        continue;
      }
      ++noReturn;
      EXPECT_EQ(node.distanceMm, 0) << RoomName(kind) << " at " << sweep;
      EXPECT_EQ(node.quality, settings.noReturnQuality);
      EXPECT_LE(std::abs(std::remainder(node.angle - sweep, 360.0)),
                settings.noReturnJitterDegrees + 0.02);
    }
    EXPECT_EQ(flags, 30) << RoomName(kind);
    const double openShare = kind == RoomKind::openQuarter ? 94.0 / 360
                             : kind == RoomKind::half      ? 0.5
                                                           : 0.25;
    EXPECT_NEAR(noReturn / static_cast<double>(nodes.size()), openShare, 0.01) << RoomName(kind);
  }
  Scene zeroOpen;
  FurnishRoom(zeroOpen, RoomKind::zeroOpen, TouchArea{});
  EXPECT_FALSE(zeroOpen.wallAt(0));
  EXPECT_FALSE(zeroOpen.wallAt(359));
  EXPECT_TRUE(zeroOpen.wallAt(45));
  EXPECT_TRUE(zeroOpen.wallAt(180));
}

TEST(RoomTest, AHandInFrontOfOpenSpaceIsMeasured) {
  Scene scene;
  FurnishRoom(scene, RoomKind::zeroOpen, TouchArea{});
  scene.objects.push_back(Still({0, -1000}, 60));
  EXPECT_NEAR(scene.measure(0, 0), 970, 1e-9);
  EXPECT_EQ(scene.measure(10, 0), 0);  // beside it: nothing within range
  EXPECT_DOUBLE_EQ(scene.visibleShare(0, 0), 1);
}

TEST(RoomTest, ClutterIsMeasuredWhereItStandsAndCastsShadows) {
  const TouchArea area{-1000, -1325, 2000, 1125};
  Scene scene;
  scene.roomDistanceMm = {7000};
  FurnishRoom(scene, RoomKind::clutter, area);
  ASSERT_EQ(scene.clutter.size(), 2u);
  ASSERT_EQ(scene.segments.size(), 1u);
  // A post 40 mm across at 20% of the width and 35% of the height: its near side on its bearing.
  const PlanePoint post{-1000 + 0.2 * 2000, -1325 + 0.35 * 1125};
  const double bearing = std::atan2(post.x, -post.y) * 180 / std::numbers::pi;
  EXPECT_NEAR(scene.measure(bearing, 0), std::hypot(post.x, post.y) - 20, 1e-6);
  // The bar, 25 mm inside the left edge, from 10% to 90% of the height: the beam to its middle
  // meets it there.
  const PlanePoint bar{-975, -1325 + 0.5 * 1125};
  const double barBearing = std::atan2(bar.x, -bar.y) * 180 / std::numbers::pi + 360;
  EXPECT_NEAR(scene.measure(barBearing, 0), std::hypot(bar.x, bar.y), 1e-6);
  EXPECT_EQ(scene.echo(barBearing, 0).spreadMm, 0);  // a bar sends back where it is
  // A hand straight behind the post is in its shadow; the post stays there, never a hand.
  scene.objects.push_back(Still({post.x * 1.5, post.y * 1.5}, 30));
  EXPECT_DOUBLE_EQ(scene.visibleShare(0, 0), 0);
  EXPECT_EQ(scene.objects.size(), 1u);

  // Its stream measures both, at every turn.
  StreamSettings settings;
  settings.nodesPerSecond = 36000;
  settings.revolutionsPerSecond = 10;  // a tenth of a degree a node
  NodeStream stream(scene, settings);
  std::vector<std::uint8_t> bytes;
  stream.appendSeconds(bytes, 0.1);
  int onPost = 0;
  int onBar = 0;
  for (const WireNode& node : Nodes(bytes)) {
    const PlanePoint at = PolarToPlane(node.angle, node.distanceMm);
    onPost += std::hypot(at.x - post.x, at.y - post.y) <= 21 ? 1 : 0;
    onBar +=
        std::abs(at.x - bar.x) < 1 && at.y > -1325 + 0.1 * 1125 - 1 && at.y < -1325 + 0.9 * 1125 + 1
            ? 1
            : 0;
  }
  EXPECT_GE(onPost, 3);
  EXPECT_GT(onBar, 100);
}

TEST(RoomTest, APillarStandsInTheMiddleAndABarAlongTheFarEdge) {
  const TouchArea area{-1000, -1325, 2000, 1125};
  Scene scene;
  scene.roomDistanceMm = {7000};
  FurnishRoom(scene, RoomKind::pillar, area);
  ASSERT_EQ(scene.clutter.size(), 1u);
  // Straight ahead of the scanner, at the area's middle: its near side, 50 mm short of its centre.
  EXPECT_NEAR(scene.measure(0, 0), 1325 - 0.5 * 1125 - 50, 1e-6);

  FurnishRoom(scene, RoomKind::bar, area);
  EXPECT_TRUE(scene.clutter.empty());
  ASSERT_EQ(scene.segments.size(), 1u);
  EXPECT_NEAR(scene.measure(0, 0), 1325 - 25, 1e-6);  // 25 mm inside the far edge
  EXPECT_EQ(scene.echo(0, 0).spreadMm, 0);
  // It spans 10% to 90% of the width: a beam to the area's far corner passes beside it.
  const double corner = std::atan2(-1000, 1325) * 180 / std::numbers::pi + 360;
  EXPECT_NEAR(scene.measure(corner, 0), 7000, 1e-6);
}

TEST(RoomTest, AGrazedWallSpreadsItsReturnsAlongTheBeam) {
  // The plane meets the wall at 1 degree, 20 mm beyond the top edge of the area: straight up,
  // the beam crosses that line at 1345 mm, and its returns spread either way by about 90 mm.
  const TouchArea area{-1000, -1325, 2000, 1125};
  Scene scene;
  scene.roomDistanceMm = {7000};
  FurnishRoom(scene, RoomKind::grazing, area);
  ASSERT_EQ(scene.segments.size(), 1u);
  const Echo ahead = scene.echo(0, 0);
  EXPECT_NEAR(ahead.distanceMm, 1345, 1e-9);
  EXPECT_NEAR(ahead.spreadMm, GrazingSpreadMm(1, 90, 1345), 1e-9);
  EXPECT_GT(ahead.spreadMm, 60);
  EXPECT_LT(ahead.spreadMm, 120);
  // A beam that crosses the line more obliquely meets the wall's face at a flatter angle still.
  EXPECT_GT(scene.echo(40, 0).spreadMm, ahead.spreadMm);
  EXPECT_EQ(GrazingSpreadMm(90, 30, 1345), 0);  // an upright wall

  StreamSettings settings;
  settings.nodesPerSecond = 36000;
  settings.revolutionsPerSecond = 10;
  NodeStream stream(scene, settings);
  std::vector<std::uint8_t> bytes;
  stream.appendSeconds(bytes, 1);
  double nearest = 1e9;
  double farthest = 0;
  for (const WireNode& node : Nodes(bytes)) {
    if (node.angle < 1 && node.angle > 0) {
      nearest = std::min(nearest, node.distanceMm);
      farthest = std::max(farthest, node.distanceMm);
    }
  }
  // Some returns lie inside the area, well short of its edge; none beyond the spread.
  EXPECT_LT(nearest, 1325 - 30);
  EXPECT_GE(nearest, 1345 - ahead.spreadMm - 1);
  EXPECT_GT(farthest, 1345 + 30);
}

TEST(SimOptionsTest, RoomsByNameKeepTheirWallDistancesAndTheArea) {
  std::string error;
  const auto plain = Parse({}, error);
  ASSERT_TRUE(plain) << error;
  EXPECT_EQ(plain->room, RoomKind::plain);
  EXPECT_TRUE(plain->scene.wallSectors.empty());
  EXPECT_TRUE(plain->scene.clutter.empty());
  EXPECT_TRUE(plain->scene.segments.empty());

  // In either order: the distances stay, the room is furnished around the area.
  for (const auto& arguments : {std::vector<std::string>{"--room", "7000", "--room", "clutter",
                                                         "--area", "-1000,-1325,2000,1125"},
                                std::vector<std::string>{"--area", "-1000,-1325,2000,1125",
                                                         "--room", "clutter", "--room", "7000"}}) {
    const auto options = Parse(arguments, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->scene.roomDistanceMm, std::vector<double>{7000});
    ASSERT_EQ(options->scene.clutter.size(), 2u);
    EXPECT_DOUBLE_EQ(options->scene.clutter[0].from.x, -1000 + 0.2 * 2000);
  }
  for (const RoomKind kind :
       {RoomKind::plain, RoomKind::openQuarter, RoomKind::half, RoomKind::zeroOpen,
        RoomKind::clutter, RoomKind::grazing, RoomKind::pillar, RoomKind::bar}) {
    const auto options = Parse({"--room", std::string(RoomName(kind))}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->room, kind);
  }
  const auto open = Parse({"--room", "half"}, error);
  ASSERT_TRUE(open) << error;
  EXPECT_FALSE(open->scene.wallAt(270));
  EXPECT_EQ(open->scene.roomDistanceMm, std::vector<double>{6000});
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
      {"--room", "cellar"},
      {"--room", "7000,x"},
      {"--area", "0,0,100"},
      {"--area", "0,0,0,100"},
  };
  for (const auto& arguments : refused) {
    std::string error;
    EXPECT_FALSE(Parse(arguments, error)) << arguments.back();
    EXPECT_FALSE(error.empty()) << arguments.back();
  }
}

}  // namespace
}  // namespace scanner_sim
