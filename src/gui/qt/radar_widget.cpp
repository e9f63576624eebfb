#include "radar_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

#include "radar/outline_runs.h"
#include "radar/radar_frame_plan.h"
#include "radar/radar_palette.h"

namespace scantouch::gui {
namespace {

QColor Q(Colour colour) {
  return QColor(radar_palette::Red(colour), radar_palette::Green(colour),
                radar_palette::Blue(colour));
}

QRectF InPixels(const Shape& shape, double scale) {
  return QRectF(shape.left() * scale, shape.top() * scale, shape.width() * scale,
                shape.height() * scale);
}

}  // namespace

RadarWidget::RadarWidget(MainForm& form, Calibration& calibration, FramePacer& pacer,
                         QWidget* parent)
    : QWidget(parent),
      form_(form),
      calibration_(calibration),
      frameRule_(
          RadarFrameRule::Sources{form.radar(), form.Line1, form.PICYL, form.Shape1, form.SHPWIN},
          pacer.add(this, [this] { requestFrame(); })) {
  setMinimumSize(320, 320);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  // The backdrop covers the whole widget: nothing needs erasing first. Filling a picture of this
  // size is most of what a frame costs.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

ScanGeometry RadarWidget::scanGeometry() const {
  const QRectF view = square();
  return ScanGeometry{width(), height(), pixelsPerUnit(), view.left(), view.top()};
}

QRect RadarWidget::labelBox(std::size_t placed) const {
  const QualityLabelBox& box = labelLayout_.labels[placed];
  return QRectF(box.left, box.top, box.size, box.size)
      .translated(square().topLeft())
      .toAlignedRect()
      .adjusted(-1, -1, 1, 1);
}

void RadarWidget::requestFrame() {
  const RadarFrameParts due = frameRule_.due();
  if (!due.any())
    return;
  const bool fits =
      backdrop_.deviceIndependentSize().toSize() == size() && labelLayoutSide_ == square().width();
  const RadarFramePlan plan =
      PlanRadarFrame(due, {paintedScan_, paintedLabels_, labelLayout_, fits}, form_.Line1,
                     form_.radar(), scanGeometry());
  if (plan.paint == RadarFramePlan::Paint::whole) {
    requested_ = rect();
  } else {
    QRegion region;
    std::vector<QRect> rects;
    for (const ScanFootprint::PixelRect& r : plan.scan)
      rects.emplace_back(r.left, r.top, r.width, r.height);
    region.setRects(rects.data(), static_cast<int>(rects.size()));
    for (const std::size_t placed : plan.labels)
      region += labelBox(placed);
    // What lies outside the widget is never painted: a request of it would never be answered.
    region &= rect();
    if (region.isEmpty()) {
      frameRule_.painted();
      return;
    }
    requested_ = region;
  }
  requestPending_ = true;
  update(requested_);
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

QPixmap RadarWidget::viewPicture(const QSize& side) const {
  const qreal ratio = devicePixelRatioF();
  QPixmap picture(side * ratio);
  picture.setDevicePixelRatio(ratio);
  picture.fill(Qt::transparent);
  return picture;
}

void RadarWidget::drawBackdrop() {
  const QRectF view = square();
  const qreal ratio = devicePixelRatioF();
  backdrop_ = QPixmap(size() * ratio);
  backdrop_.setDevicePixelRatio(ratio);
  backdrop_.fill(palette().color(QPalette::Window));
  QPainter painter(&backdrop_);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(view, Q(radar_palette::kBackground));
  painter.setClipRect(view);
  painter.translate(view.topLeft());
  paintStillThings(painter, pixelsPerUnit());
}

void RadarWidget::paintStillThings(QPainter& painter, double scale) const {
  const RadarModel::StillShapes& still = form_.radar().stillShapes();
  if (!still.masks.empty()) {
    // Whole pixels, as the Win32 face: a smoothed border would be a blur of two.
    const bool smoothed = painter.testRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Q(radar_palette::kMaskBorder), 1));
    painter.setBrush(Q(radar_palette::kMaskFill));
    for (const std::array<float, 4>& mask : still.masks) {
      const QPointF topLeft(mask[0] * scale, mask[1] * scale);
      const QPointF bottomRight(mask[2] * scale, mask[3] * scale);
      painter.drawRect(QRectF(topLeft, bottomRight).toRect());
    }
    painter.setRenderHint(QPainter::Antialiasing, smoothed);
  }
  painter.setPen(QPen(Q(radar_palette::kBackgroundOutline), 1));
  painter.setBrush(Qt::NoBrush);
  QPolygonF line;
  for (const std::vector<std::array<float, 2>>& outline : still.outlines) {
    for (const std::vector<std::array<float, 2>>& run : OutlineRuns(outline)) {
      line.clear();
      for (const std::array<float, 2>& point : run)
        line << QPointF(point[0] * scale, point[1] * scale);
      if (line.size() == 1)
        painter.drawPoint(line.front());
      else
        painter.drawPolyline(line);
    }
  }
}

void RadarWidget::paintDraggedMask(QPainter& painter, double scale) const {
  const std::optional<std::array<float, 4>>& dragged = form_.radar().stillShapes().dragged;
  if (!dragged)
    return;
  QPen pen(Q(radar_palette::kDraggedMask), radar_palette::kDraggedMaskPen_px, Qt::DashLine);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  const std::array<float, 4>& mask = *dragged;
  painter.drawRect(
      QRectF(QPointF(mask[0] * scale, mask[1] * scale), QPointF(mask[2] * scale, mask[3] * scale)));
}

void RadarWidget::paintShapes(QPainter& painter, double scale) const {
  // Over the beams, which would hide the scanner's square among the dense beams at its centre.
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(Q(radar_palette::kTouchRect), radar_palette::kShapePen_px));
  if (form_.SHPWIN.visible())
    painter.drawRect(InPixels(form_.SHPWIN, scale));
  painter.setPen(QPen(Q(radar_palette::kScanner), radar_palette::kShapePen_px));
  if (form_.Shape1.visible())
    painter.drawRect(InPixels(form_.Shape1, scale));
}

