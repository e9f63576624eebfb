#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/program_log.h"

namespace scantouch::testing {

// Keeps every line written to the program's log.
class RecordingLog final : public ProgramLog {
 public:
  void write(std::string_view line) override { lines.emplace_back(line); }

  bool mentions(std::string_view text) const {
    for (const std::string& line : lines) {
      if (line.find(text) != std::string::npos)
        return true;
    }
    return false;
  }

  std::vector<std::string> lines;
};

}  // namespace scantouch::testing
