// The Windows file adapters on real files under Wine: settings files in code page 936 in a
// folder with a Chinese name, the safe replacement and what it refuses.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "config/ini_store.h"
#include "config/settings_file.h"
#include "win32/code_page_text_codec.h"
#include "win32/run_key_autostart.h"
#include "win32/wide_text.h"
#include "win32/win32_executable_directory.h"
#include "win32/win32_file_access.h"

namespace scantouch {
namespace {

class WindowsFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = Narrow(temp) + "激光雷达-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryW(Widen(folder_).c_str(), nullptr);
    path_ = folder_ + "\\系统配置.ini";
  }
  void TearDown() override {
    SetFileAttributesW(Widen(path_).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(Widen(path_).c_str());
    RemoveDirectoryW(Widen(folder_).c_str());
  }

  std::string folder_;
  std::string path_;
  Win32FileAccess files_;
  CodePageTextCodec gbk_;
  IniStore store_{files_, gbk_};
};

TEST_F(WindowsFilesTest, WritesAndReadsGbkInAFolderWithAChineseName) {
  store_.WriteIniString(path_, "串口设置", "端口", "7");
  EXPECT_EQ(store_.ReadIniString(path_, "串口设置", "端口"), "7");
  // The bytes on disk are GBK: 串口设置 is B4 AE BF DA C9 E8 D6 C3.
  const auto bytes = files_.readAll(path_);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->rfind("[\xB4\xAE\xBF\xDA\xC9\xE8\xD6\xC3]\r\n", 0), 0u) << *bytes;
  EXPECT_EQ(gbk_.decode(gbk_.encode("参数设置")), "参数设置");
  EXPECT_EQ(gbk_.encode("€"), "\x80");  // code page 936 has the euro sign at 0x80
  EXPECT_EQ(gbk_.encode("😀"), "?");     // what GBK cannot hold
}

TEST_F(WindowsFilesTest, AnEarlierInstallationsFileIsChangedOnlyInItsKey) {
  const std::string earlier =
      "[\xB2\xCE\xCA\xFD\xC9\xE8\xD6\xC3]\r\n"  // [参数设置]
      "\xC1\xE9\xC3\xF4\xB6\xC8=5\r\n"          // 灵敏度=5
      "; \xD7\xA2\xCA\xCD\r\n";                 // ; 注释
  ASSERT_TRUE(files_.replace(path_, earlier));
  store_.WriteIniString(path_, "参数设置", "灵敏度", "3");
  EXPECT_EQ(*files_.readAll(path_),
            "[\xB2\xCE\xCA\xFD\xC9\xE8\xD6\xC3]\r\n"
            "\xC1\xE9\xC3\xF4\xB6\xC8=3\r\n"
            "; \xD7\xA2\xCA\xCD\r\n");
}

TEST_F(WindowsFilesTest, AReadOnlyFileIsLeftAsItIsAndAttributesStay) {
  store_.WriteIniString(path_, "s", "k", "old");
  SetFileAttributesW(Widen(path_).c_str(), FILE_ATTRIBUTE_READONLY);
  store_.WriteIniString(path_, "s", "k", "new");
  EXPECT_EQ(store_.ReadIniString(path_, "s", "k"), "old");

  SetFileAttributesW(Widen(path_).c_str(), FILE_ATTRIBUTE_HIDDEN);
  store_.WriteIniString(path_, "s", "k", "new");
  EXPECT_EQ(store_.ReadIniString(path_, "s", "k"), "new");
  EXPECT_NE(GetFileAttributesW(Widen(path_).c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
  EXPECT_EQ(GetFileAttributesW(Widen(path_ + ".new").c_str()), INVALID_FILE_ATTRIBUTES)
      << "no temporary file is left behind";
}

TEST(WindowsAutostart, TheRunKeyValueComesAndGoes) {
  RunKeyAutostart autostart(L"scantouch-test", L"C:\\程序\\scantouch.exe");
  ASSERT_TRUE(autostart.setEnabled(true));
  EXPECT_TRUE(autostart.enabled());
  wchar_t command[MAX_PATH];
  DWORD size = sizeof command;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                         L"scantouch-test", RRF_RT_REG_SZ, nullptr, command, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(command), L"\"C:\\程序\\scantouch.exe\"");
  ASSERT_TRUE(autostart.setEnabled(false));
  EXPECT_FALSE(autostart.enabled());
  EXPECT_TRUE(autostart.setEnabled(false));
}

TEST(WindowsFolders, TheExecutablesFolderHoldsTheExecutable) {
  const std::string folder = Win32ExecutableDirectory().path();
  wchar_t file[MAX_PATH];
  GetModuleFileNameW(nullptr, file, MAX_PATH);
  EXPECT_EQ(Narrow(file).rfind(folder + "\\", 0), 0u) << folder;
}

}  // namespace
}  // namespace scantouch
