#pragma once

// The second scanner's pose as PoseCalibration finds it, against the true one.

#include <vector>

#include "geometry/pose.h"
#include "surface_bench.h"

namespace surface_bench {

// The second scanner as the user first enters it: measured roughly, 144 mm and 3 degrees off.
scantouch::Pose RoughPose();

struct PoseErrors {
  std::vector<double> placeMm;
  std::vector<double> angleDegrees;
  std::vector<double> residualMm;
  int failed = 0;  // sets that gave no pose
};

// One still object of `objectMm` at three places both scanners see, each measured by
// PoseCalibration over its ten turns, the engine given the rough pose; the pose it solves
// against the true one, `sets` times.
PoseErrors CalibratePoses(double objectMm, int sets, const SurfaceOptions& options);

}  // namespace surface_bench
