#include "table_figures.h"

#include <algorithm>
#include <cmath>

#include "judging.h"

namespace bench_table {

using bench_judging::Share;

void Figures::add(const Figures& o) {
  seconds += o.seconds;
  turns += o.turns;
  visibleObjectTurns += o.visibleObjectTurns;
  eligibleObjectTurns += o.eligibleObjectTurns;
  matchedObjectTurns += o.matchedObjectTurns;
  unframedObjectTurns += o.unframedObjectTurns;
  eligibleStillTurns += o.eligibleStillTurns;
  matchedStillTurns += o.matchedStillTurns;
  eligibleMovingTurns += o.eligibleMovingTurns;
  matchedMovingTurns += o.matchedMovingTurns;
  idSwitches += o.idSwitches;
  births += o.births;
  ghosts += o.ghosts;
  arrivals += o.arrivals;
  timelyBirths += o.timelyBirths;
  lateBirths += o.lateBirths;
  missedBirths += o.missedBirths;
  birthTurnsSum += o.birthTurnsSum;
  birthTurnsMax = std::max(birthTurnsMax, o.birthTurnsMax);
  departures += o.departures;
  timelyRemovals += o.timelyRemovals;
  lateRemovals += o.lateRemovals;
  neverRemoved += o.neverRemoved;
  removalTurnsSum += o.removalTurnsSum;
  removalTurnsMax = std::max(removalTurnsMax, o.removalTurnsMax);
  dropouts += o.dropouts;
  rebirths += o.rebirths;
  errorsMm.insert(errorsMm.end(), o.errorsMm.begin(), o.errorsMm.end());
  stillErrorsMm.insert(stillErrorsMm.end(), o.stillErrorsMm.begin(), o.stillErrorsMm.end());
  radialErrorSum += o.radialErrorSum;
  streamTurns += o.streamTurns;
  jitterSquaresX += o.jitterSquaresX;
  jitterSquaresY += o.jitterSquaresY;
  jitterSamples += o.jitterSamples;
  clicks += o.clicks;
  clickedObjectTurns += o.clickedObjectTurns;
  strayClicks += o.strayClicks;
  engineNodesPerSecond = std::max(engineNodesPerSecond, o.engineNodesPerSecond);
  eligibleFarTurns += o.eligibleFarTurns;
  matchedFarTurns += o.matchedFarTurns;
  eligibleNearTurns += o.eligibleNearTurns;
  matchedNearTurns += o.matchedNearTurns;
  stillBirths += o.stillBirths;
  stillContactTurns += o.stillContactTurns;
  stillClicks += o.stillClicks;
}

double Figures::matchedShare() const {
  return Share(matchedObjectTurns, eligibleObjectTurns + unframedObjectTurns);
}
double Figures::perMinute(std::uint64_t count) const {
  return bench_judging::PerMinute(count, seconds);
}
double Figures::meanBirthTurns() const {
  const auto born = timelyBirths + lateBirths;
  return born == 0 ? 0 : static_cast<double>(birthTurnsSum) / static_cast<double>(born);
}
double Figures::meanRemovalTurns() const {
  const auto removed = timelyRemovals + lateRemovals;
  return removed == 0 ? 0 : static_cast<double>(removalTurnsSum) / static_cast<double>(removed);
}
double Figures::meanError() const {
  return bench_judging::Mean(errorsMm);
}
double Figures::meanStillError() const {
  return bench_judging::Mean(stillErrorsMm);
}
double Figures::meanRadialError() const {
  return errorsMm.empty() ? 0 : radialErrorSum / static_cast<double>(errorsMm.size());
}
double Figures::framesPerTurn() const {
  return streamTurns > 0 ? static_cast<double>(turns) / streamTurns : 0;
}
double Figures::p95Error() const {
  return bench_judging::Percentile(errorsMm, 0.95);
}
double Figures::jitterPixels() const {
  if (jitterSamples == 0)
    return 0;
  return std::sqrt(std::max(jitterSquaresX, jitterSquaresY) / static_cast<double>(jitterSamples));
}
double Figures::clickedShare() const {
  return visibleObjectTurns == 0
             ? 0
             : static_cast<double>(clickedObjectTurns) / static_cast<double>(visibleObjectTurns);
}

std::string MissedGoals(const Case& c, const Figures& f,
                        const scantouch::TouchEngineSettings& settings) {
  std::string missed;
  const auto miss = [&missed](const char* goal) { bench_judging::AddMissedGoal(missed, goal); };
  if (c.line.name == kClean.name) {
    if (f.matchedShare() < 0.995)
      miss("match");
    if (f.idSwitches > 0)
      miss("idsw");
    if (f.ghosts > 0)
      miss("ghost");
    if (f.meanStillError() > 5)
      miss("err");
  }
  if (c.line.name == kGarbled.name && f.perMinute(f.ghosts) > 0.1)
    miss("ghost");
  if (f.birthTurnsMax > settings.birthTurns || f.missedBirths > 0)
    miss("birth");
  if (f.removalTurnsMax > settings.removalTurns || f.neverRemoved > 0)
    miss("removal");
  if (f.jitterPixels() >= 1)
    miss("jitter");
  if (f.engineNodesPerSecond > 0 && f.engineNodesPerSecond < 5e6)
    miss("speed");
  return missed;
}

bench_rooms::TableFigures RoomFigures(const Figures& clean, const Figures& garbled,
                                      const scantouch::TouchEngineSettings& settings) {
  bench_rooms::TableFigures f;
  f.matchedShare = clean.matchedShare();
  f.idSwitches = clean.idSwitches;
  f.ghostsPerMinute = clean.perMinute(clean.ghosts);
  f.garbledGhostsPerMinute = garbled.perMinute(garbled.ghosts);
  f.meanBirthTurns = clean.meanBirthTurns();
  f.maxBirthTurns = clean.birthTurnsMax;
  f.missedBirths = clean.missedBirths;
  f.meanRemovalTurns = clean.meanRemovalTurns();
  f.maxRemovalTurns = clean.removalTurnsMax;
  f.neverRemoved = clean.neverRemoved;
  f.jitterPixels = clean.jitterPixels();
  f.stillErrorMm = clean.meanStillError();
  f.framesPerTurn = clean.framesPerTurn();
  f.birthTurns = settings.birthTurns;
  f.removalTurns = settings.removalTurns;
  return f;
}

void FillStillFigures(const Figures& figures, bench_still::StillFigures& still) {
  still.seconds = figures.seconds;
  still.farTurns = figures.eligibleFarTurns;
  still.farMatched = figures.matchedFarTurns;
  still.nearTurns = figures.eligibleNearTurns;
  still.nearMatched = figures.matchedNearTurns;
  still.stillBirths = figures.stillBirths;
  still.stillContactTurns = figures.stillContactTurns;
  still.stillClicks = figures.stillClicks;
  still.ghosts = figures.ghosts;
  still.strayClicks = figures.strayClicks;
  still.clicks = figures.clicks;
}

}  // namespace bench_table
