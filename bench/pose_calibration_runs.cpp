#include "pose_calibration_runs.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "scanners/pose_calibration.h"
#include "scene_hands.h"
#include "surface_rig.h"
#include "surface_wall.h"

namespace surface_bench {

using namespace scantouch;
namespace sim = scanner_sim;

Pose RoughPose() {
  Pose rough = ViewPose(kSecond.pose);
  rough.x += 120;
  rough.y -= 80;
  rough.angleDegrees += 3;
  return rough;
}

PoseErrors CalibratePoses(double objectMm, int sets, const SurfaceOptions& options) {
  PoseErrors errors;
  const Pose truth = ViewPose(kSecond.pose);
  for (int set = 1; set <= sets; ++set) {
    const auto s = static_cast<std::uint32_t>(set);
    bench_scenes::HandDraws draws(s * 16807u + 5);
    const auto uniform = [&draws](double from, double to) { return draws.uniform(from, to); };
    bench_scenes::HandScene scene = bench_scenes::NewHandScene();
    const sim::PlanePoint places[] = {{uniform(600, 1400), uniform(400, 900)},
                                      {uniform(2800, 3600), uniform(400, 900)},
                                      {uniform(1600, 2600), uniform(1300, 1800)}};
    for (int k = 0; k < 3; ++k) {
      sim::SceneObject object;
      object.from = places[k];
      bench_scenes::AddHand(scene, object, bench_scenes::HandRole::still, objectMm, 0.3 + 2 * k,
                            1.9 + 2 * k);
    }
    SurfaceRig rig(scene.scene, {kFirst, kSecond}, {true, true}, {RoughPose()}, s, options);
    PoseCalibration calibration(rig.engine());
    rig.engine().addSink(calibration);
    for (int k = 0; k < 3; ++k) {
      rig.runUntil(0.6 + 2 * k);
      (void)calibration.recordPlace();
      rig.runUntil(1.9 + 2 * k);
    }
    const std::vector<PoseCalibration::Solved> solved = calibration.solve();
    const auto second =
        std::find_if(solved.begin(), solved.end(),
                     [](const PoseCalibration::Solved& pose) { return pose.scanner == 1; });
    if (second == solved.end()) {
      ++errors.failed;
      continue;
    }
    errors.placeMm.push_back(
        std::hypot(second->fit.pose.x - truth.x, second->fit.pose.y - truth.y));
    errors.angleDegrees.push_back(
        std::abs(std::remainder(second->fit.pose.angleDegrees - truth.angleDegrees, 360.0)));
    errors.residualMm.push_back(second->fit.residualRms);
  }
  return errors;
}

}  // namespace surface_bench
