#pragma once

#include "config/file_access.h"

namespace scantouch {

// Settings files on Windows. A replacement goes to a temporary file of a name nobody uses beside
// the old one, is flushed to disk and then takes the old one's place (ReplaceFileW, which keeps
// its access control list and attributes; a first file is moved into place with write-through),
// so a crash or a full disk never leaves a half-written file. A file with the read-only
// attribute is refused, as the program has always had it; a path that is a symbolic link stays
// one, and the file it leads to is replaced.
class Win32FileAccess final : public FileAccess {
 public:
  std::optional<std::string> readAll(const std::string& path) const override;
  bool exists(const std::string& path) const override;
  bool replace(const std::string& path, std::string_view content) override;
  bool remove(const std::string& path) override;
};

}  // namespace scantouch
