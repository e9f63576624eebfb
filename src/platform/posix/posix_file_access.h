#pragma once

#include "config/file_access.h"

namespace scantouch {

// Settings files on a POSIX file system. A replacement goes to a temporary file beside the old
// one, is flushed to disk and then renamed over it, so a crash or a full disk never leaves a
// half-written settings file.
class PosixFileAccess final : public FileAccess {
 public:
  std::optional<std::string> readAll(const std::string& path) const override;
  bool exists(const std::string& path) const override;
  bool replace(const std::string& path, std::string_view content) override;
  bool remove(const std::string& path) override;
};

}  // namespace scantouch
