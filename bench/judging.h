#pragma once

// What the touch benches share in judging contacts against the simulated hands: what counts as
// following a hand, a ghost or hands apart, and the arithmetic of their figures.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "scene.h"

namespace bench_judging {

// What counts, with one scanner and with several.
inline constexpr double kMatchMm = 30;         // a contact this near a hand follows it
inline constexpr double kGhostMm = 60;         // a contact born farther than this from every hand
inline constexpr double kApartMm = 100;        // hands this far apart must keep their contacts
inline constexpr double kVisibleShare = 0.75;  // of a hand's span out of every other hand's shadow

inline double Distance(scanner_sim::PlanePoint a, scanner_sim::PlanePoint b) {
  return std::hypot(a.x - b.x, a.y - b.y);
}

// The nearest of `now` that is there (`present`, at `at`), and its distance; -1 for none.
template <typename Hand>
std::pair<int, double> Nearest(scanner_sim::PlanePoint at, const std::vector<Hand>& now) {
  int nearest = -1;
  double distance = 1e18;
  for (std::size_t o = 0; o < now.size(); ++o) {
    if (!now[o].present)
      continue;
    const double d = Distance(at, now[o].at);
    if (d < distance) {
      distance = d;
      nearest = static_cast<int>(o);
    }
  }
  return {nearest, distance};
}

// How near to `at` any hand there came in the frames of `history` (each a vector of hands with
// `present` and `at`); 1e18 for none. A contact born farther than kGhostMm is a ghost.
template <typename History>
double NearestInHistory(scanner_sim::PlanePoint at, const History& history) {
  double nearest = 1e18;
  for (const auto& past : history) {
    for (const auto& hand : past) {
      if (hand.present)
        nearest = std::min(nearest, Distance(at, hand.at));
    }
  }
  return nearest;
}

// Whether objects `a` and `b` stayed at least `apartMm` apart from `from_s` to `to_s`, looked at
// every `step_s`.
bool StayedApart(const std::vector<scanner_sim::SceneObject>& objects, int a, int b, double from_s,
                 double to_s, double step_s, double apartMm);

// `part` of `whole`, 1 when there is no whole (nothing to miss).
double Share(std::uint64_t part, std::uint64_t whole);
// The same in per cent, 100 when there is no whole.
double Percent(std::uint64_t part, std::uint64_t whole);
double PerMinute(std::uint64_t count, double seconds);
double Mean(const std::vector<double>& values);
// The value at `share` of the sorted values (0 for none), the nearest below.
double Percentile(std::vector<double> values, double share);

// A goal as the tables print it.
const char* Met(bool met);
// Adds `goal` to a comma-separated list of missed goals.
void AddMissedGoal(std::string& missed, const char* goal);

}  // namespace bench_judging
