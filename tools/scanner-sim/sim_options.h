#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "node_stream.h"
#include "rooms.h"
#include "scanner_pose.h"

namespace scanner_sim {

// One more scanner of the same scene, on a link of its own.
struct FurtherScanner {
  std::optional<int> tcpPort;
  std::optional<std::string> ptyLink;
  ScannerPose pose;  // in the first scanner's plane
  // The first scanner's, with a rate, turns per second, turn phase and seed of its own.
  StreamSettings stream;
};

// What the simulator is asked to be, from its command line.
struct SimOptions {
  std::optional<int> tcpPort;          // serve as a networked scanner on 127.0.0.1
  std::optional<std::string> ptyLink;  // serve as a serial scanner behind this link
  Scene scene;                         // furnished as `room` around `area` once every flag is read
  RoomKind room = RoomKind::plain;
  TouchArea area;
  StreamSettings stream;
  double dropFraction = 0;     // of the bytes sent, lost on the way
  double corruptFraction = 0;  // of the bytes sent, garbled on the way
  double closeAfter_s = 0;     // close the connection or the terminal after this long (0: never)
  bool ignoreScan = false;     // never start streaming
  std::size_t staleBytes = 0;  // bytes of an earlier stream sent before each descriptor
  double restartEvery_s = 0;   // start the stream anew, descriptor first, this often (0: never)
  // Further scanners of the same scene; the faults and habits above apply to them all.
  std::vector<FurtherScanner> scanners;
};

// Parses the command line; on a mistake returns nullopt and writes what was wrong to `error`.
std::optional<SimOptions> ParseSimOptions(int argc, char** argv, std::string& error);

extern const char* const kSimUsage;

}  // namespace scanner_sim
