#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "radar/beam_table.h"
#include "radar/radar_model.h"

namespace scantouch {

// Where in a view of width x height pixels the scan is drawn (beams, touch marker, contacts, the
// other scanners, the mask being dragged out), as
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
  // The scan as a face draws it with `scale` pixels per view unit, the view's corner at `origin`.
  void addScan(const BeamTable& beams, const RadarModel& model, double scale, double originX,
               double originY);
  void addBeam(const Beam& beam, double scale, double originX, double originY);
  void addMarker(const Shape& marker, double scale, double originX, double originY);
  void addContact(const RadarModel::ContactMark& contact, double scale, double originX,
                  double originY);
  // Another scanner's points and the square where it stands.
  void addOtherScanner(const RadarModel::OtherScanner& scanner, double scale, double originX,
                       double originY);
  // The border of the mask being dragged out (left, top, right, bottom in view units).
  void addDraggedMask(const std::array<float, 4>& mask, double scale, double originX,
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

// Whether `beam`, drawn with `scale` pixels per view unit from the view's corner, can colour a
// pixel of any of `parts` (pixels from the same corner). A face hands its painter only such beams:
// the painter's clipping walks along every line, and the rays all cross the view's middle.
bool BeamReaches(const Beam& beam, double scale, std::span<const ScanFootprint::PixelRect> parts);

// Where a face's pixels lie: its size, and the view's scale and corner in it.
struct ScanGeometry {
  int width_px = 0;
  int height_px = 0;
  double scale = 0;  // pixels per view unit
  double originX = 0;
  double originY = 0;
  friend bool operator==(const ScanGeometry&, const ScanGeometry&) = default;
};

// The scan as a face last painted it, to tell where a frame must paint again: the beams, touch
// marker, contacts and dragged mask that differ from it, and the other scanners when they were
// replaced, at the place painted and where they are now. Beams are compared at the resolution the
// view is shown at: one whose ends moved less than a pixel from where it was painted shows the
// same. A room that stands still, or whose distances only scatter by less than a pixel, costs no
// painting of its beams at all, whatever the node rate.
class PaintedScan {
 public:
  // The tiles to paint again; all of them when nothing was painted at this geometry.
  ScanFootprint changedSince(const BeamTable& beams, const RadarModel& model,
                             const ScanGeometry& geometry) const;
  // The face painted the scan as it is now.
  void remember(const BeamTable& beams, const RadarModel& model, const ScanGeometry& geometry);
  // What is on the screen is not known (a part was painted, or the size changed).
  void forget() { known_ = false; }

 private:
  struct Marker {
    bool visible = false;
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    friend bool operator==(const Marker&, const Marker&) = default;
  };
  static Marker MarkerOf(const Shape& shape);

  bool known_ = false;
  ScanGeometry geometry_;
  std::array<Beam, BeamTable::kBeams> beams_{};
  Marker marker_;
  std::vector<RadarModel::ContactMark> contacts_;
  // Replaced after every turn of theirs: the revision says when, rather than comparing points.
  std::vector<RadarModel::OtherScanner> otherScanners_;
  std::uint64_t otherScannersRevision_ = 0;
  std::optional<std::array<float, 4>> draggedMask_;
};

}  // namespace scantouch
