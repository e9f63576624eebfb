// The whole program on the virtual clock for a simulated week (tests/support/long_run.h): hands,
// taps and pinches come and go through the serial port while the stream stalls, garbage arrives,
// the scanner restarts, its device goes away and the page "触控" is typed into; every output on.
// Prints what ran and what held.
//
//   long_run_bench [--days D | --hours H] [--rate NODES] [--tps TURNS] [--seed N] [--room NAME]
//                  [--events]
//
// --events prints each breach of an invariant as it starts and ends.

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "long_run.h"
#include "rooms.h"

namespace {

using scantouch::testing::InvariantRecord;
using scantouch::testing::LongRunFigures;
using scantouch::testing::LongRunOptions;

std::optional<LongRunOptions> Parse(int argc, char** argv) {
  LongRunOptions options;
  options.simulated_s = 7 * 86400;
  options.progressEvery_s = 6 * 3600;
  for (int i = 1; i < argc; ++i) {
    const std::string_view flag = argv[i];
    const auto number = [&]() -> std::optional<double> {
      if (i + 1 >= argc)
        return std::nullopt;
      char* end = nullptr;
      const double value = std::strtod(argv[++i], &end);
      return end != argv[i] && *end == '\0' && value > 0 ? std::optional<double>(value)
                                                         : std::nullopt;
    };
    std::optional<double> value;
    if (flag == "--events") {
      options.printBreaches = true;
    } else if (flag == "--room") {
      if (i + 1 >= argc)
        return std::nullopt;
      const auto room = scanner_sim::RoomNamed(argv[++i]);
      if (!room)
        return std::nullopt;
      options.room = *room;
    } else if (!(value = number())) {
      return std::nullopt;
    } else if (flag == "--days") {
      options.simulated_s = *value * 86400;
    } else if (flag == "--hours") {
      options.simulated_s = *value * 3600;
      options.progressEvery_s = std::min(options.progressEvery_s, options.simulated_s / 4);
    } else if (flag == "--rate") {
      options.nodesPerSecond = *value;
    } else if (flag == "--tps") {
      options.turnsPerSecond = *value;
    } else if (flag == "--seed") {
      options.seed = static_cast<std::uint32_t>(*value);
    } else {
      return std::nullopt;
    }
  }
  return options;
}

void PrintProgress(const LongRunFigures& f) {
  std::size_t breaches = 0;
  for (const InvariantRecord& record : f.invariants)
    breaches += record.breaches;
  std::printf("  %7.2f h simulated in %7.1f s: %llu turns, %llu contacts born, %zu breaches\n",
              f.simulated_s / 3600, f.real_s, static_cast<unsigned long long>(f.turns),
              static_cast<unsigned long long>(f.contactsBorn), breaches);
  std::fflush(stdout);
}

void PrintFigures(const LongRunOptions& options, const LongRunFigures& f) {
  const auto count = [](std::uint64_t n) { return static_cast<unsigned long long>(n); };
  std::printf("\nsimulated %.0f s (%.2f days) in %.1f s of real time (%.0fx)\n", f.simulated_s,
              f.simulated_s / 86400, f.real_s, f.simulated_s / f.real_s);
  std::printf(
      "stream    %.0f nodes/s, %.1f turns/s, room %s; %llu nodes, %llu turns (%.2f a second)\n",
      options.nodesPerSecond, options.turnsPerSecond,
      std::string(scanner_sim::RoomName(options.room)).c_str(), count(f.nodes), count(f.turns),
      static_cast<double>(f.turns) / f.simulated_s);
  std::printf("scene     %llu gestures (%llu pinches), %llu contacts born, at most %zu live\n",
              count(f.gestures), count(f.pinches), count(f.contactsBorn), f.maxLiveContacts);
  std::printf(
      "faults    %llu stalls, %llu garbage bursts, %llu stream restarts, %llu unplugs, "
      "%llu settings typed\n",
      count(f.stalls), count(f.garbageBursts), count(f.restarts), count(f.unplugs),
      count(f.typedSettings));
  std::printf("outputs   %llu button presses, %llu TUIO bundles, %llu system touch reports\n",
              count(f.buttonPresses), count(f.tuioBundles), count(f.touchReports));
  std::printf(
      "kept      decoder <= %zu B, event log <= %zu entries, send queue <= %zu, receive box "
      "<= %zu chars,\n          timers <= %zu, posted events <= %zu; %llu log lines (%.1f "
      "an hour)\n",
      f.maxDecoderBytes, f.maxEventLogEntries, f.maxSendQueue, f.maxReceiveBoxChars, f.maxTimers,
      f.maxPostedEvents, count(f.logLines),
      static_cast<double>(f.logLines) / (f.simulated_s / 3600));
  std::printf("\n%-50s | %8s | %12s | %10s | %s\n", "invariant", "breaches", "first at s",
              "longest s", "first breach");
  for (const InvariantRecord& record : f.invariants) {
    if (record.breaches == 0) {
      std::printf("%-50s | %8s | %12s | %10s |\n", record.name.c_str(), "held", "", "");
      continue;
    }
    std::printf("%-50s | %8llu | %12.1f | %10.1f | %s\n", record.name.c_str(),
                count(record.breaches), record.first_s.value_or(0), record.longest_s,
                record.firstDetail.c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  const auto options = Parse(argc, argv);
  if (!options) {
    std::fprintf(stderr,
                 "usage: long_run_bench [--days D | --hours H] [--rate NODES] [--tps TURNS] "
                 "[--seed N]\n                      [--room NAME] [--events]\n");
    return 2;
  }
  std::printf("long_run_bench: the whole program, every output on, %.2f simulated days\n",
              options->simulated_s / 86400);
  const LongRunFigures figures = scantouch::testing::RunLongRun(*options, PrintProgress);
  PrintFigures(*options, figures);
  return figures.allHeld() ? 0 : 1;
}
