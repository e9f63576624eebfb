#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "common/program_log.h"

namespace scantouch {

// The program's log: every line with the local time in front, on standard error and, when a file
// is given, appended to it. The file is kept bounded: once it passes its limit it becomes
// FILE.1 (replacing an older one) and a new FILE is started, so a log left for months stays
// small and its newest lines are always there.
class StreamProgramLog final : public ProgramLog {
 public:
  static constexpr std::uintmax_t kDefaultFileLimitBytes = 1024 * 1024;

  explicit StreamProgramLog(std::FILE* console = stderr) : console_(console) {}
  ~StreamProgramLog() override;

  // Appends from now on to `path`, too; false (and nothing changes) when it cannot be opened.
  bool openFile(const std::string& path, std::uintmax_t limitBytes = kDefaultFileLimitBytes);

  void write(std::string_view line) override;

 private:
  void rotateIfFull();

  std::FILE* console_;
  std::FILE* file_ = nullptr;
  std::string path_;
  std::uintmax_t limitBytes_ = kDefaultFileLimitBytes;
};

}  // namespace scantouch
