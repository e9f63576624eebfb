#include "table_printing.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "judging.h"

namespace bench_table {

using namespace scantouch;
using bench_judging::kApartMm;
using bench_judging::kGhostMm;
using bench_judging::kMatchMm;
using bench_judging::Share;

void PrintLegend(const BenchOptions& options, const TouchEngineSettings& settings) {
  std::printf(
      "touch_bench: %d seeds x %.0f s per case, blocks of %.0f ms, hands %.0f mm, distance noise "
      "%.1f mm sd, angle jitter 0.05 deg\n",
      options.seeds, options.seconds, options.block_ms, options.handMm, options.noiseMm);
  std::printf("engine: birth %d turns, removal %d turns, gap %.0f mm, gate %.0f mm, smoothing %s\n",
              settings.birthTurns, settings.removalTurns, settings.gapMm, settings.gateMm,
              settings.smoothing ? "on" : "off");
  std::printf(
      "match%%   visible hand-turns (seen >= birth turns in a row) with a contact within %.0f mm "
      "(in turns the\n         engine sent no frame for, none);\n"
      "         still, moving: the same for still hands, and for moving and crossing ones\n"
      "idsw     a contact following one hand then another, the two >= %.0f mm apart meanwhile\n"
      "ghost/m  contacts born > %.0f mm from every hand, per minute\n"
      "birth    turns from a hand's arrival to its contact's birth, the arrival turn counted: "
      "mean/max, share within the setting\n"
      "removal  turns from a hand's departure to its contact's removal, the same way\n"
      "err      distance from a visible hand to its nearest contact, mm: mean and 95th "
      "percentile; still: mean of still hands;\n"
      "         rad: mean of how much farther from the scanner the contact is than the hand's "
      "centre\n"
      "jit px   still hands: standard deviation of the contact's pixel, the larger axis\n"
      "fr/t     frames the engine sent per turn of the scanner\n"
      "Mn/s     million nodes per second through the engine alone (first seed's nodes)\n"
      "road     single-touch road: visible hand-turns with a click within %.0f mm, "
      "stray clicks (> %.0f mm) per minute\n",
      kMatchMm, kApartMm, kGhostMm, kMatchMm, kGhostMm);
  std::printf(
      "goals    clean: match >= 99.5%%, idsw 0, ghosts 0, still err <= 5 mm; garbled: <= 0.1 "
      "ghost/min; births and removals within the setting; jitter < 1 px; engine >= 5 Mn/s\n\n");
}

void PrintHeader() {
  std::printf(
      "%5s %6s %5s %-13s | %6s %6s %6s %4s %7s | %-15s %-15s | %5s %5s %5s %5s | %6s | %5s %5s | "
      "%5s %7s | %s\n",
      "hands", "nodes", "tps", "line", "match%", "still", "moving", "idsw", "ghost/m", "birth",
      "removal", "err", "p95", "still", "rad", "jit px", "fr/t", "Mn/s", "road%", "stray/m",
      "missed goals");
}

void PrintRow(const Case& c, const Figures& f, const TouchEngineSettings& settings) {
  char birth[32];
  char removal[32];
  const auto born = f.timelyBirths + f.lateBirths;
  const auto removed = f.timelyRemovals + f.lateRemovals;
  std::snprintf(birth, sizeof birth, "%.2f/%d %5.1f%%", f.meanBirthTurns(), f.birthTurnsMax,
                100.0 * static_cast<double>(f.timelyBirths) /
                    static_cast<double>(std::max<std::uint64_t>(born + f.missedBirths, 1)));
  std::snprintf(removal, sizeof removal, "%.2f/%d %5.1f%%", f.meanRemovalTurns(), f.removalTurnsMax,
                100.0 * static_cast<double>(f.timelyRemovals) /
                    static_cast<double>(std::max<std::uint64_t>(removed + f.neverRemoved, 1)));
  const double meanError = f.meanError();
  const double p95 = f.p95Error();
  std::printf(
      "%5d %6.0f %5.1f %-13s | %6.2f %6.2f %6.2f %4llu %7.2f | %-15s %-15s | %5.1f %5.1f %5.1f "
      "%5.1f | %6.2f | %5.2f %5.1f | %5.1f %7.1f | %s\n",
      c.hands, c.nodesPerSecond, c.turnsPerSecond, c.line.name, 100 * f.matchedShare(),
      100 * Share(f.matchedStillTurns, f.eligibleStillTurns),
      100 * Share(f.matchedMovingTurns, f.eligibleMovingTurns),
      static_cast<unsigned long long>(f.idSwitches), f.perMinute(f.ghosts), birth, removal,
      meanError, p95, f.meanStillError(), f.meanRadialError(), f.jitterPixels(), f.framesPerTurn(),
      f.engineNodesPerSecond / 1e6, 100 * f.clickedShare(), f.perMinute(f.strayClicks),
      MissedGoals(c, f, settings).c_str());
  std::fflush(stdout);
}

void PrintSweepLegend() {
  std::printf(
      "sweep: each setting on these cases, figures summed over them\n"
      "  hands: the scenes of the table with 2 hands at 8000/10, 10 at 8000/10, 10 at 32000/15,\n"
      "         5 at 2000/5.5 (nodes/s / turns/s), clean; garbled: 10 hands at 16000/10\n"
      "  close: two still hands 150 mm apart, a hand passing 110 mm beside a still one; "
      "8000/10 and 2000/5.5\n"
      "  fast:  a hand swiping at 1.4 to 2 m/s beside a still one; 8000/10 and 16000/5.5\n"
      "  reborn: contacts born for a hand that already had one and never left\n\n");
  std::printf("%4s %4s %6s | %6s %6s %6s %4s %7s %5s %5s %6s | %7s | %6s %4s %6s | %6s %6s\n",
              "gap", "gate", "smooth", "match%", "still", "moving", "idsw", "ghost/m", "err", "p95",
              "jit px", "garb/m", "close%", "idsw", "reborn", "fast%", "reborn");
}

void PrintSweepRow(const TouchEngineSettings& settings, const Figures& hands,
                   const Figures& garbled, const Figures& close, const Figures& fast) {
  std::printf(
      "%4.0f %4.0f %6s | %6.2f %6.2f %6.2f %4llu %7.2f %5.1f %5.1f %6.2f | %7.2f | %6.2f "
      "%4llu %6llu | %6.2f %6llu\n",
      settings.gapMm, settings.gateMm, settings.smoothing ? "on" : "off",
      100 * hands.matchedShare(), 100 * Share(hands.matchedStillTurns, hands.eligibleStillTurns),
      100 * Share(hands.matchedMovingTurns, hands.eligibleMovingTurns),
      static_cast<unsigned long long>(hands.idSwitches), hands.perMinute(hands.ghosts),
      hands.meanError(), hands.p95Error(), hands.jitterPixels(), garbled.perMinute(garbled.ghosts),
      100 * close.matchedShare(), static_cast<unsigned long long>(close.idSwitches),
      static_cast<unsigned long long>(close.rebirths), 100 * fast.matchedShare(),
      static_cast<unsigned long long>(fast.rebirths));
  std::fflush(stdout);
}

}  // namespace bench_table
