#include "lossy_line.h"

namespace scanner_sim {

std::vector<std::uint8_t> LossyLine::pass(const std::vector<std::uint8_t>& bytes) {
  if (drop_ <= 0 && corrupt_ <= 0)
    return bytes;
  std::vector<std::uint8_t> out;
  out.reserve(bytes.size());
  std::uniform_real_distribution<double> chance(0, 1);
  for (std::uint8_t byte : bytes) {
    if (chance(random_) < drop_) {
      ++lostBytes_;
      continue;
    }
    if (chance(random_) < corrupt_) {
      byte = static_cast<std::uint8_t>(random_());
      ++corruptedBytes_;
    }
    out.push_back(byte);
  }
  return out;
}

}  // namespace scanner_sim
