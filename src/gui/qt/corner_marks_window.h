#pragma once

#include <QWidget>

#include "calibration/corner_calibration.h"

class QLabel;
class QPushButton;

namespace scantouch::gui {

// The four-corner calibration's window: frameless and above everything, over exactly the screen
// area being calibrated, dark, with a large mark at the corner to touch, the prompt in the middle
// and a cancel button below it. It follows the calibration: shown at each corner while it runs,
// hidden when it ends. Esc or the button cancels; a mouse click does nothing, since the touch that
// calibrates comes from the scanner.
class CornerMarksWindow : public QWidget {
 public:
  explicit CornerMarksWindow(CornerCalibration& calibration);
  ~CornerMarksWindow() override;
  CornerMarksWindow(const CornerMarksWindow&) = delete;
  CornerMarksWindow& operator=(const CornerMarksWindow&) = delete;

  // Where the mark is drawn, in the window's pixels.
  QPointF markInWindow() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void follow();
  // Desktop pixels are the device's; the window is placed in Qt's, which differ on a scaled screen.
  qreal devicePixelsPerPixel() const;

  CornerCalibration& calibration_;
  Notifier<>::ConnectionId connection_;
  QLabel* prompt_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace scantouch::gui
