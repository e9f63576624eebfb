#include "radar/scan_footprint.h"

#include <algorithm>
#include <cmath>

#include "radar/radar_palette.h"
#include "radar/segment_clip.h"

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
  const std::optional<SegmentSpan> inside = ClipSegment(
      x1, y1, x2, y2, -halfWidth_px, -halfWidth_px, width_ + halfWidth_px, height_ + halfWidth_px);
  if (!inside)
    return;
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  const double enter = inside->enter;
  const double leave = inside->leave;
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

namespace {

// How far from its middle a drawn beam colours pixels: smoothed lines reach a pixel beyond their
// width.
double BeamReach_px(const Beam& beam) {
  return beam.width / 2.0 + 2;
}

}  // namespace

void ScanFootprint::addBeam(const Beam& beam, double scale, double originX, double originY) {
  if (beam.visible) {
    addLine(originX + beam.x1 * scale, originY + beam.y1 * scale, originX + beam.x2 * scale,
            originY + beam.y2 * scale, BeamReach_px(beam));
  }
}

bool BeamReaches(const Beam& beam, double scale, std::span<const ScanFootprint::PixelRect> parts) {
  if (!beam.visible)
    return false;
  const double reach = BeamReach_px(beam);
  return std::any_of(parts.begin(), parts.end(), [&](const ScanFootprint::PixelRect& part) {
    return ClipSegment(beam.x1 * scale, beam.y1 * scale, beam.x2 * scale, beam.y2 * scale,
                       part.left - reach, part.top - reach, part.left + part.width + reach,
                       part.top + part.height + reach)
        .has_value();
  });
}

void ScanFootprint::addMarker(const Shape& marker, double scale, double originX, double originY) {
  if (!marker.visible())
    return;
  const double pen = radar_palette::kTouchMarkerPen_px / 2.0 + 2;
  addRect(originX + marker.left() * scale - pen, originY + marker.top() * scale - pen,
          originX + (marker.left() + marker.width()) * scale + pen,
          originY + (marker.top() + marker.height()) * scale + pen);
}

void ScanFootprint::addContact(const RadarModel::ContactMark& contact, double scale, double originX,
                               double originY) {
  // The ring, and the cursor id to the right of it and above.
  constexpr double r = radar_palette::kContactRadius_px;
  const double x = originX + contact.x * scale;
  const double y = originY + contact.y * scale;
  addRect(x - r - 4, y - 2 * r - 4, x + 5 * r + 4, y + r + 4);
}

void ScanFootprint::addOtherScanner(const RadarModel::OtherScanner& scanner, double scale,
                                    double originX, double originY) {
  // Squares centred on each point, and the scanner's outline with its pen; a pixel more for the
  // rounding of each face.
  constexpr double point = radar_palette::kOtherScannerPoint_px / 2.0 + 1;
  for (const std::array<float, 2>& p : scanner.points) {
    const double x = originX + p[0] * scale;
    const double y = originY + p[1] * scale;
    addRect(x - point, y - point, x + point, y + point);
  }
  constexpr double marker =
      radar_palette::kOtherScannerMarker_px / 2.0 + radar_palette::kShapePen_px + 1;
  const double x = originX + scanner.x * scale;
  const double y = originY + scanner.y * scale;
  addRect(x - marker, y - marker, x + marker, y + marker);
}

void ScanFootprint::addDraggedMask(const std::array<float, 4>& mask, double scale, double originX,
                                   double originY) {
  // Only its border is drawn: a large one costs four thin strips.
  const double left = originX + mask[0] * scale;
  const double top = originY + mask[1] * scale;
  const double right = originX + mask[2] * scale;
  const double bottom = originY + mask[3] * scale;
  const double pen = radar_palette::kDraggedMaskPen_px / 2.0 + 2;
  addLine(left, top, right, top, pen);
  addLine(right, top, right, bottom, pen);
  addLine(right, bottom, left, bottom, pen);
  addLine(left, bottom, left, top, pen);
}

