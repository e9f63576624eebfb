#include "engine/object_centre.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace scantouch {

PlanePoint RoundObjectCentre(const std::vector<TurnHit>& hits, double beamStep_rad) {
  if (hits.empty())
    return {};
  const TurnHit& first = hits.front();
  const TurnHit& last = hits.back();
  const PlanePoint midpoint{(first.x + last.x) / 2, (first.y + last.y) / 2};
  const PlanePoint from = first.scanner;
  // Bearings are taken from the way to the midpoint, so that no object lies across the angle
  // where they wrap.
  const double towards = std::hypot(midpoint.x - from.x, midpoint.y - from.y);
  if (!(towards > 0) || !std::isfinite(towards))
    return midpoint;
  const double ux = (midpoint.x - from.x) / towards;
  const double uy = (midpoint.y - from.y) / towards;
  const auto bearing = [&](const TurnHit& hit) {
    const double dx = hit.x - from.x;
    const double dy = hit.y - from.y;
    return std::atan2(ux * dy - uy * dx, ux * dx + uy * dy);
  };
  double lowest = bearing(first);
  double highest = lowest;
  for (const TurnHit& hit : hits) {
    const double b = bearing(hit);
    lowest = std::min(lowest, b);
    highest = std::max(highest, b);
  }
  const double step = std::isfinite(beamStep_rad) ? std::max(beamStep_rad, 0.0) : 0.0;
  const double halfAngle = (highest - lowest) / 2 + step / 2;
  const double middle = (highest + lowest) / 2;
  constexpr double kWidest = std::numbers::pi / 3;
  if (!(halfAngle < kWidest))
    return midpoint;

  const double sinHalf = std::sin(halfAngle);
  double sum = 0;
  for (const TurnHit& hit : hits) {
    const double off = bearing(hit) - middle;
    const double sinOff = std::sin(off);
    const double depth = std::sqrt(std::max(0.0, sinHalf * sinHalf - sinOff * sinOff));
    sum += std::hypot(hit.x - from.x, hit.y - from.y) / (std::cos(off) - depth);
  }
  const double distance = sum / static_cast<double>(hits.size());
  const double c = std::cos(middle);
  const double s = std::sin(middle);
  return PlanePoint{from.x + distance * (c * ux - s * uy), from.y + distance * (s * ux + c * uy)};
}

}  // namespace scantouch
