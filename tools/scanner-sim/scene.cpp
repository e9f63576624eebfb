#include "scene.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace scanner_sim {
namespace {

double Radians(double degrees) {
  return degrees * std::numbers::pi / 180;
}

// Distance along the ray from the origin in direction (dx, dy) to the circle, if it meets it.
std::optional<double> RayToCircle(double dx, double dy, PlanePoint centre, double radius) {
  const double along = centre.x * dx + centre.y * dy;
  if (along <= 0)
    return std::nullopt;
  const double squareMiss = centre.x * centre.x + centre.y * centre.y - along * along;
  const double squareRadius = radius * radius;
  if (squareMiss > squareRadius)
    return std::nullopt;
  const double hit = along - std::sqrt(squareRadius - squareMiss);
  return hit > 0 ? std::optional<double>(hit) : std::nullopt;
}

}  // namespace

PlanePoint PolarToPlane(double angleDegrees, double distanceMm) {
  return PlanePoint{distanceMm * std::sin(Radians(angleDegrees)),
                    -distanceMm * std::cos(Radians(angleDegrees))};
}

PlanePoint SceneObject::centreAt(double time_s) const {
  if (!to || period_s <= 0)
    return from;
  const double phase = std::fmod(time_s / period_s, 1.0);
  const double share = phase < 0.5 ? phase * 2 : (1 - phase) * 2;  // there and back
  return PlanePoint{from.x + (to->x - from.x) * share, from.y + (to->y - from.y) * share};
}

double Scene::roomDistanceAt(double angleDegrees) const {
  if (roomDistanceMm.empty())
    return 0;
  const double count = static_cast<double>(roomDistanceMm.size());
  double position = std::fmod(angleDegrees, 360.0) / 360.0 * count;
  if (position < 0)
    position += count;
  const auto below = static_cast<std::size_t>(position) % roomDistanceMm.size();
  const auto above = (below + 1) % roomDistanceMm.size();
  const double share = position - std::floor(position);
  return roomDistanceMm[below] * (1 - share) + roomDistanceMm[above] * share;
}

double Scene::measure(double angleDegrees, double time_s) const {
  const double dx = std::sin(Radians(angleDegrees));
  const double dy = -std::cos(Radians(angleDegrees));
  double nearest = roomDistanceAt(angleDegrees);
  for (const SceneObject& object : objects) {
    if (const auto hit = RayToCircle(dx, dy, object.centreAt(time_s), object.diameterMm / 2)) {
      nearest = std::min(nearest, *hit);
    }
  }
  return nearest;
}

}  // namespace scanner_sim
