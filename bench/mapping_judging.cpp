#include "mapping_judging.h"

#include <cmath>
#include <cstdint>

#include "geometry/screen_scaling.h"
#include "surface_wall.h"

namespace surface_bench {

using namespace scantouch;

namespace {

// The two-corner mapping of a surface point: the rectangle from the touched top-left to the
// touched bottom-right corner, scaled onto the screen.
ScreenPoint TwoCornerPixel(PlanePoint surface, PlanePoint topLeft, PlanePoint bottomRight) {
  const IntPair offset{static_cast<std::int32_t>(std::round(surface.x - topLeft.x)),
                       static_cast<std::int32_t>(std::round(surface.y - topLeft.y))};
  return MapOffsetToScreen(offset, IntPair{kScreenWidth, kScreenHeight}, IntPair{0, 0},
                           static_cast<float>(bottomRight.x - topLeft.x),
                           static_cast<float>(bottomRight.y - topLeft.y));
}

double PixelError(ScreenPoint pixel, double u, double v) {
  return std::hypot(pixel.x - u * kScreenWidth, pixel.y - v * kScreenHeight) / ScreenDiagonal();
}

}  // namespace

double ScreenDiagonal() {
  return std::hypot(kScreenWidth, kScreenHeight);
}

void JudgeMappings(const Quad& picture, const SurfaceMapping::Corners& touched,
                   MappingErrors& errors) {
  SurfaceMapping mapping;
  if (!mapping.setCorners(touched)) {
    ++errors.refused;
    return;
  }
  constexpr int kColumns = 41;
  constexpr int kRows = 23;
  for (int row = 0; row < kRows; ++row) {
    for (int column = 0; column < kColumns; ++column) {
      const double u = static_cast<double>(column) / (kColumns - 1);
      const double v = static_cast<double>(row) / (kRows - 1);
      const PlanePoint at = ToView(SquareToQuad(picture, u, v));
      const auto pixel = mapping.toScreen(at, IntPair{kScreenWidth, kScreenHeight}, IntPair{0, 0});
      errors.fourCorners.push_back(pixel ? PixelError(*pixel, u, v) : 1.0);
      errors.twoCorners.push_back(PixelError(TwoCornerPixel(at, touched[0], touched[2]), u, v));
    }
  }
}

}  // namespace surface_bench
