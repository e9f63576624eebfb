#include "posix/xdg_autostart.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "posix/posix_file_access.h"

namespace scantouch {
namespace {

namespace fs = std::filesystem;

// A desktop entry's Exec value: the path in double quotes, with the characters that need it
// escaped.
std::string QuotedForExec(const std::string& path) {
  std::string quoted = "\"";
  for (const char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\')
      quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

XdgAutostart::XdgAutostart(std::string autostartFolder, std::string program)
    : folder_(std::move(autostartFolder)), program_(std::move(program)) {}

std::string XdgAutostart::UserAutostartFolder() {
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  if (configHome != nullptr && fs::path(configHome).is_absolute())
    return (fs::path(configHome) / "autostart").string();
  const char* home = std::getenv("HOME");
  return (fs::path(home != nullptr ? home : "/") / ".config" / "autostart").string();
}

std::string XdgAutostart::entryPath() const {
  return (fs::path(folder_) / "scantouch.desktop").string();
}

bool XdgAutostart::enabled() const {
  std::error_code ignored;
  return fs::exists(entryPath(), ignored);
}

bool XdgAutostart::setEnabled(bool enabled) {
  std::error_code error;
  if (!enabled) {
    fs::remove(entryPath(), error);
    return !error;
  }
  fs::create_directories(folder_, error);
  if (error)
    return false;
  const std::string entry =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=scantouch\n"
      "Comment=Laser scanner touch input\n"
      "Exec=" +
      QuotedForExec(program_) +
      "\n"
      "Icon=scantouch\n"
      "Terminal=false\n"
      "X-GNOME-Autostart-enabled=true\n";
  PosixFileAccess files;
  return files.replace(entryPath(), entry);
}

}  // namespace scantouch
