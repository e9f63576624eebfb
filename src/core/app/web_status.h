#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "decoding/scan_rate_meter.h"
#include "scanners/scanner_surface.h"
#include "toolkit/event_loop.h"

namespace scantouch {

// What the status page shows, as the JSON of its WebSocket messages: the touch rectangle, the
// engine's contacts, each scanner's place, state and last points, and the program's version.
// Only read from the parts that hold it; nothing here changes them.
class WebStatus {
 public:
  // A browser draws this many points a scanner smoothly; more are thinned evenly.
  static constexpr std::size_t kMaxPoints = 720;

  WebStatus(MainForm& form, const ScannerSurface& surface, const ScanRateMeter& meter,
            const EventLoop& loop, std::string version);

  // Once a second, after the scan rate was taken: each scanner's nodes of the last second.
  void sample();
  std::string json() const;

 private:
  void appendScanner(std::string& out, std::size_t index) const;

  MainForm& form_;
  const ScannerSurface& surface_;
  const ScanRateMeter& meter_;
  const EventLoop& loop_;
  std::string version_;
  std::vector<std::uint64_t> nodesSeen_;       // decoded nodes by scanner at the last sample
  std::vector<std::uint64_t> nodesPerSecond_;  // by scanner, the first first
};

}  // namespace scantouch
