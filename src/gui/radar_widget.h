#pragma once

#include <QStaticText>
#include <QWidget>
#include <cstdint>
#include <map>
#include <string>

#include "app/main_form.h"
#include "frame_pacer.h"
#include "scan/quality_label_layout.h"
#include "touch/calibration.h"

namespace scantouch::gui {

// The radar view PICYL: paints the beams, the scanner marker, the touch rectangle, the touch
// marker, the quality labels and the touch engine's contacts from the core's model, scaled from
// view units to the widget, at most once per frame. A mouse press reports its position in view
// units to the calibration.
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

 private:
  const QStaticText& captionText(const std::string& caption);
  QRectF square() const;  // the part of the widget the view fills
  double pixelsPerUnit() const;
  // Lays the quality labels out for a view of `side` pixels, with a font that fits their boxes.
  void layOutQualityLabels(double side);
  void paintQualityLabels(QPainter& painter);
  // Each live contact as a ring of a fixed size with its cursor id beside it.
  void paintContacts(QPainter& painter, double scale);
  // Marks the picture stale when anything it shows changed since it was last painted.
  void repaintIfChanged();

  MainForm& form_;
  Calibration& calibration_;
  std::uint64_t paintedBeamRevision_ = ~std::uint64_t{0};
  std::uint64_t paintedContactsRevision_ = ~std::uint64_t{0};
  bool shownPartsChanged_ = true;  // shapes, scale, labels: everything but the beams
  double labelLayoutSide_ = -1;
  QualityLabelLayout labelLayout_;
  QFont captionFont_;
  std::map<std::string, QStaticText> captionTexts_;
};

}  // namespace scantouch::gui
