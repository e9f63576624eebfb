#pragma once

// The keystoned pictures touch_bench --surface maps by their four corners: a projector's picture
// on the wall (bench/surface_wall.h), its corners moved.

#include <array>
#include <span>

#include "scene.h"

namespace surface_bench {

// Top-left, top-right, bottom-right, bottom-left.
using Quad = std::array<scanner_sim::PlanePoint, 4>;

// The picture as the projector would throw it square on: 3600 x 1800 mm inside the wall.
inline constexpr double kPictureLeft = 300;
inline constexpr double kPictureTop = 200;
inline constexpr double kPictureWidth = 3600;
inline constexpr double kPictureHeight = 1800;

struct Keystone {
  const char* name;
  std::array<scanner_sim::PlanePoint, 4> shift;  // of each corner, as a share of the width
};
// The top edge 10% of the width narrower, and each corner moved by 5% of the width its own way.
std::span<const Keystone> Keystones();

// Where the keystone puts the picture's corners on the wall.
Quad PictureCorners(const Keystone& keystone);

// Where the projector puts the share (u, v) of its picture on the wall: the projective map of the
// unit square onto the picture's corners, in closed form (so that it shares nothing with the
// core's solver it judges).
scanner_sim::PlanePoint SquareToQuad(const Quad& q, double u, double v);

}  // namespace surface_bench
