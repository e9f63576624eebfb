#include "posix/xdg_autostart.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <system_error>

#include "posix/posix_file_access.h"

namespace scantouch {
namespace {

namespace fs = std::filesystem;

constexpr const char* kInstalledProgram = "/usr/bin/scantouch";
constexpr const char* kLegacyName = "scantouch.desktop";

// FNV-1a: short, and the same in every version, so that a copy finds its entry again.
std::uint32_t StableHash(const std::string& text) {
  std::uint32_t hash = 2166136261u;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619u;
  }
  return hash;
}

std::string EntryNameFor(const std::string& program) {
  if (program == kInstalledProgram)
    return kLegacyName;
  char name[32];
  std::snprintf(name, sizeof name, "scantouch-%08x.desktop", StableHash(program));
  return name;
}

// How earlier versions wrote Exec: quoted, without the value's own escaping of backslashes.
std::string EarlierExecValue(const std::string& program) {
  std::string quoted = "\"";
  for (const char c : program) {
    if (c == '"' || c == '`' || c == '$' || c == '\\')
      quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// The keys of the group [Desktop Entry], or nullopt when the file cannot be read.
std::optional<std::map<std::string, std::string>> ReadEntry(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file)
    return std::nullopt;
  std::map<std::string, std::string> keys;
  std::string line;
  bool inGroup = false;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (line.starts_with('[')) {
      inGroup = line == "[Desktop Entry]";
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!inGroup || line.starts_with('#') || equals == std::string::npos)
      continue;
    std::size_t keyEnd = equals;
    while (keyEnd > 0 && line[keyEnd - 1] == ' ')
      --keyEnd;
    std::size_t valueStart = equals + 1;
    while (valueStart < line.size() && line[valueStart] == ' ')
      ++valueStart;
    keys.emplace(line.substr(0, keyEnd), line.substr(valueStart));
  }
  return keys;
}

std::string KeyOr(const std::map<std::string, std::string>& keys, const std::string& key) {
  const auto it = keys.find(key);
  return it == keys.end() ? "" : it->second;
}

// Turned off by the desktop's own settings, or by the user in the file.
bool TurnedOff(const std::map<std::string, std::string>& keys) {
  return KeyOr(keys, "Hidden") == "true" || KeyOr(keys, "X-GNOME-Autostart-enabled") == "false";
}

// The program an Exec value runs: the string's escapes undone, then the first argument's quoting,
// then the doubled percent signs.
std::string ProgramOf(const std::string& exec) {
  std::string value;
  for (std::size_t i = 0; i < exec.size(); ++i) {
    if (exec[i] != '\\' || i + 1 == exec.size()) {
      value += exec[i];
      continue;
    }
    const char next = exec[++i];
    value += next == 's'   ? ' '
             : next == 'n' ? '\n'
             : next == 't' ? '\t'
             : next == 'r' ? '\r'
                           : next;
  }
  std::string argument;
  std::size_t i = 0;
  if (value.starts_with('"')) {
    for (i = 1; i < value.size() && value[i] != '"'; ++i) {
      if (value[i] == '\\' && i + 1 < value.size())
        ++i;
      argument += value[i];
    }
  } else {
    argument = value.substr(0, value.find(' '));
  }
  std::string program;
  for (i = 0; i < argument.size(); ++i) {
    program += argument[i];
    if (argument[i] == '%' && i + 1 < argument.size() && argument[i + 1] == '%')
      ++i;
  }
  return program;
}

bool RunsProgram(const std::map<std::string, std::string>& keys, const std::string& program) {
  const std::string exec = KeyOr(keys, "Exec");
  const std::string earlier = EarlierExecValue(program);
  return ProgramOf(exec) == program ||
         (exec.starts_with(earlier) &&
          (exec.size() == earlier.size() || exec[earlier.size()] == ' '));
}

}  // namespace

XdgAutostart::XdgAutostart(std::string autostartFolder, std::string program)
    : folder_(std::move(autostartFolder)),
      program_(std::move(program)),
      name_(EntryNameFor(program_)) {}

std::string XdgAutostart::UserAutostartFolder() {
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  if (configHome != nullptr && fs::path(configHome).is_absolute())
    return (fs::path(configHome) / "autostart").string();
  const char* home = std::getenv("HOME");
  return (fs::path(home != nullptr ? home : "/") / ".config" / "autostart").string();
}

std::string XdgAutostart::ExecValue(const std::string& program) {
  // The argument in double quotes with the characters the quoting reserves escaped, percent
  // signs doubled as field codes ask; then the string's own escaping, which doubles backslashes.
  std::string quoted = "\"";
  for (const char c : program) {
    if (c == '"' || c == '`' || c == '$' || c == '\\')
      quoted += '\\';
    quoted += c == '%' ? "%%" : std::string(1, c);
  }
  quoted += '"';
  std::string value;
  for (const char c : quoted) {
    value += c == '\\'   ? "\\\\"
             : c == '\n' ? "\\n"
             : c == '\t' ? "\\t"
             : c == '\r' ? "\\r"
                         : std::string(1, c);
  }
  return value;
}

std::string XdgAutostart::entryPath() const {
  return (fs::path(folder_) / name_).string();
}

bool XdgAutostart::ownsLegacyEntry() const {
  if (name_ == kLegacyName)
    return false;
  const auto keys = ReadEntry((fs::path(folder_) / kLegacyName).string());
  return keys && RunsProgram(*keys, program_);
}

bool XdgAutostart::enabled() const {
  if (const auto keys = ReadEntry(entryPath()))
    return !TurnedOff(*keys);
  // An entry an earlier version wrote for this same program, read once: another copy may remove
  // it at any moment.
  if (name_ == kLegacyName)
    return false;
  const auto legacy = ReadEntry((fs::path(folder_) / kLegacyName).string());
  return legacy && RunsProgram(*legacy, program_) && !TurnedOff(*legacy);
}

bool XdgAutostart::setEnabled(bool enabled) {
  std::error_code error;
  const bool legacy = ownsLegacyEntry();
  if (!enabled) {
    fs::remove(entryPath(), error);
    if (!error && legacy)
      fs::remove(fs::path(folder_) / kLegacyName, error);
    return !error;
  }
  fs::create_directories(folder_, error);
  if (error)
    return false;
  // Written whole, without Hidden and with X-GNOME-Autostart-enabled=true: an entry the desktop
  // had turned off is on again.
  const std::string entry =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=scantouch\n"
      "Comment=Laser scanner touch input\n"
      "Exec=" +
      ExecValue(program_) +
      "\n"
      "Icon=scantouch\n"
      "Terminal=false\n"
      "X-GNOME-Autostart-enabled=true\n";
  PosixFileAccess files;
  if (!files.replace(entryPath(), entry))
    return false;
  if (legacy)
    fs::remove(fs::path(folder_) / kLegacyName, error);  // one entry per program: the new one
  return true;
}

}  // namespace scantouch
