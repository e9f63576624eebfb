#include "surface_printing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "judging.h"
#include "keystone_scenes.h"
#include "scanners/pose_calibration.h"
#include "surface_wall.h"

namespace surface_bench {

using namespace scantouch;
using bench_judging::kApartMm;
using bench_judging::kGhostMm;
using bench_judging::kMatchMm;
using bench_judging::kVisibleShare;
using bench_judging::Mean;
using bench_judging::Met;
using bench_judging::Percentile;

void PrintSurfaceLegend(const SurfaceOptions& options) {
  std::printf(
      "touch_bench --surface: %d seeds x %.0f s per hand scene, blocks of %.0f ms, hands %.0f mm, "
      "distance noise %.1f mm sd,\nangle jitter 0.05 deg\n",
      options.seeds, options.seconds, options.block_ms, options.handMm, options.noiseMm);
  std::printf(
      "wall     %.0f x %.0f mm; first scanner 100 mm above and left of its top-left corner, "
      "%.0f nodes/s, %.0f turns/s;\n         second 100 mm above and right of its top-right "
      "corner, turned %.0f deg, %.0f nodes/s, %.1f turns/s,\n         %.1f of a turn out of "
      "step; each on its own link (the second through a ScannerStream), the engine\n         "
      "given the second's true pose; contacts map onto %d x %d pixels\n",
      kWallWidth, kWallHeight, kFirst.nodesPerSecond, kFirst.turnsPerSecond,
      kSecond.pose.angleDegrees, kSecond.nodesPerSecond, kSecond.turnsPerSecond, kSecond.turnPhase,
      kScreenWidth, kScreenHeight);
  std::printf(
      "match%%   hand-turns a live scanner sees (>= %.0f%% of its span out of every shadow, the "
      "birth turns in a row)\n         with a contact within %.0f mm of where the scanners saw "
      "it (several: their mean weighted by hits;\n         in a turn the engine sent no frame "
      "for, none);\n         still, moving: the same for still "
      "hands, and for moving ones (tapping ones count in the total only)\n"
      "shadow%%  the same for hand-turns in which the hand stood in a shadow for one scanner\n"
      "idsw     a contact following one hand then another, the two >= %.0f mm apart meanwhile\n"
      "newid    a hand seen all the while by one scanner or another whose contact changed its id\n"
      "ghost/m  contacts born > %.0f mm from every hand, per minute\n"
      "dup%%     hand-turns with a second contact within %.0f mm of the hand\n"
      "err      distance from a hand to its own contact, mm: mean and 95th percentile; still: "
      "of still hands\n\n",
      100 * kVisibleShare, kMatchMm, kApartMm, kGhostMm, kGhostMm);
}

void PrintHandsHeader() {
  std::printf("  %-14s | %6s %6s %6s %7s %4s %5s %7s %5s | %5s %5s | %5s %5s\n", "scanners",
              "match%", "still", "moving", "shadow%", "idsw", "newid", "ghost/m", "dup%", "err",
              "p95", "still", "p95");
}

void PrintHandsRow(const char* name, const SurfaceFigures& f) {
  std::printf(
      "  %-14s | %6.2f %6.2f %6.2f %7.2f %4llu %5llu %7.2f %5.2f | %5.1f %5.1f | %5.1f %5.1f\n",
      name, 100 * f.matchedShare(), 100 * bench_judging::Share(f.stillMatched, f.stillEligible),
      100 * bench_judging::Share(f.movingMatched, f.movingEligible),
      100 * bench_judging::Share(f.shadowMatched, f.shadowEligible),
      static_cast<unsigned long long>(f.idSwitches), static_cast<unsigned long long>(f.newIds),
      f.perMinute(f.ghosts),
      100 * static_cast<double>(f.doubled) /
          static_cast<double>(std::max<std::uint64_t>(1, f.eligible)),
      Mean(f.errorsMm), Percentile(f.errorsMm, 0.95), Mean(f.stillErrorsMm),
      Percentile(f.stillErrorsMm, 0.95));
  std::fflush(stdout);
}

void PrintMatchAndIdGoals(const SurfaceFigures& f) {
  const double match = f.matchedShare();
  std::printf("  goal  match >= 99%% of hand-turns a scanner sees: %s (%.2f%%)\n",
              Met(match >= 0.99), 100 * match);
  std::printf("  goal  no id switch through shadows: %s (%llu id switches, %llu new ids)\n",
              Met(f.idSwitches == 0 && f.newIds == 0),
              static_cast<unsigned long long>(f.idSwitches),
              static_cast<unsigned long long>(f.newIds));
}

void PrintMergedErrorGoal(const SurfaceFigures& both, const SurfaceFigures& first,
                          const SurfaceFigures& second) {
  const double mean = Mean(both.errorsMm);
  const double p95 = Percentile(both.errorsMm, 0.95);
  const double firstMean = Mean(first.errorsMm);
  const double secondMean = Mean(second.errorsMm);
  const double firstP95 = Percentile(first.errorsMm, 0.95);
  const double secondP95 = Percentile(second.errorsMm, 0.95);
  const bool firstBetter = firstMean <= secondMean;
  const double betterMean = std::min(firstMean, secondMean);
  const double betterP95 = firstBetter ? firstP95 : secondP95;
  std::printf(
      "  goal  merged error no worse than the better single scanner's (%s): mean %.1f vs %.1f "
      "mm: %s; p95 %.1f vs %.1f mm: %s\n\n",
      firstBetter ? "first" : "second", mean, betterMean, Met(mean <= betterMean), p95, betterP95,
      Met(p95 <= betterP95));
}

void PrintKeystoneHeader() {
  std::printf(
      "3. keystoned projection: a %.0f x %.0f mm picture of %d x %d pixels, its corners moved; "
      "the four corners\n   touched to calibrate, then a 41 x 23 grid of the picture's pixels "
      "mapped from where they lie on the wall.\n   Errors in %% of the %.0f-pixel diagonal; the "
      "two-corner rectangle runs from the touched top-left to bottom-right\n",
      kPictureWidth, kPictureHeight, kScreenWidth, kScreenHeight, ScreenDiagonal());
  std::printf("  %-26s %-22s | %-20s | %-20s | %s\n", "keystone", "corners touched",
              "four corners %", "two corners %", "goals: four <= 0.2% (max),");
  std::printf("  %-26s %-22s | %6s %6s %6s | %6s %6s %6s | %s\n", "", "", "mean", "p95", "max",
              "mean", "p95", "max", "two >= 2% (p95)");
}

void PrintMappingRow(const char* keystone, const char* corners, const MappingErrors& e) {
  const double fourMax =
      e.fourCorners.empty() ? 1 : *std::max_element(e.fourCorners.begin(), e.fourCorners.end());
  const double twoMax =
      e.twoCorners.empty() ? 0 : *std::max_element(e.twoCorners.begin(), e.twoCorners.end());
  const double fourP95 = Percentile(e.fourCorners, 0.95);
  const double twoP95 = Percentile(e.twoCorners, 0.95);
  std::printf("  %-26s %-22s | %6.3f %6.3f %6.3f | %6.2f %6.2f %6.2f | %-7s %-7s%s\n", keystone,
              corners, 100 * Mean(e.fourCorners), 100 * fourP95, 100 * fourMax,
              100 * Mean(e.twoCorners), 100 * twoP95, 100 * twoMax,
              Met(e.refused == 0 && fourMax <= 0.002), Met(twoP95 >= 0.02),
              e.refused > 0 ? " (calibrations refused)" : "");
  std::fflush(stdout);
}

void PrintPoseHeader(int sets) {
  const Pose rough = RoughPose();
  const Pose truth = ViewPose(kSecond.pose);
  std::printf(
      "4. the second scanner's pose from one still object at three places both scanners see "
      "(PoseCalibration,\n   %d turns a place); the pose entered before it %.0f mm and %.1f deg "
      "off; %d sets of places\n",
      PoseCalibration::kPlaceTurns, std::hypot(rough.x - truth.x, rough.y - truth.y),
      rough.angleDegrees - truth.angleDegrees, sets);
  std::printf("  %-8s | %-17s %-17s %-13s | %s\n", "object", "place mm", "angle deg", "residual mm",
              "goal: within 10 mm and 0.5 deg (max)");
  std::printf("  %-8s | %8s %8s %8s %8s %6s %6s |\n", "", "mean", "max", "mean", "max", "mean",
              "max");
}

void PrintPoseRow(double objectMm, const PoseErrors& e) {
  const double placeMax =
      e.placeMm.empty() ? 1e9 : *std::max_element(e.placeMm.begin(), e.placeMm.end());
  const double angleMax = e.angleDegrees.empty()
                              ? 1e9
                              : *std::max_element(e.angleDegrees.begin(), e.angleDegrees.end());
  const double residualMax =
      e.residualMm.empty() ? 0 : *std::max_element(e.residualMm.begin(), e.residualMm.end());
  char object[16];
  std::snprintf(object, sizeof object, "%.0f mm", objectMm);
  std::printf("  %-8s | %8.1f %8.1f %8.2f %8.2f %6.1f %6.1f | %s%s\n", object, Mean(e.placeMm),
              placeMax, Mean(e.angleDegrees), angleMax, Mean(e.residualMm), residualMax,
              Met(e.failed == 0 && placeMax <= 10 && angleMax <= 0.5),
              e.failed > 0 ? " (some sets gave no pose)" : "");
  std::fflush(stdout);
}

}  // namespace surface_bench
