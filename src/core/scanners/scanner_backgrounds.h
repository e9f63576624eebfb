#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "background/learned_background.h"
#include "config/executable_directory.h"
#include "config/file_access.h"
#include "config/settings_file.h"
#include "decoding/scan_node.h"
#include "decoding/scan_stream_decoder.h"
#include "engine/touch_engine.h"
#include "geometry/scanner_placement.h"
#include "radar/radar_model.h"
#include "toolkit/button.h"
#include "toolkit/event_loop.h"
#include "toolkit/label.h"
#include "toolkit/list_box.h"
#include "toolkit/notifier.h"

namespace scantouch {

namespace background_keys {
// Seconds to learn the background for at every start; absent, empty or 0: never at start.
inline constexpr std::string_view kLearnAtStart = "启动学习背景";
}  // namespace background_keys

// The controls of the page "触控" that learn and show the backgrounds.
struct BackgroundControls {
  Button& learn;  // CMD学习背景 "学习背景"
  Button& clear;  // CMD清除背景 "清除背景"
  Label& status;  // LBL背景: when learned and how steady, or what went wrong
  ListBox& log;   // List1
};

// Where the backgrounds take effect.
struct BackgroundRoad {
  ScanStreamDecoder& first;  // the single-touch road of the first scanner (and the corners)
  TouchEngine& engine;       // every scanner's hits
  RadarModel& radar;         // the faint outline
};

// Every scanner's learned background: learned on the button or at every start, kept in a file of
// its own beside the settings, given to the roads that take touches, drawn on the radar view.
//
// A learning run follows each scanner from its first whole turn for the seconds asked; a scanner
// that stops making turns meanwhile, or never starts, has its run abandoned and keeps what it had.
// While a run lasts the program touches nothing (a background is learned with nobody in the
// rectangle; whatever is there then is not to be clicked). A background read from its file is
// used once the scanner's first whole turn shows the same angular step; one that is damaged, or
// of another step, is refused, and its file stays as it is until the user learns again.
class ScannerBackgrounds {
 public:
  // How long the button learns.
  static constexpr int kButtonSeconds = 5;
  // A scanner making no whole turn for this long while it learns has stopped.
  static constexpr std::int64_t kStopped_ms = 2000;
  // Most seconds the key may ask for.
  static constexpr int kMostSeconds = 600;
  static constexpr const char* kFileName = "扫描背景.txt";

  ScannerBackgrounds(BackgroundControls controls, BackgroundRoad road, EventLoop& loop,
                     SettingsFile& mainSettings, FileAccess& files,
                     const ExecutableDirectory& directory);
  ScannerBackgrounds(const ScannerBackgrounds&) = delete;
  ScannerBackgrounds& operator=(const ScannerBackgrounds&) = delete;

  // Where the first scanner stands as the window gives it, from now on: a first scanner without a
  // pose has its outline turned by the angle correction, as its beams are.
  void configure(const ScannerPlacement& placement);

  // After the scanners are known: reads each one's file, and learns when the key asks.
  void load(std::size_t scanners);

  // Learns every scanner's background for `seconds` (the old ones stay in force meanwhile).
  void learn(int seconds);
  // Forgets every background and removes the files.
  void clear();

  bool learning() const { return learning_; }
  // Whether nodes are wanted at all (a run, or a file waiting for its scanner's first turn): the
  // road hands none otherwise.
  bool listening() const { return listening_; }
  // A node of scanner `index` as its sweep hands it on.
  void take(std::size_t index, const PreciseScanNode& node);
  // The first scanner's nodes, for its decoder.
  PreciseScanNodeConsumer& firstScannerNodes() { return firstNodes_; }

  const std::optional<LearnedBackground>& background(std::size_t index) const {
    return scanners_.at(index).inForce;
  }
  // The file of scanner `index`, beside the settings.
  std::string filePath(std::size_t index) const;

  // `learning()` or `listening()` changed.
  Notifier<> changed;

 private:
  struct Run {
    BackgroundLearning learning;
    std::optional<std::int64_t> started_ms;  // its first whole turn
    std::int64_t lastWholeTurn_ms = 0;
  };
  struct Scanner {
    std::optional<LearnedBackground> inForce;
    std::optional<LearnedBackground> waiting;  // read from its file, its step not yet seen
    std::optional<Run> run;
    std::uint32_t turnNodes = 0;  // of the turn going on, while a file waits
    std::string note;             // what the page says beyond the background in force
  };
  class FirstScannerNodes final : public PreciseScanNodeConsumer {
   public:
    explicit FirstScannerNodes(ScannerBackgrounds& owner) : owner_(owner) {}
    void processPreciseNode(const PreciseScanNode& node, std::int16_t) override {
      owner_.take(0, node);
    }

   private:
    ScannerBackgrounds& owner_;
  };

  void readFile(std::size_t index);
  void checkWaiting(Scanner& scanner, std::size_t index, const PreciseScanNode& node);
  void checkRuns();
  void finish(std::size_t index, const std::string& abandonedBecause);
  void install(std::size_t index, std::optional<LearnedBackground> background);
  void updateListening();
  void showStatus();
  void showOutlines();
  void log(const std::string& entry);
  std::optional<int> secondsAtStart();

  BackgroundControls controls_;
  BackgroundRoad road_;
  EventLoop& loop_;
  SettingsFile& mainSettings_;
  FileAccess& files_;
  const ExecutableDirectory& directory_;
  std::vector<Scanner> scanners_;
  ScannerPlacement placement_;
  FirstScannerNodes firstNodes_{*this};
  int seconds_ = 0;
  std::int64_t requested_ms_ = 0;
  std::optional<EventLoop::TimerId> checkTimer_;
  bool learning_ = false;
  bool listening_ = false;
  bool toldLearning_ = false;
};

// "2026-12-09 11:07" in local time, for when a background was learned.
std::string LocalMinuteText(std::int64_t wallClockMs);

}  // namespace scantouch
