#include "touch_outputs.h"

#include <string>

namespace scantouch {

TouchOutputs::TouchOutputs(MainForm& form, DesktopInput& desktop)
    : form_(form), mouse_(desktop, form.CHK鼠标移动, form.CHK鼠标点击) {
  form_.engine().addSink(*this);
  form_.engine().addSink(mouse_);
  showStatus(nullptr);
}

void TouchOutputs::apply() {
  const TouchEngineSettings settings = form_.engineSection().settings();
  form_.engine().configure(settings);
  form_.mapper().setActsOnDesktop(settings.mouseMode == MouseMode::clickPerTouch);
  mouse_.setEnabled(settings.mouseMode == MouseMode::pressDragRelease);
  form_.runEngine(settings.anyOutput());
  showStatus(nullptr);
}

void TouchOutputs::finish() {
  mouse_.setEnabled(false);
}

void TouchOutputs::onTouchFrame(const TouchFrame& frame) {
  marks_.clear();
  for (const Contact& contact : frame.live) {
    marks_.push_back(RadarModel::ContactMark{static_cast<float>(contact.x),
                                             static_cast<float>(contact.y), contact.cursorId});
  }
  form_.radar().showContacts(marks_);
  showStatus(&frame);
}

void TouchOutputs::showStatus(const TouchFrame* frame) {
  if (!form_.engine().running()) {
    form_.LBL触控状态.setCaption("触控引擎：未启用");
    return;
  }
  const std::size_t contacts = frame != nullptr ? frame->live.size() : 0;
  form_.LBL触控状态.setCaption("触控引擎：运行中，触点 " + std::to_string(contacts));
}

}  // namespace scantouch
