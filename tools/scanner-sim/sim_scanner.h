#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "command_reader.h"
#include "endpoints.h"
#include "lossy_line.h"
#include "node_stream.h"
#include "sim_options.h"

namespace scanner_sim {

// One simulated scanner on its own link: it answers the commands it receives there and, once
// started, streams what it measures of its scene in real time. The line's faults and the
// scanner's habits (stale bytes, restarts, closing, ignoring ":SCAN.") come from `options`;
// the scene, the stream and the link are its own.
class SimScanner {
 public:
  using Clock = std::chrono::steady_clock;

  // `label` goes before each line it prints (commands received, "closed"); empty for the first
  // scanner, whose lines stay as they always were.
  SimScanner(std::unique_ptr<Endpoint> endpoint, const Scene& scene, StreamSettings stream,
             const SimOptions& options, std::string label);

  // The descriptors to wait on.
  std::vector<int> fds() const { return endpoint_->fds(); }
  // Reads what came on `fd` and answers the commands in it.
  void receive(int fd);
  // Sends what was measured since the last call and closes the link when its time has come;
  // `start` is when the simulator started.
  void run(Clock::time_point start);
  // Its terminal is closed for good: nothing more will come of it.
  bool finished() const { return finished_; }

 private:
  void print(const std::string& line) const;

  std::unique_ptr<Endpoint> endpoint_;
  NodeStream stream_;
  LossyLine line_;
  CommandReader reader_;
  const SimOptions& options_;
  std::string label_;
  bool streaming_ = false;
  bool finished_ = false;
  Clock::time_point streamStart_;
  double streamedSeconds_ = 0;
  double lastRestart_s_ = 0;  // of the stream's time
};

}  // namespace scanner_sim
