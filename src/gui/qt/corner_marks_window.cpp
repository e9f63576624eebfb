#include "corner_marks_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace scantouch::gui {
namespace {

const QColor kBackground(16, 20, 28);
const QColor kMark(255, 212, 0);  // bright yellow on the dark: seen from across the room
const QColor kText(235, 235, 235);
constexpr int kArm_px = 60;
constexpr int kRing_px = 30;
constexpr int kPen_px = 4;

}  // namespace

CornerMarksWindow::CornerMarksWindow(CornerCalibration& calibration)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      calibration_(calibration) {
  setObjectName("cornerMarks");
  setWindowTitle(QString::fromUtf8("四角标定"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);

  prompt_ = new QLabel;
  prompt_->setAlignment(Qt::AlignCenter);
  prompt_->setWordWrap(true);
  QFont promptFont = font();
  promptFont.setPixelSize(22);
  prompt_->setFont(promptFont);
  QPalette text = prompt_->palette();
  text.setColor(QPalette::WindowText, kText);
  prompt_->setPalette(text);

  cancel_ = new QPushButton(QString::fromUtf8("取消"));
  cancel_->setObjectName("cancelCornerCalibration");
  QFont buttonFont = font();
  buttonFont.setPixelSize(20);
  cancel_->setFont(buttonFont);
  cancel_->setMinimumSize(160, 48);
  // The window keeps the focus, so that Esc always reaches it.
  cancel_->setFocusPolicy(Qt::NoFocus);
  connect(cancel_, &QPushButton::clicked, this, [this] { calibration_.cancel(); });

  auto* layout = new QVBoxLayout(this);
  layout->addStretch(1);
  layout->addWidget(prompt_);
  layout->addSpacing(24);
  layout->addWidget(cancel_, 0, Qt::AlignHCenter);
  layout->addStretch(1);
  layout->setContentsMargins(kArm_px + 20, kArm_px + 20, kArm_px + 20, kArm_px + 20);

  connection_ = calibration_.changed.connect([this] { follow(); });
}

CornerMarksWindow::~CornerMarksWindow() {
  calibration_.changed.disconnect(connection_);
}

qreal CornerMarksWindow::devicePixelsPerPixel() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->devicePixelRatio() : 1.0;
}

QPointF CornerMarksWindow::markInWindow() const {
  const ScreenPoint mark = calibration_.mark();
  const IntPair topLeft = calibration_.areaTopLeft();
  return QPointF(mark.x - topLeft.first, mark.y - topLeft.second) / devicePixelsPerPixel();
}

void CornerMarksWindow::follow() {
  if (!calibration_.active()) {
    hide();
    return;
  }
  const qreal ratio = devicePixelsPerPixel();
  const IntPair topLeft = calibration_.areaTopLeft();
  const IntPair size = calibration_.areaSize();
  setGeometry(
      QRectF(topLeft.first / ratio, topLeft.second / ratio, size.first / ratio, size.second / ratio)
          .toAlignedRect());
  prompt_->setText(QString::fromStdString(calibration_.prompt()));
  update();
  if (!isVisible())
    show();
  raise();
  activateWindow();
  setFocus(Qt::OtherFocusReason);
}

void CornerMarksWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kBackground);
  if (!calibration_.active())
    return;
  painter.setRenderHint(QPainter::Antialiasing);
  // Centred on the corner's own pixel: only the quarter inside the area shows, and its centre is
  // where the finger goes.
  const QPointF at = markInWindow();
  painter.setPen(QPen(kMark, kPen_px, Qt::SolidLine, Qt::FlatCap));
  painter.setBrush(Qt::NoBrush);
  painter.drawLine(at - QPointF(kArm_px, 0), at + QPointF(kArm_px, 0));
  painter.drawLine(at - QPointF(0, kArm_px), at + QPointF(0, kArm_px));
  painter.drawEllipse(at, kRing_px, kRing_px);
  painter.setBrush(kMark);
  painter.drawEllipse(at, kPen_px * 2, kPen_px * 2);
}

void CornerMarksWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    calibration_.cancel();
    return;
  }
  QWidget::keyPressEvent(event);
}

void CornerMarksWindow::closeEvent(QCloseEvent* event) {
  // Closed by the desktop (a key of the window manager): the calibration ends with it.
  calibration_.cancel();
  event->accept();
}

}  // namespace scantouch::gui
