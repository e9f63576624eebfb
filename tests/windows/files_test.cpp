// The Windows file adapters on real files under Wine: settings files in code page 936 in a
// folder with a Chinese name, the safe replacement, what it refuses and what it keeps (a user's
// files beside the settings, a link, the access control list); and the Run key's values.

#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <aclapi.h>

#include <string>
#include <vector>

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
    for (const std::string& name : Names()) {
      const std::wstring file = Widen(folder_ + "\\" + name);
      SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (!DeleteFileW(file.c_str()))
        RemoveDirectoryW(file.c_str());  // a link to a folder
    }
    RemoveDirectoryW(Widen(folder_).c_str());
  }

  // The names in the test's folder.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(Widen(folder_ + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
      return names;
    do {
      const std::wstring name = found.cFileName;
      if (name != L"." && name != L"..")
        names.push_back(Narrow(name));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
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
  EXPECT_EQ(Names(), std::vector<std::string>{"系统配置.ini"})
      << "no temporary file is left behind";
}

TEST_F(WindowsFilesTest, AFileOfTheUsersBesideTheSettingsIsNeverOverwritten) {
  ASSERT_TRUE(files_.replace(path_ + ".new", "the user's own"));
  ASSERT_TRUE(files_.replace(path_ + ".tmp", "the user's own"));
  store_.WriteIniString(path_, "s", "k", "first");   // no file yet: moved into place
  store_.WriteIniString(path_, "s", "k", "second");  // replaced
  EXPECT_EQ(store_.ReadIniString(path_, "s", "k"), "second");
  EXPECT_EQ(files_.readAll(path_ + ".new").value_or("gone"), "the user's own");
  EXPECT_EQ(files_.readAll(path_ + ".tmp").value_or("gone"), "the user's own");
  EXPECT_EQ(Names().size(), 3u) << "no temporary file is left behind";
}

