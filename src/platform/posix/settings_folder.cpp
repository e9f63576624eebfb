#include "posix/settings_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "posix/proc_executable_directory.h"

namespace scantouch {
namespace {

namespace fs = std::filesystem;

bool HasSettingsFile(const std::string& folder) {
  std::error_code ignored;
  return fs::exists(fs::path(folder) / "系统配置.ini", ignored) ||
         fs::exists(fs::path(folder) / "配置.ini", ignored);
}

}  // namespace

SettingsFolderChoice ChooseSettingsFolder(const SettingsFolderPlaces& places, bool create) {
  if (HasSettingsFile(places.executableFolder) || places.writable(places.executableFolder))
    return {places.executableFolder, ""};
  fs::path configHome = places.configHome;
  if (configHome.empty() || configHome.is_relative()) {  // relative ones are to be ignored
    if (places.home.empty())
      return {places.executableFolder, "no home folder for the settings: they cannot be stored"};
    configHome = fs::path(places.home) / ".config";
  }
  const fs::path folder = configHome / "scantouch";
  if (create) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error || !fs::is_directory(folder)) {
      return {places.executableFolder, "cannot create " + folder.string() + " (" + error.message() +
                                           "): the settings cannot be stored"};
    }
  }
  return {folder.string(), ""};
}

SettingsFolderPlaces ThisProcessPlaces() {
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  return SettingsFolderPlaces{
      ProcExecutableDirectory().path(), configHome != nullptr ? configHome : "",
      home != nullptr ? home : "",
      [](const std::string& folder) { return ::access(folder.c_str(), W_OK) == 0; }};
}

}  // namespace scantouch
