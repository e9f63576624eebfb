#pragma once

#include <optional>
#include <string>

namespace scantouch {

// What the program is asked on its command line. Options it does not know are left to the GUI
// toolkit when they start with a single "-" (such as "-platform offscreen"); anything else is a
// mistake.
struct CommandLine {
  bool help = false;
  bool version = false;
  std::optional<std::string> logFile;  // --log FILE: the program's log is appended to FILE too
  // --input xtest|uinput: how touches reach the desktop; by default XTest on X11 and the uinput
  // pointer on Wayland or without an X server.
  enum class Input { automatic, xtest, uinput } input = Input::automatic;
};

// Parses argv; on a mistake returns nullopt and says what was wrong in `error`.
std::optional<CommandLine> ParseCommandLine(int argc, char** argv, std::string& error);

extern const char* const kUsage;

}  // namespace scantouch