void ScanFootprint::addScan(const BeamTable& beams, const RadarModel& model, double scale,
                            double originX, double originY) {
  for (int degree = 0; degree < BeamTable::kBeams; ++degree)
    addBeam(beams[degree], scale, originX, originY);
  addMarker(model.shpmouse[0], scale, originX, originY);
  for (const RadarModel::ContactMark& contact : model.contacts())
    addContact(contact, scale, originX, originY);
  for (const RadarModel::OtherScanner& scanner : model.otherScanners())
    addOtherScanner(scanner, scale, originX, originY);
  if (model.stillShapes().dragged)
    addDraggedMask(*model.stillShapes().dragged, scale, originX, originY);
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

namespace {

// A beam shows the same when its colour and width are the same and neither end moved by a whole
// pixel: a real scanner's distances scatter by a few millimetres every turn, far less than a pixel
// of a view of several metres, and repainting every beam for that would cost most of a frame.
bool SameOnScreen(const Beam& a, const Beam& b, double scale) {
  if (!a.visible && !b.visible)
    return true;
  if (a.visible != b.visible || a.hit != b.hit || a.width != b.width)
    return false;
  const auto near = [scale](float p, float q) {
    return std::abs(static_cast<double>(p) - q) * scale < 1;  // NaN: not near
  };
  return near(a.x1, b.x1) && near(a.y1, b.y1) && near(a.x2, b.x2) && near(a.y2, b.y2);
}

}  // namespace

PaintedScan::Marker PaintedScan::MarkerOf(const Shape& shape) {
  if (!shape.visible())
    return Marker{};
  return Marker{true, shape.left(), shape.top(), shape.width(), shape.height()};
}

ScanFootprint PaintedScan::changedSince(const BeamTable& beams, const RadarModel& model,
                                        const ScanGeometry& geometry) const {
  ScanFootprint changed(geometry.width_px, geometry.height_px);
  const double scale = geometry.scale;
  const double x = geometry.originX;
  const double y = geometry.originY;
  if (!known_ || !(geometry == geometry_)) {
    changed.addRect(0, 0, geometry.width_px, geometry.height_px);
    return changed;
  }
  for (int degree = 0; degree < BeamTable::kBeams; ++degree) {
    const Beam& painted = beams_[static_cast<std::size_t>(degree)];
    if (!SameOnScreen(painted, beams[degree], scale)) {
      changed.addBeam(painted, scale, x, y);
      changed.addBeam(beams[degree], scale, x, y);
    }
  }
  const Shape& marker = model.shpmouse[0];
  if (!(MarkerOf(marker) == marker_)) {
    Shape painted("painted");
    painted.setLeft(marker_.left);
    painted.setTop(marker_.top);
    (void)painted.setWidth(marker_.width);
    (void)painted.setHeight(marker_.height);
    painted.setVisible(marker_.visible);
    changed.addMarker(painted, scale, x, y);
    changed.addMarker(marker, scale, x, y);
  }
  if (model.contacts() != contacts_) {
    for (const RadarModel::ContactMark& contact : contacts_)
      changed.addContact(contact, scale, x, y);
    for (const RadarModel::ContactMark& contact : model.contacts())
      changed.addContact(contact, scale, x, y);
  }
  if (model.otherScannersRevision() != otherScannersRevision_) {
    for (const RadarModel::OtherScanner& scanner : otherScanners_)
      changed.addOtherScanner(scanner, scale, x, y);
    for (const RadarModel::OtherScanner& scanner : model.otherScanners())
      changed.addOtherScanner(scanner, scale, x, y);
  }
  if (model.stillShapes().dragged != draggedMask_) {
    if (draggedMask_)
      changed.addDraggedMask(*draggedMask_, scale, x, y);
    if (model.stillShapes().dragged)
      changed.addDraggedMask(*model.stillShapes().dragged, scale, x, y);
  }
  return changed;
}

void PaintedScan::remember(const BeamTable& beams, const RadarModel& model,
                           const ScanGeometry& geometry) {
  // A beam within a pixel of where it was painted keeps that place: where the frame painted it anew
  // it moved less than a pixel, and it is drawn again once it strays a pixel from there, so the
  // screen never shows it further off than that.
  const bool whole = !known_ || !(geometry == geometry_);
  known_ = true;
  geometry_ = geometry;
  for (int degree = 0; degree < BeamTable::kBeams; ++degree) {
    Beam& painted = beams_[static_cast<std::size_t>(degree)];
    if (whole || !SameOnScreen(painted, beams[degree], geometry.scale))
      painted = beams[degree];
  }
  marker_ = MarkerOf(model.shpmouse[0]);
  contacts_ = model.contacts();
  if (model.otherScannersRevision() != otherScannersRevision_) {
    otherScanners_ = model.otherScanners();
    otherScannersRevision_ = model.otherScannersRevision();
  }
  draggedMask_ = model.stillShapes().dragged;
}

}  // namespace scantouch
