// The program's log on real files: lines with the time, appended, and the file kept bounded.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "stdlib/stream_program_log.h"

namespace scantouch {
namespace {

namespace fs = std::filesystem;

std::string Content(const fs::path& path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(ProgramLog, AppendsStampedLinesAndKeepsTheFileBounded) {
  const fs::path folder =
      fs::temp_directory_path() / ("scantouch-log-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const fs::path path = folder / "scantouch.log";
  { std::ofstream(path) << "an earlier line\n"; }
  StreamProgramLog log(nullptr);  // no console: only the file
  ASSERT_TRUE(log.openFile(path.string(), 300));
  log.write("first");
  const std::string content = Content(path);
  EXPECT_EQ(content.rfind("an earlier line\n", 0), 0u);
  // "YYYY-MM-DD HH:MM:SS first"
  EXPECT_EQ(content.size(), 16u + 20u + 5u + 1u) << content;
  EXPECT_EQ(content.substr(content.size() - 6), "first\n");

  for (int i = 0; i < 50; ++i)
    log.write("line " + std::to_string(i));
  EXPECT_LE(fs::file_size(path), 300u);
  EXPECT_TRUE(fs::exists(folder / "scantouch.log.1"));
  EXPECT_NE(Content(path).find("line 49\n"), std::string::npos) << "the newest line is kept";

  StreamProgramLog nowhere(nullptr);
  EXPECT_FALSE(nowhere.openFile((folder / "no such folder" / "x.log").string()));
  fs::remove_all(folder);
}

}  // namespace
}  // namespace scantouch
