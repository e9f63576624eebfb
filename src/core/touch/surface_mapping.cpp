#include "touch/surface_mapping.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace scantouch {

bool SurfaceMapping::setCorners(const std::optional<Corners>& corners) {
  if (!corners) {
    corners_.reset();
    toUnit_.reset();
    return true;
  }
  if (!IsConvexQuadrilateral(*corners))
    return false;
  const Corners unitSquare{PlanePoint{0, 0}, PlanePoint{1, 0}, PlanePoint{1, 1}, PlanePoint{0, 1}};
  std::optional<Homography> map = Homography::FromFourPairs(*corners, unitSquare);
  // A map that cannot be turned back has lost a dimension: every touch would land on one line.
  if (!map || !map->inverse())
    return false;
  corners_ = corners;
  toUnit_ = map;
  return true;
}

std::optional<PlanePoint> SurfaceMapping::toUnit(PlanePoint surface) const {
  if (!toUnit_)
    return std::nullopt;
  return toUnit_->map(surface);
}

std::optional<ScreenPoint> SurfaceMapping::toScreen(PlanePoint surface, IntPair screenSize,
                                                    IntPair screenTopLeft) const {
  const std::optional<PlanePoint> unit = toUnit(surface);
  if (!unit)
    return std::nullopt;
  // Kept within the area as the two-corner mapping keeps its touches (its far edge included), then
  // moved by the area's corner; a sum beyond 32 bits keeps the unmoved value, as there.
  const auto place = [](double share, std::int32_t extent, std::int32_t offset) {
    const double upper = std::max(0, extent);
    const auto value =
        static_cast<std::int64_t>(std::lround(std::clamp(share * extent, 0.0, upper)));
    const std::int64_t moved = value + offset;
    const bool fits = moved >= std::numeric_limits<std::int32_t>::min() &&
                      moved <= std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(fits ? moved : value);
  };
  return ScreenPoint{place(unit->x, screenSize.first, screenTopLeft.first),
                     place(unit->y, screenSize.second, screenTopLeft.second)};
}

}  // namespace scantouch
