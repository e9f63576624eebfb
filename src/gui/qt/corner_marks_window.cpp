#include "corner_marks_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "bindings.h"
#include "calibration/corner_marks_look.h"

namespace scantouch::gui {
namespace {

namespace look = corner_marks_look;

// The key as the core numbers keys: Esc is 27 whatever text the platform gives it.
int KeyCode(const QKeyEvent& event) {
  return event.key() == Qt::Key_Escape ? look::kCancelKey : event.key();
}

}  // namespace

CornerMarksWindow::CornerMarksWindow(CornerCalibration& calibration)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      calibration_(calibration) {
  setObjectName("cornerMarks");
  setWindowTitle(QString::fromUtf8(look::kTitle));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);

  prompt_ = new QLabel;
  prompt_->setAlignment(Qt::AlignCenter);
  prompt_->setWordWrap(true);
  QFont promptFont = font();
  promptFont.setPixelSize(look::kPromptFont);
  prompt_->setFont(promptFont);
  QPalette text = prompt_->palette();
  text.setColor(QPalette::WindowText, ToQColor(look::kText));
  prompt_->setPalette(text);

  cancel_ = new QPushButton(QString::fromUtf8(look::kCancelCaption));
  cancel_->setObjectName("cancelCornerCalibration");
  QFont buttonFont = font();
  buttonFont.setPixelSize(look::kButtonFont);
  cancel_->setFont(buttonFont);
  cancel_->setMinimumSize(look::kButtonWidth, look::kButtonHeight);
  // The window keeps the focus, so that Esc always reaches it.
  cancel_->setFocusPolicy(Qt::NoFocus);
  connect(cancel_, &QPushButton::clicked, this, [this] { calibration_.cancel(); });

  auto* layout = new QVBoxLayout(this);
  layout->addStretch(1);
  layout->addWidget(prompt_);
  layout->addSpacing(24);
  layout->addWidget(cancel_, 0, Qt::AlignHCenter);
  layout->addStretch(1);
  layout->setContentsMargins(look::kMargin, look::kMargin, look::kMargin, look::kMargin);

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
  const IntPair mark = look::MarkInWindow(calibration_);
  return QPointF(mark.first, mark.second) / devicePixelsPerPixel();
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
  painter.fillRect(rect(), ToQColor(look::kBackground));
  if (!calibration_.active())
    return;
  painter.setRenderHint(QPainter::Antialiasing);
  const QPointF at = markInWindow();
  const QColor mark = ToQColor(look::kMark);
  painter.setPen(QPen(mark, look::kPen, Qt::SolidLine, Qt::FlatCap));
  painter.setBrush(Qt::NoBrush);
  painter.drawLine(at - QPointF(look::kArm, 0), at + QPointF(look::kArm, 0));
  painter.drawLine(at - QPointF(0, look::kArm), at + QPointF(0, look::kArm));
  painter.drawEllipse(at, look::kRing, look::kRing);
  painter.setBrush(mark);
  painter.drawEllipse(at, look::kDot, look::kDot);
}

void CornerMarksWindow::keyPressEvent(QKeyEvent* event) {
  if (KeyCode(*event) == look::kCancelKey) {
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
