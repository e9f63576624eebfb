// What a damaged stream does to the clicks, for each way the decoder recovers from a bad node.
// A simulated scanner sweeps a room with three hands moving through the touch rectangle; its
// bytes cross a line that loses or garbles some of them and arrive in blocks of about 100 ms that
// break anywhere, not only between nodes. Each block goes through the whole road as the program
// wires it, and every click is compared with where the hands were.
//
//   recovery_bench [seconds of stream per seed] [seeds]
//
// Printed per line condition and way of recovering, summed over the seeds: damaged bytes, clicks,
// far clicks (more than 40 pixels from every hand), those the stream makes on a clean line too (a
// hand at the far end of its path met by one beam lands 41 pixels off), the others per 1000
// damaged bytes, stray touches (more than 60 pixels off) per 40 s of stream, and the share of the
// nodes sent that were decoded.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <span>
#include <vector>

#include "app/main_form.h"
#include "earlier_framings.h"
#include "example_setup.h"
#include "lossy_line.h"
#include "node_stream.h"
#include "recording_desktop_input.h"
#include "toolkit/virtual_event_loop.h"

namespace {

using namespace scantouch;

// The program's framing, or one of the earlier ones in its place.
enum class Recovery { restartAtNextAppend, realignAtNextAppend, realign };

struct LineCondition {
  const char* name;
  double drop;
  double corrupt;
};

// A click far from every hand, and when.
struct FarClick {
  ScreenPoint at;
  double time_s;
};

struct Figures {
  std::uint64_t damagedBytes = 0;
  std::uint64_t clicks = 0;
  std::uint64_t farClicks = 0;     // more than 40 pixels from every hand
  std::uint64_t ownFarClicks = 0;  // ... that the clean line's stream makes as well
  std::uint64_t strayClicks = 0;   // more than 60 pixels from every hand
  std::uint64_t sentNodes = 0;
  std::uint64_t decodedNodes = 0;
  double seconds = 0;

  void add(const Figures& other) {
    damagedBytes += other.damagedBytes;
    clicks += other.clicks;
    farClicks += other.farClicks;
    ownFarClicks += other.ownFarClicks;
    strayClicks += other.strayClicks;
    sentNodes += other.sentNodes;
    decodedNodes += other.decodedNodes;
    seconds += other.seconds;
  }
};

// Three hands, each in its own sector of the touch rectangle, so that their runs never merge.
scanner_sim::Scene ThreeHands() {
  scanner_sim::Scene scene;
  scene.roomDistanceMm = {7000};
  const auto hand = [](scanner_sim::PlanePoint from, scanner_sim::PlanePoint to, double period_s) {
    scanner_sim::SceneObject object;
    object.from = from;
    object.to = to;
    object.diameterMm = 60;
    object.period_s = period_s;
    return object;
  };
  scene.objects.push_back(hand({-2000, -4000}, {-1000, -3000}, 7));
  scene.objects.push_back(hand({-300, -5000}, {300, -4000}, 11));
  scene.objects.push_back(hand({1000, -3000}, {2000, -4500}, 13));
  return scene;
}

// The hands move while a block is on its way; a click is fair if it is near where a hand was at
// any time during the block or shortly before it.
double PixelsFromNearestHand(const scanner_sim::Scene& scene, ScreenPoint click, double from_s,
                             double to_s) {
  double nearest = 1e9;
  for (const scanner_sim::SceneObject& hand : scene.objects) {
    for (double t = from_s; t <= to_s; t += 0.01) {
      const ScreenPoint expected = examples::ExpectedPixel(hand.centreAt(t));
      nearest = std::min(nearest, std::hypot(click.x - expected.x, click.y - expected.y));
    }
  }
  return nearest;
}

// Whether the clean line's run of the same stream clicked there at about the same time.
bool CleanRunClicked(const std::vector<FarClick>& clean, const FarClick& click) {
  return std::any_of(clean.begin(), clean.end(), [&](const FarClick& own) {
    return std::abs(own.at.x - click.at.x) <= 2 && std::abs(own.at.y - click.at.y) <= 2 &&
           std::abs(own.time_s - click.time_s) <= 0.5;
  });
}

// `clean`: the far clicks of the same stream on a clean line; this run's are added to `far`.
Figures RunDamagedStream(Recovery recovery, const LineCondition& condition, std::uint32_t seed,
                         double seconds, const std::vector<FarClick>& clean,
                         std::vector<FarClick>& far) {
  testing::RecordingDesktopInput desktop;
  examples::InMemorySettings settingsFile;
  VirtualEventLoop loop;
  MainForm form(loop, desktop, settingsFile.file);
  examples::CalibrateLikeTheExamples(form);
  bench::EarlierFraming restart(bench::EarlierFraming::Rule::restartAtNextBlock);
  bench::EarlierFraming realignNext(bench::EarlierFraming::Rule::realignAtNextBlock);
  if (recovery == Recovery::restartAtNextAppend)
    form.decoder().useFraming(restart);
  else if (recovery == Recovery::realignAtNextAppend)
    form.decoder().useFraming(realignNext);

  scanner_sim::StreamSettings settings;
  settings.revolutionsPerSecond = 5.5;
  settings.nodesPerSecond = 360 * settings.revolutionsPerSecond;
  settings.angleJitterDegrees = 0.3;
  settings.quality = 15;  // a typical quality byte, 0x3E: read as a distance it is about 4 m
  settings.seed = seed;
  scanner_sim::NodeStream stream(ThreeHands(), settings);
  scanner_sim::LossyLine line(condition.drop, condition.corrupt, seed * 7919u + 1);

  std::mt19937 random(seed);
  // Blocks break at any byte, not at node boundaries: part of each block waits for the next.
  std::uniform_int_distribution<std::size_t> heldBack(0, 40);

  Figures figures;
  std::vector<std::uint8_t> sent(scanner_sim::kScanDescriptor.begin(),
                                 scanner_sim::kScanDescriptor.end());
  std::vector<std::uint8_t> received;
  const double nodesPerSecond = settings.nodesPerSecond;
  while (stream.time_s() < seconds) {
    const double blockStart = stream.time_s();
    stream.appendSeconds(sent, 0.1);
    const std::vector<std::uint8_t> arrived = line.pass(sent);
    received.insert(received.end(), arrived.begin(), arrived.end());
    sent.clear();
    const std::size_t blockSize = received.size() - std::min(received.size(), heldBack(random));
    const std::size_t clicksBefore = desktop.actions.size();
    form.decoder().feed(std::span(received).first(blockSize));
    received.erase(received.begin(), received.begin() + static_cast<std::ptrdiff_t>(blockSize));
    for (std::size_t i = clicksBefore; i < desktop.actions.size(); ++i) {
      if (desktop.actions[i].kind != testing::RecordingDesktopInput::Action::Kind::click)
        continue;
      ++figures.clicks;
      const double off = PixelsFromNearestHand(stream.scene(), desktop.actions[i].at,
                                               blockStart - 0.4, stream.time_s());
      if (off > 40) {
        const FarClick click{desktop.actions[i].at, stream.time_s()};
        ++figures.farClicks;
        figures.ownFarClicks += CleanRunClicked(clean, click) ? 1 : 0;
        far.push_back(click);
      }
      figures.strayClicks += off > 60 ? 1 : 0;
    }
    desktop.actions.clear();
  }
  figures.damagedBytes = line.lostBytes() + line.corruptedBytes();
  figures.seconds = stream.time_s();
  figures.sentNodes = static_cast<std::uint64_t>(std::llround(stream.time_s() * nodesPerSecond));
  figures.decodedNodes = form.decoder().decodedNodes();
  return figures;
}

const char* NameOf(Recovery recovery) {
  switch (recovery) {
    case Recovery::restartAtNextAppend:
      return "plain (check bit, next append)";
    case Recovery::realignAtNextAppend:
      return "earlier (2 groups, drop the pass)";
    case Recovery::realign:
      break;
  }
  return "program (3 groups, search on)";
}

}  // namespace

