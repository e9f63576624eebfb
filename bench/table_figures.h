#pragma once

// What the touch table counts of one case, summed over its seeds, and what that comes to against
// the table's goals.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/touch_engine.h"
#include "room_table.h"
#include "still_scenes.h"
#include "table_cases.h"

namespace bench_table {

struct Figures {
  double seconds = 0;
  std::uint64_t turns = 0;
  std::uint64_t visibleObjectTurns = 0;
  std::uint64_t eligibleObjectTurns = 0;  // visible at least the birth turns in a row
  std::uint64_t matchedObjectTurns = 0;
  std::uint64_t unframedObjectTurns = 0;  // eligible in a turn the engine sent no frame for
  std::uint64_t eligibleStillTurns = 0;   // of still hands
  std::uint64_t matchedStillTurns = 0;
  std::uint64_t eligibleMovingTurns = 0;  // of moving and crossing hands
  std::uint64_t matchedMovingTurns = 0;
  std::uint64_t idSwitches = 0;
  std::uint64_t births = 0;
  std::uint64_t ghosts = 0;
  std::uint64_t arrivals = 0;
  std::uint64_t timelyBirths = 0;
  std::uint64_t lateBirths = 0;
  std::uint64_t missedBirths = 0;  // the hand left before any contact was born for it
  std::uint64_t birthTurnsSum = 0;
  int birthTurnsMax = 0;
  std::uint64_t departures = 0;
  std::uint64_t timelyRemovals = 0;
  std::uint64_t lateRemovals = 0;
  std::uint64_t neverRemoved = 0;  // kept beyond the judge's patience or taken over by another hand
  std::uint64_t removalTurnsSum = 0;
  int removalTurnsMax = 0;
  std::uint64_t dropouts = 0;  // contacts removed while their hand was still visible
  std::uint64_t rebirths = 0;  // contacts born for a hand that already had one while there
  std::vector<double> errorsMm;
  std::vector<double> stillErrorsMm;  // of still hands alone
  double radialErrorSum = 0;          // how much farther from the scanner than the hand, summed
  double streamTurns = 0;             // turns the scanner made
  double jitterSquaresX = 0;          // pixels squared, about each contact's mean on a still hand
  double jitterSquaresY = 0;
  std::uint64_t jitterSamples = 0;
  // The single-touch road.
  std::uint64_t clicks = 0;
  std::uint64_t clickedObjectTurns = 0;
  std::uint64_t strayClicks = 0;
  // The engine alone.
  double engineNodesPerSecond = 0;
  // Scenes around a still thing: hand-turns as matchedObjectTurns, split by the hand's distance
  // from it, and contacts and clicks at it that no hand explains (bench/still_scenes.h).
  std::uint64_t eligibleFarTurns = 0;
  std::uint64_t matchedFarTurns = 0;
  std::uint64_t eligibleNearTurns = 0;
  std::uint64_t matchedNearTurns = 0;
  std::uint64_t stillBirths = 0;
  std::uint64_t stillContactTurns = 0;
  std::uint64_t stillClicks = 0;

  void add(const Figures& o);

  double matchedShare() const;
  double perMinute(std::uint64_t count) const;
  double meanBirthTurns() const;
  double meanRemovalTurns() const;
  double meanError() const;
  double meanStillError() const;
  double meanRadialError() const;
  double framesPerTurn() const;
  double p95Error() const;
  // The larger of the two axes' standard deviations.
  double jitterPixels() const;
  double clickedShare() const;
};

// The goals of the table `f` missed, comma-separated.
std::string MissedGoals(const Case& c, const Figures& f,
                        const scantouch::TouchEngineSettings& settings);

// One room's figures for the rooms' table, from those on a clean and on a garbled line.
bench_rooms::TableFigures RoomFigures(const Figures& clean, const Figures& garbled,
                                      const scantouch::TouchEngineSettings& settings);

// What the judge counted of a scene around a still thing, into its table's figures (the
// learning's are counted apart).
void FillStillFigures(const Figures& figures, bench_still::StillFigures& still);

}  // namespace bench_table
