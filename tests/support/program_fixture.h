#pragma once

#include <gtest/gtest.h>

#include "app/scanner_program.h"
#include "fake_link.h"
#include "fake_shell.h"
#include "in_memory_files.h"
#include "recording_desktop_input.h"
#include "toolkit/virtual_event_loop.h"

namespace scantouch::testing {

// The whole program on fakes and a virtual clock, with files in memory.
class ProgramFixture : public ::testing::Test {
 protected:
  FakeSerialPort& serialPort() { return serialPort_; }
  FakeTcpSocket& socket() { return *sockets_.made.at(0); }
  TcpChannel& channel() { return program_.network().channel(0); }
  MainForm& form() { return program_.form(); }
  NetworkForm& network() { return program_.network(); }

  // Channel 0 configured for a scanner at 192.0.2.10:8001.
  void configureChannel(const std::string& port = "8001") {
    network().ensureLoaded();
    channel().TxtTcpIp.setText("192.0.2.10");
    channel().TxtTcpPost.setText(port);
  }
  // The next check connects, and the scanner accepts.
  void connectChannel() {
    loop_.advance(1000);
    socket().accept();
  }

  VirtualEventLoop loop_;
  RecordingDesktopInput desktop_;
  FakeSerialPort serialPort_;
  FakeSocketFactory sockets_;
  ScriptedDialogs dialogs_;
  InMemoryFiles files_;
  Utf8Codec codec_;
  FixedDirectory directory_{"/opt/scantouch"};
  FakeTrayIcon tray_;
  FakeInstanceGuard instances_;
  int processEnds_ = 0;
  ScannerProgram program_{Platform{loop_, desktop_, serialPort_, sockets_, dialogs_, files_, codec_,
                                   directory_, tray_, instances_, [this] { ++processEnds_; }}};
};

}  // namespace scantouch::testing
