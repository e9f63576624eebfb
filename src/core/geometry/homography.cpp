#include "geometry/homography.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace scantouch {
namespace {

using Matrix3 = std::array<double, 9>;

Matrix3 Multiply(const Matrix3& a, const Matrix3& b) {
  Matrix3 product{};
  for (std::size_t row = 0; row < 3; ++row) {
    for (std::size_t column = 0; column < 3; ++column) {
      double sum = 0;
      for (std::size_t k = 0; k < 3; ++k)
        sum += a[row * 3 + k] * b[k * 3 + column];
      product[row * 3 + column] = sum;
    }
  }
  return product;
}

// Scales a matrix so that its last entry is 1 or -1 where that entry is not (nearly) zero, else
// so that its largest entry is 1: the same map, written the usual way. The scale is positive, so
// the side the map maps stays the same.
Matrix3 Normalized(Matrix3 m) {
  double largest = 0;
  for (double entry : m)
    largest = std::max(largest, std::abs(entry));
  const double divisor = std::abs(m[8]) > 1e-12 * largest ? std::abs(m[8]) : largest;
  for (double& entry : m)
    entry /= divisor;
  return m;
}

// The similarity that moves four points' centroid to the origin and their mean distance from it
// to sqrt(2), so that the linear system below is well conditioned whatever the unit and place of
// the points. None when the points coincide.
std::optional<Matrix3> Conditioning(const std::array<PlanePoint, 4>& points) {
  double cx = 0;
  double cy = 0;
  double magnitude = 0;
  for (const auto& p : points) {
    cx += p.x / 4;
    cy += p.y / 4;
    magnitude = std::max({magnitude, std::abs(p.x), std::abs(p.y)});
  }
  double meanDistance = 0;
  for (const auto& p : points)
    meanDistance += std::hypot(p.x - cx, p.y - cy) / 4;
  if (!std::isfinite(meanDistance) || meanDistance <= 1e-12 * magnitude || meanDistance == 0) {
    return std::nullopt;
  }
  const double s = std::sqrt(2.0) / meanDistance;
  return Matrix3{s, 0, -s * cx, 0, s, -s * cy, 0, 0, 1};
}

PlanePoint Apply(const Matrix3& similarity, PlanePoint p) {
  return {similarity[0] * p.x + similarity[2], similarity[4] * p.y + similarity[5]};
}

// Three of the conditioned points (mean distance sqrt(2) from their centroid) on a line.
bool HasCollinearTriple(const std::array<PlanePoint, 4>& p) {
  constexpr int kTriples[4][3] = {{0, 1, 2}, {0, 1, 3}, {0, 2, 3}, {1, 2, 3}};
  for (const auto& t : kTriples) {
    const PlanePoint a = p[t[0]], b = p[t[1]], c = p[t[2]];
    const double twiceArea = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (std::abs(twiceArea) < 1e-9)
      return true;
  }
  return false;
}

// Solves a x = b by Gaussian elimination with partial pivoting; false when a is singular.
bool Solve(std::array<std::array<double, 9>, 8>& rows, std::array<double, 8>& x) {
  constexpr std::size_t n = 8;
  for (std::size_t column = 0; column < n; ++column) {
    std::size_t pivot = column;
    for (std::size_t row = column + 1; row < n; ++row) {
      if (std::abs(rows[row][column]) > std::abs(rows[pivot][column]))
        pivot = row;
    }
    if (!(std::abs(rows[pivot][column]) > 1e-12))
      return false;
    std::swap(rows[pivot], rows[column]);
    for (std::size_t row = column + 1; row < n; ++row) {
      const double factor = rows[row][column] / rows[column][column];
      for (std::size_t k = column; k <= n; ++k)
        rows[row][k] -= factor * rows[column][k];
    }
  }
  for (std::size_t i = n; i-- > 0;) {
    double sum = rows[i][n];
    for (std::size_t k = i + 1; k < n; ++k)
      sum -= rows[i][k] * x[k];
    x[i] = sum / rows[i][i];
  }
  return true;
}

}  // namespace

std::optional<Homography> Homography::FromFourPairs(const std::array<PlanePoint, 4>& from,
                                                    const std::array<PlanePoint, 4>& to) {
  const auto fromConditioning = Conditioning(from);
  const auto toConditioning = Conditioning(to);
  if (!fromConditioning || !toConditioning)
    return std::nullopt;
  std::array<PlanePoint, 4> a{};
  std::array<PlanePoint, 4> b{};
  for (std::size_t i = 0; i < 4; ++i) {
    a[i] = Apply(*fromConditioning, from[i]);
    b[i] = Apply(*toConditioning, to[i]);
  }
  // With three points on a line the system may still be solvable, but only by a map that flattens
  // the plane: no use for calibration.
  if (HasCollinearTriple(a) || HasCollinearTriple(b))
    return std::nullopt;

  // The last entry fixed at 1: it is zero only when the centroid of `from` maps to infinity.
  std::array<std::array<double, 9>, 8> rows{};
  for (std::size_t i = 0; i < 4; ++i) {
    const double x = a[i].x, y = a[i].y, u = b[i].x, v = b[i].y;
    rows[2 * i] = {x, y, 1, 0, 0, 0, -x * u, -y * u, u};
    rows[2 * i + 1] = {0, 0, 0, x, y, 1, -x * v, -y * v, v};
  }
  std::array<double, 8> h{};
  if (!Solve(rows, h))
    return std::nullopt;
  const Matrix3 conditioned{h[0], h[1], h[2], h[3], h[4], h[5], h[6], h[7], 1};

  const Matrix3& t = *toConditioning;
  const Matrix3 toUnconditioning{1 / t[0], 0, -t[2] / t[0], 0, 1 / t[4], -t[5] / t[4], 0, 0, 1};
  const Matrix3 m = Multiply(toUnconditioning, Multiply(conditioned, *fromConditioning));
  for (double entry : m) {
    if (!std::isfinite(entry))
      return std::nullopt;
  }
  // The side the points were given on is the side it maps: w > 0 at their centroid, and so at each
  // of them, since none of them goes to infinity.
  Matrix3 normalized = Normalized(m);
  PlanePoint centroid;
  for (const auto& p : from) {
    centroid.x += p.x / 4;
    centroid.y += p.y / 4;
  }
  if (Homography(normalized).denominator(centroid) < 0) {
    for (double& entry : normalized)
      entry = -entry;
  }
  return Homography(normalized);
}

