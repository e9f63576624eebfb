#pragma once

#include <functional>
#include <string>

namespace scantouch {

// Where the settings files live on Linux. Beside the executable when a settings file is there or
// that folder may be written (portable use, as on Windows, and every existing installation);
// otherwise in $XDG_CONFIG_HOME/scantouch/ (by default ~/.config/scantouch/), so that a program
// installed in /usr/bin keeps its settings.
struct SettingsFolderChoice {
  std::string path;
  std::string problem;  // what went wrong on the way, for the program's log; empty when nothing
};

struct SettingsFolderPlaces {
  std::string executableFolder;
  std::string configHome;  // $XDG_CONFIG_HOME, may be empty
  std::string home;        // $HOME, may be empty
  std::function<bool(const std::string& folder)> writable;
};

// With `create`, the folder in the configuration home is made when it is chosen; a folder that
// cannot be made leaves the executable's folder, where nothing can be written but what is there
// can still be read.
SettingsFolderChoice ChooseSettingsFolder(const SettingsFolderPlaces& places, bool create);

// The places of this process: its executable's folder, its environment, access(2).
SettingsFolderPlaces ThisProcessPlaces();

}  // namespace scantouch
