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

// The direction of the beam at `angleDegrees`.
struct Beam {
  double dx;
  double dy;
};
Beam BeamAt(double angleDegrees) {
  return Beam{std::sin(Radians(angleDegrees)), -std::cos(Radians(angleDegrees))};
}

// Where `beam` meets `object` at `time_s`, if the object is there and in its way.
std::optional<double> BeamToObject(Beam beam, const SceneObject& object, double time_s) {
  if (!object.presentAt(time_s))
    return std::nullopt;
  return RayToCircle(beam.dx, beam.dy, object.centreAt(time_s), object.diameterMm / 2);
}

}  // namespace

PlanePoint PolarToPlane(double angleDegrees, double distanceMm) {
  return PlanePoint{distanceMm * std::sin(Radians(angleDegrees)),
                    -distanceMm * std::cos(Radians(angleDegrees))};
}

PlanePoint SceneObject::centreAt(double time_s) const {
  if (!to || period_s <= 0)
    return from;
  double phase = std::fmod(time_s / period_s, 1.0);
  if (phase < 0)
    phase += 1;
  const double share = phase < 0.5 ? phase * 2 : (1 - phase) * 2;  // there and back
  return PlanePoint{from.x + (to->x - from.x) * share, from.y + (to->y - from.y) * share};
}

bool SceneObject::presentAt(double time_s) const {
  if (time_s < appear_s || time_s >= disappear_s)
    return false;
  if (!taps())
    return true;
  double intoPeriod = std::fmod(time_s - tapPhase_s, tapPeriod_s);
  if (intoPeriod < 0)
    intoPeriod += tapPeriod_s;
  return intoPeriod < tapDown_s;
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
  const Beam beam = BeamAt(angleDegrees);
  double nearest = roomDistanceAt(angleDegrees);
  for (const SceneObject& object : objects) {
    if (const auto hit = BeamToObject(beam, object, time_s))
      nearest = std::min(nearest, *hit);
  }
  return nearest;
}

double Scene::visibleShare(std::size_t index, double time_s, int rays) const {
  if (index >= objects.size() || rays < 1 || !objects[index].presentAt(time_s))
    return 0;
  const SceneObject& target = objects[index];
  const PlanePoint centre = target.centreAt(time_s);
  const double distance = std::hypot(centre.x, centre.y);
  const double radius = target.diameterMm / 2;
  if (distance <= radius)
    return 0;
  const double bearing = std::atan2(centre.x, -centre.y) * 180 / std::numbers::pi;
  const double halfSpan = std::asin(radius / distance) * 180 / std::numbers::pi;
  int seen = 0;
  for (int ray = 0; ray < rays; ++ray) {
    // The middle of each of `rays` equal slices, so that no beam only grazes the edge.
    const Beam beam = BeamAt(bearing + halfSpan * ((2.0 * ray + 1) / rays - 1));
    const auto own = BeamToObject(beam, target, time_s);
    if (!own)
      continue;
    bool hidden = false;
    for (std::size_t other = 0; other < objects.size() && !hidden; ++other) {
      if (other == index)
        continue;
      const auto hit = BeamToObject(beam, objects[other], time_s);
      hidden = hit && *hit < *own;
    }
    seen += hidden ? 0 : 1;
  }
  return static_cast<double>(seen) / rays;
}

}  // namespace scanner_sim
