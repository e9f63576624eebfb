#pragma once

#include <functional>
#include <utility>

#include "app/scanner_program.h"
#include "config/executable_directory.h"
#include "config/text_codec.h"
#include "fake_link.h"
#include "fake_shell.h"
#include "in_memory_files.h"
#include "recording_desktop_input.h"
#include "toolkit/virtual_event_loop.h"

namespace scantouch::testing {

// What the whole program needs of its platform, all of it fake: a virtual clock, a recording
// desktop, a serial port and sockets that a test feeds, files in memory in "/opt/scantouch".
struct FakePlatform {
  VirtualEventLoop loop;
  RecordingDesktopInput desktop;
  FakeSerialPort serialPort;
  FakeSocketFactory sockets;
  ScriptedDialogs dialogs;
  InMemoryFiles files;
  Utf8Codec codec;
  FixedDirectory directory{"/opt/scantouch"};
  FakeTrayIcon tray;
  FakeInstanceGuard instances;

  // `endProcess` stands for ending the process at once.
  Platform platform(std::function<void()> endProcess = [] {}) {
    return Platform{
        loop, desktop,   serialPort,           sockets, dialogs, files, codec, directory,
        tray, instances, std::move(endProcess)};
  }
};

}  // namespace scantouch::testing
