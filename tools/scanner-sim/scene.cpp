#include "scene.h"

#include <algorithm>
#include <cmath>
#include <limits>
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

double Cross(double ax, double ay, double bx, double by) {
  return ax * by - ay * bx;
}

// Where `beam` meets `segment`, and the angle between them in degrees, if it meets it.
struct SegmentHit {
  double distanceMm;
  double angleDegrees;
};
std::optional<SegmentHit> BeamToSegment(Beam beam, const SceneSegment& segment) {
  const double ex = segment.to.x - segment.from.x;
  const double ey = segment.to.y - segment.from.y;
  const double across = Cross(beam.dx, beam.dy, ex, ey);
  const double length = std::hypot(ex, ey);
  if (length == 0 || std::abs(across) < 1e-12 * length)
    return std::nullopt;  // along it: the beam never meets the line
  const double along = Cross(segment.from.x, segment.from.y, ex, ey) / across;
  const double share = Cross(segment.from.x, segment.from.y, beam.dx, beam.dy) / across;
  if (along <= 0 || share < 0 || share > 1)
    return std::nullopt;
  return SegmentHit{along,
                    std::asin(std::min(1.0, std::abs(across) / length)) * 180 / std::numbers::pi};
}

// The nearest thing other than the wall in the way of `beam`, skipping object `skip`: its distance
// (infinity: none) and, where a segment is nearest, its echo's spread.
Echo NearestInTheWay(const Scene& scene, Beam beam, double time_s, std::size_t skip) {
  Echo nearest{std::numeric_limits<double>::infinity(), 0};
  for (std::size_t o = 0; o < scene.objects.size(); ++o) {
    if (o == skip)
      continue;
    if (const auto hit = BeamToObject(beam, scene.objects[o], time_s);
        hit && *hit < nearest.distanceMm)
      nearest = Echo{*hit, 0};
  }
  for (const SceneObject& still : scene.clutter) {
    if (const auto hit = BeamToObject(beam, still, time_s); hit && *hit < nearest.distanceMm)
      nearest = Echo{*hit, 0};
  }
  for (const SceneSegment& segment : scene.segments) {
    if (const auto hit = BeamToSegment(beam, segment);
        hit && hit->distanceMm < nearest.distanceMm) {
      nearest = Echo{hit->distanceMm, GrazingSpreadMm(segment.planeAngleDegrees, hit->angleDegrees,
                                                      hit->distanceMm)};
    }
  }
  return nearest;
}

constexpr std::size_t kNoObject = std::numeric_limits<std::size_t>::max();

}  // namespace

double GrazingSpreadMm(double planeAngleDegrees, double beamToLineDegrees, double distanceMm) {
  if (planeAngleDegrees >= 90)
    return 0;
  // A beam about 2 mm thick at the window that widens by 1 mm a metre, and meets the wall's face
  // at the angle between them: the wall's tilt to the plane, less where the beam runs along it.
  constexpr double kWindowMm = 2;
  constexpr double kWideningPerMm = 0.001;
  // No return is spread farther than this: the spot fades.
  constexpr double kLongestSpreadMm = 600;
  const double halfThickness = (kWindowMm + kWideningPerMm * distanceMm) / 2;
  const double graze = std::asin(std::sin(Radians(planeAngleDegrees)) *
                                 std::abs(std::sin(Radians(beamToLineDegrees))));
  if (graze <= 0)
    return kLongestSpreadMm;
  return std::min(kLongestSpreadMm, halfThickness / std::tan(graze));
}

bool AngleSector::contains(double angleDegrees) const {
  if (toDegrees - fromDegrees >= 360)
    return true;
  const double span = std::fmod(std::fmod(toDegrees - fromDegrees, 360.0) + 360.0, 360.0);
  const double into = std::fmod(std::fmod(angleDegrees - fromDegrees, 360.0) + 360.0, 360.0);
  return into <= span;
}

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

bool Scene::wallAt(double angleDegrees) const {
  return wallSectors.empty() || std::any_of(wallSectors.begin(), wallSectors.end(),
                                            [angleDegrees](const AngleSector& sector) {
                                              return sector.contains(angleDegrees);
                                            });
}

Echo Scene::echo(double angleDegrees, double time_s) const {
  const Echo inTheWay = NearestInTheWay(*this, BeamAt(angleDegrees), time_s, kNoObject);
  if (wallAt(angleDegrees)) {
    const double wall = roomDistanceAt(angleDegrees);
    if (wall <= inTheWay.distanceMm)
      return Echo{wall, 0};
  }
  if (std::isinf(inTheWay.distanceMm))
    return Echo{0, 0};  // open space
  return inTheWay;
}

double Scene::measure(double angleDegrees, double time_s) const {
  return echo(angleDegrees, time_s).distanceMm;
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
    seen += NearestInTheWay(*this, beam, time_s, index).distanceMm < *own ? 0 : 1;
  }
  return static_cast<double>(seen) / rays;
}

}  // namespace scanner_sim
