#pragma once

#include <cstdint>

#include "node_stream.h"

namespace scantouch::testing {

// A simulated scanner's stream with a real one's noise: each angle off by up to 0.05 degrees
// either way, each distance by `noiseMm` (standard deviation).
inline scanner_sim::StreamSettings NoisyStream(double nodesPerSecond, double turnsPerSecond,
                                               double noiseMm, std::uint32_t seed) {
  scanner_sim::StreamSettings stream;
  stream.nodesPerSecond = nodesPerSecond;
  stream.revolutionsPerSecond = turnsPerSecond;
  stream.angleJitterDegrees = 0.05;
  stream.distanceNoiseMm = noiseMm;
  stream.seed = seed;
  return stream;
}

}  // namespace scantouch::testing
