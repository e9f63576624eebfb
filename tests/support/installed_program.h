#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <filesystem>

#include "program_folder.h"
#include "qt_waiting.h"

namespace scantouch::testing {

// Starts the program installed in `installation` as an installation would run it: from its own
// folder, with a runtime folder of its own so that a copy running elsewhere on this machine does
// not stop it at the "already running" warning. Its output goes to the test's.
inline bool StartInstalled(
    QProcess& program, const ProgramFolder& installation, const QStringList& arguments = {},
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment()) {
  const std::filesystem::path& folder = installation.path;
  program.setWorkingDirectory(QString::fromStdString(folder.string()));
  environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(installation.runtimeFolder()));
  program.setProcessEnvironment(environment);
  program.setProcessChannelMode(QProcess::ForwardedChannels);
  program.start(QString::fromStdString((folder / "scantouch").string()), arguments);
  return program.waitForStarted(5000);
}

// Starts the installed program on Qt's offscreen platform with no X server, its mouse asked for
// by name (XTest): without a display the mouse is then no device at all, where the automatic
// choice would make a uinput pointer on this machine. For programs whose touches go out by TUIO.
inline bool StartInstalledWithoutDisplay(QProcess& program, const ProgramFolder& installation,
                                         const QStringList& arguments = {}) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.remove("DISPLAY");
  environment.remove("WAYLAND_DISPLAY");
  return StartInstalled(program, installation, QStringList{"--input", "xtest"} + arguments,
                        environment);
}

// Asks `program` to close as log-out and shut-down do (a terminate signal) and waits for its end:
// a success when it ended of itself within `timeout_ms`, not by a crash.
inline ::testing::AssertionResult CloseAsAtLogOut(QProcess& program, int timeout_ms = 10000) {
  program.terminate();
  if (!WaitForEnd(program, timeout_ms))
    return ::testing::AssertionFailure()
           << "still running " << timeout_ms << " ms after the close request";
  if (program.exitStatus() != QProcess::NormalExit)
    return ::testing::AssertionFailure() << "crashed at the close request";
  return ::testing::AssertionSuccess();
}

}  // namespace scantouch::testing
