#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace scantouch {

// Whole-file reads and safe whole-file replacement of settings files.
class FileAccess {
 public:
  virtual ~FileAccess() = default;
  // The file's bytes, or nullopt when it does not exist or cannot be read.
  virtual std::optional<std::string> readAll(const std::string& path) const = 0;
  // Whether something is there at the path, readable or not.
  virtual bool exists(const std::string& path) const = 0;
  // Replaces the file's content as one step: either the new content is on disk in full or the
  // old file is left as it was. False when the replacement could not be made, also when the user
  // may not write the file. A replaced file keeps its permissions, and a path that is a symbolic
  // link stays one: the file it points to is replaced.
  virtual bool replace(const std::string& path, std::string_view content) = 0;
  // Removes the file; true when nothing is left at the path (also when nothing was there).
  virtual bool remove(const std::string& path) = 0;
};

}  // namespace scantouch
