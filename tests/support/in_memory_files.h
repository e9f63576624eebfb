#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "config/file_access.h"

namespace scantouch {

// Files kept in memory: for tests, benchmarks and the documentation's pictures, which run without
// a disk; tests can also make every replacement fail as a read-only directory would.
class InMemoryFiles final : public FileAccess {
 public:
  std::optional<std::string> readAll(const std::string& path) const override {
    const auto it = files.find(path);
    if (it == files.end() || unreadable.contains(path))
      return std::nullopt;
    return it->second;
  }
  bool exists(const std::string& path) const override { return files.contains(path); }

  bool replace(const std::string& path, std::string_view content) override {
    ++replacements;
    if (readOnly)
      return false;
    files[path] = std::string(content);
    return true;
  }

  bool remove(const std::string& path) override {
    if (readOnly)
      return false;
    files.erase(path);
    return true;
  }

  std::map<std::string, std::string> files;
  std::set<std::string> unreadable;  // there, but every read fails
  bool readOnly = false;
  int replacements = 0;
};

}  // namespace scantouch
