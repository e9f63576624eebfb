#pragma once

#include <array>
#include <cstdint>

namespace scantouch {

// One beam of the radar view: the latest accepted point of its degree and how it is drawn.
// Coordinates are view units in single precision, as the view keeps its lines.
struct Beam {
  float x1 = 0;  // the point
  float y1 = 0;
  float x2 = 0;  // far end of the drawn line, chosen by the display mode
  float y2 = 0;
  int width = 1;
  bool visible = false;
  bool hit = false;  // a touch candidate: drawn green, otherwise black
};

// The beam array: one beam per degree, at once the drawing of the scan and the store of every
// degree's latest point and hit flag. Views repaint from it at their own pace; `revision` tells
// them whether anything changed since they last looked.
class BeamTable {
 public:
  static constexpr int kBeams = 360;

  Beam& operator[](int degree) { return beams_[static_cast<std::size_t>(degree)]; }
  const Beam& operator[](int degree) const { return beams_[static_cast<std::size_t>(degree)]; }

  std::uint64_t revision() const { return revision_; }
  void touch() { ++revision_; }

 private:
  std::array<Beam, kBeams> beams_{};
  std::uint64_t revision_ = 0;
};

}  // namespace scantouch
