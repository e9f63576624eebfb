// scanner-sim: a simulated 360-degree scanner for demos, tests and benchmarks. It speaks the
// scanner's protocol over TCP or a pseudo-terminal and sweeps a scene given on the command line.

#include <poll.h>
#include <signal.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "endpoints.h"
#include "scanner_pose.h"
#include "sim_options.h"
#include "sim_scanner.h"

namespace {

using namespace scanner_sim;

volatile sig_atomic_t stopRequested = 0;
void RequestStop(int) {
  stopRequested = 1;
}

std::unique_ptr<Endpoint> OpenEndpoint(const std::optional<int>& tcpPort,
                                       const std::optional<std::string>& ptyLink) {
  if (tcpPort)
    return std::make_unique<TcpEndpoint>(*tcpPort);
  return std::make_unique<PtyEndpoint>(*ptyLink);
}

int Run(const SimOptions& options) {
  std::vector<std::unique_ptr<SimScanner>> scanners;
  scanners.push_back(std::make_unique<SimScanner>(OpenEndpoint(options.tcpPort, options.ptyLink),
                                                  options.scene, options.stream, options, ""));
  for (std::size_t i = 0; i < options.scanners.size(); ++i) {
    const FurtherScanner& further = options.scanners[i];
    scanners.push_back(std::make_unique<SimScanner>(
        OpenEndpoint(further.tcpPort, further.ptyLink), SceneSeenFrom(options.scene, further.pose),
        further.stream, options, "[" + std::to_string(i + 2) + "]"));
  }
  std::printf("ready\n");
  std::fflush(stdout);

  const SimScanner::Clock::time_point start = SimScanner::Clock::now();
  while (!stopRequested) {
    // One wait for all links; each scanner then streams what is due on its own clock.
    std::vector<pollfd> fds;
    std::vector<SimScanner*> owners;
    for (const auto& scanner : scanners) {
      for (const int fd : scanner->fds()) {
        fds.push_back(pollfd{fd, POLLIN, 0});
        owners.push_back(scanner.get());
      }
    }
    ::poll(fds.data(), fds.size(), 5);
    for (std::size_t i = 0; i < fds.size(); ++i) {
      if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) != 0)
        owners[i]->receive(fds[i].fd);
    }
    bool allFinished = true;
    for (const auto& scanner : scanners) {
      scanner->run(start);
      allFinished = allFinished && scanner->finished();
    }
    if (allFinished)
      break;
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
