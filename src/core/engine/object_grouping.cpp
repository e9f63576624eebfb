#include "engine/object_grouping.h"

#include <numbers>

#include "engine/object_centre.h"

namespace scantouch {
namespace {

bool Closer(const TurnHit& a, const TurnHit& b, double gapMm) {
  const double dx = a.x - b.x;
  const double dy = a.y - b.y;
  return dx * dx + dy * dy < gapMm * gapMm;
}

bool ThroughBetween(const TurnHit& a, const TurnHit& b, int noReturns) {
  return noReturns >= kThroughNodes && !Closer(a, b, kThroughMm);
}

struct Span {
  std::size_t first;
  std::size_t last;
};

}  // namespace

std::vector<TouchObject> GroupHits(const TurnHits& turn, double gapMm) {
  const std::vector<TurnHit>& hits = turn.hits;
  std::vector<Span> spans;
  for (std::size_t i = 0; i < hits.size(); ++i) {
    if (!spans.empty() && !hits[i].afterMiss &&
        !ThroughBetween(hits[i - 1], hits[i], hits[i].noReturnsBefore) &&
        Closer(hits[i - 1], hits[i], gapMm))
      spans.back().last = i;
    else
      spans.push_back(Span{i, i});
  }

  // The last object runs on into the first across the start of the turn: in the sweep they are
  // one, its last point the first object's last.
  bool wrapped = spans.size() > 1 && !turn.missAtEnd && !hits.front().afterMiss &&
                 !ThroughBetween(hits.back(), hits.front(),
                                 turn.noReturnsAtEnd + hits.front().noReturnsBefore) &&
                 Closer(hits.back(), hits.front(), gapMm);

  const double beamStep_rad = turn.nodes > 0 ? 2 * std::numbers::pi / turn.nodes : 0;
  std::vector<TouchObject> objects;
  objects.reserve(spans.size());
  std::vector<TurnHit> met;  // one object's hits in the order the sweep met them
  const std::size_t end = wrapped ? spans.size() - 1 : spans.size();
  for (std::size_t s = 0; s < end; ++s) {
    const Span& span = spans[s];
    const bool joined = wrapped && s == 0;
    met.clear();
    if (joined)
      met.insert(met.end(), hits.begin() + static_cast<std::ptrdiff_t>(spans.back().first),
                 hits.end());
    met.insert(met.end(), hits.begin() + static_cast<std::ptrdiff_t>(span.first),
               hits.begin() + static_cast<std::ptrdiff_t>(span.last + 1));
    // The joined object's first hits were met a turn before its last ones.
    const double firstNode = joined ? met.front().node - turn.nodes : met.front().node;
    const double phase = turn.nodes > 0 ? (firstNode + met.back().node) / 2 / turn.nodes : 0;
    const PlanePoint centre = RoundObjectCentre(met, beamStep_rad);
    objects.push_back(TouchObject{centre.x, centre.y, static_cast<int>(met.size()), phase});
  }
  return objects;
}

}  // namespace scantouch
