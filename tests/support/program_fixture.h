#pragma once

#include <gtest/gtest.h>

#include "app/scanner_program.h"
#include "fake_platform.h"

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

  FakePlatform fakes_;
  // Named as the tests have always named them.
  VirtualEventLoop& loop_ = fakes_.loop;
  RecordingDesktopInput& desktop_ = fakes_.desktop;
  FakeSerialPort& serialPort_ = fakes_.serialPort;
  FakeSocketFactory& sockets_ = fakes_.sockets;
  ScriptedDialogs& dialogs_ = fakes_.dialogs;
  InMemoryFiles& files_ = fakes_.files;
  Utf8Codec& codec_ = fakes_.codec;
  FixedDirectory& directory_ = fakes_.directory;
  FakeTrayIcon& tray_ = fakes_.tray;
  FakeInstanceGuard& instances_ = fakes_.instances;
  int processEnds_ = 0;
  ScannerProgram program_{fakes_.platform([this] { ++processEnds_; })};
};

}  // namespace scantouch::testing
