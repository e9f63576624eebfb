#pragma once

#include <QObject>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

namespace scantouch::gui {

// Brings widgets up to date at a bounded frame rate. Controls that change thousands of times a
// second (the receive buffer, the beams, the quality labels) only mark their widget stale; the
// pacer refreshes each stale widget at most once per frame, not at all while nothing changed, and
// not while the widget is hidden (it catches up when shown).
class FramePacer : public QObject {
 public:
  static constexpr int kFrameInterval_ms = 33;

  explicit FramePacer(QObject* parent = nullptr);

  // Returns a function that marks `refresh` of `widget` as due for the next frame.
  std::function<void()> add(QWidget* widget, std::function<void()> refresh);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Entry {
    QWidget* widget;
    std::function<void()> refresh;
    bool stale = false;
  };
  void frame();

  QTimer timer_;
  std::vector<Entry> entries_;
};

}  // namespace scantouch::gui