void RadarWidget::drawQualityLabels(const QSize& side) {
  const double pixels = side.width();
  if (pixels != labelLayoutSide_) {
    labelLayoutSide_ = pixels;
    labelLayout_ = LayOutQualityLabels(pixels);
    captionFont_ = font();
    captionFont_.setPixelSize(std::max(7, static_cast<int>(labelLayout_.boxPixels * 0.8)));
    captionTexts_.clear();
    contactIds_.clear();          // the widget's font may have changed with its screen
    std::array<QRectF, 4> edges;  // left, bottom, right, top: as the labels go round
    for (const QualityLabelBox& placed : labelLayout_.labels) {
      QRectF& edge = edges[static_cast<std::size_t>(placed.index / 90 % 4)];
      edge = edge.united(QRectF(placed.left, placed.top, placed.size, placed.size));
    }
    labelStrips_.clear();
    for (const QRectF& edge : edges) {
      if (!edge.isEmpty())
        labelStrips_.push_back(edge.toAlignedRect().intersected(QRect(QPoint(0, 0), side)));
    }
  }
  labels_ = viewPicture(side);
  QPainter painter(&labels_);
  painter.setPen(Q(radar_palette::kLabelText));
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
  paintedLabels_.remember(labelLayout_, form_.radar().lblquality);
}

