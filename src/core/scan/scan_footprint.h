#pragma once

#include <cstdint>
#include <vector>

#include "beam_table.h"
#include "radar_model.h"

namespace scantouch {

// Where in a view of width x height pixels the scan is drawn (beams, touch marker, contacts), as
// tiles of kTile_px. A face repaints, for a frame in which only the scan changed, the tiles of the
// last frame's scan and of this one: most of the view is background, and copying it whole every
// frame costs more than everything else the shown window does.
class ScanFootprint {
 public:
  static constexpr int kTile_px = 32;

  struct PixelRect {
    int left;
    int top;
    int width;
    int height;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
  };

  ScanFootprint() = default;
  ScanFootprint(int width_px, int height_px);

  // The tiles a line of `halfWidth_px` on each side crosses.
  void addLine(double x1, double y1, double x2, double y2, double halfWidth_px);
  void addRect(double left, double top, double right, double bottom);
  // The scan as a face draws it with `scale` pixels per view unit, at `origin` in the view.
  void addScan(const BeamTable& beams, const RadarModel& model, double scale, double originX,
               double originY);
  void unite(const ScanFootprint& other);
  bool empty() const;
  // The marked tiles, each row's runs as one rectangle, clipped to the view.
  std::vector<PixelRect> rects() const;

 private:
  void mark(int column, int row);

  int width_ = 0;
  int height_ = 0;
  int columns_ = 0;
  int rows_ = 0;
  std::vector<std::uint8_t> tiles_;
};

}  // namespace scantouch
