#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QProcess>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "installed_program.h"
#include "osc_dump.h"
#include "program_folder.h"
#include "qt_program.h"

namespace scantouch::testing {

// The whole program, installed in a folder of its own, in the simulator's room, its TUIO read by
// liblo's oscdump; the mouse is left alone (鼠标模式=2), so TUIO is the only way its touches go
// out, and it runs on Qt's offscreen platform with no X server. Needs SCANTOUCH_PATH and
// SCANNER_SIM_PATH.
class TuioProgram {
 public:
  // The folder `name`-<pid> in the temporary folder, with the touch engine's keys `more` after
  // those that send TUIO to the dump.
  explicit TuioProgram(const std::string& name,
                       const std::vector<std::pair<std::string, std::string>>& more = {})
      : installation{std::filesystem::temp_directory_path() /
                     (name + "-" + std::to_string(::getpid()))} {
    installation.touchEngine = {{"鼠标模式", "2"},
                                {"TUIO目标", "127.0.0.1:" + std::to_string(dump.port())}};
    installation.touchEngine.insert(installation.touchEngine.end(), more.begin(), more.end());
  }

  // Writes the folder for a scanner on 127.0.0.1:`port`, starts the simulator with `simulator`
  // and, once it listens, the program.
  ::testing::AssertionResult start(int port, const QStringList& simulator) {
    if (!dump.ready())
      return ::testing::AssertionFailure() << "oscdump is not listening: " << dump.output();
    installation.create(port, SCANTOUCH_PATH);
    sim = std::make_unique<SimProcess>(simulator);
    if (!sim->waitForLine("ready"))
      return ::testing::AssertionFailure() << "the simulator is not ready";
    if (!StartInstalledWithoutDisplay(program, installation))
      return ::testing::AssertionFailure() << "the program did not start";
    return ::testing::AssertionSuccess();
  }

  // Waits until `frames` bundles have had `alive` cursors alive.
  bool waitForFrames(std::size_t alive, std::size_t frames, int timeout_ms) {
    return dump.waitForLines(
        [&](const auto& lines) { return BundlesWithAlive(lines, alive) >= frames; }, timeout_ms);
  }

  // The bundles read so far; a bundle that cannot be read fails the test.
  std::vector<DumpedBundle> bundles() {
    std::string problem;
    std::vector<DumpedBundle> read = DumpedBundles(dump.lines(), problem);
    EXPECT_EQ(problem, "");
    return read;
  }

  OscDump dump;
  ProgramFolder installation;
  std::unique_ptr<SimProcess> sim;
  QProcess program;
};

}  // namespace scantouch::testing
