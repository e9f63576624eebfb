#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "rooms.h"

namespace bench_rooms {

// The scenes the touch table runs in every room, and those of the surface.
enum class TableScene { hands, close, fast, fingers };
enum class SurfaceScene { beam, wall, fingers };

// What one room and scene came to, on a clean line and with 1e-3 garbled bytes.
struct TableFigures {
  double matchedShare = 1;  // of visible hand-turns seen for the birth turns in a row
  std::uint64_t idSwitches = 0;
  double ghostsPerMinute = 0;
  double garbledGhostsPerMinute = 0;
  double meanBirthTurns = 0;
  int maxBirthTurns = 0;
  std::uint64_t missedBirths = 0;
  double meanRemovalTurns = 0;
  int maxRemovalTurns = 0;
  std::uint64_t neverRemoved = 0;
  double jitterPixels = 0;
  double stillErrorMm = 0;  // mean distance of a still hand from its nearest contact
  double framesPerTurn = 0;
  int birthTurns = 2;  // the engine's settings the figures are held to
  int removalTurns = 2;
};

struct SurfaceFigures {
  double matchedShare = 1;
  std::uint64_t idSwitches = 0;
  std::uint64_t newIds = 0;
  double ghostsPerMinute = 0;
  double stillErrorMm = 0;
};

using TableRunner = std::function<TableFigures(scanner_sim::RoomKind, TableScene)>;
using SurfaceRunner = std::function<SurfaceFigures(scanner_sim::RoomKind, SurfaceScene)>;

// Runs every scene in every room and prints a row for each with the goals it missed.
void RunTableRooms(const std::string& setting, const TableRunner& run);
void RunSurfaceRooms(const std::string& setting, const SurfaceRunner& run);

}  // namespace bench_rooms
