#include "room_table.h"

#include <cstdio>

#include "judging.h"

namespace bench_rooms {
namespace {

const char* Name(TableScene scene) {
  switch (scene) {
    case TableScene::hands:
      return "hands 1-10";
    case TableScene::close:
      return "close";
    case TableScene::fast:
      return "fast";
    case TableScene::fingers:
      return "2 fingers";
  }
  return "";
}

const char* Name(SurfaceScene scene) {
  switch (scene) {
    case SurfaceScene::beam:
      return "one beam";
    case SurfaceScene::wall:
      return "ten hands";
    case SurfaceScene::fingers:
      return "2 fingers";
  }
  return "";
}

std::string TableMisses(const TableFigures& f) {
  std::string missed;
  if (f.matchedShare < 0.995)
    bench_judging::AddMissedGoal(missed, "match");
  if (f.idSwitches > 0)
    bench_judging::AddMissedGoal(missed, "idsw");
  if (f.ghostsPerMinute > 0)
    bench_judging::AddMissedGoal(missed, "ghost");
  if (f.garbledGhostsPerMinute > 0.1)
    bench_judging::AddMissedGoal(missed, "garbled ghost");
  if (f.maxBirthTurns > f.birthTurns || f.missedBirths > 0)
    bench_judging::AddMissedGoal(missed, "birth");
  if (f.maxRemovalTurns > f.removalTurns || f.neverRemoved > 0)
    bench_judging::AddMissedGoal(missed, "removal");
  if (f.jitterPixels >= 1)
    bench_judging::AddMissedGoal(missed, "jitter");
  return missed;
}

}  // namespace

void RunTableRooms(const std::string& setting, const TableRunner& run) {
  std::printf(
      "\nrooms: every scene also in each room (%s), on a clean line and with 1e-3 garbled bytes\n"
      "  plain: walls all round; open-quarter: walls at 2-268 deg only; half: 0-180 only; "
      "zero-open: 45-315 only\n  (the turn starts facing open space); clutter: two 40 mm posts "
      "in the rectangle and a bar 25 mm inside its\n  left edge; grazing: the plane meets a wall "
      "at 1 deg 20 mm beyond the far edge. 2 fingers: 20 mm fingers\n  60-100 mm apart, the second "
      "2-10 turns after the first, both staying (a pair every 4 s)\n"
      "  still mm: mean distance from a still hand to its nearest contact; garb/m: ghosts a minute "
      "on the garbled line\n  goals: match >= 99.5%%, idsw 0, ghosts 0 (clean), garbled <= "
      "0.1/min, births and removals within the setting,\n  jitter < 1 px\n",
      setting.c_str());
  std::printf("  %-12s %-10s | %6s %4s %7s %7s | %-12s %-12s | %6s %8s %5s | %s\n", "room", "scene",
              "match%", "idsw", "ghost/m", "garb/m", "birth", "removal", "jit px", "still mm",
              "fr/t", "missed goals");
  for (const scanner_sim::RoomKind room : scanner_sim::AllRooms()) {
    for (const TableScene scene :
         {TableScene::hands, TableScene::close, TableScene::fast, TableScene::fingers}) {
      const TableFigures f = run(room, scene);
      char birth[32];
      char removal[32];
      std::snprintf(birth, sizeof birth, "%.2f/%d m%llu", f.meanBirthTurns, f.maxBirthTurns,
                    static_cast<unsigned long long>(f.missedBirths));
      std::snprintf(removal, sizeof removal, "%.2f/%d n%llu", f.meanRemovalTurns, f.maxRemovalTurns,
                    static_cast<unsigned long long>(f.neverRemoved));
      std::printf(
          "  %-12s %-10s | %6.2f %4llu %7.2f %7.2f | %-12s %-12s | %6.2f %8.1f %5.2f | %s\n",
          std::string(scanner_sim::RoomName(room)).c_str(), Name(scene), 100 * f.matchedShare,
          static_cast<unsigned long long>(f.idSwitches), f.ghostsPerMinute,
          f.garbledGhostsPerMinute, birth, removal, f.jitterPixels, f.stillErrorMm, f.framesPerTurn,
          TableMisses(f).c_str());
      std::fflush(stdout);
    }
  }
  std::printf(
      "  birth, removal: mean/max turns, m: hands that left unborn, n: contacts never removed\n");
}

void RunSurfaceRooms(const std::string& setting, const SurfaceRunner& run) {
  std::printf(
      "5. rooms: the scenes of 1 and 2, and 20 mm fingers 60-100 mm apart (the second 2-10 turns "
      "after the first),\n   with both scanners in each room (%s); each scanner's walls are its "
      "own; clutter and the grazed\n   wall (along the bottom edge) stand in the wall's plane for "
      "both. goals: match >= 99%%, no id switch, no new id\n",
      setting.c_str());
  std::printf("  %-12s %-10s | %6s %4s %5s %7s %8s | %s\n", "room", "scene", "match%", "idsw",
              "newid", "ghost/m", "still mm", "missed goals");
  for (const scanner_sim::RoomKind room : scanner_sim::AllRooms()) {
    for (const SurfaceScene scene :
         {SurfaceScene::beam, SurfaceScene::wall, SurfaceScene::fingers}) {
      const SurfaceFigures f = run(room, scene);
      std::string missed;
      if (f.matchedShare < 0.99)
        bench_judging::AddMissedGoal(missed, "match");
      if (f.idSwitches > 0)
        bench_judging::AddMissedGoal(missed, "idsw");
      if (f.newIds > 0)
        bench_judging::AddMissedGoal(missed, "newid");
      std::printf("  %-12s %-10s | %6.2f %4llu %5llu %7.2f %8.1f | %s\n",
                  std::string(scanner_sim::RoomName(room)).c_str(), Name(scene),
                  100 * f.matchedShare, static_cast<unsigned long long>(f.idSwitches),
                  static_cast<unsigned long long>(f.newIds), f.ghostsPerMinute, f.stillErrorMm,
                  missed.c_str());
      std::fflush(stdout);
    }
  }
  std::printf("\n");
}

}  // namespace bench_rooms
