#pragma once

#include <array>
#include <optional>

namespace scantouch {

// A point on a plane: the surface, or what one scanner sees of it, in the same length unit.
struct PlanePoint {
  double x = 0;
  double y = 0;
  friend bool operator==(const PlanePoint&, const PlanePoint&) = default;
};

// A linear map of the plane, the 2x2 matrix row by row: (x, y) goes to (a x + b y, c x + d y).
struct LinearMap {
  double a = 0;
  double b = 0;
  double c = 0;
  double d = 0;
  PlanePoint operator()(PlanePoint v) const { return {a * v.x + b * v.y, c * v.x + d * v.y}; }
};

// A projective map of the plane, the 3x3 matrix row by row: (x, y, 1) maps to (u, v, w), and the
// point is (u / w, v / w). It maps only the points where w > 0: the line where w is 0 goes to
// infinity (the horizon), and what lies beyond it would come back from the far side, mirrored.
// The maps made here keep w > 0 where their points were given.
class Homography {
 public:
  explicit Homography(const std::array<double, 9>& matrix) : matrix_(matrix) {}

  // The map that takes each point of `from` to the point of `to` at the same index. None when
  // either set has three points on a line (or points that coincide): no invertible map exists.
  static std::optional<Homography> FromFourPairs(const std::array<PlanePoint, 4>& from,
                                                 const std::array<PlanePoint, 4>& to);

  // None on the horizon and beyond it.
  std::optional<PlanePoint> map(PlanePoint point) const;
  // The map's w at a point: above 0 on the side it maps, falling linearly towards the horizon.
  double denominator(PlanePoint point) const;
  // How the map moves points near `point`, by which a velocity there maps; none where map() has
  // no place.
  std::optional<LinearMap> derivative(PlanePoint point) const;
  // The map back, which maps every point this one gives. None when it has lost a dimension,
  // whatever the scale or place of the points it maps.
  std::optional<Homography> inverse() const;

  const std::array<double, 9>& matrix() const { return matrix_; }

 private:
  std::array<double, 9> matrix_;
};

// Whether four corners, taken in order, bound a strictly convex quadrilateral that does not
// cross itself, whichever way round they go.
bool IsConvexQuadrilateral(const std::array<PlanePoint, 4>& corners);

}  // namespace scantouch
