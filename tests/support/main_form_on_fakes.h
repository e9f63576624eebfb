#pragma once

#include "app/main_form.h"
#include "example_setup.h"
#include "recording_desktop_input.h"
#include "toolkit/virtual_event_loop.h"

namespace scantouch::testing {

// The main window alone on fakes: a virtual clock, a recording desktop and its settings file in
// memory, for running the road without the rest of the program.
struct MainFormOnFakes {
  VirtualEventLoop loop;
  RecordingDesktopInput desktop;
  examples::InMemorySettings settings;
  MainForm form{loop, desktop, settings.file};
};

}  // namespace scantouch::testing
