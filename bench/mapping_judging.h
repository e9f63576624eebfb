#pragma once

// How well a keystoned picture's pixels land: the four-corner mapping against the two-corner
// rectangle, each from the corners as they were touched.

#include <vector>

#include "geometry/surface_mapping.h"
#include "keystone_scenes.h"

namespace surface_bench {

// Pixel errors of both mappings, as shares of the screen's diagonal.
struct MappingErrors {
  std::vector<double> fourCorners;
  std::vector<double> twoCorners;
  int refused = 0;  // calibrations the four-corner mapping refused
};

// The screen's diagonal in pixels.
double ScreenDiagonal();

// A grid of 41 x 23 points across the picture, each mapped from where it lies on the wall.
void JudgeMappings(const Quad& picture, const scantouch::SurfaceMapping::Corners& touched,
                   MappingErrors& errors);

}  // namespace surface_bench
