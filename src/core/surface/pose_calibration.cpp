#include "surface/pose_calibration.h"

#include <algorithm>

namespace scantouch {

PoseCalibration::PoseCalibration(TouchEngine& engine) : engine_(engine) {}

bool PoseCalibration::recordPlace() {
  if (recording())
    return false;
  sums_.clear();
  turnsLeft_ = kPlaceTurns;
  return true;
}

std::size_t PoseCalibration::places(std::size_t index) const {
  const auto found = local_.find(index);
  return found == local_.end() ? 0 : found->second.size();
}

void PoseCalibration::clear() {
  turnsLeft_ = 0;
  sums_.clear();
  local_.clear();
  surface_.clear();
}

void PoseCalibration::onTouchFrame(const TouchFrame&) {
  if (!recording())
    return;
  // The first scanner's single object is where the object is on the surface; a scanner that sees
  // one object too gives its own view of it.
  const std::vector<TouchObject>& first = engine_.scannerObjects(0);
  if (first.size() == 1) {
    for (std::size_t i = 1; i < engine_.scannerCount(); ++i) {
      const std::vector<TouchObject>& seen = engine_.scannerObjects(i);
      const std::optional<Pose>& pose = engine_.scannerPose(i);
      if (seen.size() != 1 || !pose || !engine_.scannerAlive(i))
        continue;
      const PlanePoint local = toLocal(*pose, PlanePoint{seen[0].x, seen[0].y});
      Sum& sum = sums_[i];
      sum.surface.x += first[0].x;
      sum.surface.y += first[0].y;
      sum.local.x += local.x;
      sum.local.y += local.y;
      ++sum.turns;
    }
  }
  if (--turnsLeft_ == 0)
    finishPlace();
}

void PoseCalibration::finishPlace() {
  int kept = 0;
  for (const auto& [index, sum] : sums_) {
    if (sum.turns < kPlaceTurnsNeeded)
      continue;
    const double n = sum.turns;
    surface_[index].push_back({sum.surface.x / n, sum.surface.y / n});
    local_[index].push_back({sum.local.x / n, sum.local.y / n});
    ++kept;
  }
  sums_.clear();
  if (kept == 0) {
    report_ = "未记录：需要一个静止物体，第一台和另一台扫描仪都只看到它";
    return;
  }
  std::size_t most = 0;
  for (const auto& [index, points] : local_)
    most = std::max(most, points.size());
  report_ = "已记录 " + std::to_string(most) + " 个位置";
}

std::vector<PoseCalibration::Solved> PoseCalibration::solve() {
  std::vector<Solved> solved;
  for (const auto& [index, local] : local_) {
    if (const auto fit = SolvePose(local, surface_[index]))
      solved.push_back({index, *fit});
  }
  clear();
  return solved;
}

}  // namespace scantouch