TEST_F(WindowsFilesTest, ALinkToTheSettingsStaysALinkAndItsFileChanges) {
  const std::string elsewhere = folder_ + "\\shared.ini";
  ASSERT_TRUE(files_.replace(elsewhere, "[s]\r\nk=old\r\n"));
  // Wine's CreateSymbolicLinkW reports success but makes nothing.
  if (!CreateSymbolicLinkW(Widen(path_).c_str(), Widen(elsewhere).c_str(), 0) ||
      (GetFileAttributesW(Widen(path_).c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) == 0 ||
      GetFileAttributesW(Widen(path_).c_str()) == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "no symbolic link could be made here";
  store_.WriteIniString(path_, "s", "k", "linked");
  EXPECT_NE(GetFileAttributesW(Widen(path_).c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
  EXPECT_EQ(*files_.readAll(elsewhere), "[s]\r\nk=linked\r\n");
  EXPECT_EQ(Names().size(), 2u) << "no temporary file is left behind";
}

// Everyone may read the file, which a newly made file would not say: the replacement must keep it.
TEST_F(WindowsFilesTest, AReplacedFileKeepsItsAccessControlList) {
  ASSERT_TRUE(files_.replace(path_, "[s]\r\nk=old\r\n"));
  PACL everyoneReads = nullptr;
  EXPLICIT_ACCESS_W access{};
  wchar_t everyone[] = L"EVERYONE";
  BuildExplicitAccessWithNameW(&access, everyone, GENERIC_READ, SET_ACCESS, NO_INHERITANCE);
  ASSERT_EQ(SetEntriesInAclW(1, &access, nullptr, &everyoneReads), ERROR_SUCCESS);
  const DWORD set =
      SetNamedSecurityInfoW(Widen(path_).data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, everyoneReads, nullptr);
  LocalFree(everyoneReads);
  const auto aces = [&] {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(Widen(path_).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
      return -1;
    const int count = dacl != nullptr ? static_cast<int>(dacl->AceCount) : -1;
    LocalFree(descriptor);
    return count;
  };
  if (set != ERROR_SUCCESS || aces() != 1)
    GTEST_SKIP() << "this file system keeps no access control list (error " << set << ")";
  store_.WriteIniString(path_, "s", "k", "new");
  EXPECT_EQ(store_.ReadIniString(path_, "s", "k"), "new");
  EXPECT_EQ(aces(), 1);
}

constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::wstring RunValue(const std::wstring& name) {
  wchar_t command[MAX_PATH];
  DWORD size = sizeof command;
  if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, name.c_str(), RRF_RT_REG_SZ, nullptr, command,
                   &size) != ERROR_SUCCESS)
    return L"";
  return command;
}

void SetRunValue(const std::wstring& name, const std::wstring& command) {
  RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, name.c_str(), REG_SZ, command.c_str(),
                  static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
}

TEST(WindowsAutostart, TheRunKeyValueComesAndGoes) {
  RunKeyAutostart autostart(L"C:\\程序\\scantouch.exe", L"scantouch-test");
  ASSERT_TRUE(autostart.setEnabled(true));
  EXPECT_TRUE(autostart.enabled());
  EXPECT_EQ(RunValue(autostart.valueName()), L"\"C:\\程序\\scantouch.exe\"");
  ASSERT_TRUE(autostart.setEnabled(false));
  EXPECT_FALSE(autostart.enabled());
  EXPECT_TRUE(autostart.setEnabled(false));
}

TEST(WindowsAutostart, EachCopyHasAValueOfItsOwnAndTakesOverTheOneAnEarlierVersionWrote) {
  RunKeyAutostart first(L"C:\\一\\scantouch.exe", L"scantouch-test");
  RunKeyAutostart second(L"D:\\二\\scantouch.exe", L"scantouch-test");
  EXPECT_NE(first.valueName(), second.valueName());
  EXPECT_EQ(first.valueName().rfind(L"scantouch-test-", 0), 0u);
  EXPECT_EQ(RunKeyAutostart(L"c:\\一\\SCANTOUCH.EXE", L"scantouch-test").valueName(),
            first.valueName())
      << "Windows paths ignore case";
  ASSERT_TRUE(first.setEnabled(true));
  EXPECT_FALSE(second.enabled());
  ASSERT_TRUE(second.setEnabled(true));
  ASSERT_TRUE(first.setEnabled(false));
  EXPECT_TRUE(second.enabled());
  ASSERT_TRUE(second.setEnabled(false));

  // The value earlier versions wrote for every copy: another copy's is left alone ...
  SetRunValue(L"scantouch-test", L"\"D:\\二\\scantouch.exe\"");
  EXPECT_FALSE(first.enabled());
  ASSERT_TRUE(first.setEnabled(false));
  EXPECT_EQ(RunValue(L"scantouch-test"), L"\"D:\\二\\scantouch.exe\"");
  // ... and this copy's is on and gives way to its own value, not beside it.
  SetRunValue(L"scantouch-test", L"\"C:\\一\\scantouch.exe\"");
  EXPECT_TRUE(first.enabled());
  ASSERT_TRUE(first.setEnabled(true));
  EXPECT_EQ(RunValue(L"scantouch-test"), L"");
  EXPECT_EQ(RunValue(first.valueName()), L"\"C:\\一\\scantouch.exe\"");
  SetRunValue(L"scantouch-test", L"\"C:\\一\\scantouch.exe\"");
  ASSERT_TRUE(first.setEnabled(false));
  EXPECT_FALSE(first.enabled());
  EXPECT_EQ(RunValue(L"scantouch-test"), L"");
}

TEST(WindowsFolders, TheExecutablesFolderHoldsTheExecutable) {
  const std::string folder = Win32ExecutableDirectory().path();
  wchar_t file[MAX_PATH];
  GetModuleFileNameW(nullptr, file, MAX_PATH);
  EXPECT_EQ(Narrow(file).rfind(folder + "\\", 0), 0u) << folder;
}

}  // namespace
}  // namespace scantouch
