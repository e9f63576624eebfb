#include "background/learned_background.h"

#include <gtest/gtest.h>

#include <random>

namespace scantouch {
namespace {

constexpr int kNodes = 800;       // a turn, 0.45 degrees a node
constexpr double kPillarAt = 45;  // degrees, 2 m away, about 3 degrees wide

// Turns of a room: a wall 5 m away all round but for a pillar, distances off by up to 5 mm,
// angles by up to 0.05 degrees; `also` may put something nearer in a turn's direction.
class Room {
 public:
  template <typename Also>
  void turns(BackgroundLearning& learning, int count, Also also) {
    std::uniform_real_distribution<double> noise(-5, 5);
    std::uniform_real_distribution<double> jitter(-0.05, 0.05);
    for (int turn = 0; turn < count; ++turn, ++turn_) {
      for (int i = 0; i < kNodes; ++i) {
        const double angle = (i + 0.5) * 360.0 / kNodes;
        double distance = std::abs(angle - kPillarAt) < 1.5 ? 2000 : 5000;
        distance = also(turn_, angle, distance);
        const auto measured =
            static_cast<std::int32_t>(distance == 0 ? 0 : distance + noise(random_));
        learning.take(angle + jitter(random_), measured, i == 0, true);
      }
    }
  }
  void turns(BackgroundLearning& learning, int count) {
    turns(learning, count, [](int, double, double distance) { return distance; });
  }

