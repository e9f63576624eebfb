#pragma once

#include <QPixmap>
#include <QRegion>
#include <QStaticText>
#include <QWidget>
#include <map>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "calibration/calibration.h"
#include "frame_pacer.h"
#include "radar/quality_label_layout.h"
#include "radar/radar_frame_rule.h"
#include "radar/scan_footprint.h"

namespace scantouch::gui {

// The radar view PICYL: paints the beams, the scanner marker, the touch rectangle, the touch
// marker, the quality labels, the other scanners of a surface and the touch engine's contacts
// from the core's model, scaled from
// view units to the widget, at most once per frame and only when the core's frame rule says
// something shown changed. What changes seldom is kept in two pictures: the backdrop (background,
// touch rectangle, scanner marker) under the beams and the quality labels over them; a frame draws
// the beams, the touch marker and the contacts between the two. The still things (masks, learned
// backgrounds) are context and lie in the backdrop; the mask being dragged out is drawn over
// everything. A mouse press reports its position in view units to the mask drawing while its box
// is ticked (the drag follows until the button is let go), else to the calibration.
class RadarWidget : public QWidget {
 public:
  RadarWidget(MainForm& form, Calibration& calibration, FramePacer& pacer,
              QWidget* parent = nullptr);

  QSize sizeHint() const override { return {640, 640}; }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override { return width; }

  // Where a widget pixel lies in view units.
  QPointF toViewUnits(QPointF pixel) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // Asks for a frame of what the frame rule says changed: the whole widget, or only where the scan
  // was and is.
  void requestFrame();
  ScanGeometry scanGeometry() const;
  const QStaticText& captionText(const std::string& caption);
  QRectF square() const;  // the part of the widget the view fills
  double pixelsPerUnit() const;
  // A transparent picture of the view's size, at the screen's pixel ratio.
  QPixmap viewPicture(const QSize& side) const;
  void drawBackdrop();
  void paintShapes(QPainter& painter, double scale) const;
  // The masks as grey rectangles and each learned background as a faint line, into the backdrop.
  void paintStillThings(QPainter& painter, double scale) const;
  void paintDraggedMask(QPainter& painter, double scale) const;
  void drawQualityLabels(const QSize& side);
  // Draws again in the labels' picture the labels whose caption changed; those outside the part
  // of the widget being painted are asked for at the next frame.
  void updateQualityLabels(const QRegion& painting);
  QRect labelBox(std::size_t placed) const;  // in widget pixels
  // The beams that reach `painting` (widget pixels).
  void paintBeams(QPainter& painter, double scale, const QRegion& painting) const;
  // Each live contact as a ring of a fixed size with its cursor id beside it.
  void paintContacts(QPainter& painter, double scale);
  // Each other scanner of the surface: its points as small squares and where it stands as a
  // square outline, in its colour (grey while it is silent).
  void paintOtherScanners(QPainter& painter, double scale) const;

  MainForm& form_;
  Calibration& calibration_;
  RadarFrameRule frameRule_;
  QRegion requested_;  // the region of the frame asked for
  bool requestPending_ = false;
  PaintedScan paintedScan_;  // the scan as the screen shows it
  QPixmap backdrop_;
  QPixmap labels_;
  // Where the labels lie in their picture: four strips along the edges, all that is drawn of it.
  std::vector<QRect> labelStrips_;
  double labelLayoutSide_ = -1;
  QualityLabelLayout labelLayout_;
  PaintedLabels paintedLabels_;
  QFont captionFont_;
  std::map<std::string, QStaticText> captionTexts_;
  std::map<int, QStaticText> contactIds_;  // the cursor ids beside the contacts, laid out
};

}  // namespace scantouch::gui
