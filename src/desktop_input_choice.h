#pragma once

#include <memory>

#include "command_line.h"
#include "common/program_log.h"
#include "outputs/desktop_input.h"
#include "uinput/uinput_desktop_input.h"

namespace scantouch {

// All screens together, in desktop pixels.
DesktopArea VirtualDesktop();

// How touches reach the desktop: XTest where it reaches every window (an X11 session), the
// uinput pointer on Wayland or without an X server, or what the command line asks for. What
// cannot be opened is told to the log; the program then runs without moving the cursor.
class DesktopInputChoice {
 public:
  DesktopInputChoice(CommandLine::Input input, ProgramLog& log);
  ~DesktopInputChoice();

  DesktopInput& desktop() { return *desktop_; }

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
  DesktopInput* desktop_ = nullptr;
};

}  // namespace scantouch