 private:
  std::mt19937 random_{7};
  int turn_ = 0;
};

TEST(LearnedBackgroundTest, APillarAndTheWallAreBackgroundAHandInFrontOfThemIsNot) {
  Room room;
  BackgroundLearning learning;
  room.turns(learning, 31);  // the first turn's start ends no turn
  const std::optional<LearnedBackground> background = learning.finish(1'700'000'000'000);
  ASSERT_TRUE(background);
  EXPECT_EQ(background->directions().size(), 800u);
  EXPECT_DOUBLE_EQ(background->stepDegrees(), 0.45);
  EXPECT_EQ(background->unsteady(), 0);
  EXPECT_TRUE(background->isBackground(kPillarAt, 2003));
  EXPECT_TRUE(background->isBackground(kPillarAt + 1.4, 1990));  // its edge, whichever side
  EXPECT_FALSE(background->isBackground(kPillarAt, 1900));       // a hand 100 mm in front
  EXPECT_TRUE(background->isBackground(200, 5200));              // beyond the wall
  // At the margin: the floor of 30 mm, since the wall scattered by a few millimetres only.
  EXPECT_TRUE(background->isBackground(200, 4995 - 30 + 1));
  EXPECT_FALSE(background->isBackground(200, 4995 - 30 - 12));
  EXPECT_FALSE(background->isBackground(200, 600));
}

// Someone walks through the room while it is learned: each direction sees them for a turn, and
// the wall behind them is what stayed. Someone who stands in one place for the first half and
// leaves is not learned either. Every direction where something came and went is counted.
TEST(LearnedBackgroundTest, WhatCameAndWentIsNotLearned) {
  Room room;
  BackgroundLearning learning;
  room.turns(learning, 41, [](int turn, double angle, double distance) {
    const double walker = 90 + turn * 4.0;  // 4 degrees a turn, 60 mm wide at 1.5 m
    if (std::abs(angle - walker) < 1.2)
      return 1500.0;
    if (turn < 20 && std::abs(angle - 300) < 1)  // stood there for half the time, then left
      return 1000.0;
    return distance;
  });
  const std::optional<LearnedBackground> background = learning.finish(0);
  ASSERT_TRUE(background);
  for (double angle = 90; angle < 240; angle += 0.45)
    EXPECT_FALSE(background->isBackground(angle, 1500)) << angle;
  EXPECT_TRUE(background->isBackground(150, 4990));
  EXPECT_FALSE(background->isBackground(300, 1000));
  // Where the walker was met (2.4 of every 4 degrees over 160) and where the other stood.
  EXPECT_GE(background->unsteady(), 205);
  EXPECT_LE(background->unsteady(), 230);
}

// A wall the plane grazes, 1345 mm away across 0-20 degrees: a beam lights a long strip of it, and
// each turn's return lies anywhere up to 95 mm either way along the beam. Every direction there
// stayed, however its readings scatter; a hand 200 mm before the wall is still no wall.
TEST(LearnedBackgroundTest, AGrazedWallsSpreadReturnsAreLearnedInEveryDirection) {
  Room room;
  BackgroundLearning learning;
  std::mt19937 random(11);
  std::uniform_real_distribution<double> along(-95, 95);
  room.turns(learning, 31, [&](int, double angle, double distance) {
    return angle < 20 ? 1345 + along(random) : distance;
  });
  const std::optional<LearnedBackground> background = learning.finish(0);
  ASSERT_TRUE(background);
  for (double angle = 0.5; angle < 19.5; angle += 0.45) {
    EXPECT_TRUE(background->isBackground(angle, 1345 - 90)) << angle;
    EXPECT_FALSE(background->isBackground(angle, 1345 - 200)) << angle;
  }
  // Each direction on its own: what stayed reaches as near as the returns came.
  int unlearned = 0;
  int tooFar = 0;
  for (std::size_t k = 1; k < 44; ++k) {
    const LearnedBackground::Direction& direction = background->directions()[k];
    unlearned += direction.distanceMm == 0 ? 1 : 0;
    tooFar += direction.distanceMm > 1345 - 95 + 30 ? 1 : 0;
  }
  EXPECT_EQ(unlearned, 0);
  EXPECT_EQ(tooFar, 0);
}

TEST(LearnedBackgroundTest, TooFewWholeTurnsLearnNothing) {
  Room room;
  BackgroundLearning learning;
  room.turns(learning, 5);
  EXPECT_EQ(learning.wholeTurns(), 4);
  EXPECT_FALSE(learning.finish(0));
  // Turns the sweep did not call whole (damaged, or the part before the first beginning).
  BackgroundLearning broken;
  for (int turn = 0; turn < 10; ++turn)
    for (int i = 0; i < kNodes; ++i)
      broken.take(i * 0.45, 3000, i == 0, false);
  EXPECT_EQ(broken.wholeTurns(), 0);
  EXPECT_FALSE(broken.finish(0));
}

// The file: read back exactly; a damaged, truncated or foreign one is refused, and a background
// of another scanner's step does not fit.
TEST(LearnedBackgroundTest, TheFileReadsBackExactlyAndRefusesWhatIsNotIntact) {
  Room room;
  BackgroundLearning learning;
  room.turns(learning, 11);
  const LearnedBackground background = *learning.finish(1'765'000'000'123);
  const std::string text = BackgroundText(background);
  const ReadBackground read = ParseBackground(text);
  ASSERT_TRUE(read.background) << read.error;
  LearnedBackground rounded = *read.background;  // scatter is kept to a tenth of a millimetre
  EXPECT_EQ(rounded.learnedAtMs(), 1'765'000'000'123);
  EXPECT_EQ(BackgroundText(rounded), text);
  EXPECT_TRUE(rounded.fits(0.45));
  EXPECT_TRUE(rounded.fits(0.454));
  EXPECT_FALSE(rounded.fits(0.5));

  std::string damaged = text;
  damaged[text.size() / 2] = damaged[text.size() / 2] == '1' ? '2' : '1';
  EXPECT_EQ(ParseBackground(damaged).error, "damaged");
  EXPECT_EQ(ParseBackground(text.substr(0, text.size() / 2)).error, "truncated");
  EXPECT_EQ(ParseBackground("").error, "not a background file");
  EXPECT_EQ(ParseBackground("[触控引擎]\n").error, "not a background file");
}

}  // namespace
}  // namespace scantouch