int main(int argc, char** argv) {
  const double secondsPerSeed = argc > 1 ? std::atof(argv[1]) : 9000;
  const int seeds = argc > 2 ? std::atoi(argv[2]) : 6;
  if (!(secondsPerSeed > 0) || seeds < 1) {
    std::fprintf(stderr, "usage: recovery_bench [seconds of stream per seed] [seeds]\n");
    return 2;
  }
  const LineCondition conditions[] = {
      {"clean", 0, 0},
      {"lost 1e-3", 0.001, 0},
      {"lost 1e-2", 0.01, 0},
      {"garbled 1e-3", 0, 0.001},
  };
  std::printf("%d seeds x %.0f s of stream, 1980 nodes/s\n", seeds, secondsPerSeed);
  std::printf("%-13s %-34s %9s %8s %5s %5s %14s %14s %9s\n", "line", "recovery", "damaged",
              "clicks", "far", "own", "far/1000 dmg", "stray/40 s", "decoded");
  // Per seed, the far clicks of the stream on the clean line (every recovery makes the same).
  std::vector<std::vector<FarClick>> cleanFar(static_cast<std::size_t>(seeds));
  for (const LineCondition& condition : conditions) {
    const bool clean = condition.drop == 0 && condition.corrupt == 0;
    for (const Recovery recovery :
         {Recovery::restartAtNextAppend, Recovery::realignAtNextAppend, Recovery::realign}) {
      Figures total;
      for (int seed = 1; seed <= seeds; ++seed) {
        std::vector<FarClick>& own = cleanFar[static_cast<std::size_t>(seed - 1)];
        std::vector<FarClick> far;
        total.add(RunDamagedStream(recovery, condition, static_cast<std::uint32_t>(seed),
                                   secondsPerSeed, own, far));
        if (clean)
          own = far;
      }
      if (clean)
        total.ownFarClicks = total.farClicks;
      const double farPerThousand =
          total.damagedBytes == 0
              ? 0
              : 1000.0 * static_cast<double>(total.farClicks - total.ownFarClicks) /
                    static_cast<double>(total.damagedBytes);
      std::printf("%-13s %-34s %9llu %8llu %5llu %5llu %14.2f %14.2f %8.1f%%\n", condition.name,
                  NameOf(recovery), static_cast<unsigned long long>(total.damagedBytes),
                  static_cast<unsigned long long>(total.clicks),
                  static_cast<unsigned long long>(total.farClicks),
                  static_cast<unsigned long long>(total.ownFarClicks), farPerThousand,
                  40.0 * static_cast<double>(total.strayClicks) / total.seconds,
                  100.0 * static_cast<double>(total.decodedNodes) /
                      static_cast<double>(std::max<std::uint64_t>(total.sentNodes, 1)));
      std::fflush(stdout);
    }
  }
  return 0;
}
