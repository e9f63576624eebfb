#include "scanners/scanner_surface.h"

#include <charconv>
#include <cmath>

#include "link/scanner_commands.h"

namespace scantouch {
namespace {

// One decimal, with a point whatever the process's locale.
std::string OneDecimal(double value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1);
  return result.ec == std::errc{} ? std::string(text, result.ptr) : std::string("?");
}

}  // namespace

ScannerSurface::ScannerSurface(SurfaceControls controls, SurfaceRoad road, EventLoop& loop,
                               SettingsFile& mainSettings, ScannerBackgrounds& backgrounds)
    : controls_(controls),
      road_(std::move(road)),
      loop_(loop),
      mainSettings_(mainSettings),
      backgrounds_(backgrounds),
      poseCalibration_(road_.engine) {
  road_.engine.addSink(poseCalibration_);
  road_.engine.sameStreamTwice.connect([this](std::size_t a, std::size_t b) {
    log("the scanners on " + linkOfScanner(a) + " and " + linkOfScanner(b) +
        " deliver the same stream: one scanner is connected twice");
  });
  controls_.recordPlace.clicked.connect([this] { recordPlace(); });
  controls_.solvePoses.clicked.connect([this] { solvePoses(); });
}

void ScannerSurface::load(int channels) {
  settings_ = ReadSurfaceSettings(mainSettings_, channels);
  if (!settings_.severalScanners) {
    controls_.scanners.setCaption("一台扫描仪");
    return;
  }
  if (!settings_.poses.empty())
    firstLink_ = settings_.poses.begin()->first;

  const PictureBox& view = controls_.view;
  for (const auto& [link, pose] : settings_.poses) {
    if (pose.x < 0 || pose.y < 0 || pose.x > view.scaleWidth() || pose.y > view.scaleHeight())
      log("the pose of the scanner on " + LinkName(link) + " (" + PoseText(pose) +
          ") places it outside the view");
  }
  for (const auto& [link, pose] : settings_.poses) {
    if (link != *firstLink_)
      streams_.push_back(
          std::make_unique<ScannerStream>(link, streams_.size() + 1, road_.engine, &backgrounds_));
  }
  if (!settings_.poses.empty()) {
    const Pose& first = settings_.poses.begin()->second;
    const std::optional<IntPair>& position = placement_.position;
    const double correction = placement_.angleCorrectionDegrees;
    if (!position || position->first != std::lround(first.x) ||
        position->second != std::lround(first.y) ||
        std::abs(correction - first.angleDegrees) > 0.05)
      log("the first scanner's pose differs from 雷达位置 and 角度校正: the beams and the single "
          "touch follow these, the several-touch engine its pose");
  }
  configureEngine();
  // The engine runs with several scanners whatever the outputs: the window shows their contacts.
  road_.holdEngine(true);
  showScanners({});
}

void ScannerSurface::configureEngine() {
  std::optional<Pose> first;
  if (firstLink_ && settings_.poses.contains(*firstLink_))
    first = settings_.poses.at(*firstLink_);
  std::vector<Pose> others;
  for (const auto& stream : streams_)
    others.push_back(settings_.poses.at(stream->link()));
  road_.engine.setScanners(first, others);
}

void ScannerSurface::received(LinkId link, ByteSpan bytes) {
  if (!settings_.severalScanners) {
    road_.first.feed(bytes);  // one scanner: every link feeds its decoder
    return;
  }
  if (!firstLink_)
    firstLink_ = link;  // no pose at all: the first link that speaks is the one scanner
  if (link == *firstLink_) {
    road_.first.feed(bytes);
    return;
  }
  for (const auto& stream : streams_) {
    if (stream->link() != link)
      continue;
    const std::uint64_t before = stream->turnsSeen();
    stream->feed(bytes, controls_.processing.isChecked(), road_.first.sensitivity());
    // The radar view shows whole turns: it changes when one ends.
    if (stream->turnsSeen() != before)
      showOtherScanners();
    return;
  }
  if (toldIgnored_.insert(link).second)
    log("the scanner on " + LinkName(link) + " has no pose: what it sends is ignored");
}

ScannerSurface::StreamFigures ScannerSurface::figures(std::size_t i) const {
  const auto watch = watches_.find(streams_.at(i)->link());
  if (watch == watches_.end())
    return {};
  return {watch->second.lastTurns, watch->second.silentTicks >= kSilentTicks,
          watch->second.restarts};
}

void ScannerSurface::showOtherScanners() {
  std::vector<RadarModel::OtherScanner> shown;
  for (const auto& stream : streams_) {
    RadarModel::OtherScanner scanner;
    const Pose pose = road_.engine.scannerPose(stream->engineIndex()).value_or(Pose{});
    scanner.x = static_cast<float>(pose.x);
    scanner.y = static_cast<float>(pose.y);
    scanner.points = stream->lastTurn();
    scanner.colourIndex = static_cast<int>(stream->engineIndex() - 1);
    scanner.silent = watches_[stream->link()].silentTicks >= kSilentTicks;
    shown.push_back(std::move(scanner));
  }
  road_.radar.showOtherScanners(std::move(shown));
}

