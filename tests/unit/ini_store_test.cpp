#include "config/ini_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "in_memory_files.h"
#include "recording_log.h"

namespace scantouch {
namespace {

// Stands for the legacy code page: upper-cases on the way into the file, so that a test can see
// that names and values pass the codec in both directions.
class ShoutingCodec final : public TextCodec {
 public:
  std::string encode(std::string_view text) const override {
    std::string bytes(text);
    for (char& c : bytes)
      c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return bytes;
  }
  std::string decode(std::string_view bytes) const override {
    std::string text(bytes);
    for (char& c : text)
      c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
  }
};

using testing::RecordingLog;

class IniStoreTest : public ::testing::Test {
 protected:
  IniStoreTest() { store_.reports().setLog(&log_); }

  const std::string path_ = "/dir/settings.ini";
  InMemoryFiles files_;
  ShoutingCodec codec_;
  IniStore store_{files_, codec_};
  RecordingLog log_;
};

TEST_F(IniStoreTest, AKeyWrittenReadsBackAndAMissingOneReadsEmpty) {
  EXPECT_EQ(store_.ReadIniString(path_, "section", "key"), "");
  store_.WriteIniString(path_, "section", "key", "value");
  EXPECT_EQ(files_.files[path_], "[SECTION]\r\nKEY=VALUE\r\n");
  EXPECT_EQ(store_.ReadIniString(path_, "section", "key"), "value");
  EXPECT_EQ(store_.ReadIniString(path_, "section", "other"), "");
}

TEST_F(IniStoreTest, AValueNeverBreaksALine) {
  store_.WriteIniString(path_, "s", "k", "first\r\n[evil]\r\nk=injected");
  store_.WriteIniString(path_, "s", "n", std::string("before\0after", 12));
  store_.WriteIniString(path_, "s", "l", "line\nfeed");
  EXPECT_EQ(files_.files[path_], "[S]\r\nK=FIRST\r\nN=BEFORE\r\nL=LINE\r\n");
}

TEST_F(IniStoreTest, LongValuesAreCutOnWriteAndOnRead) {
  store_.WriteIniString(path_, "s", "k", std::string(2000, 'x'));
  EXPECT_EQ(files_.files[path_].size(), std::string("[S]\r\nK=\r\n").size() + 1024);
  EXPECT_EQ(store_.ReadIniString(path_, "s", "k"), std::string(1023, 'x'));
}

TEST_F(IniStoreTest, TheSameValueTwiceDoesNotTouchTheFile) {
  store_.WriteIniString(path_, "s", "k", "1024,768");
  const std::string once = files_.files[path_];
  store_.WriteIniString(path_, "s", "k", "1024,768");
  EXPECT_EQ(files_.files[path_], once);
  EXPECT_EQ(files_.replacements, 1);
}

TEST_F(IniStoreTest, RefusedWritesLeaveTheOldFileAndAreToldOnceUntilAWriteSucceeds) {
  store_.WriteIniString(path_, "s", "k", "old");
  files_.readOnly = true;
  store_.WriteIniString(path_, "s", "k", "n");
  store_.WriteIniString(path_, "s", "k", "ne");
  store_.WriteIniString(path_, "s", "k", "new");
  EXPECT_EQ(store_.ReadIniString(path_, "s", "k"), "old");
  EXPECT_EQ(log_.lines,
            (std::vector<std::string>{
                "cannot write /dir/settings.ini: [s] k and later changes are not stored"}));
  files_.readOnly = false;
  store_.WriteIniString(path_, "s", "k", "again");
  files_.readOnly = true;
  store_.WriteIniString(path_, "s", "j", "x");
  EXPECT_EQ(log_.lines.size(), 2u);
}

TEST_F(IniStoreTest, AFileThatCannotBeReadIsNeverReplaced) {
  files_.files[path_] = "[s]\r\nother=1\r\n";
  files_.unreadable.insert(path_);
  store_.WriteIniString(path_, "s", "k", "v");
  store_.WriteIniString(path_, "s", "k", "w");
  EXPECT_EQ(files_.replacements, 0);
  EXPECT_EQ(files_.files[path_], "[s]\r\nother=1\r\n");
  ASSERT_EQ(log_.lines.size(), 1u);
  EXPECT_EQ(log_.lines[0],
            "cannot read /dir/settings.ini: left as it is; [s] k and later changes "
            "are not stored");
}

TEST_F(IniStoreTest, AFileWithAUtf8MarkIsReadAndWrittenAsUtf8) {
  files_.files[path_] = "\xEF\xBB\xBF[s]\r\nk=lower\r\n";
  EXPECT_EQ(store_.ReadIniString(path_, "s", "k"), "lower");
  store_.WriteIniString(path_, "s", "j", "stays lower");
  EXPECT_EQ(files_.files[path_], "\xEF\xBB\xBF[s]\r\nk=lower\r\nj=stays lower\r\n");
}

}  // namespace
}  // namespace scantouch
