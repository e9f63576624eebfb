#include "geometry/pose.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>

namespace scantouch {
namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180;

PlanePoint Centroid(const std::vector<PlanePoint>& points) {
  double x = 0;
  double y = 0;
  for (const auto& p : points) {
    x += p.x;
    y += p.y;
  }
  const auto n = static_cast<double>(points.size());
  return {x / n, y / n};
}

// All points within rounding of their centroid.
bool AllCoincide(const std::vector<PlanePoint>& points, PlanePoint centroid) {
  double magnitude = 0;
  double spread = 0;
  for (const auto& p : points) {
    magnitude = std::max({magnitude, std::abs(p.x), std::abs(p.y)});
    spread = std::max(spread, std::hypot(p.x - centroid.x, p.y - centroid.y));
  }
  return !(spread > 1e-12 * magnitude) || !std::isfinite(spread);
}

}  // namespace

PlanePoint toSurface(const Pose& pose, PlanePoint local) {
  const double angle = pose.angleDegrees * kRadiansPerDegree;
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  return {c * local.x - s * local.y + pose.x, s * local.x + c * local.y + pose.y};
}

PlanePoint toLocal(const Pose& pose, PlanePoint surface) {
  const double angle = pose.angleDegrees * kRadiansPerDegree;
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  const double x = surface.x - pose.x;
  const double y = surface.y - pose.y;
  return {c * x + s * y, -s * x + c * y};
}

std::optional<PoseFit> SolvePose(const std::vector<PlanePoint>& seenBySecond,
                                 const std::vector<PlanePoint>& sameOnSurface) {
  if (seenBySecond.size() < 2 || seenBySecond.size() != sameOnSurface.size())
    return std::nullopt;
  const PlanePoint localCentre = Centroid(seenBySecond);
  const PlanePoint surfaceCentre = Centroid(sameOnSurface);
  if (AllCoincide(seenBySecond, localCentre) || AllCoincide(sameOnSurface, surfaceCentre)) {
    return std::nullopt;
  }

  // The turn that best lines up the points about their centroids: the angle of the summed
  // complex products of each local offset's conjugate with its surface offset.
  double dot = 0;
  double cross = 0;
  for (std::size_t i = 0; i < seenBySecond.size(); ++i) {
    const double px = seenBySecond[i].x - localCentre.x, py = seenBySecond[i].y - localCentre.y;
    const double qx = sameOnSurface[i].x - surfaceCentre.x,
                 qy = sameOnSurface[i].y - surfaceCentre.y;
    dot += px * qx + py * qy;
    cross += px * qy - py * qx;
  }
  const double angle = std::atan2(cross, dot);
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  PoseFit fit;
  fit.pose = {surfaceCentre.x - (c * localCentre.x - s * localCentre.y),
              surfaceCentre.y - (s * localCentre.x + c * localCentre.y), angle / kRadiansPerDegree};

  double squares = 0;
  for (std::size_t i = 0; i < seenBySecond.size(); ++i) {
    const PlanePoint mapped = toSurface(fit.pose, seenBySecond[i]);
    const double dx = mapped.x - sameOnSurface[i].x, dy = mapped.y - sameOnSurface[i].y;
    squares += dx * dx + dy * dy;
  }
  fit.residualRms = std::sqrt(squares / static_cast<double>(seenBySecond.size()));
  return fit;
}

}  // namespace scantouch