void RadarWidget::updateQualityLabels(const QRegion& painting) {
  const std::vector<std::size_t> changed =
      paintedLabels_.changedSince(labelLayout_, form_.radar().lblquality);
  if (changed.empty())
    return;
  QPainter painter(&labels_);
  painter.setPen(Q(radar_palette::kLabelText));
  painter.setFont(captionFont_);
  for (const std::size_t placed : changed) {
    const QualityLabelBox& box = labelLayout_.labels[placed];
    const QRectF area(box.left, box.top, box.size, box.size);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(area, Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const Label& label = form_.radar().lblquality[box.index];
    if (label.visible() && !label.caption().empty()) {
      const QStaticText& text = captionText(label.caption());
      const QSizeF size = text.size();
      painter.drawStaticText(area.center() - QPointF(size.width() / 2, size.height() / 2), text);
    }
    // A caption that changed after this frame was asked for shows at the next one.
    const QRect onScreen = labelBox(placed);
    if (!painting.contains(onScreen))
      update(onScreen);
  }
  paintedLabels_.remember(labelLayout_, form_.radar().lblquality);
}

void RadarWidget::paintEvent(QPaintEvent* event) {
  const RadarFrameParts due = frameRule_.due();
  const QRectF view = square();
  const QSize side(static_cast<int>(view.width()), static_cast<int>(view.width()));
  const double scale = pixelsPerUnit();
  const bool resized = backdrop_.deviceIndependentSize().toSize() != size();
  if (resized || due.backdrop)
    drawBackdrop();
  if (resized || labelLayoutSide_ != side.width())
    drawQualityLabels(side);
  else if (due.labels)
    updateQualityLabels(event->region());

  QPainter painter(this);
  // The backdrop only where this frame paints: rectangle by rectangle, each a plain copy.
  const qreal ratio = backdrop_.devicePixelRatio();
  for (const QRect& part : event->region()) {
    painter.drawPixmap(
        part, backdrop_,
        QRectF(part.x() * ratio, part.y() * ratio, part.width() * ratio, part.height() * ratio));
  }
  painter.translate(view.topLeft());
  painter.setRenderHint(QPainter::Antialiasing);
  paintBeams(painter, scale, event->region());
  paintShapes(painter, scale);
  const Shape& marker = form_.radar().shpmouse[0];
  if (marker.visible()) {
    painter.setPen(QPen(Q(radar_palette::kTouchMarker), radar_palette::kTouchMarkerPen_px));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(InPixels(marker, scale));
  }
  const qreal labelRatio = labels_.devicePixelRatio();
  for (const QRect& strip : labelStrips_) {
    const QRect part =
        strip.intersected(event->region().boundingRect().translated(-view.topLeft().toPoint()));
    if (part.isEmpty())
      continue;
    painter.drawPixmap(QRectF(part), labels_,
                       QRectF(part.x() * labelRatio, part.y() * labelRatio,
                              part.width() * labelRatio, part.height() * labelRatio));
  }
  paintOtherScanners(painter, scale);
  paintContacts(painter, scale);
  paintDraggedMask(painter, scale);

  // A paint of the system's (a part uncovered) answers no request: what changed outside it is
  // still due, and what the screen shows of the scan is known only when all of it was painted.
  const bool answered = requestPending_ && requested_.subtracted(event->region()).isEmpty();
  if (answered || QRegion(rect()).subtracted(event->region()).isEmpty())
    paintedScan_.remember(form_.Line1, form_.radar(), scanGeometry());
  else
    paintedScan_.forget();
  if (answered) {
    requestPending_ = false;
    frameRule_.painted();
  }
}

void RadarWidget::paintBeams(QPainter& painter, double scale, const QRegion& painting) const {
  std::vector<ScanFootprint::PixelRect> parts;  // in the view's pixels
  const QPoint corner = square().topLeft().toPoint();
  for (const QRect& part : painting)
    parts.push_back(
        {part.left() - corner.x(), part.top() - corner.y(), part.width(), part.height()});
  // One call per colour and width: a pen per beam costs more than the line.
  std::array<std::vector<QLineF>, 4> groups;  // black 1, black 2, green 1, green 2
  for (int degree = 0; degree < BeamTable::kBeams; ++degree) {
    const Beam& beam = form_.Line1[degree];
    if (!BeamReaches(beam, scale, parts))
      continue;
    const QLineF line(beam.x1 * scale, beam.y1 * scale, beam.x2 * scale, beam.y2 * scale);
    const std::size_t group = (beam.hit ? 2 : 0) + (beam.width >= 2 ? 1 : 0);
    groups[group].push_back(line);
  }
  for (std::size_t group = 0; group < groups.size(); ++group) {
    if (groups[group].empty())
      continue;
    // Cosmetic: the painter only moves, never scales, so a width in pixels is the width asked
    // for, and a cosmetic line is drawn directly rather than stroked as a polygon and filled,
    // several times faster for the long rays of a view shown whole.
    QPen pen(Q(group >= 2 ? radar_palette::kHit : radar_palette::kBeam), group % 2 == 1 ? 2 : 1);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.drawLines(groups[group].data(), static_cast<int>(groups[group].size()));
  }
}

void RadarWidget::paintContacts(QPainter& painter, double scale) {
  const auto& contacts = form_.radar().contacts();
  if (contacts.empty())
    return;
  QFont idFont = font();
  idFont.setBold(true);
  idFont.setPixelSize(radar_palette::kContactIdFont_px);
  painter.setFont(idFont);
  painter.setPen(QPen(Q(radar_palette::kContact), radar_palette::kContactPen_px));
  painter.setBrush(Qt::NoBrush);
  const double r = radar_palette::kContactRadius_px;
  for (const RadarModel::ContactMark& contact : contacts) {
    const QPointF centre(contact.x * scale, contact.y * scale);
    painter.drawEllipse(centre, r, r);
    // Beside the ring, its foot on the ring's middle: laid out once per id, as a contact moves in
    // every turn.
    auto [id, added] = contactIds_.try_emplace(contact.cursorId, QString::number(contact.cursorId));
    if (added)
      id->second.prepare(QTransform(), idFont);
    painter.drawStaticText(QPointF(centre.x() + r + 2, centre.y() - id->second.size().height()),
                           id->second);
  }
  if (contactIds_.size() > 64)
    contactIds_.clear();  // ids only grow; keep the few of late
}

void RadarWidget::paintOtherScanners(QPainter& painter, double scale) const {
  const auto& scanners = form_.radar().otherScanners();
  if (scanners.empty())
    return;
  // Squares of whole pixels: smoothed, a dot of three pixels would be a grey blur.
  const bool smoothed = painter.testRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::Antialiasing, false);
  constexpr double side = radar_palette::kOtherScannerPoint_px;
  constexpr double marker = radar_palette::kOtherScannerMarker_px;
  std::vector<QRectF> dots;
  for (const RadarModel::OtherScanner& scanner : scanners) {
    const QColor colour = Q(radar_palette::ScannerColour(scanner.colourIndex));
    dots.clear();
    dots.reserve(scanner.points.size());
    for (const std::array<float, 2>& point : scanner.points) {
      dots.emplace_back(std::round(point[0] * scale - side / 2),
                        std::round(point[1] * scale - side / 2), side, side);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRects(dots.data(), static_cast<int>(dots.size()));
    painter.setPen(QPen(scanner.silent ? Q(radar_palette::kSilentScanner) : colour,
                        radar_palette::kShapePen_px));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(std::round(scanner.x * scale - marker / 2),
                            std::round(scanner.y * scale - marker / 2), marker, marker));
  }
  painter.setRenderHint(QPainter::Antialiasing, smoothed);
}

