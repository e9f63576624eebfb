// How well the touch engine follows hands, judged against the ground truth of the simulated scene,
// and the single-touch road on the same streams for comparison.
//
// A simulated scanner sweeps a room with 1, 2, 5 or 10 hands in a 2 m x 1.125 m touch rectangle
// (1920 x 1080 pixels) just above it. Each hand goes through three phases with a short absence
// between them: still, moving, tapping (drifting while it taps); hands in pairs cross each other's
// way. The bytes cross a line that may lose or garble some of them, arrive in blocks of 10 ms that
// break anywhere, and go through the road as the program wires it (decoder, single-touch road,
// engine), with the event loop's clock following the stream.
//
//   touch_bench [--seeds N] [--seconds S] [--quick] [--sweep] [--events]
//               [--only HANDS,NODES,TPS] [--block-ms B] [--noise-mm M] [--hand-mm D]
//               [--surface] [--rooms] [--held] [--still]
//
// --quick runs fewer cases for less time, --sweep tries other settings of the engine, --events
// prints every ghost, id switch, late birth or removal and missed birth before its case's line,
// --only runs the table's cases with those figures (0 for any), as in --only 2,16000,5.5.
//
// After the table, a still and a slowly moving hand that one beam a turn meets are held through the
// whole program for ten minutes on each line, and their sessions counted (--held: only that).
// Then every scene runs again in each of the simulator's rooms (bench/room_table.h):
// walls over part of the turn, clutter in the rectangle, a grazed wall; with two fingers arriving
// one after the other besides. --rooms runs only that, and with --surface only the surface's.
//
// --surface runs, instead of the table, the scenes of several scanners on one surface and of the
// four-corner mapping (surface_bench.cpp), each against its goals: a second scanner at the other
// top corner of a 4 m x 2 m wall, with its own rate, turn speed and phase; two hands on one beam
// of the first scanner, one passing through the other's shadow; ten hands over the wall, also
// with each scanner alone; a keystoned picture calibrated by its four corners against the
// rectangle of two; and the second scanner's pose from a still object at three places.
// It takes 10 seeds of 60 s unless told otherwise, about a minute (with --quick 6 of 10 s).
//
// --still runs, instead of the table, hands around one still thing in the rectangle, each in its
// room (bench/still_scenes.h): a 100 mm pillar in the middle, with a hand passing in front of it;
// a bar along the far edge; a wall the plane grazes beyond it. Each seed first learns the first
// scanner's background from every node the sweep hands on over 3 s of the empty room, as the
// program does, and sets it on the engine and the single-touch road; each scene runs again
// without it. Figures: hand-turns matched for hands 100 mm or more from the thing and nearer, and
// contacts and clicks at the thing that no hand explains, against their goals. It takes 30 seeds
// of 120 s, an hour a scene, unless told otherwise (with --quick 2 of 60 s): about 5 minutes.
//
// Each frame of the engine is judged against the hands where they were when the beam last passed
// them in the data the frame was made from: every node's time is known from its angle, so a frame
// that came early or late (a turn cut short by a damaged node) is judged by what it saw. A hand
// is visible when it is there, its centre lies in the touch rectangle and at least kVisibleShare
// of its span is out of every other hand's shadow. PrintLegend says what each figure is.
//
// Where the table's parts are: what is played in table_rectangle.h (the scanner and its
// rectangle), table_scenes.h (the hands, made of scene_hands.h), table_cases.h (lines, rates and
// rooms); how it is judged in table_judge.h (with sweep_times.h and judging.h), click_judging.h
// and table_figures.h (the goals); the road in table_road.h; the rows in table_printing.h. This
// file only picks what to run.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include "background_learning.h"
#include "engine/touch_engine.h"
#include "hand_sessions.h"
#include "room_table.h"
#include "still_scenes.h"
#include "surface_bench.h"
#include "table_cases.h"
#include "table_figures.h"
#include "table_printing.h"
#include "table_road.h"
#include "table_scenes.h"
#include "touch_bench_options.h"

