#pragma once

#include "common/program_log.h"
#include "engine/touch_frame.h"
#include "main_form.h"
#include "touch/desktop_input.h"
#include "touch/mouse_contact_driver.h"

namespace scantouch {

// Where the touch engine's contacts go, as the page "触控" sets it: the mouse, TUIO and the
// system's own touch; and what the window shows of them (marks on the radar view, the status
// line). The engine runs only while one of them wants it.
class TouchOutputs final : public TouchFrameSink {
 public:
  TouchOutputs(MainForm& form, DesktopInput& desktop);

  void setLog(ProgramLog* log) { log_ = log; }

  // Takes the page's settings into the engine and the outputs.
  void apply();
  // The program ends: a held button goes up.
  void finish();

  void onTouchFrame(const TouchFrame& frame) override;

 private:
  void showStatus(const TouchFrame* frame);

  MainForm& form_;
  ProgramLog* log_ = nullptr;
  MouseContactDriver mouse_;
  std::vector<RadarModel::ContactMark> marks_;
};

}  // namespace scantouch