double Homography::denominator(PlanePoint p) const {
  return matrix_[6] * p.x + matrix_[7] * p.y + matrix_[8];
}

std::optional<PlanePoint> Homography::map(PlanePoint p) const {
  const auto& m = matrix_;
  const double w = denominator(p);
  const double wScale = std::abs(m[6] * p.x) + std::abs(m[7] * p.y) + std::abs(m[8]);
  if (!(w > 1e-12 * wScale))
    return std::nullopt;
  const PlanePoint mapped{(m[0] * p.x + m[1] * p.y + m[2]) / w,
                          (m[3] * p.x + m[4] * p.y + m[5]) / w};
  if (!std::isfinite(mapped.x) || !std::isfinite(mapped.y))
    return std::nullopt;
  return mapped;
}

std::optional<LinearMap> Homography::derivative(PlanePoint p) const {
  const std::optional<PlanePoint> at = map(p);
  if (!at)
    return std::nullopt;
  // u = U / w: du/dx = (dU/dx - u dw/dx) / w, and alike for the others.
  const auto& m = matrix_;
  const double w = denominator(p);
  const LinearMap derivative{(m[0] - at->x * m[6]) / w, (m[1] - at->x * m[7]) / w,
                             (m[3] - at->y * m[6]) / w, (m[4] - at->y * m[7]) / w};
  for (double entry : {derivative.a, derivative.b, derivative.c, derivative.d}) {
    if (!std::isfinite(entry))
      return std::nullopt;
  }
  return derivative;
}

std::optional<Homography> Homography::inverse() const {
  const auto& m = matrix_;
  const Matrix3 adjugate{
      m[4] * m[8] - m[5] * m[7], m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
      m[5] * m[6] - m[3] * m[8], m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
      m[3] * m[7] - m[4] * m[6], m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3]};
  const double determinant = m[0] * adjugate[0] + m[1] * adjugate[3] + m[2] * adjugate[6];
  // Whether the map has lost a dimension, told by the determinant of the matrix with each column
  // and then each row scaled to a largest entry of 1: the same map in other units of the plane
  // and of its image, so that a unit or a place far from the origin (a large shift beside small
  // scales) does not make a sound map look flat.
  std::array<double, 3> columns{};
  for (std::size_t column = 0; column < 3; ++column) {
    for (std::size_t row = 0; row < 3; ++row)
      columns[column] = std::max(columns[column], std::abs(m[row * 3 + column]));
  }
  double scale = columns[0] * columns[1] * columns[2];
  for (std::size_t row = 0; row < 3; ++row) {
    double largest = 0;
    for (std::size_t column = 0; column < 3; ++column) {
      if (columns[column] > 0)
        largest = std::max(largest, std::abs(m[row * 3 + column]) / columns[column]);
    }
    scale *= largest;
  }
  if (!std::isfinite(determinant) || !(scale > 0) || !(std::abs(determinant) > 1e-12 * scale)) {
    return std::nullopt;
  }
  // The adjugate is the inverse up to scale, and scale does not change the map; its sign keeps
  // w > 0 at every point this map gives (there the inverse's w is the determinant over this
  // map's w).
  Matrix3 inverse = adjugate;
  if (determinant < 0) {
    for (double& entry : inverse)
      entry = -entry;
  }
  return Homography(Normalized(inverse));
}

bool IsConvexQuadrilateral(const std::array<PlanePoint, 4>& corners) {
  // Four turns of one sign, each under half a turn, add up to exactly one full turn: the outline
  // is convex and simple. A bow-tie turns both ways, a dart one way less, a repeated corner not
  // at all.
  int positive = 0;
  int negative = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const PlanePoint a = corners[i], b = corners[(i + 1) % 4], c = corners[(i + 2) % 4];
    const double ex = b.x - a.x, ey = b.y - a.y, fx = c.x - b.x, fy = c.y - b.y;
    const double turn = ex * fy - ey * fx;
    const double floor = 1e-9 * std::hypot(ex, ey) * std::hypot(fx, fy);
    if (turn > floor && turn > 0) {
      ++positive;
    } else if (turn < -floor && turn < 0) {
      ++negative;
    }
  }
  return positive == 4 || negative == 4;
}

}  // namespace scantouch
