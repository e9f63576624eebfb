// Where the settings live on Linux, on a temporary home: beside the executable when the user may
// write there, otherwise in the configuration home, which is made when needed. Whether a folder
// may be written is told by the test, so that the cases hold when the tests run as root.

#include "posix/settings_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace scantouch {
namespace {

namespace fs = std::filesystem;

class SettingsFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("scantouch-folder-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "bin");
    fs::create_directories(root_ / "home");
  }
  void TearDown() override { fs::remove_all(root_); }

  // The executable's folder may be written only when `writable` says so.
  SettingsFolderPlaces places(bool writable, std::string configHome = "") {
    return SettingsFolderPlaces{(root_ / "bin").string(), std::move(configHome),
                                (root_ / "home").string(),
                                [writable](const std::string&) { return writable; }};
  }

  fs::path root_;
};

std::string ReadBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

TEST_F(SettingsFolderTest, AWritableFolderKeepsThemBesideTheProgram) {
  EXPECT_EQ(ChooseSettingsFolder(places(true), true).path, (root_ / "bin").string());
  std::ofstream(root_ / "bin" / "配置.ini") << "[网络参数]\r\n";
  const SettingsFolderChoice chosen = ChooseSettingsFolder(places(true), true);
  EXPECT_EQ(chosen.path, (root_ / "bin").string());
  EXPECT_TRUE(chosen.problem.empty());
  EXPECT_FALSE(fs::exists(root_ / "home" / ".config")) << "nothing is copied for a portable use";
}

// As after an administrator ran the installed program once: settings beside it that this user
// may not write. They are where the user's own settings start, in the user's folder.
TEST_F(SettingsFolderTest, SettingsInAFolderTheUserMayNotWriteStartTheUsersOwn) {
  const std::string gbkSystem = "[\xB2\xCE\xCA\xFD\xC9\xE8\xD6\xC3]\r\nk=1\r\n";
  std::ofstream(root_ / "bin" / "系统配置.ini", std::ios::binary) << gbkSystem;
  std::ofstream(root_ / "bin" / "配置.ini", std::ios::binary) << "[n]\r\nk=beside\r\n";
  fs::permissions(root_ / "bin" / "系统配置.ini", fs::perms::owner_read | fs::perms::group_read);
  const fs::path own = root_ / "home" / ".config" / "scantouch";
  fs::create_directories(own);
  std::ofstream(own / "配置.ini", std::ios::binary) << "[n]\r\nk=own\r\n";

  EXPECT_EQ(ChooseSettingsFolder(places(false), false).path, own.string());
  EXPECT_FALSE(fs::exists(own / "系统配置.ini")) << "--help copies nothing";

  const SettingsFolderChoice chosen = ChooseSettingsFolder(places(false), true);
  EXPECT_EQ(chosen.path, own.string());
  EXPECT_EQ(ReadBytes(own / "系统配置.ini"), gbkSystem) << "copied byte for byte";
  EXPECT_NE(fs::status(own / "系统配置.ini").permissions() & fs::perms::owner_write,
            fs::perms::none)
      << "the copy is the user's to change";
  EXPECT_EQ(ReadBytes(own / "配置.ini"), "[n]\r\nk=own\r\n") << "the user's own file stays";
  EXPECT_NE(chosen.problem.find("系统配置.ini copied"), std::string::npos) << chosen.problem;

  // Later starts keep the user's changes.
  std::ofstream(own / "系统配置.ini", std::ios::binary) << "changed";
  ChooseSettingsFolder(places(false), true);
  EXPECT_EQ(ReadBytes(own / "系统配置.ini"), "changed");
}

TEST_F(SettingsFolderTest, AnInstalledProgramKeepsThemInTheConfigurationHome) {
  const SettingsFolderChoice byDefault = ChooseSettingsFolder(places(false), false);
  EXPECT_EQ(byDefault.path, (root_ / "home" / ".config" / "scantouch").string());
  EXPECT_FALSE(fs::exists(byDefault.path)) << "--help makes nothing";

  const std::string configHome = (root_ / "config").string();
  const SettingsFolderChoice chosen = ChooseSettingsFolder(places(false, configHome), true);
  EXPECT_EQ(chosen.path, (root_ / "config" / "scantouch").string());
  EXPECT_TRUE(fs::is_directory(chosen.path));
  EXPECT_TRUE(chosen.problem.empty());
  // A relative XDG_CONFIG_HOME does not count.
  EXPECT_EQ(ChooseSettingsFolder(places(false, "relative"), false).path, byDefault.path);
}

TEST_F(SettingsFolderTest, AConfigurationFolderThatCannotBeMadeIsReported) {
  std::ofstream(root_ / "blocked") << "a file where a folder should be";
  const SettingsFolderChoice chosen =
      ChooseSettingsFolder(places(false, (root_ / "blocked").string()), true);
  EXPECT_EQ(chosen.path, (root_ / "bin").string());  // what is there can still be read
  EXPECT_NE(chosen.problem.find("cannot create"), std::string::npos) << chosen.problem;
}

}  // namespace
}  // namespace scantouch
