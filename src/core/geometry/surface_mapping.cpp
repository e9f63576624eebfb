#include "geometry/surface_mapping.h"

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

std::optional<PlanePoint> SurfaceMapping::toUnitWithin(PlanePoint surface) const {
  if (!toUnit_ || !corners_)
    return std::nullopt;
  std::optional<PlanePoint> unit = toUnit_->map(surface);
  if (!unit) {
    PlanePoint middle;
    for (const PlanePoint& corner : *corners_) {
      middle.x += corner.x / 4;
      middle.y += corner.y / 4;
    }
    // w falls linearly from the middle to the point: take the point a millionth short of where it
    // reaches 0, whose place lies far beyond the area and is kept at its edge.
    const double inside = toUnit_->denominator(middle);
    const double beyond = toUnit_->denominator(surface);
    const double t = inside / (inside - beyond) * (1 - 1e-6);
    unit = toUnit_->map(
        PlanePoint{middle.x + t * (surface.x - middle.x), middle.y + t * (surface.y - middle.y)});
    if (!unit)
      return std::nullopt;  // a point that is not a number
  }
  return PlanePoint{std::clamp(unit->x, 0.0, 1.0), std::clamp(unit->y, 0.0, 1.0)};
}

std::optional<LinearMap> SurfaceMapping::unitDerivative(PlanePoint surface) const {
  if (!toUnit_)
    return std::nullopt;
  return toUnit_->derivative(surface);
}

std::optional<ScreenPoint> SurfaceMapping::toScreen(PlanePoint surface, IntPair screenSize,
                                                    IntPair screenTopLeft) const {
  const std::optional<PlanePoint> unit = toUnitWithin(surface);
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
