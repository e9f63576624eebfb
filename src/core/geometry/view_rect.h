#pragma once

namespace scantouch {

// A rectangle of the radar view in view units, with the single-precision geometry the view keeps
// (the radar picture's shapes), so that a point is inside it exactly when it is inside the shape.
struct ViewRect {
  float left = 0;
  float top = 0;
  float width = 0;
  float height = 0;

  double centreX() const { return static_cast<double>(left) + static_cast<double>(width) / 2; }
  double centreY() const { return static_cast<double>(top) + static_cast<double>(height) / 2; }

  // Strictly inside: a point on an edge is outside.
  bool containsStrictly(double x, double y) const {
    return left < x && x < static_cast<double>(left) + width && top < y &&
           y < static_cast<double>(top) + height;
  }

  friend bool operator==(const ViewRect&, const ViewRect&) = default;
};

// Where the single scanner and the touches are in the radar view.
struct ViewShapes {
  ViewRect scannerMarker;  // the scanner sits at its centre; hits inside it are the scanner's own
  ViewRect touchRect;      // the touch rectangle: hits inside it are touches
  friend bool operator==(const ViewShapes&, const ViewShapes&) = default;
};

}  // namespace scantouch