const QStaticText& RadarWidget::captionText(const std::string& caption) {
  // A handful of captions, "0" to "8" and "F", laid out once per size.
  auto [it, added] = captionTexts_.try_emplace(caption, QString::fromStdString(caption));
  if (added)
    it->second.prepare(QTransform(), captionFont_);
  return it->second;
}

void RadarWidget::mousePressEvent(QMouseEvent* event) {
  const QPointF units = toViewUnits(event->position());
  if (event->button() == Qt::LeftButton && form_.maskDrawing().press(units.x(), units.y()))
    return;  // the frame rule repaints the rectangle being dragged
  // What the click moves (the touch rectangle, the scanner marker) the frame rule repaints; a click
  // that moves nothing, as the clicks of touches landing on this window do, repaints nothing.
  calibration_.click(static_cast<float>(units.x()), static_cast<float>(units.y()));
}

void RadarWidget::mouseMoveEvent(QMouseEvent* event) {
  // Qt sends moves only while a button is held, to the widget it went down on.
  const QPointF units = toViewUnits(event->position());
  form_.maskDrawing().move(units.x(), units.y());
}

void RadarWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton)
    return;
  const QPointF units = toViewUnits(event->position());
  form_.maskDrawing().release(units.x(), units.y());
}

}  // namespace scantouch::gui
