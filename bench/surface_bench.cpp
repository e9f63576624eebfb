// touch_bench --surface: two scanners on one wall and the four-corner mapping, judged against the
// simulated scene. The first scanner's bytes go through the main window's decoder as with one
// scanner; the second's through a ScannerStream of its own, as the program routes a further
// link (bench/surface_rig.h). PrintSurfaceLegend says what each figure is and which goal it is
// held to.
//
// Where the parts are: what is played in surface_wall.h (the wall and its scanners),
// surface_scenes.h (the hands, made of scene_hands.h), keystone_scenes.h (the pictures) and
// corner_touches.h and pose_calibration_runs.h (the corners and places touched); how it is judged
// in surface_judge.h (with sweep_times.h and judging.h), surface_figures.h and
// mapping_judging.h; the road in surface_rig.h; the rows and goals in surface_printing.h. This
// file only picks what to run.

#include "surface_bench.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "corner_touches.h"
#include "keystone_scenes.h"
#include "pose_calibration_runs.h"
#include "room_table.h"
#include "rooms.h"
#include "surface_figures.h"
#include "surface_judge.h"
#include "surface_printing.h"
#include "surface_rig.h"
#include "surface_scenes.h"
#include "surface_wall.h"

namespace surface_bench {
namespace {

namespace sim = scanner_sim;

// The scene of every seed with the scanners `fed`, both placed on the engine at their true poses,
// in `room`.
SurfaceFigures RunHands(SceneMaker make, const std::vector<bool>& fed,
                        const SurfaceOptions& options, sim::RoomKind room = sim::RoomKind::plain) {
  SurfaceFigures total;
  for (int seed = 1; seed <= options.seeds; ++seed) {
    const auto s = static_cast<std::uint32_t>(seed);
    bench_scenes::HandScene scene = make(options.seconds, s, options.handMm);
    sim::FurnishRoom(scene.scene, room, kWallArea);
    SurfaceRig rig(scene.scene, {kFirst, kSecond}, fed, {ViewPose(kSecond.pose)}, s, options);
    SurfaceFigures figures;
    SurfaceJudge judge(rig, scene, figures, options.events);
    rig.engine().addSink(judge);
    rig.runUntil(options.seconds);
    judge.countUnframedTurns(options.seconds);
    figures.seconds = options.seconds;
    total.add(figures);
  }
  return total;
}

void RunBeamScene(const SurfaceOptions& options) {
  std::printf(
      "1. two hands on one beam of the first scanner, one behind the other: in the first half the "
      "hand behind\n   moves across the beam through the front one's shadow, in the second the "
      "front one moves across it\n");
  PrintHandsHeader();
  const SurfaceFigures both = RunHands(BeamScene, {true, true}, options);
  PrintHandsRow("both", both);
  PrintMatchAndIdGoals(both);
  std::printf("\n");
}

void RunWallScene(const SurfaceOptions& options) {
  std::printf(
      "2. ten hands over the wall (5 x 2 cells): still, tapping, crossing through their column; "
      "the same scene\n   with both scanners and with each alone\n");
  PrintHandsHeader();
  const SurfaceFigures both = RunHands(WallScene, {true, true}, options);
  PrintHandsRow("both", both);
  const SurfaceFigures first = RunHands(WallScene, {true, false}, options);
  PrintHandsRow("first alone", first);
  const SurfaceFigures second = RunHands(WallScene, {false, true}, options);
  PrintHandsRow("second alone", second);
  PrintMatchAndIdGoals(both);
  PrintMergedErrorGoal(both, first, second);
}

void RunKeystone(const SurfaceOptions& options) {
  PrintKeystoneHeader();
  for (const Keystone& keystone : Keystones()) {
    const Quad picture = PictureCorners(keystone);
    PrintMappingRow(keystone.name, "exact +-2 mm, 200 sets", ExactCorners(picture, 200));
    char hands[40];
    std::snprintf(hands, sizeof hands, "%.0f mm hand, %d seeds", options.handMm, options.seeds);
    PrintMappingRow("", hands, HandCorners(picture, options));
  }
  std::printf("\n");
}

void RunPoseCalibration(const SurfaceOptions& options) {
  const int sets = 2 * options.seeds;
  PrintPoseHeader(sets);
  for (const double objectMm : {options.handMm, 25.0})
    PrintPoseRow(objectMm, CalibratePoses(objectMm, sets, options));
  std::printf("\n");
}

// The hand scenes and two fingers with both scanners in every room.
void RunRooms(const SurfaceOptions& options) {
  const auto run = [&](sim::RoomKind room, bench_rooms::SurfaceScene scene) {
    const SceneMaker make = scene == bench_rooms::SurfaceScene::beam   ? BeamScene
                            : scene == bench_rooms::SurfaceScene::wall ? WallScene
                                                                       : FingerScene;
    return RoomFigures(RunHands(make, {true, true}, options, room));
  };
  char setting[64];
  std::snprintf(setting, sizeof setting, "%d seeds x %.0f s", options.seeds, options.seconds);
  bench_rooms::RunSurfaceRooms(setting, run);
}

}  // namespace

void RunSurface(const SurfaceOptions& options) {
  PrintSurfaceLegend(options);
  if (!options.roomsOnly) {
    RunBeamScene(options);
    RunWallScene(options);
    RunKeystone(options);
    RunPoseCalibration(options);
  }
  RunRooms(options);
}

}  // namespace surface_bench
