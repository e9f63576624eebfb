#include "node_stream.h"

#include <algorithm>
#include <cmath>

namespace scanner_sim {

std::array<std::uint8_t, 5> EncodeNode(double angleDegrees, double distanceMm, int quality,
                                       bool startOfTurn) {
  const int angleQ6 = static_cast<int>(std::lround(angleDegrees * 64)) % (360 * 64);
  const int distanceQ2 = std::clamp(static_cast<int>(std::lround(distanceMm * 4)), 0, 0xFFFF);
  const int startBits = startOfTurn ? 0x01 : 0x02;
  return {static_cast<std::uint8_t>((std::clamp(quality, 0, 63) << 2) | startBits),
          static_cast<std::uint8_t>(((angleQ6 & 0x7F) << 1) | 0x01),
          static_cast<std::uint8_t>(angleQ6 >> 7), static_cast<std::uint8_t>(distanceQ2 & 0xFF),
          static_cast<std::uint8_t>(distanceQ2 >> 8)};
}

NodeStream::NodeStream(Scene scene, StreamSettings settings)
    : scene_(std::move(scene)), settings_(settings), random_(settings.seed) {}

void NodeStream::appendNextNode(std::vector<std::uint8_t>& out) {
  const double time = time_s();
  const double turns = time * settings_.revolutionsPerSecond;
  double angle = (turns - std::floor(turns)) * 360;
  if (settings_.angleJitterDegrees > 0) {
    std::uniform_real_distribution<double> jitter(-settings_.angleJitterDegrees,
                                                  settings_.angleJitterDegrees);
    angle = std::fmod(angle + jitter(random_) + 360, 360);
  }
  const bool startOfTurn = angle < lastTurnAngle_ - 180;  // wrapped past 0 since the last node
  lastTurnAngle_ = angle;
  const auto node = EncodeNode(angle, scene_.measure(angle, time), settings_.quality, startOfTurn);
  out.insert(out.end(), node.begin(), node.end());
  ++nodeIndex_;
}

void NodeStream::appendSeconds(std::vector<std::uint8_t>& out, double seconds) {
  const auto until =
      static_cast<std::uint64_t>(std::llround((time_s() + seconds) * settings_.nodesPerSecond));
  while (nodeIndex_ < until)
    appendNextNode(out);
}

}  // namespace scanner_sim
