#include "geometry/object_merge.h"

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

}  // namespace

std::vector<SurfaceObject> MergeObjects(std::vector<SurfaceObject> objects, double gap) {
  const std::size_t n = objects.size();
  // Each group's root is its earliest member, so the roots in index order give the result's order.
  std::vector<std::size_t> parent(n);
  for (std::size_t i = 0; i < n; ++i)
    parent[i] = i;
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = i + 1; j < n; ++j) {
      const double distance = std::hypot(objects[i].position.x - objects[j].position.x,
                                         objects[i].position.y - objects[j].position.y);
      if (!(distance < gap))
        continue;
      const std::size_t a = Root(parent, i);
      const std::size_t b = Root(parent, j);
      if (a < b) {
        parent[b] = a;
      } else if (b < a) {
        parent[a] = b;
      }
    }
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
    merged.push_back({position, sum.hits, phase, sum.repeated, sum.scanner});
  }
  return merged;
}

}  // namespace scantouch
