#include "radar_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace scantouch::gui {
namespace {

const QColor kHitColour(0, 255, 0);
const QColor kBeamColour(0, 0, 0);
const QColor kBackground(235, 240, 245);
const QColor kTouchRectColour(30, 90, 220);
const QColor kScannerColour(220, 40, 40);
const QColor kMarkerColour(255, 150, 0);
const QColor kContactColour(200, 0, 200);
// Contacts keep their size in pixels at every range: a finger is a finger on any view.
constexpr double kContactRadius_px = 12;

}  // namespace

RadarWidget::RadarWidget(MainForm& form, Calibration& calibration, FramePacer& pacer,
                         QWidget* parent)
    : QWidget(parent), form_(form), calibration_(calibration) {
  setMinimumSize(320, 320);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  // Every decoder pass may have changed the beams; once per frame at most the picture is
  // repainted if they, or anything else it shows, really changed.
  const auto check = pacer.add(this, [this] { repaintIfChanged(); });
  form_.TXTRX.changed.connect(check);
  // The engine's contacts change in decoder passes, or, outside them, with its status (stopped).
  form_.LBL触控状态.changed.connect(check);
  const auto shownPartChanged = [this, check] {
    shownPartsChanged_ = true;
    check();
  };
  for (Shape* shape : {&form_.Shape1, &form_.SHPWIN, &form_.radar().shpmouse[0]}) {
    shape->geometryChanged.connect(shownPartChanged);
    shape->visibilityChanged.connect(shownPartChanged);
  }
  form_.PICYL.scaleChanged.connect(shownPartChanged);
  for (int i = 0; i < RadarModel::kQualityLabels; ++i)
    form_.radar().lblquality[i].changed.connect(shownPartChanged);
}

void RadarWidget::repaintIfChanged() {
  if (form_.Line1.revision() != paintedBeamRevision_ ||
      form_.radar().contactsRevision() != paintedContactsRevision_ || shownPartsChanged_)
    update();
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

  paintQualityLabels(painter);
  paintContacts(painter, scale);
  paintedBeamRevision_ = form_.Line1.revision();
  paintedContactsRevision_ = form_.radar().contactsRevision();
  shownPartsChanged_ = false;
}

void RadarWidget::layOutQualityLabels(double side) {
  labelLayoutSide_ = side;
  labelLayout_ = LayOutQualityLabels(side);
  captionFont_ = font();
  captionFont_.setPixelSize(std::max(7, static_cast<int>(labelLayout_.boxPixels * 0.8)));
  captionTexts_.clear();
}

void RadarWidget::paintQualityLabels(QPainter& painter) {
  const double side = square().width();
  if (side != labelLayoutSide_)
    layOutQualityLabels(side);
  painter.setPen(QColor(60, 60, 60));
  painter.setFont(captionFont_);
  for (const QualityLabelBox& placed : labelLayout_.labels) {
    const Label& label = form_.radar().lblquality[placed.index];
    if (!label.visible() || label.caption().empty())
      continue;
    const QStaticText& text = captionText(label.caption());
    const QSizeF size = text.size();
    const QPointF centre(placed.left + placed.size / 2, placed.top + placed.size / 2);
    painter.drawStaticText(centre - QPointF(size.width() / 2, size.height() / 2), text);
  }
}

void RadarWidget::paintContacts(QPainter& painter, double scale) {
  const auto& contacts = form_.radar().contacts();
  if (contacts.empty())
    return;
  QFont idFont = font();
  idFont.setBold(true);
  idFont.setPixelSize(16);
  painter.setFont(idFont);
  painter.setPen(QPen(kContactColour, 3));
  painter.setBrush(Qt::NoBrush);
  const double r = kContactRadius_px;
  for (const RadarModel::ContactMark& contact : contacts) {
    const QPointF centre(contact.x * scale, contact.y * scale);
    painter.drawEllipse(centre, r, r);
    painter.drawText(QRectF(centre.x() + r + 2, centre.y() - 2 * r, 4 * r, 2 * r),
                     Qt::AlignLeft | Qt::AlignBottom, QString::number(contact.cursorId));
  }
}

const QStaticText& RadarWidget::captionText(const std::string& caption) {
  // A handful of captions, "0" to "8" and "F", laid out once per size instead of every frame.
  auto [it, added] = captionTexts_.try_emplace(caption, QString::fromStdString(caption));
  if (added)
    it->second.prepare(QTransform(), captionFont_);
  return it->second;
}

void RadarWidget::mousePressEvent(QMouseEvent* event) {
  const QPointF units = toViewUnits(event->position());
  calibration_.click(static_cast<float>(units.x()), static_cast<float>(units.y()));
  update();
}

}  // namespace scantouch::gui
