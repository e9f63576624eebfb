#include "object_grouping.h"

namespace scantouch {
namespace {

bool Closer(const TurnHit& a, const TurnHit& b, double gapMm) {
  const double dx = a.x - b.x;
  const double dy = a.y - b.y;
  return dx * dx + dy * dy < gapMm * gapMm;
}

struct Span {
  std::size_t first;
  std::size_t last;
};

TouchObject Midpoint(const TurnHit& first, const TurnHit& last, int hits, double firstNode,
                     double turnNodes) {
  const double phase = turnNodes > 0 ? (firstNode + last.node) / 2 / turnNodes : 0;
  return TouchObject{(first.x + last.x) / 2, (first.y + last.y) / 2, hits, phase};
}

}  // namespace

std::vector<TouchObject> GroupHits(const TurnHits& turn, double gapMm) {
  const std::vector<TurnHit>& hits = turn.hits;
  std::vector<Span> spans;
  for (std::size_t i = 0; i < hits.size(); ++i) {
    if (!spans.empty() && !hits[i].afterMiss && Closer(hits[i - 1], hits[i], gapMm))
      spans.back().last = i;
    else
      spans.push_back(Span{i, i});
  }

  // The last object runs on into the first across the start of the turn: in the sweep they are
  // one, its last point the first object's last.
  bool wrapped = spans.size() > 1 && !turn.missAtEnd && !hits.front().afterMiss &&
                 Closer(hits.back(), hits.front(), gapMm);

  std::vector<TouchObject> objects;
  objects.reserve(spans.size());
  const std::size_t end = wrapped ? spans.size() - 1 : spans.size();
  for (std::size_t s = 0; s < end; ++s) {
    const Span& span = spans[s];
    const bool joined = wrapped && s == 0;
    const TurnHit& first = joined ? hits[spans.back().first] : hits[span.first];
    // The joined object's first hits were met a turn before its last ones.
    const double firstNode = joined ? first.node - turn.nodes : first.node;
    int count = static_cast<int>(span.last - span.first + 1);
    if (joined)
      count += static_cast<int>(spans.back().last - spans.back().first + 1);
    objects.push_back(Midpoint(first, hits[span.last], count, firstNode, turn.nodes));
  }
  return objects;
}

}  // namespace scantouch
