#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "app/main_form.h"
#include "config/settings_file.h"
#include "link/network_form.h"
#include "link/received_bytes.h"
#include "link/scanner_commands.h"
#include "link/serial_link.h"
#include "pose_calibration.h"
#include "scanner_stream.h"
#include "surface_settings.h"

namespace scantouch {

// Several scanners as one surface, when the settings ask for it ("多扫描仪" = "1"): each link
// that carries a scanner gets a stream of its own. The first scanner (the first link with a pose,
// serial port first; without any pose, the first link that delivers bytes) goes through the main
// window's decoder, with the single touch, the beams and the scan rate as before; each further
// scanner with a pose has a ScannerStream, a rate and a watchdog of its own. Links without a pose
// are ignored, once told to the log. Without the setting this class changes nothing.
class ScannerSurface {
 public:
  // Seconds without a turn before a further scanner counts as silent and is started again.
  static constexpr int kSilentTicks = 2;

  ScannerSurface(MainForm& form, EventLoop& loop, SerialLink& serial, NetworkForm& network,
                 ScannerCommands& commands, SettingsFile& mainSettings);
  ~ScannerSurface();
  ScannerSurface(const ScannerSurface&) = delete;
  ScannerSurface& operator=(const ScannerSurface&) = delete;

  // Reads the settings (after the main window has loaded hers) and takes the links over.
  void load();
  bool several() const { return settings_.severalScanners; }
  // The link of the first scanner, once known.
  std::optional<LinkId> firstLink() const { return firstLink_; }
  std::size_t streams() const { return streams_.size(); }
  const ScannerStream& stream(std::size_t i) const { return *streams_.at(i); }

  // Once a second: each further scanner's rate and watchdog, and the label.
  void tick();
  // The first scanner's watchdog fired: with several scanners only it is started again, so that
  // the others go on.
  void restartFirst();
  // The start sequence ran: every further stream waits for its descriptor again.
  void resetSynchronisation();

  PoseCalibration& poseCalibration() { return poseCalibration_; }

 private:
  class Router;
  void received(LinkId link, ByteSpan bytes);
  void configureEngine();
  void showOtherScanners();
  void log(const std::string& entry);
  void recordPlace();
  void solvePoses();
  std::string linkOfScanner(std::size_t engineIndex) const;

  MainForm& form_;
  EventLoop& loop_;
  SerialLink& serial_;
  NetworkForm& network_;
  ScannerCommands& commands_;
  SettingsFile& mainSettings_;
  std::unique_ptr<Router> router_;
  SurfaceSettings settings_;
  std::optional<LinkId> firstLink_;
  std::vector<std::unique_ptr<ScannerStream>> streams_;
  std::map<LinkId, int> silentTicks_;
  std::map<LinkId, double> rates_;
  std::set<LinkId> toldIgnored_;
  PoseCalibration poseCalibration_;
  bool recordWaits_ = false;
};

}  // namespace scantouch
