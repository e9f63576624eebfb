#include "radar_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace scantouch::gui {
namespace {

const QColor kHitColour(0, 255, 0);
const QColor kBeamColour(0, 0, 0);
const QColor kBackground(235, 240, 245);
const QColor kTouchRectColour(30, 90, 220);
const QColor kScannerColour(220, 40, 40);
const QColor kMarkerColour(255, 150, 0);

}  // namespace

RadarWidget::RadarWidget(MainForm& form, Calibration& calibration, FramePacer& pacer,
                         QWidget* parent)
    : QWidget(parent), form_(form), calibration_(calibration) {
  setMinimumSize(320, 320);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  // Everything the picture shows marks it stale; the pacer repaints once per frame at most.
  const auto stale = pacer.add(this, [this] { update(); });
  form_.Label2.changed.connect(stale);  // the end of every decoder pass
  for (Shape* shape : {&form_.Shape1, &form_.SHPWIN, &form_.radar().shpmouse[0]}) {
    shape->geometryChanged.connect(stale);
    shape->visibilityChanged.connect(stale);
  }
  form_.PICYL.scaleChanged.connect(stale);
}

QRectF RadarWidget::square() const {
  const double side = std::min(width(), height());
  return QRectF((width() - side) / 2, (height() - side) / 2, side, side);
}

double RadarWidget::pixelsPerUnit() const {
  const double units = std::max(1.0f, form_.PICYL.scaleWidth());
  return square().width() / units;
}

QPointF RadarWidget::toViewUnits(QPointF pixel) const {
  const QRectF view = square();
  return (pixel - view.topLeft()) / pixelsPerUnit();
}

void RadarWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF view = square();
  painter.fillRect(view, kBackground);
  painter.translate(view.topLeft());
  const double scale = pixelsPerUnit();
  const auto at = [scale](double x, double y) { return QPointF(x * scale, y * scale); };
  const auto rect = [scale](const Shape& shape) {
    return QRectF(shape.left() * scale, shape.top() * scale, shape.width() * scale,
                  shape.height() * scale);
  };

  for (int degree = 0; degree < BeamTable::kBeams; ++degree) {
    const Beam& beam = form_.Line1[degree];
    if (!beam.visible)
      continue;
    painter.setPen(QPen(beam.hit ? kHitColour : kBeamColour, beam.width));
    painter.drawLine(at(beam.x1, beam.y1), at(beam.x2, beam.y2));
  }
  painter.setPen(QPen(kTouchRectColour, 2));
  painter.setBrush(Qt::NoBrush);
  if (form_.SHPWIN.visible())
    painter.drawRect(rect(form_.SHPWIN));
  painter.setPen(QPen(kScannerColour, 2));
  if (form_.Shape1.visible())
    painter.drawRect(rect(form_.Shape1));
  const Shape& marker = form_.radar().shpmouse[0];
  if (marker.visible()) {
    painter.setPen(QPen(kMarkerColour, 3));
    painter.drawEllipse(rect(marker));
  }

  RadarModel& radar = form_.radar();
  QFont font = painter.font();
  font.setPixelSize(std::max(7, static_cast<int>(radar.qualityLabelHeight() * scale)));
  painter.setFont(font);
  painter.setPen(QColor(60, 60, 60));
  for (int i = 0; i < RadarModel::kQualityLabels; ++i) {
    const Label& label = radar.lblquality[i];
    if (!label.visible() || label.caption().empty())
      continue;
    const RadarModel::LabelPlacement& place = radar.placement(i);
    painter.drawText(QRectF(place.left * scale, place.top * scale,
                            radar.qualityLabelWidth() * scale, radar.qualityLabelHeight() * scale),
                     Qt::AlignCenter, QString::fromStdString(label.caption()));
  }
}

const QStaticText& RadarWidget::captionText(const std::string& caption, const QFont& font) {
  // Eleven captions, "0" to "8" and "F", laid out once per font instead of 360 times a frame.
  if (font != captionFont_) {
    captionTexts_.clear();
    captionFont_ = font;
  }
  auto [it, added] = captionTexts_.try_emplace(caption, QString::fromStdString(caption));
  if (added)
    it->second.prepare(QTransform(), font);
  return it->second;
}

void RadarWidget::mousePressEvent(QMouseEvent* event) {
  const QPointF units = toViewUnits(event->position());
  calibration_.click(static_cast<float>(units.x()), static_cast<float>(units.y()));
  update();
}

}  // namespace scantouch::gui
