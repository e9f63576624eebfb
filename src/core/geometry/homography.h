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

// A projective map of the plane, the 3x3 matrix row by row: (x, y, 1) maps to (u, v, w), and the
// point is (u / w, v / w).
class Homography {
 public:
  explicit Homography(const std::array<double, 9>& matrix) : matrix_(matrix) {}

  // The map that takes each point of `from` to the point of `to` at the same index. None when
  // either set has three points on a line (or points that coincide): no invertible map exists.
  static std::optional<Homography> FromFourPairs(const std::array<PlanePoint, 4>& from,
                                                 const std::array<PlanePoint, 4>& to);

  // None when the point lies on the line this map sends to infinity.
  std::optional<PlanePoint> map(PlanePoint point) const;
  std::optional<Homography> inverse() const;

  const std::array<double, 9>& matrix() const { return matrix_; }

 private:
  std::array<double, 9> matrix_;
};

// Whether four corners, taken in order, bound a strictly convex quadrilateral that does not
// cross itself, whichever way round they go.
bool IsConvexQuadrilateral(const std::array<PlanePoint, 4>& corners);

}  // namespace scantouch
