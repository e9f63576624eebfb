#include "posix/proc_executable_directory.h"

#include <filesystem>
#include <system_error>

namespace scantouch {

std::string ProcExecutableDirectory::path() const {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error)
    return ".";
  return executable.parent_path().string();
}

}  // namespace scantouch
