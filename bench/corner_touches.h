#pragma once

// The four corners of a keystoned picture as they are touched to calibrate, each set judged by
// bench/mapping_judging.h.

#include "keystone_scenes.h"
#include "mapping_judging.h"
#include "surface_bench.h"

namespace surface_bench {

// Corners touched exactly, each coordinate off by up to 2 mm either way, `sets` times.
MappingErrors ExactCorners(const Quad& picture, int sets);

// Corners touched by a still hand, as the engine of both scanners reports it averaged over ten
// turns: four hands at the picture's corners for two seconds, a set for each seed.
MappingErrors HandCorners(const Quad& picture, const SurfaceOptions& options);

}  // namespace surface_bench
