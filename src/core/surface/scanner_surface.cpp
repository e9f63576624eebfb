#include "surface/scanner_surface.h"

#include <cmath>
#include <cstdio>

#include "common/numeric_value.h"

namespace scantouch {

class ScannerSurface::Router final : public ReceivedBytes {
 public:
  explicit Router(ScannerSurface& surface) : surface_(surface) {}
  void received(LinkId link, ByteSpan bytes) override { surface_.received(link, bytes); }

 private:
  ScannerSurface& surface_;
};

namespace {

std::string OneDecimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

}  // namespace

ScannerSurface::ScannerSurface(MainForm& form, EventLoop& loop, SerialLink& serial,
                               NetworkForm& network, ScannerCommands& commands,
                               SettingsFile& mainSettings)
    : form_(form),
      loop_(loop),
      serial_(serial),
      network_(network),
      commands_(commands),
      mainSettings_(mainSettings),
      router_(std::make_unique<Router>(*this)),
      poseCalibration_(form.engine()) {
  form_.engine().addSink(poseCalibration_);
  form_.engine().sameStreamTwice.connect([this](std::size_t a, std::size_t b) {
    log("the scanners on " + linkOfScanner(a) + " and " + linkOfScanner(b) +
        " deliver the same stream: one scanner is connected twice");
  });
  form_.CMD记录位姿点.clicked.connect([this] { recordPlace(); });
  form_.CMD计算位姿.clicked.connect([this] { solvePoses(); });
}

ScannerSurface::~ScannerSurface() {
  serial_.setReceiver(nullptr);
  network_.setReceiver(nullptr);
}

void ScannerSurface::load() {
  settings_ = ReadSurfaceSettings(mainSettings_, network_.channelCount());
  if (!settings_.severalScanners) {
    form_.LBL扫描仪.setCaption("一台扫描仪");
    return;
  }
  serial_.setReceiver(router_.get());
  network_.setReceiver(router_.get());
  commands_.setEveryChannel(true);
  if (!settings_.poses.empty())
    firstLink_ = settings_.poses.begin()->first;

  const PictureBox& view = form_.PICYL;
  for (const auto& [link, pose] : settings_.poses) {
    if (pose.x < 0 || pose.y < 0 || pose.x > view.scaleWidth() || pose.y > view.scaleHeight())
      log("the pose of the scanner on " + LinkName(link) + " (" + PoseText(pose) +
          ") places it outside the view");
  }
  for (const auto& [link, pose] : settings_.poses) {
    if (link != *firstLink_)
      streams_.push_back(
          std::make_unique<ScannerStream>(link, streams_.size() + 1, form_.engine()));
  }
  if (!settings_.poses.empty()) {
    const Pose& first = settings_.poses.begin()->second;
    const auto position = ParsePair(form_.txt雷达位置.text());
    const double correction = NumericValue(form_.txt角度校正.text());
    if (!position || position->first != std::lround(first.x) ||
        position->second != std::lround(first.y) ||
        std::abs(correction - first.angleDegrees) > 0.05)
      log("the first scanner's pose differs from 雷达位置 and 角度校正: the beams and the single "
          "touch follow these, the several-touch engine its pose");
  }
  configureEngine();
  // The engine runs with several scanners whatever the outputs: the window shows their contacts.
  form_.holdEngine(true);
  tick();
}

void ScannerSurface::configureEngine() {
  std::optional<Pose> first;
  if (firstLink_ && settings_.poses.contains(*firstLink_))
    first = settings_.poses.at(*firstLink_);
  std::vector<Pose> others;
  for (const auto& stream : streams_)
    others.push_back(settings_.poses.at(stream->link()));
  form_.engine().setScanners(first, others);
}

void ScannerSurface::received(LinkId link, ByteSpan bytes) {
  if (!firstLink_)
    firstLink_ = link;  // no pose at all: the first link that speaks is the one scanner
  if (link == *firstLink_) {
    form_.decoder().feed(bytes);
    return;
  }
  for (const auto& stream : streams_) {
    if (stream->link() != link)
      continue;
    const std::uint64_t before = stream->turnsSeen();
    stream->feed(bytes, form_.CHK处理.isChecked(), form_.decoder().sensitivity());
    // The radar view shows whole turns: it changes when one ends.
    if (stream->turnsSeen() != before)
      showOtherScanners();
    return;
  }
  if (toldIgnored_.insert(link).second)
    log("the scanner on " + LinkName(link) + " has no pose: what it sends is ignored");
}

void ScannerSurface::showOtherScanners() {
  std::vector<RadarModel::OtherScanner> shown;
  for (const auto& stream : streams_) {
    RadarModel::OtherScanner scanner;
    const Pose pose = form_.engine().scannerPose(stream->engineIndex()).value_or(Pose{});
    scanner.x = static_cast<float>(pose.x);
    scanner.y = static_cast<float>(pose.y);
    scanner.points = stream->lastTurn();
    scanner.colourIndex = static_cast<int>(stream->engineIndex() - 1);
    scanner.silent = silentTicks_[stream->link()] >= kSilentTicks;
    shown.push_back(std::move(scanner));
  }
  form_.radar().showOtherScanners(std::move(shown));
}

void ScannerSurface::tick() {
  if (!settings_.severalScanners)
    return;
  std::string caption =
      firstLink_ ? LinkName(*firstLink_) + "：" + form_.Label4.caption() : "第一台扫描仪尚无数据";
  for (const auto& stream : streams_) {
    const int turns = stream->takeTurns();
    int& silent = silentTicks_[stream->link()];
    silent = turns > 0 ? 0 : silent + 1;
    caption += "；" + LinkName(stream->link()) + "：";
    if (silent >= kSilentTicks) {
      caption += "无数据";
      // Told once per silence, and started again every few seconds while it lasts.
      if (silent == kSilentTicks)
        log("the scanner on " + LinkName(stream->link()) + " is silent: started again");
      if (silent % (2 * kSilentTicks) == kSilentTicks) {
        stream->resetSynchronisation();
        commands_.sendTo(stream->link(), commands::kScan);
      }
    } else {
      caption += OneDecimal(turns) + "圈/秒";
    }
  }
  form_.LBL扫描仪.setCaption(caption);
  if (!streams_.empty())
    showOtherScanners();
  if (recordWaits_ && !poseCalibration_.recording()) {
    recordWaits_ = false;
    form_.LBL位姿标定.setCaption(poseCalibration_.report());
  }
}

void ScannerSurface::restartFirst() {
  (void)form_.List1.insertItem(0, loop_.localDateTimeText() + ",启动");
  form_.decoder().resetSynchronisation();
  if (firstLink_) {
    commands_.sendTo(*firstLink_, commands::kScan);
  } else {
    commands_.sendScannerCommand(commands::kScan);
  }
}

void ScannerSurface::resetSynchronisation() {
  for (const auto& stream : streams_)
    stream->resetSynchronisation();
}

void ScannerSurface::recordPlace() {
  if (!settings_.severalScanners || streams_.empty()) {
    form_.LBL位姿标定.setCaption("需要多扫描仪，且另一台扫描仪已有大致位姿");
    return;
  }
  if (!poseCalibration_.recordPlace())
    return;
  recordWaits_ = true;
  form_.LBL位姿标定.setCaption("正在记录……请保持物体静止");
}

void ScannerSurface::solvePoses() {
  const std::vector<PoseCalibration::Solved> solved = poseCalibration_.solve();
  if (solved.empty()) {
    form_.LBL位姿标定.setCaption("至少需要两个位置");
    return;
  }
  std::string caption;
  for (const PoseCalibration::Solved& result : solved) {
    const ScannerStream& stream = *streams_.at(result.scanner - 1);
    const std::string key = stream.link().serial()
                                ? std::string(surface_keys::kSerialPose)
                                : surface_keys::ChannelPoseKey(stream.link().channel);
    settings_.poses[stream.link()] = result.fit.pose;
    mainSettings_.write(surface_keys::kSection, key, PoseText(result.fit.pose));
    if (!caption.empty())
      caption += "；";
    caption += LinkName(stream.link()) + "：" + PoseText(result.fit.pose) + "，残差 " +
               OneDecimal(result.fit.residualRms) + " 毫米";
  }
  configureEngine();
  form_.LBL位姿标定.setCaption(caption);
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
  (void)form_.List1.addItem(entry);
}

}  // namespace scantouch
