// The settings store on real files: GBK files as Chinese Windows installations wrote them, and
// the safe replacement that never leaves a half-written file behind.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "config/ini_store.h"
#include "config/settings_file.h"
#include "posix/iconv_text_codec.h"
#include "posix/posix_file_access.h"
#include "recording_log.h"

namespace scantouch {
namespace {

namespace fs = std::filesystem;
namespace keys = main_settings;

std::string ReadBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class SettingsFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = fs::temp_directory_path() / ("scantouch-settings-" + std::to_string(::getpid()));
    fs::remove_all(directory_);
    fs::create_directories(directory_);
  }
  void TearDown() override { fs::remove_all(directory_); }

  fs::path directory_;
  PosixFileAccess files_;
  IconvTextCodec gbk_{"CP936"};
  IniStore store_{files_, gbk_};
};

// The GBK bytes of the names the fixture uses, spelled out so that no editor can change them.
const std::string kGbkParameters = "\xB2\xCE\xCA\xFD\xC9\xE8\xD6\xC3";       // 参数设置
const std::string kGbkSensitivity = "\xC1\xE9\xC3\xF4\xB6\xC8";              // 灵敏度
const std::string kGbkScannerPosition = "\xC0\xD7\xB4\xEF\xCE\xBB\xD6\xC3";  // 雷达位置
const std::string kGbkActions = "\xB6\xAF\xD7\xF7\xC9\xE8\xD6\xC3";          // 动作设置
const std::string kGbkMouseClick = "\xCA\xF3\xB1\xEA\xB5\xE3\xBB\xF7";       // 鼠标点击

TEST_F(SettingsFilesTest, ReadsAFileWrittenByAnEarlierWindowsInstallation) {
  const fs::path path = directory_ / keys::kFileName;
  WriteBytes(path, "[" + kGbkActions + "]\r\n" + kGbkMouseClick + "=1\r\n\r\n[" + kGbkParameters +
                       "]\r\n" + kGbkScannerPosition + " = 7500,7500\r\n" + kGbkSensitivity +
                       "=3.5\r\n");
  EXPECT_EQ(store_.ReadIniString(path, keys::kActions, keys::kMouseClick), "1");
  EXPECT_EQ(store_.ReadIniString(path, keys::kParameters, keys::kScannerPosition), "7500,7500");
  EXPECT_EQ(store_.ReadIniString(path, keys::kParameters, keys::kSensitivity), "3.5");
  EXPECT_EQ(store_.ReadIniString(path, keys::kParameters, keys::kScreenSize), "");
}

TEST_F(SettingsFilesTest, WritesGbkThatIsStableWhenTheSameValueIsWrittenAgain) {
  const fs::path path = directory_ / keys::kFileName;
  store_.WriteIniString(path, keys::kParameters, keys::kSensitivity, "2");
  store_.WriteIniString(path, keys::kParameters, keys::kScannerPosition, "雷达");
  const std::string written = ReadBytes(path);
  EXPECT_EQ(written, "[" + kGbkParameters + "]\r\n" + kGbkSensitivity + "=2\r\n" +
                         kGbkScannerPosition + "=\xC0\xD7\xB4\xEF\r\n");
  store_.WriteIniString(path, keys::kParameters, keys::kScannerPosition, "雷达");
  EXPECT_EQ(ReadBytes(path), written);
  EXPECT_EQ(store_.ReadIniString(path, keys::kParameters, keys::kScannerPosition), "雷达");
}

TEST_F(SettingsFilesTest, WhatGbkCannotHoldBecomesAQuestionMarkAndBadBytesReadAsReplacements) {
  const fs::path path = directory_ / keys::kFileName;
  store_.WriteIniString(path, "s", "k", "a😀b");
  EXPECT_EQ(store_.ReadIniString(path, "s", "k"), "a?b");
  WriteBytes(path, "[s]\r\nk=\xFF\xC1\r\n");
  EXPECT_EQ(store_.ReadIniString(path, "s", "k"), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST_F(SettingsFilesTest, AReplacementThatCannotBeWrittenLeavesTheOldFile) {
  const fs::path path = directory_ / keys::kFileName;
  store_.WriteIniString(path, "s", "k", "old");
  const std::string before = ReadBytes(path);

  // A file size limit makes the write of the temporary file fail half-way, as a full disk would.
  rlimit previous{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
  const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit tiny = previous;
  tiny.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
  store_.WriteIniString(path, "s", "k", std::string(1000, 'n'));
  setrlimit(RLIMIT_FSIZE, &previous);
  signal(SIGXFSZ, previousHandler);

  EXPECT_EQ(ReadBytes(path), before);
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(directory_))
    ++entries;
  EXPECT_EQ(entries, 1u) << "no temporary file is left behind";
}

TEST_F(SettingsFilesTest, FilesThatMustNotBeReplacedAreNotAndOthersKeepTheirKind) {
  const fs::path path = directory_ / keys::kFileName;
  WriteBytes(path, "[s]\r\nk=old\r\n");

  // Marked read-only: left alone, even by an administrator.
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
  store_.WriteIniString(path, "s", "k", "new");
  EXPECT_EQ(ReadBytes(path), "[s]\r\nk=old\r\n");

  // Writable with unusual permissions: replaced, and the permissions stay.
  const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                    fs::perms::group_write;
  fs::permissions(path, mode);
  store_.WriteIniString(path, "s", "k", "new");
  EXPECT_EQ(store_.ReadIniString(path, "s", "k"), "new");
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, mode);

  // A link to the settings elsewhere stays a link; the file it points to changes.
  const fs::path elsewhere = directory_ / "shared.ini";
  fs::rename(path, elsewhere);
  fs::create_symlink(elsewhere, path);
  store_.WriteIniString(path, "s", "k", "linked");
  EXPECT_TRUE(fs::is_symlink(path));
  EXPECT_EQ(store_.ReadIniString(elsewhere, "s", "k"), "linked");
}

TEST_F(SettingsFilesTest, WhatIsThereButCannotBeReadIsRefusedBeforeAnyWrite) {
  testing::RecordingLog log;
  store_.reports().setLog(&log);

  // A folder in the file's place: refused as unreadable, not merely failing at the rename.
  const fs::path folder = directory_ / "配置.ini";
  fs::create_directory(folder);
  store_.WriteIniString(folder.string(), "s", "k", "v");
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_TRUE(fs::is_empty(folder));
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_EQ(log.lines[0].rfind("cannot read " + folder.string() + ": left as it is", 0), 0u)
      << log.lines[0];

  // A link to settings on a drive that is not mounted: replacing it would succeed and lose the
  // link, so only the refusal keeps it.
  const fs::path link = directory_ / keys::kFileName;
  fs::create_symlink(directory_ / "unmounted" / keys::kFileName, link);
  store_.WriteIniString(link.string(), "s", "k", "v");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(log.lines.size(), 2u);
  EXPECT_TRUE(log.mentions("cannot read " + link.string()));

  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(directory_))
    ++entries;
  EXPECT_EQ(entries, 2u) << "no temporary file is left behind";
}

TEST_F(SettingsFilesTest, TheSettingsFileLivesInTheGivenDirectory) {
  FixedDirectory directory(directory_.string());
  SettingsFile file(store_, directory, keys::kFileName);
  file.write(keys::kSerial, keys::kPort, "3");
  EXPECT_TRUE(fs::exists(directory_ / "系统配置.ini"));
  EXPECT_EQ(file.read(keys::kSerial, keys::kPort), "3");
}

}  // namespace
}  // namespace scantouch
