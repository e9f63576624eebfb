#pragma once

#include <string>
#include <utility>

namespace scantouch {

// Where the program lives: both settings files sit in the directory of the executable.
class ExecutableDirectory {
 public:
  virtual ~ExecutableDirectory() = default;
  // Asked anew at every access, never remembered.
  virtual std::string path() const = 0;
};

// A directory given once, for settings kept somewhere other than beside the executable.
class FixedDirectory final : public ExecutableDirectory {
 public:
  explicit FixedDirectory(std::string path) : path_(std::move(path)) {}
  std::string path() const override { return path_; }

 private:
  std::string path_;
};

}  // namespace scantouch
