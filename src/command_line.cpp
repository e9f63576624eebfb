#include "command_line.h"

#include <string_view>

namespace scantouch {

const char* const kUsage =
    "usage: scantouch [--log FILE] [--input xtest|uinput]\n"
    "       scantouch --help | --version\n"
    "Turns a 360-degree laser range scanner into a touch input device. The settings are kept in\n"
    "\"系统配置.ini\" and \"配置.ini\", in the folder named below.\n"
    "  --log FILE   append the program's log to FILE as well as to standard error; FILE is\n"
    "               kept to about 1 MiB, the older lines moving to FILE.1\n"
    "  --input HOW  how touches move the cursor and click: xtest (an X server's XTest) or\n"
    "               uinput (a pointer device, for Wayland; needs access to /dev/uinput);\n"
    "               by default xtest on X11 and uinput on Wayland or without an X server\n"
    "  --help       print this and exit\n"
    "  --version    print the version and exit\n";

std::optional<CommandLine> ParseCommandLine(int argc, char** argv, std::string& error) {
  CommandLine line;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--help" || argument == "-h") {
      line.help = true;
    } else if (argument == "--version") {
      line.version = true;
    } else if (argument == "--log") {
      if (i + 1 >= argc || std::string_view(argv[i + 1]).empty()) {
        error = "--log needs a file";
        return std::nullopt;
      }
      line.logFile = argv[++i];
    } else if (argument == "--input" || argument.starts_with("--input=")) {
      std::string_view how;
      if (argument == "--input") {
        if (i + 1 >= argc) {
          error = "--input needs xtest or uinput";
          return std::nullopt;
        }
        how = argv[++i];
      } else {
        how = argument.substr(8);
      }
      if (how == "xtest") {
        line.input = CommandLine::Input::xtest;
      } else if (how == "uinput") {
        line.input = CommandLine::Input::uinput;
      } else {
        error = "--input takes xtest or uinput, not \"" + std::string(how) + "\"";
        return std::nullopt;
      }
    } else if (argument.starts_with("--log=")) {
      line.logFile = std::string(argument.substr(6));
    } else if (argument.starts_with("--") || !argument.starts_with("-")) {
      error = "unknown argument " + std::string(argument);
      return std::nullopt;
    } else if (i + 1 < argc && !std::string_view(argv[i + 1]).starts_with("-")) {
      ++i;  // a toolkit option with its value, such as -platform offscreen
    }
  }
  return line;
}

}  // namespace scantouch
