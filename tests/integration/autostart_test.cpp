// The XDG autostart entry on a temporary home: made and removed as the box says, its folder made
// when missing, and a folder that cannot be made refused.

#include "posix/xdg_autostart.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace scantouch {
namespace {

namespace fs = std::filesystem;

TEST(XdgAutostart, TheEntryRunsTheProgramFromWhereItIs) {
  const fs::path home =
      fs::temp_directory_path() / ("scantouch-autostart-" + std::to_string(::getpid()));
  fs::remove_all(home);
  XdgAutostart autostart((home / ".config" / "autostart").string(), "/opt/scan touch/scantouch");
  EXPECT_FALSE(autostart.enabled());
  ASSERT_TRUE(autostart.setEnabled(true));  // the folder does not exist yet
  EXPECT_TRUE(autostart.enabled());
  std::ifstream file(autostart.entryPath());
  std::stringstream entry;
  entry << file.rdbuf();
  EXPECT_NE(entry.str().find("Exec=\"/opt/scan touch/scantouch\"\n"), std::string::npos)
      << entry.str();
  EXPECT_EQ(entry.str().rfind("[Desktop Entry]\nType=Application\n", 0), 0u);
  ASSERT_TRUE(autostart.setEnabled(false));
  EXPECT_FALSE(autostart.enabled());
  EXPECT_TRUE(autostart.setEnabled(false));  // already gone: nothing to do

  std::ofstream(home / "blocked") << "a file where the folder should be";
  XdgAutostart blocked((home / "blocked" / "autostart").string(), "/usr/bin/scantouch");
  EXPECT_FALSE(blocked.setEnabled(true));
  EXPECT_FALSE(blocked.enabled());
  fs::remove_all(home);
}

}  // namespace
}  // namespace scantouch
