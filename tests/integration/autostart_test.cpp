// The XDG autostart entry on a temporary home: made and removed as the box says, its folder made
// when missing, a folder that cannot be made refused; the Exec line quoted as desktops read it,
// entries the desktop turned off seen as off, one entry per copy of the program, and the entry
// earlier versions wrote taken over.

#include "posix/xdg_autostart.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace scantouch {
namespace {

namespace fs = std::filesystem;

class XdgAutostartTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::remove_all(home_); }
  void TearDown() override { fs::remove_all(home_); }

  static std::string Read(const fs::path& path) {
    std::ifstream file(path);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
  }
  std::size_t Entries() const {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder_))
      ++count;
    return count;
  }

  const fs::path home_ =
      fs::temp_directory_path() / ("scantouch-autostart-" + std::to_string(::getpid()));
  const fs::path folder_ = home_ / ".config" / "autostart";
};

TEST_F(XdgAutostartTest, TheEntryRunsTheProgramFromWhereItIs) {
  XdgAutostart autostart(folder_.string(), "/opt/scan touch/scantouch");
  EXPECT_FALSE(autostart.enabled());
  ASSERT_TRUE(autostart.setEnabled(true));  // the folder does not exist yet
  EXPECT_TRUE(autostart.enabled());
  const std::string entry = Read(autostart.entryPath());
  EXPECT_NE(entry.find("Exec=\"/opt/scan touch/scantouch\"\n"), std::string::npos) << entry;
  EXPECT_EQ(entry.rfind("[Desktop Entry]\nType=Application\n", 0), 0u);
  ASSERT_TRUE(autostart.setEnabled(false));
  EXPECT_FALSE(autostart.enabled());
  EXPECT_TRUE(autostart.setEnabled(false));  // already gone: nothing to do

  std::ofstream(home_ / "blocked") << "a file where the folder should be";
  XdgAutostart blocked((home_ / "blocked" / "autostart").string(), "/usr/bin/scantouch");
  EXPECT_FALSE(blocked.setEnabled(true));
  EXPECT_FALSE(blocked.enabled());
}

TEST_F(XdgAutostartTest, TheExecLineIsQuotedAndEscapedAsDesktopsReadIt) {
  // Inside the quotes `"`, `` ` ``, `$` and `\` get a backslash and `%` is doubled; then the
  // value's own escaping doubles every backslash.
  EXPECT_EQ(XdgAutostart::ExecValue(R"(/opt/a "b" $HOME `x` 100%\c/scantouch)"),
            R"("/opt/a \\"b\\" \\$HOME \\`x\\` 100%%\\\\c/scantouch")");
  EXPECT_EQ(XdgAutostart::ExecValue("/usr/bin/scantouch"), "\"/usr/bin/scantouch\"");
}

TEST_F(XdgAutostartTest, AnEntryTheDesktopTurnedOffIsOffAndTickingTurnsItOn) {
  XdgAutostart autostart(folder_.string(), "/usr/bin/scantouch");
  for (const char* off : {"Hidden=true\n", "X-GNOME-Autostart-enabled=false\n"}) {
    ASSERT_TRUE(autostart.setEnabled(true));
    std::string entry = Read(autostart.entryPath());
    entry.replace(entry.find("X-GNOME-Autostart-enabled=true\n"),
                  std::string("X-GNOME-Autostart-enabled=true\n").size(), off);
    std::ofstream(autostart.entryPath()) << entry;
    EXPECT_FALSE(autostart.enabled()) << off;

    ASSERT_TRUE(autostart.setEnabled(true));
    EXPECT_TRUE(autostart.enabled()) << off;
    EXPECT_EQ(Read(autostart.entryPath()).find(off), std::string::npos);
  }
}

TEST_F(XdgAutostartTest, EachCopyOfTheProgramHasAnEntryOfItsOwn) {
  XdgAutostart installed(folder_.string(), "/usr/bin/scantouch");
  XdgAutostart first(folder_.string(), "/opt/first/scantouch");
  XdgAutostart second(folder_.string(), "/opt/second/scantouch");
  EXPECT_EQ(fs::path(installed.entryPath()).filename(), "scantouch.desktop");
  EXPECT_NE(first.entryPath(), second.entryPath());
  EXPECT_EQ(fs::path(first.entryPath()).filename().string().rfind("scantouch-", 0), 0u);
  EXPECT_EQ(XdgAutostart(folder_.string(), "/opt/first/scantouch").entryPath(), first.entryPath())
      << "the same copy finds its entry again";

  ASSERT_TRUE(first.setEnabled(true));
  ASSERT_TRUE(installed.setEnabled(true));
  EXPECT_FALSE(second.enabled());
  ASSERT_TRUE(second.setEnabled(true));
  ASSERT_TRUE(first.setEnabled(false));
  EXPECT_TRUE(second.enabled());
  EXPECT_TRUE(installed.enabled());
  EXPECT_EQ(Entries(), 2u);
}

TEST_F(XdgAutostartTest, TheEntryAnEarlierVersionWroteForThisCopyIsTakenOver) {
  fs::create_directories(folder_);
  const fs::path earlier = folder_ / "scantouch.desktop";
  const auto writeEarlier = [&](const std::string& exec) {
    std::ofstream(earlier) << "[Desktop Entry]\nType=Application\nName=scantouch\nExec=" << exec
                           << "\nX-GNOME-Autostart-enabled=true\n";
  };
  XdgAutostart autostart(folder_.string(), "/opt/scan $touch/scantouch");

  // Another copy's entry is not this one's.
  writeEarlier("\"/opt/other/scantouch\"");
  EXPECT_FALSE(autostart.enabled());
  ASSERT_TRUE(autostart.setEnabled(false));
  EXPECT_TRUE(fs::exists(earlier));

  // This copy's, as earlier versions quoted it: on, and replaced rather than duplicated.
  writeEarlier("\"/opt/scan \\$touch/scantouch\"");
  EXPECT_TRUE(autostart.enabled());
  ASSERT_TRUE(autostart.setEnabled(true));
  EXPECT_FALSE(fs::exists(earlier));
  EXPECT_TRUE(autostart.enabled());
  EXPECT_EQ(Entries(), 1u);

  // Unticked, both go.
  writeEarlier("\"/opt/scan \\$touch/scantouch\" --log x");
  ASSERT_TRUE(autostart.setEnabled(false));
  EXPECT_FALSE(autostart.enabled());
  EXPECT_EQ(Entries(), 0u);
}

}  // namespace
}  // namespace scantouch
