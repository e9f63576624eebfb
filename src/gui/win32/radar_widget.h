#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <vector>

#include "app/main_form.h"
#include "calibration/calibration.h"
#include "frame_pacer.h"
#include "radar/quality_label_layout.h"
#include "radar/radar_frame_rule.h"
#include "radar/scan_footprint.h"

namespace scantouch::gui_win32 {

// The radar view PICYL, painted with GDI into a back buffer: the beams, the scanner marker, the
// touch rectangle, the touch marker, the quality labels, the other scanners of a surface and the
// touch engine's contacts, from the
// core's model, at most once per frame and only when the core's frame rule says something shown
// changed, as the Qt face's radar widget does. What changes seldom is kept in two bitmaps, the
// backdrop (background, touch rectangle, scanner marker) under the beams and the quality labels
// over them; a frame draws the beams, the touch marker and the contacts between the two. The still
// things (masks, learned backgrounds) are context and lie in the backdrop; the mask being dragged
// out is drawn over everything. A click reports its position in view units to the mask drawing
// while its box is ticked (the view captures the mouse until the button is let go), else to the
// calibration.
class RadarWidget {
 public:
  RadarWidget(HWND parent, MainForm& form, Calibration& calibration, FramePacer& pacer);
  ~RadarWidget();
  RadarWidget(const RadarWidget&) = delete;
  RadarWidget& operator=(const RadarWidget&) = delete;

  HWND handle() const { return window_; }

 private:
  static HWND CreateFor(HWND parent, RadarWidget* self);
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Asks for a frame of what the frame rule says changed: the whole window, or only where the
  // scan was and is.
  void requestFrame();
  ScanGeometry scanGeometry() const;
  // Draws the parts of the window in `update`.
  void paint(HDC target, HRGN update);
  // The seldom changing parts, each drawn again only when the frame rule or the size says so:
  // text is what costs most to draw.
  void drawBackdrop(HDC context, const RECT& client);
  void drawShapes(HDC context, double scale) const;
  // The masks as grey rectangles and each learned background as a faint line, into the backdrop.
  void drawStillThings(HDC context, double scale) const;
  void drawDraggedMask(HDC context, double scale) const;
  // Where a client pixel lies in view units.
  std::array<double, 2> toViewUnits(LPARAM pixel) const;
  void drawQualityLabels(HDC context, int side);
  // Draws again in the labels' bitmap the labels whose caption changed; those outside the part
  // being painted are asked for at the next frame.
  void updateQualityLabels(HDC context, HRGN painting);
  RECT labelBox(std::size_t placed) const;  // in client pixels
  void ensureBuffers(HDC target, const RECT& client);
  // The beams that reach `parts` (the view's pixels).
  void drawBeams(HDC context, double scale,
                 const std::vector<ScanFootprint::PixelRect>& parts) const;
  // Each live contact as a ring of a fixed size with its cursor id beside it.
  void drawContacts(HDC context, double scale);
  // Each other scanner of the surface: its points as small squares and where it stands as a
  // square outline, in its colour (grey while it is silent).
  void drawOtherScanners(HDC context, double scale) const;
  RECT square() const;
  // Lays the quality labels out for a view of `side` pixels, with a font that fits their boxes.
  void layOutQualityLabels(int side);

  HWND window_ = nullptr;
  MainForm& form_;
  Calibration& calibration_;
  RadarFrameRule frameRule_;
  int labelLayoutSide_ = -1;
  QualityLabelLayout labelLayout_;
  PaintedLabels paintedLabels_;
  std::vector<RECT> labelStrips_;  // the labels' bitmap is drawn only where labels lie
  HFONT labelFont_ = nullptr;
  HFONT contactFont_ = nullptr;  // made with the first contact
  HBITMAP backBuffer_ = nullptr;
  HBITMAP backdrop_ = nullptr;
  HBITMAP labels_ = nullptr;  // the labels on the background colour, which is taken as clear
  SIZE bufferSize_{0, 0};
  PaintedScan paintedScan_;  // the scan as the screen shows it
  bool requestPending_ = false;
};

}  // namespace scantouch::gui_win32
