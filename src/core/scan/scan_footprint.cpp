#include "scan_footprint.h"

#include <algorithm>
#include <cmath>

#include "radar_palette.h"

namespace scantouch {

ScanFootprint::ScanFootprint(int width_px, int height_px)
    : width_(std::max(0, width_px)),
      height_(std::max(0, height_px)),
      columns_((width_ + kTile_px - 1) / kTile_px),
      rows_((height_ + kTile_px - 1) / kTile_px),
      tiles_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), 0) {}

void ScanFootprint::mark(int column, int row) {
  if (column < 0 || row < 0 || column >= columns_ || row >= rows_)
    return;
  tiles_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
         static_cast<std::size_t>(column)] = 1;
}

void ScanFootprint::addRect(double left, double top, double right, double bottom) {
  if (!(left <= right && top <= bottom))  // NaN too
    return;
  // Clamped first: a shape far outside the view marks the border tiles at most.
  const auto tile = [](double pixel, int count) {
    return static_cast<int>(std::clamp(std::floor(pixel / kTile_px), -1.0, double(count)));
  };
  const int firstColumn = std::max(0, tile(left, columns_));
  const int lastColumn = std::min(columns_ - 1, tile(right, columns_));
  const int firstRow = std::max(0, tile(top, rows_));
  const int lastRow = std::min(rows_ - 1, tile(bottom, rows_));
  for (int row = firstRow; row <= lastRow; ++row) {
    for (int column = firstColumn; column <= lastColumn; ++column)
      mark(column, row);
  }
}

void ScanFootprint::addLine(double x1, double y1, double x2, double y2, double halfWidth_px) {
  // Only the part inside the view (and the line's width around it) marks tiles: a beam far out of
  // a short range costs no more than one inside it.
  if (!(std::isfinite(x1) && std::isfinite(y1) && std::isfinite(x2) && std::isfinite(y2)))
    return;
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  double enter = 0;
  double leave = 1;
  const auto clip = [&enter, &leave](double towards, double room) {
    if (towards == 0)
      return room >= 0;
    const double t = room / towards;
    if (towards < 0)
      enter = std::max(enter, t);
    else
      leave = std::min(leave, t);
    return enter <= leave;
  };
  const double low = -halfWidth_px;
  if (!(clip(-dx, x1 - low) && clip(dx, width_ + halfWidth_px - x1) && clip(-dy, y1 - low) &&
        clip(dy, height_ + halfWidth_px - y1)))
    return;
  // Samples closer than half a tile apart, each with the line's width around it: every tile the
  // line crosses is marked, and a few beside it at most.
  const double length = std::hypot(dx, dy) * (leave - enter);
  const int steps = std::max(1, static_cast<int>(std::ceil(length / (kTile_px / 2.0))));
  double previousX = x1 + dx * enter;
  double previousY = y1 + dy * enter;
  for (int i = 1; i <= steps; ++i) {
    const double t = enter + (leave - enter) * i / steps;
    const double x = x1 + dx * t;
    const double y = y1 + dy * t;
    addRect(std::min(previousX, x) - halfWidth_px, std::min(previousY, y) - halfWidth_px,
            std::max(previousX, x) + halfWidth_px, std::max(previousY, y) + halfWidth_px);
    previousX = x;
    previousY = y;
  }
}

void ScanFootprint::addScan(const BeamTable& beams, const RadarModel& model, double scale,
                            double originX, double originY) {
  // Smoothed lines reach a pixel beyond their width.
  for (int degree = 0; degree < BeamTable::kBeams; ++degree) {
    const Beam& beam = beams[degree];
    if (beam.visible) {
      addLine(originX + beam.x1 * scale, originY + beam.y1 * scale, originX + beam.x2 * scale,
              originY + beam.y2 * scale, beam.width / 2.0 + 2);
    }
  }
  const Shape& marker = model.shpmouse[0];
  if (marker.visible()) {
    const double pen = radar_palette::kTouchMarkerPen_px / 2.0 + 2;
    addRect(originX + marker.left() * scale - pen, originY + marker.top() * scale - pen,
            originX + (marker.left() + marker.width()) * scale + pen,
            originY + (marker.top() + marker.height()) * scale + pen);
  }
  // A contact's ring, and its cursor id to the right of it and above.
  constexpr double r = radar_palette::kContactRadius_px;
  for (const RadarModel::ContactMark& contact : model.contacts()) {
    const double x = originX + contact.x * scale;
    const double y = originY + contact.y * scale;
    addRect(x - r - 4, y - 2 * r - 4, x + 5 * r + 4, y + r + 4);
  }
}

void ScanFootprint::unite(const ScanFootprint& other) {
  if (other.columns_ != columns_ || other.rows_ != rows_) {
    // Another size: everything.
    addRect(0, 0, width_, height_);
    return;
  }
  for (std::size_t i = 0; i < tiles_.size(); ++i)
    tiles_[i] |= other.tiles_[i];
}

bool ScanFootprint::empty() const {
  return std::none_of(tiles_.begin(), tiles_.end(), [](std::uint8_t tile) { return tile != 0; });
}

std::vector<ScanFootprint::PixelRect> ScanFootprint::rects() const {
  std::vector<PixelRect> result;
  for (int row = 0; row < rows_; ++row) {
    int column = 0;
    while (column < columns_) {
      const auto at = [&](int c) {
        return tiles_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
                      static_cast<std::size_t>(c)] != 0;
      };
      if (!at(column)) {
        ++column;
        continue;
      }
      const int first = column;
      while (column < columns_ && at(column))
        ++column;
      const int left = first * kTile_px;
      const int top = row * kTile_px;
      result.push_back(PixelRect{left, top, std::min(column * kTile_px, width_) - left,
                                 std::min(top + kTile_px, height_) - top});
    }
  }
  return result;
}

}  // namespace scantouch
