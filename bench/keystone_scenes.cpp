#include "keystone_scenes.h"

namespace surface_bench {

namespace {

const Keystone kKeystones[] = {
    {"top 10% narrower", {{{0.05, 0}, {-0.05, 0}, {0, 0}, {0, 0}}}},
    {"each corner 5% its own way", {{{0.04, 0.03}, {-0.03, 0.04}, {-0.05, 0}, {0, -0.05}}}},
};

}  // namespace

std::span<const Keystone> Keystones() {
  return kKeystones;
}

Quad PictureCorners(const Keystone& keystone) {
  const Quad square{{{kPictureLeft, kPictureTop},
                     {kPictureLeft + kPictureWidth, kPictureTop},
                     {kPictureLeft + kPictureWidth, kPictureTop + kPictureHeight},
                     {kPictureLeft, kPictureTop + kPictureHeight}}};
  Quad corners;
  for (std::size_t i = 0; i < 4; ++i) {
    corners[i] = {square[i].x + keystone.shift[i].x * kPictureWidth,
                  square[i].y + keystone.shift[i].y * kPictureWidth};
  }
  return corners;
}

scanner_sim::PlanePoint SquareToQuad(const Quad& q, double u, double v) {
  const double dx1 = q[1].x - q[2].x;
  const double dx2 = q[3].x - q[2].x;
  const double dx3 = q[0].x - q[1].x + q[2].x - q[3].x;
  const double dy1 = q[1].y - q[2].y;
  const double dy2 = q[3].y - q[2].y;
  const double dy3 = q[0].y - q[1].y + q[2].y - q[3].y;
  const double det = dx1 * dy2 - dx2 * dy1;
  const double g = (dx3 * dy2 - dx2 * dy3) / det;
  const double h = (dx1 * dy3 - dx3 * dy1) / det;
  const double a = q[1].x - q[0].x + g * q[1].x;
  const double b = q[3].x - q[0].x + h * q[3].x;
  const double d = q[1].y - q[0].y + g * q[1].y;
  const double e = q[3].y - q[0].y + h * q[3].y;
  const double w = g * u + h * v + 1;
  return {(a * u + b * v + q[0].x) / w, (d * u + e * v + q[0].y) / w};
}

}  // namespace surface_bench
