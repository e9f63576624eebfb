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

std::vector<std::uint8_t> StreamStart(std::size_t staleBytes, std::uint32_t seed) {
  std::vector<std::uint8_t> bytes;
  if (staleBytes > 0) {
    // Whole nodes of an earlier sweep, of which only the last bytes are left.
    Scene room;
    StreamSettings earlier;
    earlier.seed = seed;
    NodeStream stream(room, earlier);
    while (bytes.size() < staleBytes)
      stream.appendNextNode(bytes);
    bytes.erase(bytes.begin(), bytes.end() - static_cast<std::ptrdiff_t>(staleBytes));
  }
  bytes.insert(bytes.end(), kScanDescriptor.begin(), kScanDescriptor.end());
  return bytes;
}

NodeStream::NodeStream(Scene scene, StreamSettings settings)
    : scene_(std::move(scene)), settings_(settings), random_(settings.seed) {
  // A stream that starts within a turn has not yet passed the turn's start.
  if (settings_.turnPhase > 0)
    lastTurnAngle_ = settings_.turnPhase * 360;
}

double NodeStream::jittered(double angle, double jitterDegrees) {
  if (jitterDegrees <= 0)
    return angle;
  std::uniform_real_distribution<double> jitter(-jitterDegrees, jitterDegrees);
  return std::fmod(angle + jitter(random_) + 360, 360);
}

void NodeStream::appendNextNode(std::vector<std::uint8_t>& out) {
  const double time = time_s();
  const double turns = time * settings_.revolutionsPerSecond + settings_.turnPhase;
  const double sweepAngle = (turns - std::floor(turns)) * 360;
  // The angle as the wire carries it: a hair below 360 is sent as 0 and starts the turn.
  const double angle =
      static_cast<double>(std::lround(jittered(sweepAngle, settings_.angleJitterDegrees) * 64) %
                          (360 * 64)) /
      64;
  const bool startOfTurn = angle < lastTurnAngle_ - 180;  // wrapped past 0 since the last node
  lastTurnAngle_ = angle;
  // A beam that found nothing within range (open space) comes back as a no-return node too, and
  // the first node of a turn carries the start flag whatever it measured.
  const auto noReturn = [&] {
    return EncodeNode(jittered(sweepAngle, settings_.noReturnJitterDegrees), 0,
                      settings_.noReturnQuality, startOfTurn);
  };
  std::array<std::uint8_t, 5> node;
  if (settings_.noReturnShare > 0 &&
      std::uniform_real_distribution<double>(0, 1)(random_) < settings_.noReturnShare) {
    node = noReturn();
  } else if (const Echo echo = scene_.echo(angle, time); echo.distanceMm <= 0) {
    node = noReturn();
  } else {
    double distance = echo.distanceMm;
    if (echo.spreadMm > 0) {
      distance = std::max(1.0, distance + std::uniform_real_distribution<double>(
                                              -echo.spreadMm, echo.spreadMm)(random_));
    }
    if (settings_.distanceNoiseMm > 0) {
      // Noise never turns a measurement into a no-return node.
      distance = std::max(
          1.0, distance + std::normal_distribution<double>(0, settings_.distanceNoiseMm)(random_));
    }
    node = EncodeNode(angle, distance, settings_.quality, startOfTurn);
  }
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
