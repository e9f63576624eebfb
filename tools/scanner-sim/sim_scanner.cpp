#include "sim_scanner.h"

#include <cstdio>

namespace scanner_sim {
namespace {

double SecondsSince(SimScanner::Clock::time_point start) {
  return std::chrono::duration<double>(SimScanner::Clock::now() - start).count();
}

}  // namespace

SimScanner::SimScanner(std::unique_ptr<Endpoint> endpoint, const Scene& scene,
                       StreamSettings stream, const SimOptions& options, std::string label)
    : endpoint_(std::move(endpoint)),
      stream_(scene, stream),
      line_(options.dropFraction, options.corruptFraction, stream.seed + 1),
      options_(options),
      label_(std::move(label)) {}

void SimScanner::print(const std::string& line) const {
  if (label_.empty()) {
    std::printf("%s\n", line.c_str());
  } else {
    std::printf("%s %s\n", label_.c_str(), line.c_str());
  }
  std::fflush(stdout);
}

void SimScanner::receive(int fd) {
  for (const std::string& command : reader_.feed(endpoint_->receive(fd))) {
    print(command);
    if (command == ":SCAN." && !options_.ignoreScan) {
      endpoint_->send(StreamStart(options_.staleBytes, stream_.settings().seed));
      streaming_ = true;
      streamStart_ = Clock::now();
      streamedSeconds_ = 0;
      lastRestart_s_ = 0;
    } else if (command == ":STOP.") {
      streaming_ = false;
    }
  }
}

void SimScanner::run(Clock::time_point start) {
  if (endpoint_->takeHangUp())
    streaming_ = false;  // a new client starts it anew

  if (streaming_ && endpoint_->linked()) {
    // Real time: everything measured since the last round goes out now.
    const double due = SecondsSince(streamStart_);
    std::vector<std::uint8_t> bytes;
    if (options_.restartEvery_s > 0 && due - lastRestart_s_ >= options_.restartEvery_s) {
      // As after ":STOP." and ":SCAN.": the stream starts again, descriptor first.
      bytes = StreamStart(options_.staleBytes, stream_.settings().seed);
      lastRestart_s_ = due;
    }
    stream_.appendSeconds(bytes, due - streamedSeconds_);
    streamedSeconds_ = due;
    if (!bytes.empty())
      endpoint_->send(line_.pass(bytes));
  }
  if (options_.closeAfter_s > 0 && endpoint_->linked() &&
      SecondsSince(start) >= options_.closeAfter_s) {
    endpoint_->hangUp();
    streaming_ = false;
    print("closed");
    // A TCP scanner still listens; a closed terminal is gone for good.
    finished_ = endpoint_->fds().empty();
  }
}

}  // namespace scanner_sim
