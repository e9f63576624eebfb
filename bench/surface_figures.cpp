#include "surface_figures.h"

#include "judging.h"

namespace surface_bench {

void SurfaceFigures::add(const SurfaceFigures& o) {
  seconds += o.seconds;
  eligible += o.eligible;
  matched += o.matched;
  unframed += o.unframed;
  stillEligible += o.stillEligible;
  stillMatched += o.stillMatched;
  movingEligible += o.movingEligible;
  movingMatched += o.movingMatched;
  shadowEligible += o.shadowEligible;
  shadowMatched += o.shadowMatched;
  idSwitches += o.idSwitches;
  newIds += o.newIds;
  births += o.births;
  ghosts += o.ghosts;
  doubled += o.doubled;
  errorsMm.insert(errorsMm.end(), o.errorsMm.begin(), o.errorsMm.end());
  stillErrorsMm.insert(stillErrorsMm.end(), o.stillErrorsMm.begin(), o.stillErrorsMm.end());
}

double SurfaceFigures::matchedShare() const {
  return bench_judging::Share(matched, eligible + unframed);
}

double SurfaceFigures::perMinute(std::uint64_t count) const {
  return bench_judging::PerMinute(count, seconds);
}

bench_rooms::SurfaceFigures RoomFigures(const SurfaceFigures& f) {
  bench_rooms::SurfaceFigures figures;
  figures.matchedShare = f.matchedShare();
  figures.idSwitches = f.idSwitches;
  figures.newIds = f.newIds;
  figures.ghostsPerMinute = f.perMinute(f.ghosts);
  figures.stillErrorMm = bench_judging::Mean(f.stillErrorsMm);
  return figures;
}

}  // namespace surface_bench
