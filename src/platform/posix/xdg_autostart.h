#pragma once

#include <string>

#include "app/autostart.h"

namespace scantouch {

// The program started at log-in by an XDG autostart entry: `autostartFolder`/scantouch.desktop
// ($XDG_CONFIG_HOME/autostart, by default ~/.config/autostart), running `program` from where it
// is. The folder is made when it is not there yet.
class XdgAutostart final : public Autostart {
 public:
  XdgAutostart(std::string autostartFolder, std::string program);

  // The folder of this user's desktop, from the environment.
  static std::string UserAutostartFolder();

  bool enabled() const override;
  bool setEnabled(bool enabled) override;
  std::string entryPath() const;

 private:
  std::string folder_;
  std::string program_;
};

}  // namespace scantouch
