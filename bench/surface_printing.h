#pragma once

// touch_bench --surface's printed legend, rows and goals.

#include "mapping_judging.h"
#include "pose_calibration_runs.h"
#include "surface_bench.h"
#include "surface_figures.h"

namespace surface_bench {

// What each figure is, and where the scanners are.
void PrintSurfaceLegend(const SurfaceOptions& options);

// The hand scenes: a row for each set of scanners fed, then the goals.
void PrintHandsHeader();
void PrintHandsRow(const char* name, const SurfaceFigures& f);
void PrintMatchAndIdGoals(const SurfaceFigures& f);
// Both scanners' error against the better one's alone.
void PrintMergedErrorGoal(const SurfaceFigures& both, const SurfaceFigures& first,
                          const SurfaceFigures& second);

// The keystoned pictures: a row for each way of touching the corners.
void PrintKeystoneHeader();
void PrintMappingRow(const char* keystone, const char* corners, const MappingErrors& e);

// The second scanner's pose: a row for each size of object.
void PrintPoseHeader(int sets);
void PrintPoseRow(double objectMm, const PoseErrors& e);

}  // namespace surface_bench
