#pragma once

#include <string>

#include "app/autostart.h"

namespace scantouch {

// The program started at log-in by an XDG autostart entry in `autostartFolder`
// ($XDG_CONFIG_HOME/autostart, by default ~/.config/autostart), running `program` from where it
// is. The folder is made when it is not there yet. Each copy of the program has an entry of its
// own: "scantouch.desktop" for the installed /usr/bin/scantouch, "scantouch-<hash of the path>
// .desktop" for any other, so that two portable copies never share one. An entry the desktop
// has turned off (Hidden=true, X-GNOME-Autostart-enabled=false) counts as off, and one an
// earlier version wrote as "scantouch.desktop" for this same program counts as this program's
// and is replaced by its own.
class XdgAutostart final : public Autostart {
 public:
  XdgAutostart(std::string autostartFolder, std::string program);

  // The folder of this user's desktop, from the environment.
  static std::string UserAutostartFolder();
  // The Exec value that runs `program` without arguments, quoted and escaped for a desktop entry.
  static std::string ExecValue(const std::string& program);

  bool enabled() const override;
  bool setEnabled(bool enabled) override;
  std::string entryPath() const;

 private:
  // The entry earlier versions wrote for every copy, when it runs this program and is not the
  // entry of its own.
  bool ownsLegacyEntry() const;

  std::string folder_;
  std::string program_;
  std::string name_;
};

}  // namespace scantouch