void ScannerSurface::tick() {
  if (!settings_.severalScanners)
    return;
  std::map<LinkId, int> turns;
  for (const auto& stream : streams_) {
    const int made = stream->takeTurns();
    turns[stream->link()] = made;
    Watch& watch = watches_[stream->link()];
    watch.lastTurns = made;
    if (made > 0) {
      watch.silentTicks = 0;
      watch.delivered = true;
      continue;
    }
    ++watch.silentTicks;
    if (watch.silentTicks < kSilentTicks)
      continue;
    // A scanner that went silent is told once per silence; one that has not yet made a turn since
    // it was started (the program just started, its link is connecting) is only started again.
    // Either way it is started again every few seconds while the silence lasts.
    if (watch.silentTicks == kSilentTicks && watch.delivered)
      log("the scanner on " + LinkName(stream->link()) + " is silent: started again");
    if (watch.silentTicks == kSilentTicks)
      watch.delivered = false;
    if (watch.silentTicks % (2 * kSilentTicks) == kSilentTicks) {
      ++watch.restarts;
      stream->resetSynchronisation();
      road_.sendTo(stream->link(), commands::kScan);
    }
  }
  showScanners(turns);
  if (recordWaits_ && !poseCalibration_.recording()) {
    recordWaits_ = false;
    controls_.poseCalibration.setCaption(poseCalibration_.report());
  }
}

void ScannerSurface::showScanners(const std::map<LinkId, int>& turns) {
  std::string caption = firstLink_ ? LinkName(*firstLink_) + "：" + controls_.firstRate.caption()
                                   : "第一台扫描仪尚无数据";
  for (const auto& stream : streams_) {
    caption += "；" + LinkName(stream->link()) + "：";
    if (watches_[stream->link()].silentTicks >= kSilentTicks) {
      caption += "无数据";
    } else {
      const auto made = turns.find(stream->link());
      caption += OneDecimal(made == turns.end() ? 0 : made->second) + "圈/秒";
    }
  }
  controls_.scanners.setCaption(caption);
  if (!streams_.empty())
    showOtherScanners();
}

void ScannerSurface::restartFirst() {
  (void)controls_.log.insertItem(0, loop_.localDateTimeText() + ",启动");
  road_.first.resetSynchronisation();
  if (firstLink_) {
    road_.sendTo(*firstLink_, commands::kScan);
  } else {
    road_.sendToEvery(commands::kScan);
  }
}

void ScannerSurface::resetSynchronisation() {
  for (const auto& stream : streams_)
    stream->resetSynchronisation();
}

void ScannerSurface::recordPlace() {
  if (!settings_.severalScanners || streams_.empty()) {
    controls_.poseCalibration.setCaption("需要多扫描仪，且另一台扫描仪已有大致位姿");
    return;
  }
  if (!poseCalibration_.recordPlace())
    return;
  recordWaits_ = true;
  controls_.poseCalibration.setCaption("正在记录……请保持物体静止");
}

void ScannerSurface::solvePoses() {
  const std::vector<PoseCalibration::Solved> solved = poseCalibration_.solve();
  if (solved.empty()) {
    controls_.poseCalibration.setCaption("至少需要两个位置");
    return;
  }
  std::string caption;
  for (const PoseCalibration::Solved& result : solved) {
    const ScannerStream& stream = *streams_.at(result.scanner - 1);
    const std::string key = stream.link().serial()
                                ? std::string(surface_keys::kSerialPose)
                                : surface_keys::ChannelPoseKey(stream.link().channel);
    // The pose in force is the one the file holds, so that it is the same after a restart.
    const std::string stored = PoseText(result.fit.pose);
    settings_.poses[stream.link()] = ParsePose(stored).value_or(result.fit.pose);
    mainSettings_.write(surface_keys::kSection, key, stored);
    if (!caption.empty())
      caption += "；";
    caption += LinkName(stream.link()) + "：" + PoseText(result.fit.pose) + "，残差 " +
               OneDecimal(result.fit.residualRms) + " 毫米";
  }
  configureEngine();
  controls_.poseCalibration.setCaption(caption);
}

std::string ScannerSurface::linkOfScanner(std::size_t engineIndex) const {
  if (engineIndex == 0)
    return firstLink_ ? LinkName(*firstLink_) : "?";
  for (const auto& stream : streams_) {
    if (stream->engineIndex() == engineIndex)
      return LinkName(stream->link());
  }
  return "?";
}

void ScannerSurface::log(const std::string& entry) {
  (void)controls_.log.addItem(entry);
}

}  // namespace scantouch
