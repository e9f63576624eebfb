#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scantouch {

// One scanner's still surroundings, direction by direction at the scanner's own angular step:
// for each direction the nearest distance that stayed while it was learned and how much that
// scattered. A hit not clearly nearer than the background in its direction is the surroundings,
// not a touch (a pillar in the rectangle, a screen's frame, a wall the plane grazes).
class LearnedBackground {
 public:
  struct Direction {
    std::int32_t distanceMm = 0;  // 0: nothing stayed there, every hit counts
    float scatterMm = 0;          // the standard deviation of what stayed
    bool operator==(const Direction&) const = default;
  };

  // A hit must lie at least this much nearer than the background to count, however still the
  // background was: a real scanner's distances scatter a few millimetres turn to turn.
  static constexpr double kFloorMm = 30;
  // ... and this many of its standard deviations.
  static constexpr double kScatters = 4;
  // Two backgrounds' angular steps this close (as a share) are taken as the same scanner's.
  static constexpr double kSameStep = 0.02;

  LearnedBackground() = default;
  LearnedBackground(std::vector<Direction> directions, std::int64_t learnedAtMs, int unsteady);

  bool empty() const { return directions_.empty(); }
  const std::vector<Direction>& directions() const { return directions_; }
  double stepDegrees() const {
    return directions_.empty() ? 0 : 360.0 / static_cast<double>(directions_.size());
  }
  // Wall-clock time of the learning, milliseconds since 1970.
  std::int64_t learnedAtMs() const { return learnedAtMs_; }
  // Directions where neither one distance nor nothing stayed (someone passed, a leaf moved).
  int unsteady() const { return unsteady_; }
  // Whether a scanner of `stepDegrees` a node is the one this was learned from.
  bool fits(double stepDegrees) const;

  // Whether a hit at `scannerAngle` (degrees as the scanner measured it, before any correction)
  // and `distanceMm` belongs to the surroundings: no nearer than a background of its direction
  // or the directions on either side (an edge of a still thing falls on either) by the margin.
  bool isBackground(double scannerAngle, double distanceMm) const;

  bool operator==(const LearnedBackground&) const = default;

 private:
  std::vector<Direction> directions_;
  std::int64_t learnedAtMs_ = 0;
  int unsteady_ = 0;
};

// Learns a LearnedBackground from whole turns of one scanner: each node's direction is its
// scanner angle at the step the turns' node count gives. A direction's readings fall into groups
// of one thing (each within the scanner's noise of the next: a grazed wall's returns spread along
// the beam are one); the nearest group that stayed is the background:
// seen in each third of the learning, in at least kStayedShare of the turns (a post thinner than
// the beams' spacing is met in only some turns). A hand that came and went during learning, or
// stood for a while and left, is not learned; directions where it was count as unsteady.
// Bounded: it keeps at most kMostReadings readings.
class BackgroundLearning {
 public:
  static constexpr double kStayedShare = 0.25;
  static constexpr std::size_t kMostReadings = 4'000'000;
  // Fewest whole turns to learn from.
  static constexpr int kLeastTurns = 5;

  // Every node the sweep hands on, no-return nodes (distance 0) too; `startsTurn` and
  // `wholeTurnEnds` as the sweep marks them.
  void take(double scannerAngle, std::int32_t distanceMm, bool startsTurn, bool wholeTurnEnds);
  int wholeTurns() const { return static_cast<int>(turnNodes_.size()); }
  // The background of the whole turns taken, or nothing when there were too few.
  std::optional<LearnedBackground> finish(std::int64_t learnedAtMs) const;

 private:
  struct Reading {
    float scannerAngle;
    std::int32_t distanceMm;
    std::uint32_t turn;  // among the whole turns taken
  };
  std::vector<Reading> turn_;      // of the turn being taken
  std::vector<Reading> readings_;  // of the whole turns
  std::vector<std::uint32_t> turnNodes_;
  bool turnOpen_ = false;
};

// The background as text for its own file: "." whatever the locale, and a check line at the end
// so that a damaged or truncated file is known.
std::string BackgroundText(const LearnedBackground& background);
// The background of such a text, or why it cannot be used.
struct ReadBackground {
  std::optional<LearnedBackground> background;
  std::string error;
};
ReadBackground ParseBackground(std::string_view text);

}  // namespace scantouch
