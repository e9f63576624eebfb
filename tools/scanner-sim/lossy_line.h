#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace scanner_sim {

// A line that spoils bytes on their way: each byte is lost with chance `drop`, and a byte that
// gets through is replaced by a random one with chance `corrupt`.
class LossyLine {
 public:
  LossyLine(double drop, double corrupt, std::uint32_t seed)
      : drop_(drop), corrupt_(corrupt), random_(seed) {}

  std::vector<std::uint8_t> pass(const std::vector<std::uint8_t>& bytes);

  std::uint64_t lostBytes() const { return lostBytes_; }
  std::uint64_t corruptedBytes() const { return corruptedBytes_; }

 private:
  double drop_;
  double corrupt_;
  std::mt19937 random_;
  std::uint64_t lostBytes_ = 0;
  std::uint64_t corruptedBytes_ = 0;
};

}  // namespace scanner_sim
