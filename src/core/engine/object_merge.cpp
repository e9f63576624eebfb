#include "engine/object_merge.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace scantouch {
namespace {

std::size_t Root(std::vector<std::size_t>& parent, std::size_t i) {
  while (parent[i] != i) {
    parent[i] = parent[parent[i]];
    i = parent[i];
  }
  return i;
}

ScannerSet SeenBy(const SurfaceObject& object) {
  return object.scanners | ScannerBit(object.scanner);
}

struct Neighbours {
  double squareDistance;
  std::size_t first;
  std::size_t second;
};

// The pairs of objects of different scanners closer than `gap`, nearest first: found along the
// objects sorted by x, so that far apart objects cost nothing.
std::vector<Neighbours> NeighboursOf(const std::vector<SurfaceObject>& objects, double gap) {
  // A place that is not a number is no one's neighbour.
  std::vector<std::size_t> byX;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    if (std::isfinite(objects[i].position.x) && std::isfinite(objects[i].position.y))
      byX.push_back(i);
  }
  std::sort(byX.begin(), byX.end(), [&objects](std::size_t a, std::size_t b) {
    return objects[a].position.x < objects[b].position.x;
  });
  std::vector<Neighbours> pairs;
  for (std::size_t a = 0; a < byX.size(); ++a) {
    const SurfaceObject& first = objects[byX[a]];
    for (std::size_t b = a + 1; b < byX.size(); ++b) {
      const SurfaceObject& second = objects[byX[b]];
      if (!(second.position.x - first.position.x < gap))
        break;
      if ((SeenBy(first) & SeenBy(second)) != 0)
        continue;
      const double dx = first.position.x - second.position.x;
      const double dy = first.position.y - second.position.y;
      if (!(std::hypot(dx, dy) < gap))
        continue;
      pairs.push_back({dx * dx + dy * dy, std::min(byX[a], byX[b]), std::max(byX[a], byX[b])});
    }
  }
  std::sort(pairs.begin(), pairs.end(), [](const Neighbours& a, const Neighbours& b) {
    if (a.squareDistance != b.squareDistance)
      return a.squareDistance < b.squareDistance;
    return a.first != b.first ? a.first < b.first : a.second < b.second;
  });
  return pairs;
}

}  // namespace

std::vector<SurfaceObject> MergeObjects(std::vector<SurfaceObject> objects, double gap) {
  const std::size_t n = objects.size();
  // Each group's root is its earliest member, so the roots in index order give the result's order.
  std::vector<std::size_t> parent(n);
  std::vector<ScannerSet> groupScanners(n);
  for (std::size_t i = 0; i < n; ++i) {
    parent[i] = i;
    groupScanners[i] = SeenBy(objects[i]);
  }
  for (const Neighbours& pair : NeighboursOf(objects, gap)) {
    const std::size_t a = Root(parent, pair.first);
    const std::size_t b = Root(parent, pair.second);
    // A group holds one object of each scanner at most.
    if (a == b || (groupScanners[a] & groupScanners[b]) != 0)
      continue;
    const std::size_t root = std::min(a, b);
    parent[std::max(a, b)] = root;
    groupScanners[root] = groupScanners[a] | groupScanners[b];
  }

  struct Sum {
    double weightedX = 0, weightedY = 0, weight = 0;
    double weightedPhase = 0;
    double plainX = 0, plainY = 0, plainPhase = 0;
    int parts = 0;
    int hits = 0;
    bool repeated = true;
    int scanner = -1;
  };
  std::vector<Sum> sums(n);
  for (std::size_t i = 0; i < n; ++i) {
    Sum& sum = sums[Root(parent, i)];
    const SurfaceObject& object = objects[i];
    // An object without hits (or with a nonsense negative count) pulls nothing.
    const double weight = object.hits > 0 ? object.hits : 0;
    sum.weightedX += weight * object.position.x;
    sum.weightedY += weight * object.position.y;
    sum.weightedPhase += weight * object.phase;
    sum.weight += weight;
    sum.plainX += object.position.x;
    sum.plainY += object.position.y;
    sum.plainPhase += object.phase;
    ++sum.parts;
    sum.hits += object.hits;
    sum.repeated = sum.repeated && object.repeated;
    sum.scanner = sum.scanner < 0 ? object.scanner : std::min(sum.scanner, object.scanner);
  }

  std::vector<SurfaceObject> merged;
  for (std::size_t i = 0; i < n; ++i) {
    if (parent[i] != i)
      continue;
    const Sum& sum = sums[i];
    const PlanePoint position =
        sum.weight > 0 ? PlanePoint{sum.weightedX / sum.weight, sum.weightedY / sum.weight}
                       : PlanePoint{sum.plainX / sum.parts, sum.plainY / sum.parts};
    const double phase =
        sum.weight > 0 ? sum.weightedPhase / sum.weight : sum.plainPhase / sum.parts;
    merged.push_back({position, sum.hits, phase, sum.repeated, sum.scanner, groupScanners[i]});
  }
  return merged;
}

}  // namespace scantouch
