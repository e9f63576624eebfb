#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "rooms.h"

namespace scantouch::testing {

// The whole program with the touch engine and every output on (press-drag-release on the mouse,
// TUIO to two recording targets, the system's touch), on the virtual clock, fed by a simulated
// scanner through the serial port for a long time: hands come and go, fingers pinch, the stream
// stalls, garbage arrives, the scanner restarts and its port goes away, and the page "触控" is
// typed into while contacts live. What must hold all the while is checked as it goes.
struct LongRunOptions {
  double simulated_s = 300;
  double nodesPerSecond = 2000;
  double turnsPerSecond = 5.5;
  std::uint32_t seed = 1;
  scanner_sim::RoomKind room = scanner_sim::RoomKind::plain;
  // Mean seconds between the faults and changes, each drawn at random.
  double gestureEvery_s = 6;    // a hand, a tap, a moving hand or a pinch begins
  double stallEvery_s = 600;    // the stream stops for 1.5 to 8 seconds
  double garbageEvery_s = 300;  // a burst of random bytes
  double restartEvery_s = 900;  // the scanner starts its stream anew, stale bytes first
  double unplugEvery_s = 3600;  // the serial device goes away for 2 to 10 seconds
  double typingEvery_s = 120;   // a setting of the page "触控" is typed while a contact lives
  // Called after every simulated `progressEvery_s` with the figures so far.
  double progressEvery_s = 0;
  bool printBreaches = false;  // each breach's start and end on standard output
};

// One thing that must hold. A breach lasts from the first check that finds it until the first
// that does not; each counts once.
struct InvariantRecord {
  std::string name;
  std::uint64_t breaches = 0;
  std::optional<double> first_s;  // of the simulated time
  std::string firstDetail;
  double longest_s = 0;  // the longest breach, checked every poll of the port
  bool breachedNow = false;
  double since_s = 0;
};

struct LongRunFigures {
  double simulated_s = 0;
  double real_s = 0;
  std::uint64_t nodes = 0;
  std::uint64_t turns = 0;
  std::uint64_t contactsBorn = 0;
  std::size_t maxLiveContacts = 0;
  std::uint64_t gestures = 0;
  std::uint64_t pinches = 0;
  std::uint64_t stalls = 0;
  std::uint64_t garbageBursts = 0;
  std::uint64_t restarts = 0;  // the scanner's, asked for by the program's watchdog or on its own
  std::uint64_t unplugs = 0;
  std::uint64_t typedSettings = 0;
  std::uint64_t tuioBundles = 0;
  std::uint64_t touchReports = 0;
  std::uint64_t buttonPresses = 0;
  // The sizes of what the program keeps, at their largest.
  std::size_t maxDecoderBytes = 0;
  std::size_t maxEventLogEntries = 0;
  std::size_t maxSendQueue = 0;
  std::size_t maxReceiveBoxChars = 0;
  std::size_t maxTimers = 0;
  std::size_t maxPostedEvents = 0;
  std::uint64_t logLines = 0;  // written to the program's log
  std::vector<InvariantRecord> invariants;

  bool allHeld() const;
};

LongRunFigures RunLongRun(const LongRunOptions& options,
                          const std::function<void(const LongRunFigures&)>& progress = {});

}  // namespace scantouch::testing
