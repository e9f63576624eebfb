#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "config/settings_file.h"
#include "decoding/scan_stream_decoder.h"
#include "engine/touch_engine.h"
#include "geometry/scanner_placement.h"
#include "link/received_bytes.h"
#include "radar/radar_model.h"
#include "scanners/pose_calibration.h"
#include "scanners/scanner_backgrounds.h"
#include "scanners/scanner_stream.h"
#include "scanners/surface_settings.h"
#include "toolkit/button.h"
#include "toolkit/check_box.h"
#include "toolkit/event_loop.h"
#include "toolkit/label.h"
#include "toolkit/list_box.h"
#include "toolkit/picture_box.h"

namespace scantouch {

// The controls of the main window the scanners of a surface read and write.
struct SurfaceControls {
  CheckBox& processing;    // CHK处理
  Label& firstRate;        // Label4: the first scanner's scan rate
  Label& scanners;         // LBL扫描仪: each scanner's link and rate
  Label& poseCalibration;  // LBL位姿标定
  Button& recordPlace;     // CMD记录位姿点 "记录位置"
  Button& solvePoses;      // CMD计算位姿 "计算位姿"
  const PictureBox& view;  // PICYL: the view's extent
  ListBox& log;            // List1
};

// The road the scanners' nodes take, and how commands reach them.
struct SurfaceRoad {
  ScanStreamDecoder& first;  // the first scanner's decoder, the single-touch road behind it
  TouchEngine& engine;
  RadarModel& radar;
  // Keeps the engine running whatever the outputs want (the window shows the contacts).
  std::function<void(bool)> holdEngine;
  std::function<void(LinkId, std::string_view)> sendTo;  // a command to one link
  std::function<void(std::string_view)> sendToEvery;     // ... and to every scanner's link
};

// Every link hands what it receives here, and this knows which scanner the link carries. With
// one scanner ("多扫描仪" absent or not "1") every link feeds the first scanner's decoder, as the
// program always did. With several, each link that carries a scanner gets a road of its own: the
// first scanner (the first link with a pose, serial port first; without any pose, the first link
// that delivers bytes) goes through the main window's decoder, with the single touch, the beams
// and the scan rate as before; each further scanner with a pose has a ScannerStream, a rate and a
// watchdog of its own. Links without a pose are ignored, once told to the log.
class ScannerSurface final : public ReceivedBytes {
 public:
  // Seconds without a turn before a further scanner counts as silent and is started again.
  static constexpr int kSilentTicks = 2;

  ScannerSurface(SurfaceControls controls, SurfaceRoad road, EventLoop& loop,
                 SettingsFile& mainSettings, ScannerBackgrounds& backgrounds);
  ScannerSurface(const ScannerSurface&) = delete;
  ScannerSurface& operator=(const ScannerSurface&) = delete;

  // Where the first scanner stands as the window gives it, from now on: a pose of its own is
  // checked against it when the settings are read.
  void configure(const ScannerPlacement& placement) { placement_ = placement; }

  // Reads the settings (after the main window has loaded hers) for a network window of
  // `channels` channels.
  void load(int channels);
  bool several() const { return settings_.severalScanners; }
  // The link of the first scanner, once known.
  std::optional<LinkId> firstLink() const { return firstLink_; }
  std::size_t streams() const { return streams_.size(); }
  const ScannerStream& stream(std::size_t i) const { return *streams_.at(i); }

  void received(LinkId link, ByteSpan bytes) override;

  // A further scanner as the last second left it: its turns, whether it counts as silent, and
  // how often its watchdog started it again.
  struct StreamFigures {
    int turns = 0;
    bool silent = false;
    std::uint64_t restarts = 0;
  };
  StreamFigures figures(std::size_t i) const;

  // Once a second: each further scanner's rate and watchdog, and the label.
  void tick();
  // The first scanner's watchdog fired: with several scanners only it is started again, so that
  // the others go on.
  void restartFirst();
  // The start sequence ran: every further stream waits for its descriptor again.
  void resetSynchronisation();

  PoseCalibration& poseCalibration() { return poseCalibration_; }

 private:
  // A further scanner as the watchdog follows it.
  struct Watch {
    int silentTicks = 0;
    bool delivered = false;  // it has made turns since it was last started
    int lastTurns = 0;       // in the last second
    std::uint64_t restarts = 0;
  };

  void configureEngine();
  void showOtherScanners();
  void showScanners(const std::map<LinkId, int>& turns);
  void log(const std::string& entry);
  void recordPlace();
  void solvePoses();
  std::string linkOfScanner(std::size_t engineIndex) const;

  SurfaceControls controls_;
  SurfaceRoad road_;
  EventLoop& loop_;
  SettingsFile& mainSettings_;
  ScannerBackgrounds& backgrounds_;
  SurfaceSettings settings_;
  ScannerPlacement placement_;
  std::optional<LinkId> firstLink_;
  std::vector<std::unique_ptr<ScannerStream>> streams_;
  std::map<LinkId, Watch> watches_;
  std::set<LinkId> toldIgnored_;
  PoseCalibration poseCalibration_;
  bool recordWaits_ = false;
};

}  // namespace scantouch
