#include "sim_options.h"

#include <cstdlib>
#include <sstream>
#include <string_view>
#include <vector>

namespace scanner_sim {

const char* const kSimUsage =
    "usage: scanner-sim (--tcp PORT | --pty PATH) [options]\n"
    "  --tcp PORT             a networked scanner: TCP server on 127.0.0.1:PORT\n"
    "  --pty PATH             a serial scanner: a pseudo-terminal with a link to it at PATH\n"
    "  --rate N               nodes per second (default 2000)\n"
    "  --rps R                revolutions per second (default 5.5)\n"
    "  --jitter DEG           each node's angle is off by up to DEG degrees (default 0)\n"
    "  --quality Q            quality of every node, 0..63 (default 47)\n"
    "  --room D[,D...]        wall distance in mm, spread evenly over the turn (default 6000)\n"
    "  --object A,D,S[,A2,D2,P]  an object at angle A, distance D (mm), size S (mm); moving\n"
    "                         to A2,D2 and back every P seconds when given (repeatable)\n"
    "  --drop F               lose this fraction of the bytes sent\n"
    "  --corrupt F            garble this fraction of the bytes sent\n"
    "  --close-after S        close the connection or the terminal after S seconds\n"
    "  --ignore-scan          never answer \":SCAN.\"\n"
    "  --seed N               random seed (default 1)\n"
    "It waits for \":SCAN.\", then streams; \":STOP.\" ends the stream. Every command received\n"
    "is printed on a line of its own.\n";

namespace {

std::vector<double> Numbers(std::string_view text) {
  std::vector<double> numbers;
  std::stringstream stream{std::string(text)};
  std::string part;
  while (std::getline(stream, part, ','))
    numbers.push_back(std::atof(part.c_str()));
  return numbers;
}

}  // namespace

std::optional<SimOptions> ParseSimOptions(int argc, char** argv, std::string& error) {
  SimOptions options;
  options.scene.roomDistanceMm = {6000};
  for (int i = 1; i < argc; ++i) {
    const std::string_view flag = argv[i];
    const auto value = [&]() -> std::string_view {
      if (i + 1 >= argc) {
        error = "missing value after " + std::string(flag);
        return {};
      }
      return argv[++i];
    };
    if (flag == "--tcp") {
      options.tcpPort = std::atoi(std::string(value()).c_str());
    } else if (flag == "--pty") {
      options.ptyLink = std::string(value());
    } else if (flag == "--rate") {
      options.stream.nodesPerSecond = std::atof(std::string(value()).c_str());
    } else if (flag == "--rps") {
      options.stream.revolutionsPerSecond = std::atof(std::string(value()).c_str());
    } else if (flag == "--jitter") {
      options.stream.angleJitterDegrees = std::atof(std::string(value()).c_str());
    } else if (flag == "--quality") {
      options.stream.quality = std::atoi(std::string(value()).c_str());
    } else if (flag == "--room") {
      options.scene.roomDistanceMm = Numbers(value());
    } else if (flag == "--object") {
      const std::vector<double> n = Numbers(value());
      if (n.size() != 3 && n.size() != 6) {
        error = "--object takes A,D,S or A,D,S,A2,D2,P";
        return std::nullopt;
      }
      SceneObject object;
      object.from = PolarToPlane(n[0], n[1]);
      object.diameterMm = n[2];
      if (n.size() == 6) {
        object.to = PolarToPlane(n[3], n[4]);
        object.period_s = n[5];
      }
      options.scene.objects.push_back(object);
    } else if (flag == "--drop") {
      options.dropFraction = std::atof(std::string(value()).c_str());
    } else if (flag == "--corrupt") {
      options.corruptFraction = std::atof(std::string(value()).c_str());
    } else if (flag == "--close-after") {
      options.closeAfter_s = std::atof(std::string(value()).c_str());
    } else if (flag == "--ignore-scan") {
      options.ignoreScan = true;
    } else if (flag == "--seed") {
      options.stream.seed = static_cast<std::uint32_t>(std::atol(std::string(value()).c_str()));
    } else {
      error = "unknown option " + std::string(flag);
      return std::nullopt;
    }
    if (!error.empty())
      return std::nullopt;
  }
  if (options.tcpPort.has_value() == options.ptyLink.has_value()) {
    error = "give exactly one of --tcp PORT and --pty PATH";
    return std::nullopt;
  }
  if (options.stream.nodesPerSecond <= 0 || options.stream.revolutionsPerSecond <= 0) {
    error = "--rate and --rps must be above 0";
    return std::nullopt;
  }
  return options;
}

}  // namespace scanner_sim
