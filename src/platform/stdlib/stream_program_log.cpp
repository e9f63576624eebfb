#include "stdlib/stream_program_log.h"

#include <cstdio>
#include <ctime>
#include <filesystem>

namespace scantouch {
namespace {

std::string Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char text[32];
  const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return std::string(text, length);
}

}  // namespace

StreamProgramLog::~StreamProgramLog() {
  if (file_ != nullptr)
    std::fclose(file_);
}

bool StreamProgramLog::openFile(const std::string& path, std::uintmax_t limitBytes) {
  std::FILE* file = std::fopen(path.c_str(), "a");
  if (file == nullptr)
    return false;
  if (file_ != nullptr)
    std::fclose(file_);
  file_ = file;
  path_ = path;
  limitBytes_ = limitBytes;
  return true;
}

void StreamProgramLog::write(std::string_view line) {
  const std::string stamped = Now() + " " + std::string(line) + "\n";
  if (console_ != nullptr) {
    std::fwrite(stamped.data(), 1, stamped.size(), console_);
    std::fflush(console_);
  }
  if (file_ != nullptr) {
    std::fwrite(stamped.data(), 1, stamped.size(), file_);
    std::fflush(file_);
    rotateIfFull();
  }
}

void StreamProgramLog::rotateIfFull() {
  const long size = std::ftell(file_);
  if (size < 0 || static_cast<std::uintmax_t>(size) < limitBytes_)
    return;
  std::fclose(file_);
  std::error_code ignored;
  std::filesystem::rename(path_, path_ + ".1", ignored);
  file_ = std::fopen(path_.c_str(), "a");  // when this fails, logging goes on on the console
}

}  // namespace scantouch
