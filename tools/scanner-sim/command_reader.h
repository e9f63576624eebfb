#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace scanner_sim {

// Collects received bytes into commands: ":" up to and including the next ".".
class CommandReader {
 public:
  std::vector<std::string> feed(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::string> commands;
    for (const std::uint8_t byte : bytes) {
      const char c = static_cast<char>(byte);
      if (c == ':')
        pending_.clear();
      pending_ += c;
      if (c == '.' && pending_.front() == ':') {
        commands.push_back(pending_);
        pending_.clear();
      }
      if (pending_.size() > 256)
        pending_.clear();
    }
    return commands;
  }

 private:
  std::string pending_;
};

}  // namespace scanner_sim
