#include "posix/settings_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "posix/proc_executable_directory.h"

namespace scantouch {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSettingsFiles[] = {"系统配置.ini", "配置.ini"};

// Settings beside a program this user may not write start the user's own: each file the user's
// folder lacks is copied as it is, and the copy is the user's to change. Returns what was done,
// for the program's log; empty when there was nothing to copy.
std::string CopyMissingSettings(const fs::path& from, const fs::path& to) {
  std::string copied, failed;
  for (const char* name : kSettingsFiles) {
    std::error_code error;
    if (!fs::exists(from / name, error) || fs::exists(fs::symlink_status(to / name, error)))
      continue;
    if (fs::copy_file(from / name, to / name, error))
      fs::permissions(to / name, fs::perms::owner_read | fs::perms::owner_write,
                      fs::perm_options::add, error);
    std::string& list = error ? failed : copied;
    list += (list.empty() ? "" : ", ") + std::string(name);
    if (error)
      fs::remove(to / name, error);
  }
  std::string report;
  if (!copied.empty())
    report = "this user may not write the settings in " + from.string() + ": " + copied +
             " copied from there to start with";
  if (!failed.empty())
    report += (report.empty() ? "" : "; ") + std::string("cannot copy ") + failed + " from " +
              from.string() + ": starting without";
  return report;
}

}  // namespace

SettingsFolderChoice ChooseSettingsFolder(const SettingsFolderPlaces& places, bool create) {
  // A folder the user may write holds the settings beside the program (portable use, as on
  // Windows). Settings there that this user cannot change must not hold the user: an
  // administrator who ran the installed program once would otherwise decide for everybody.
  if (places.writable(places.executableFolder))
    return {places.executableFolder, ""};
  fs::path configHome = places.configHome;
  if (configHome.empty() || configHome.is_relative()) {  // relative ones are to be ignored
    if (places.home.empty())
      return {places.executableFolder, "no home folder for the settings: they cannot be stored"};
    configHome = fs::path(places.home) / ".config";
  }
  const fs::path folder = configHome / "scantouch";
  if (!create)
    return {folder.string(), ""};
  std::error_code error;
  fs::create_directories(folder, error);
  if (error || !fs::is_directory(folder)) {
    return {places.executableFolder, "cannot create " + folder.string() + " (" + error.message() +
                                         "): the settings cannot be stored"};
  }
  return {folder.string(), CopyMissingSettings(places.executableFolder, folder)};
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
