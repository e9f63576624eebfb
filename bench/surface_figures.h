#pragma once

// What touch_bench --surface counts of a hand scene, summed over its seeds.

#include <cstdint>
#include <vector>

#include "room_table.h"

namespace surface_bench {

struct SurfaceFigures {
  double seconds = 0;
  std::uint64_t eligible = 0;  // hand-turns visible to a scanner, the birth turns in a row
  std::uint64_t matched = 0;
  std::uint64_t unframed = 0;  // such hand-turns of the first scanner the engine sent no frame for
  std::uint64_t stillEligible = 0;  // of still hands
  std::uint64_t stillMatched = 0;
  std::uint64_t movingEligible = 0;  // of moving ones
  std::uint64_t movingMatched = 0;
  std::uint64_t shadowEligible = 0;  // of them, hidden in another hand's shadow for a scanner
  std::uint64_t shadowMatched = 0;
  std::uint64_t idSwitches = 0;
  std::uint64_t newIds = 0;
  std::uint64_t births = 0;
  std::uint64_t ghosts = 0;
  std::uint64_t doubled = 0;  // eligible hand-turns with a second contact near the hand
  std::vector<double> errorsMm;
  std::vector<double> stillErrorsMm;

  void add(const SurfaceFigures& o);
  double matchedShare() const;
  double perMinute(std::uint64_t count) const;
};

// A room's figures for the rooms' table.
bench_rooms::SurfaceFigures RoomFigures(const SurfaceFigures& f);

}  // namespace surface_bench
