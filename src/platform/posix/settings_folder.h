#pragma once

#include <functional>
#include <string>

namespace scantouch {

// Where the settings files live on Linux. Beside the executable when this user may write that
// folder (portable use, as on Windows, and every existing installation); otherwise in
// $XDG_CONFIG_HOME/scantouch/ (by default ~/.config/scantouch/), so that a program installed in
// /usr/bin keeps its settings. Settings files beside such a program (left there by an
// administrator, or shipped with it) are where the user's own start: each one the user's folder
// lacks is copied there as it is.
struct SettingsFolderChoice {
  std::string path;
  std::string problem;  // what went wrong or was copied, for the program's log; empty when nothing
};

struct SettingsFolderPlaces {
  std::string executableFolder;
  std::string configHome;  // $XDG_CONFIG_HOME, may be empty
  std::string home;        // $HOME, may be empty
  std::function<bool(const std::string& folder)> writable;
};

// With `create`, the folder in the configuration home is made when it is chosen and the settings
// beside the executable are copied into it; a folder that cannot be made leaves the executable's
// folder, where nothing can be written but what is there can still be read. Without it nothing
// is made or copied (for --help).
SettingsFolderChoice ChooseSettingsFolder(const SettingsFolderPlaces& places, bool create);

// The places of this process: its executable's folder, its environment, access(2).
SettingsFolderPlaces ThisProcessPlaces();

}  // namespace scantouch