namespace {

using namespace scantouch;
using namespace bench_table;
namespace sim = scanner_sim;

// The table's cases the options pick, with the engine as installed, a row each.
void RunTable(const BenchOptions& options) {
  const TouchEngineSettings settings;
  PrintLegend(options, settings);
  PrintHeader();
  for (const Case& c : TableCases(options.quick)) {
    if ((options.onlyHands != 0 && c.hands != options.onlyHands) ||
        (options.onlyNodesPerSecond != 0 && c.nodesPerSecond != options.onlyNodesPerSecond) ||
        (options.onlyTurnsPerSecond != 0 && c.turnsPerSecond != options.onlyTurnsPerSecond))
      continue;
    PrintRow(c, RunSeeds(c, options, settings, true), settings);
  }
}

// Some of the table's cases, hands close to each other and a fast swipe under each setting of the
// engine's gap, gate and smoothing, a row each.
void RunSweep(const BenchOptions& options) {
  const std::vector<Case> handCases{
      {2, 8000, 10, kClean},  {10, 8000, 10, kClean},    {10, 32000, 15, kClean},
      {5, 2000, 5.5, kClean}, {10, 16000, 10, kGarbled},
  };
  const std::vector<Case> closeCases{
      {4, 8000, 10, kClean, SceneKind::close},
      {4, 2000, 5.5, kClean, SceneKind::close},
  };
  const std::vector<Case> fastCases{
      {2, 8000, 10, kClean, SceneKind::fast},
      {2, 16000, 5.5, kClean, SceneKind::fast},
  };
  PrintLegend(options, TouchEngineSettings{});
  PrintSweepLegend();
  const auto run = [&](const std::vector<Case>& cases, const TouchEngineSettings& settings) {
    Figures total;
    for (const Case& c : cases)
      total.add(RunSeeds(c, options, settings, false));
    return total;
  };
  for (const double gap : {60.0, 100.0, 150.0}) {
    for (const double gate : {120.0, 250.0, 400.0}) {
      for (const bool smoothing : {true, false}) {
        TouchEngineSettings settings;
        settings.gapMm = gap;
        settings.gateMm = gate;
        settings.smoothing = smoothing;
        const Figures hands = run({handCases.begin(), handCases.end() - 1}, settings);
        const Figures garbled = run({handCases.back()}, settings);
        const Figures close = run(closeCases, settings);
        const Figures fast = run(fastCases, settings);
        PrintSweepRow(settings, hands, garbled, close, fast);
      }
    }
  }
}

// Every scene of the table (hands 1 to 10, close, fast) and two fingers, in every room, at 8000
// nodes/s and 10 turns/s; each also on a garbled line for its ghosts.
void RunRooms(const BenchOptions& options) {
  const TouchEngineSettings settings;
  const auto run = [&](sim::RoomKind room, bench_rooms::TableScene scene) {
    Figures clean;
    Figures garbled;
    for (const Line* line : {&kClean, &kGarbled}) {
      const auto add = [&](Case c) {
        c.line = *line;
        c.room = room;
        (line == &kClean ? clean : garbled).add(RunSeeds(c, options, settings, false));
      };
      switch (scene) {
        case bench_rooms::TableScene::hands:
          for (const int hands : {1, 2, 5, 10})
            add(Case{hands, 8000, 10, kClean});
          break;
        case bench_rooms::TableScene::close:
          add(Case{4, 8000, 10, kClean, SceneKind::close});
          break;
        case bench_rooms::TableScene::fast:
          add(Case{2, 8000, 10, kClean, SceneKind::fast});
          break;
        case bench_rooms::TableScene::fingers:
          add(Case{2, 8000, 10, kClean, SceneKind::fingers});
          break;
      }
    }
    return RoomFigures(clean, garbled, settings);
  };
  char setting[96];
  std::snprintf(setting, sizeof setting, "8000 nodes/s, 10 turns/s, %d seeds x %.0f s",
                options.seeds, options.seconds);
  bench_rooms::RunTableRooms(setting, run);
}

// The scenes around a still thing (bench/still_scenes.h), at 8000 nodes/s and 10 turns/s on a
// clean line, each seed with the background learned before its hands come, or without.
void RunStill(const BenchOptions& options) {
  const TouchEngineSettings settings;
  const Case c{3, 8000, 10, kClean};
  const auto run = [&](bench_still::StillScene kind, bool withBackground) {
    Figures figures;
    bench_still::StillFigures still;
    for (int seed = 1; seed <= options.seeds; ++seed) {
      const auto s = static_cast<std::uint32_t>(seed);
      const bench_scenes::HandScene scene =
          AroundStillThing(kind, options.seconds, s, options.handMm);
      std::optional<LearnedBackground> background;
      if (withBackground) {
        const Learned learned = LearnBackground(c, scene.scene, s, options);
        background = learned.background;
        still.learnedTurns += learned.wholeTurns;
        still.unlearned += background ? 0 : 1;
      }
      figures.add(RunScene(c, scene, s, options, settings, false, background));
    }
    FillStillFigures(figures, still);
    return still;
  };
  char setting[128];
  std::snprintf(setting, sizeof setting,
                "8000 nodes/s, 10 turns/s, clean line, %d seeds x %.0f s = %.0f min a scene",
                options.seeds, options.seconds, options.seeds * options.seconds / 60);
  bench_still::RunStillScenes(setting, run);
}

// Hands held still, or moving slowly, through the whole program for ten minutes on each line: how
// many sessions the engine gives each (tests/support/hand_sessions.h). 4 m from a scanner of
// 2 000 nodes a second at 5.5 turns, a 60 mm hand is met by one beam a turn and falls between two
// beams in about one turn in seven, so that one turn more without it ends its session.
void RunHeldHands(const BenchOptions& options) {
  const int seeds = options.quick ? 3 : options.seeds;
  std::printf(
      "\nheld hands: a still hand and one moving 150 mm to and fro in 20 s, 60 mm, 4 m away; 2000 "
      "nodes/s, 5.5 turns/s; the whole program; %d seeds x 10 min\n",
      seeds);
  std::printf("  %-13s | %15s %15s %15s | %s\n", "line", "sessions/hand", "breaks/hand",
              "strangers", "missed goals");
  for (const Line& line : {kClean, kLost, kGarbled}) {
    int sessions = 0;
    int breaks = 0;
    int strangers = 0;
    int hands = 0;
    for (int seed = 1; seed <= seeds; ++seed) {
      testing::HandSessionOptions run;
      run.hands = testing::StillAndSlowHands();
      run.simulated_s = 600;
      run.drop = line.drop;
      run.corrupt = line.corrupt;
      run.seed = static_cast<std::uint32_t>(seed);
      const testing::HandSessionFigures figures = testing::RunHandSessions(run);
      for (const int n : figures.sessions)
        sessions += n;
      breaks += figures.breaks();
      strangers += figures.strangers;
      hands += static_cast<int>(figures.sessions.size());
    }
    const double perHand = static_cast<double>(breaks) / hands;
    std::printf("  %-13s | %15.2f %15.2f %15.2f | %s\n", line.name,
                static_cast<double>(sessions) / hands, perHand,
                static_cast<double>(strangers) / seeds, perHand > 1 ? "breaks" : "");
    std::fflush(stdout);
  }
  std::printf(
      "  per hand and per 10 min: sessions, breaks (sessions after its first); strangers: contacts "
      "born > 150 mm from\n  both hands, per 10 min. goal: at most one break a hand in 10 min\n");
}

std::optional<BenchOptions> ParseOptions(int argc, char** argv) {
  BenchOptions options;
  bool seedsGiven = false;
  bool secondsGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view flag = argv[i];
    const auto value = [&]() -> std::optional<double> {
      if (i + 1 >= argc)
        return std::nullopt;
      char* end = nullptr;
      const double number = std::strtod(argv[++i], &end);
      if (end == argv[i] || *end != '\0' || !std::isfinite(number))
        return std::nullopt;
      return number;
    };
    std::optional<double> number;
    if (flag == "--quick") {
      options.quick = true;
    } else if (flag == "--sweep") {
      options.sweep = true;
    } else if (flag == "--events") {
      options.events = true;
    } else if (flag == "--surface") {
      options.surface = true;
    } else if (flag == "--rooms") {
      options.roomsOnly = true;
    } else if (flag == "--held") {
      options.heldOnly = true;
    } else if (flag == "--still") {
      options.still = true;
    } else if (flag == "--only") {
      // HANDS,NODES,TPS, each 0 for any
      if (i + 1 >= argc)
        return std::nullopt;
      double hands = 0;
      if (std::sscanf(argv[++i], "%lf,%lf,%lf", &hands, &options.onlyNodesPerSecond,
                      &options.onlyTurnsPerSecond) != 3)
        return std::nullopt;
      options.onlyHands = static_cast<int>(hands);
    } else if (flag == "--seeds") {
      if (!(number = value()) || *number < 1 || *number > 1000)
        return std::nullopt;
      options.seeds = static_cast<int>(*number);
      seedsGiven = true;
    } else if (flag == "--seconds") {
      if (!(number = value()) || *number < 3 || *number > 86400)
        return std::nullopt;
      options.seconds = *number;
      secondsGiven = true;
    } else if (flag == "--block-ms") {
      if (!(number = value()) || *number < 1 || *number > 1000)
        return std::nullopt;
      options.block_ms = *number;
    } else if (flag == "--noise-mm") {
      if (!(number = value()) || *number < 0 || *number > 100)
        return std::nullopt;
      options.noiseMm = *number;
    } else if (flag == "--hand-mm") {
      if (!(number = value()) || *number < 5 || *number > 300)
        return std::nullopt;
      options.handMm = *number;
    } else {
      return std::nullopt;
    }
  }
  if (options.quick) {
    if (!seedsGiven)
      options.seeds = 6;
    if (!secondsGiven)
      options.seconds = 10;
  }
  if (options.still) {
    if (!seedsGiven)
      options.seeds = options.quick ? 2 : 30;
    // The judge looks at every hand of a run each turn, and a scene's hands come ten seconds at a
    // time: many short runs go faster than few long ones.
    if (!secondsGiven)
      options.seconds = options.quick ? 60 : 120;
  }
  if (options.surface && !options.quick) {
    if (!seedsGiven)
      options.seeds = surface_bench::SurfaceOptions{}.seeds;
    if (!secondsGiven)
      options.seconds = surface_bench::SurfaceOptions{}.seconds;
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const auto options = ParseOptions(argc, argv);
  if (!options) {
    std::fprintf(stderr,
                 "usage: touch_bench [--seeds N] [--seconds S] [--quick] [--sweep] [--events]\n"
                 "                   [--only HANDS,NODES,TPS] [--block-ms B] [--noise-mm M]\n"
                 "                   [--hand-mm D] [--surface] [--rooms] [--held] [--still]\n");
    return 2;
  }
  if (options->surface) {
    surface_bench::SurfaceOptions surface;
    surface.seeds = options->seeds;
    surface.seconds = options->seconds;
    surface.block_ms = options->block_ms;
    surface.noiseMm = options->noiseMm;
    surface.handMm = options->handMm;
    surface.events = options->events;
    surface.roomsOnly = options->roomsOnly;
    surface_bench::RunSurface(surface);
  } else if (options->sweep) {
    RunSweep(*options);
  } else if (options->heldOnly) {
    RunHeldHands(*options);
  } else if (options->still) {
    RunStill(*options);
  } else {
    if (!options->roomsOnly) {
      RunTable(*options);
      RunHeldHands(*options);
    }
    RunRooms(*options);
  }
  return 0;
}
