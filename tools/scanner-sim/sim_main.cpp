// scanner-sim: a simulated 360-degree scanner for demos, tests and benchmarks. It speaks the
// scanner's protocol over TCP or a pseudo-terminal and sweeps a scene given on the command line.

#include <poll.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "endpoints.h"
#include "lossy_line.h"
#include "node_stream.h"
#include "sim_options.h"

namespace {

using namespace scanner_sim;
using Clock = std::chrono::steady_clock;

volatile sig_atomic_t stopRequested = 0;
void RequestStop(int) {
  stopRequested = 1;
}

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Collects received bytes into commands: ":" up to and including the next ".".
class CommandReader {
 public:
  std::vector<std::string> feed(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::string> commands;
    for (const std::uint8_t byte : bytes) {
      const char c = static_cast<char>(byte);
      if (c == ':')
        pending_.clear();
      pending_ += c;
      if (c == '.' && pending_.front() == ':') {
        commands.push_back(pending_);
        pending_.clear();
      }
      if (pending_.size() > 256)
        pending_.clear();
    }
    return commands;
  }

 private:
  std::string pending_;
};

int Run(const SimOptions& options) {
  std::unique_ptr<Endpoint> endpoint;
  if (options.tcpPort) {
    endpoint = std::make_unique<TcpEndpoint>(*options.tcpPort);
  } else {
    endpoint = std::make_unique<PtyEndpoint>(*options.ptyLink);
  }
  std::printf("ready\n");
  std::fflush(stdout);

  NodeStream stream(options.scene, options.stream);
  LossyLine line(options.dropFraction, options.corruptFraction, options.stream.seed + 1);
  CommandReader reader;
  const Clock::time_point start = Clock::now();
  bool streaming = false;
  Clock::time_point streamStart;
  double streamedSeconds = 0;
  double lastRestart_s = 0;  // of the stream's time

  while (!stopRequested) {
    std::vector<pollfd> fds;
    for (const int fd : endpoint->fds())
      fds.push_back(pollfd{fd, POLLIN, 0});
    ::poll(fds.data(), fds.size(), 5);
    for (const pollfd& fd : fds) {
      if ((fd.revents & (POLLIN | POLLHUP | POLLERR)) == 0)
        continue;
      for (const std::string& command : reader.feed(endpoint->receive(fd.fd))) {
        std::printf("%s\n", command.c_str());
        std::fflush(stdout);
        if (command == ":SCAN." && !options.ignoreScan) {
          endpoint->send(StreamStart(options.staleBytes, options.stream.seed));
          streaming = true;
          streamStart = Clock::now();
          streamedSeconds = 0;
          lastRestart_s = 0;
        } else if (command == ":STOP.") {
          streaming = false;
        }
      }
    }
    if (endpoint->takeHangUp())
      streaming = false;  // a new client starts it anew

    if (streaming && endpoint->linked()) {
      // Real time: everything measured since the last round goes out now.
      const double due = SecondsSince(streamStart);
      std::vector<std::uint8_t> bytes;
      if (options.restartEvery_s > 0 && due - lastRestart_s >= options.restartEvery_s) {
        // As after ":STOP." and ":SCAN.": the stream starts again, descriptor first.
        bytes = StreamStart(options.staleBytes, options.stream.seed);
        lastRestart_s = due;
      }
      stream.appendSeconds(bytes, due - streamedSeconds);
      streamedSeconds = due;
      if (!bytes.empty())
        endpoint->send(line.pass(bytes));
    }
    if (options.closeAfter_s > 0 && endpoint->linked() &&
        SecondsSince(start) >= options.closeAfter_s) {
      endpoint->hangUp();
      streaming = false;
      std::printf("closed\n");
      std::fflush(stdout);
      if (options.ptyLink)
        break;  // the terminal is gone for good
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--help") {
      std::printf("%s", kSimUsage);
      return 0;
    }
    if (std::string(argv[i]) == "--version") {
      std::printf("scanner-sim %s\n", SCANTOUCH_VERSION);
      return 0;
    }
  }
  std::string error;
  const auto options = ParseSimOptions(argc, argv, error);
  if (!options) {
    std::fprintf(stderr, "scanner-sim: %s\n%s", error.c_str(), kSimUsage);
    return 2;
  }
  ::signal(SIGPIPE, SIG_IGN);
  ::signal(SIGTERM, RequestStop);
  ::signal(SIGINT, RequestStop);
  try {
    return Run(*options);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "scanner-sim: %s\n", failure.what());
    return 1;
  }
}
