// Where the settings live on Linux, on a temporary home: beside the executable when possible,
// otherwise in the configuration home, which is made when needed.

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

TEST_F(SettingsFolderTest, AWritableFolderOrOneWithSettingsKeepsThemBesideTheProgram) {
  EXPECT_EQ(ChooseSettingsFolder(places(true), true).path, (root_ / "bin").string());
  std::ofstream(root_ / "bin" / "配置.ini") << "[网络参数]\r\n";
  EXPECT_EQ(ChooseSettingsFolder(places(false), true).path, (root_ / "bin").string());
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
