#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "scene.h"

namespace scanner_sim {

// The descriptor the scanner sends once after it has been started.
inline constexpr std::array<std::uint8_t, 7> kScanDescriptor{0xA5, 0x5A, 0x05, 0x00,
                                                             0x00, 0x40, 0x81};

// One measurement node in the scanner's five-byte wire form: byte 0 quality << 2 with the start
// flag and its inverse in the low bits, bytes 1-2 the angle in 1/64 degree shifted left by one
// with the check bit in bit 0, bytes 3-4 the distance in 1/4 mm, low byte first.
std::array<std::uint8_t, 5> EncodeNode(double angleDegrees, double distanceMm, int quality,
                                       bool startOfTurn);

struct StreamSettings {
  double nodesPerSecond = 2000;
  double revolutionsPerSecond = 5.5;
  double angleJitterDegrees = 0;  // each node's angle is off by up to this much either way
  double distanceNoiseMm = 0;     // standard deviation of each measured distance
  int quality = 47;
  std::uint32_t seed = 1;
  // Nodes whose beam came back with nothing: distance 0, reported by real scanners with a
  // quality of their own and at angles that wander further than those of measured nodes.
  double noReturnShare = 0;  // of all nodes, 0..1
  int noReturnQuality = 15;
  double noReturnJitterDegrees = 9;
  // The share of a turn, 0..1, already swept when the stream starts: scanners switched on
  // together are still not in step.
  double turnPhase = 0;
};

// What a scanner sends when it starts: `staleBytes` bytes left over from an earlier stream (the
// tail of its last nodes), then the descriptor.
std::vector<std::uint8_t> StreamStart(std::size_t staleBytes, std::uint32_t seed);

// Sweeps the scene turn after turn and produces the nodes the scanner would send, in real time
// order: node k is measured at k / nodesPerSecond seconds.
class NodeStream {
 public:
  NodeStream(Scene scene, StreamSettings settings);

  // Appends the wire bytes of the next node.
  void appendNextNode(std::vector<std::uint8_t>& out);
  // Appends the nodes measured in the next `seconds`.
  void appendSeconds(std::vector<std::uint8_t>& out, double seconds);

  double time_s() const { return static_cast<double>(nodeIndex_) / settings_.nodesPerSecond; }
  const Scene& scene() const { return scene_; }
  // The scene may change as the stream goes on: objects put in with their times still to come
  // are measured when these come.
  Scene& scene() { return scene_; }
  const StreamSettings& settings() const { return settings_; }

 private:
  Scene scene_;
  StreamSettings settings_;
  double jittered(double angle, double jitterDegrees);

  std::mt19937 random_;
  std::uint64_t nodeIndex_ = 0;
  double lastTurnAngle_ = 360;
};

}  // namespace scanner_sim
