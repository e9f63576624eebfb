#include "scanners/pose_calibration.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace scantouch {
namespace {

// The two hits farthest apart: the object's edges as this turn met them.
std::pair<PlanePoint, PlanePoint> Edges(const std::vector<TurnHit>& hits) {
  double widest = -1;
  std::pair<PlanePoint, PlanePoint> edges;
  for (std::size_t i = 0; i < hits.size(); ++i) {
    for (std::size_t j = i; j < hits.size(); ++j) {
      const double span = std::hypot(hits[i].x - hits[j].x, hits[i].y - hits[j].y);
      if (span > widest) {
        widest = span;
        edges = {{hits[i].x, hits[i].y}, {hits[j].x, hits[j].y}};
      }
    }
  }
  return edges;
}

// The middle distance between hits the sweep met one after the other: how far apart its beams
// fall on the object.
double BeamStep(const std::vector<TurnHit>& hits) {
  std::vector<double> steps;
  for (std::size_t i = 1; i < hits.size(); ++i)
    steps.push_back(std::hypot(hits[i].x - hits[i - 1].x, hits[i].y - hits[i - 1].y));
  if (steps.empty())
    return 0;
  std::nth_element(steps.begin(), steps.begin() + steps.size() / 2, steps.end());
  return steps[steps.size() / 2];
}

}  // namespace

PoseCalibration::PoseCalibration(TouchEngine& engine) : engine_(engine) {}

bool PoseCalibration::recordPlace() {
  if (recording())
    return false;
  sightings_.clear();
  turnsLeft_ = kPlaceTurns;
  return true;
}

void PoseCalibration::clear() {
  turnsLeft_ = 0;
  sightings_.clear();
  places_.clear();
}

void PoseCalibration::onTouchFrame(const TouchFrame&) {
  if (!recording())
    return;
  for (std::size_t i = 0; i < engine_.scannerCount(); ++i) {
    const std::vector<TouchObject>& seen = engine_.scannerObjects(i);
    if (seen.size() == 1 && engine_.scannerAlive(i))
      if (!engine_.scannerHits(i).empty())
        sightings_[i].push_back(
            Sighting{Edges(engine_.scannerHits(i)), BeamStep(engine_.scannerHits(i))});
  }
  if (--turnsLeft_ == 0)
    finishPlace();
}

std::optional<PlanePoint> PoseCalibration::centre(std::size_t index) const {
  const auto found = sightings_.find(index);
  if (found == sightings_.end() || found->second.size() < kPlaceTurnsNeeded)
    return std::nullopt;
  const std::vector<Sighting>& sightings = found->second;
  // Each turn's outermost hits lie up to a beam's step inside the object's edges; the widest of
  // ten turns about a quarter of a step on each side.
  double widest = 0;
  double steps = 0;
  for (const Sighting& sighting : sightings) {
    widest = std::max(widest, sighting.span());
    steps += sighting.step;
  }
  const double radius = widest / 2 + steps / static_cast<double>(sightings.size()) / 4;
  const PlanePoint scanner = engine_.surfacePoint(index, 0, 0);
  double x = 0;
  double y = 0;
  for (const Sighting& sighting : sightings) {
    // The centre lies on the perpendicular bisector of the chord between the edges, on the side
    // away from the scanner, as deep as the chord lies in a circle of the radius.
    const auto [a, b] = sighting.edges;
    const PlanePoint middle{(a.x + b.x) / 2, (a.y + b.y) / 2};
    const double half = sighting.span() / 2;
    const double depth = std::sqrt(std::max(0.0, radius * radius - half * half));
    PlanePoint normal{0, 0};
    if (half > 0) {
      normal = {-(b.y - a.y) / (2 * half), (b.x - a.x) / (2 * half)};
    } else {
      const double distance = std::hypot(middle.x - scanner.x, middle.y - scanner.y);
      if (distance > 0)
        normal = {(middle.x - scanner.x) / distance, (middle.y - scanner.y) / distance};
    }
    if (normal.x * (middle.x - scanner.x) + normal.y * (middle.y - scanner.y) < 0)
      normal = {-normal.x, -normal.y};
    x += middle.x + depth * normal.x;
    y += middle.y + depth * normal.y;
  }
  const auto n = static_cast<double>(sightings.size());
  return PlanePoint{x / n, y / n};
}

void PoseCalibration::finishPlace() {
  int kept = 0;
  const std::optional<PlanePoint> first = centre(0);
  for (std::size_t i = 1; first && i < engine_.scannerCount(); ++i) {
    const std::optional<PlanePoint> other = centre(i);
    const std::optional<Pose>& pose = engine_.scannerPose(i);
    if (!other || !pose)
      continue;
    places_[i].push_back(Place{*first, toLocal(*pose, *other)});
    ++kept;
  }
  sightings_.clear();
  if (kept == 0) {
    report_ = "未记录：需要一个静止物体，第一台和另一台扫描仪都只看到它";
    return;
  }
  std::size_t most = 0;
  for (const auto& [index, places] : places_)
    most = std::max(most, places.size());
  report_ = "已记录 " + std::to_string(most) + " 个位置";
}

std::vector<PoseCalibration::Solved> PoseCalibration::solve() {
  std::vector<Solved> solved;
  for (const auto& [index, places] : places_) {
    std::vector<PlanePoint> local;
    std::vector<PlanePoint> surface;
    for (const Place& place : places) {
      local.push_back(place.local);
      surface.push_back(place.surface);
    }
    if (const std::optional<PoseFit> fit = SolvePose(local, surface))
      solved.push_back({index, *fit});
  }
  if (solved.empty())
    return solved;  // one place so far: it waits for the next
  // The poses change: a place being measured would mix sightings from the old and the new.
  turnsLeft_ = 0;
  sightings_.clear();
  for (const Solved& result : solved)
    places_.erase(result.scanner);
  return solved;
}

}  // namespace scantouch
