#pragma once

#include <QObject>
#include <QWidget>
#include <functional>

#include "qt/qt_event_loop.h"
#include "toolkit/frame_pacing.h"

namespace scantouch::gui {

// The core's frame pacing for Qt widgets: a widget shows while it is visible, and showing one
// wakes the pacing, so that what went stale while it was hidden is refreshed at the next frame.
class FramePacer : public QObject {
 public:
  static constexpr std::int64_t kFrameInterval_ms = FramePacing::kFrameInterval_ms;

  explicit FramePacer(QObject* parent = nullptr);

  // Returns a function that marks `refresh` of `widget` as due for the next frame.
  std::function<void()> add(QWidget* widget, std::function<void()> refresh);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QtEventLoop loop_;
  FramePacing pacing_{loop_};
};

}  // namespace scantouch::gui
