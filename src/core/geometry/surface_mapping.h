#pragma once

#include <array>
#include <optional>

#include "common/pair.h"
#include "geometry/homography.h"
#include "geometry/screen_point.h"

namespace scantouch {

// Where a point of the surface lies on the screen area when four touched corners calibrate it: a
// projective map from the corners, in the order top-left, top-right, bottom-right, bottom-left of
// the screen area, onto the area's unit square. Without four corners nothing is mapped here and
// the two-corner mapping of the touch rectangle holds.
class SurfaceMapping {
 public:
  using Corners = std::array<PlanePoint, 4>;

  // Takes four corners, or none to go back to the two-corner mapping. Corners that do not bound a
  // convex quadrilateral, or give no invertible map, are refused (false) and the mapping in force
  // stays.
  bool setCorners(const std::optional<Corners>& corners);
  const std::optional<Corners>& corners() const { return corners_; }
  bool perspective() const { return toUnit_.has_value(); }

  // The point as a share of the screen area's width and height (0..1 inside it); none without
  // four corners, or for a point on or beyond the horizon: the line the map sends to infinity,
  // which lies outside the corners, beyond which points would come back from the far side.
  std::optional<PlanePoint> toUnit(PlanePoint surface) const;
  // The share kept within the area (0..1). A point on or beyond the horizon takes the place that
  // points just this side of it go to on the way from the corners' middle: the edge or the corner
  // of the area where a hand that slid out that way was last. None without four corners.
  std::optional<PlanePoint> toUnitWithin(PlanePoint surface) const;
  // How a velocity at the point maps to shares of the area per unit of time; none where toUnit
  // gives none.
  std::optional<LinearMap> unitDerivative(PlanePoint surface) const;
  // The desktop pixel: the share within the area scaled to it, rounded, moved by the area's
  // corner.
  std::optional<ScreenPoint> toScreen(PlanePoint surface, IntPair screenSize,
                                      IntPair screenTopLeft) const;

 private:
  std::optional<Corners> corners_;
  std::optional<Homography> toUnit_;
};

}  // namespace scantouch
