#pragma once

#include <windows.h>

#include <cstdint>

#include "app/main_form.h"
#include "frame_pacer.h"
#include "scan/quality_label_layout.h"
#include "touch/calibration.h"

namespace scantouch::gui_win32 {

// The radar view PICYL, painted with GDI into a back buffer: the beams, the scanner marker, the
// touch rectangle, the touch marker, the quality labels and the touch engine's contacts, from the
// core's model, at most once per frame and only when something shown changed, as the Qt face's
// radar widget does. A click reports its position in view units to the calibration.
class RadarWidget {
 public:
  RadarWidget(HWND parent, MainForm& form, Calibration& calibration, FramePacer& pacer);
  ~RadarWidget();
  RadarWidget(const RadarWidget&) = delete;
  RadarWidget& operator=(const RadarWidget&) = delete;

  HWND handle() const { return window_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void paint(HDC target);
  // The part of the picture that changes seldom: the background and the quality labels, drawn
  // again only when a label or the size changed. Text is what costs most to draw.
  void drawBackdrop(HDC context, const RECT& client);
  void ensureBuffers(HDC target, const RECT& client);
  void repaintIfChanged();
  // Each live contact as a ring of a fixed size with its cursor id beside it.
  void drawContacts(HDC context, double scale);
  RECT square() const;
  // Lays the quality labels out for a view of `side` pixels, with a font that fits their boxes.
  void layOutQualityLabels(int side);

  HWND window_ = nullptr;
  MainForm& form_;
  Calibration& calibration_;
  std::uint64_t paintedBeamRevision_ = ~std::uint64_t{0};
  std::uint64_t paintedContactsRevision_ = ~std::uint64_t{0};
  bool shownPartsChanged_ = true;
  int labelLayoutSide_ = -1;
  QualityLabelLayout labelLayout_;
  HFONT labelFont_ = nullptr;
  HFONT contactFont_ = nullptr;  // made with the first contact
  HBITMAP backBuffer_ = nullptr;
  HBITMAP backdrop_ = nullptr;
  SIZE bufferSize_{0, 0};
  bool backdropStale_ = true;
};

}  // namespace scantouch::gui_win32
