#include "scanners/scanner_backgrounds.h"

#include <charconv>
#include <ctime>

#include "config/touch_engine_section.h"

namespace scantouch {
namespace {

// How often a run looks at the clock: its end comes at most this late.
constexpr std::int64_t kCheck_ms = 100;

std::string ScannerName(std::size_t index) {
  return "扫描仪" + std::to_string(index + 1);
}

}  // namespace

std::string LocalMinuteText(std::int64_t wallClockMs) {
  const std::time_t seconds = static_cast<std::time_t>(wallClockMs / 1000);
  const std::tm* local = std::localtime(&seconds);
  if (local == nullptr)
    return "?";
  char text[32];
  return std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", local) > 0 ? std::string(text)
                                                                       : std::string("?");
}

ScannerBackgrounds::ScannerBackgrounds(BackgroundControls controls, BackgroundRoad road,
                                       EventLoop& loop, SettingsFile& mainSettings,
                                       FileAccess& files, const ExecutableDirectory& directory)
    : controls_(controls),
      road_(road),
      loop_(loop),
      mainSettings_(mainSettings),
      files_(files),
      directory_(directory) {
  controls_.learn.clicked.connect([this] { learn(kButtonSeconds); });
  controls_.clear.clicked.connect([this] { clear(); });
}

void ScannerBackgrounds::configure(const ScannerPlacement& placement) {
  placement_ = placement;
  showOutlines();
}

std::string ScannerBackgrounds::filePath(std::size_t index) const {
  std::string name = kFileName;
  if (index > 0)
    name.insert(name.size() - 4, std::to_string(index + 1));  // 扫描背景2.txt
  return directory_.path() + "/" + name;
}

void ScannerBackgrounds::load(std::size_t scanners) {
  scanners_.assign(scanners, Scanner{});
  for (std::size_t i = 0; i < scanners_.size(); ++i)
    readFile(i);
  updateListening();
  showStatus();
  if (const std::optional<int> seconds = secondsAtStart()) {
    log("learning the background at start, for " + std::to_string(*seconds) + " s");
    learn(*seconds);
  }
}

std::optional<int> ScannerBackgrounds::secondsAtStart() {
  const std::string text =
      mainSettings_.read(touch_engine_keys::kSection, background_keys::kLearnAtStart);
  if (text.empty())
    return std::nullopt;
  int seconds = -1;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  if (error != std::errc{} || end != text.data() + text.size() || seconds < 0 ||
      seconds > kMostSeconds) {
    mainSettings_.reportUnusable(touch_engine_keys::kSection, background_keys::kLearnAtStart,
                                 "seconds 0.." + std::to_string(kMostSeconds) +
                                     " are wanted: no background is learned at start");
    return std::nullopt;
  }
  return seconds > 0 ? std::optional<int>(seconds) : std::nullopt;
}

void ScannerBackgrounds::readFile(std::size_t index) {
  Scanner& scanner = scanners_[index];
  const std::string path = filePath(index);
  if (!files_.exists(path))
    return;
  const std::optional<std::string> text = files_.readAll(path);
  ReadBackground read = text ? ParseBackground(*text) : ReadBackground{std::nullopt, "unreadable"};
  if (!read.background) {
    log("cannot use the background file " + path + " (" + read.error +
        "): no background is used for " + ScannerName(index) + " until it is learned again");
    scanner.note = "背景文件不可用（" + read.error + "），请重新学习";
    return;
  }
  scanner.waiting = std::move(read.background);
}

void ScannerBackgrounds::learn(int seconds) {
  if (scanners_.empty() || seconds <= 0)
    return;
  seconds_ = seconds;
  requested_ms_ = loop_.nowMs();
  for (Scanner& scanner : scanners_) {
    scanner.run.emplace();
    scanner.note.clear();
  }
  learning_ = true;
  if (!checkTimer_)
    checkTimer_ = loop_.startTimer(kCheck_ms, [this] { checkRuns(); });
  updateListening();
  showStatus();
}

void ScannerBackgrounds::clear() {
  for (std::size_t i = 0; i < scanners_.size(); ++i) {
    Scanner& scanner = scanners_[i];
    scanner.run.reset();
    scanner.waiting.reset();
    scanner.note.clear();
    install(i, std::nullopt);
    if (!files_.remove(filePath(i)))
      log("cannot remove the background file " + filePath(i));
  }
  learning_ = false;
  updateListening();
  showStatus();
  log("background cleared");
}

void ScannerBackgrounds::take(std::size_t index, const PreciseScanNode& node) {
  if (index >= scanners_.size())
    return;
  Scanner& scanner = scanners_[index];
  if (scanner.waiting)
    checkWaiting(scanner, index, node);
  if (!scanner.run)
    return;
  Run& run = *scanner.run;
  if (!run.started_ms) {
    // From the start of a turn that follows a whole one: the sweep is found and turning.
    if (!(node.startsTurn && node.wholeTurnEnds))
      return;
    run.started_ms = loop_.nowMs();
    run.lastWholeTurn_ms = *run.started_ms;
  } else if (node.startsTurn && node.wholeTurnEnds) {
    run.lastWholeTurn_ms = loop_.nowMs();
  }
  run.learning.take(node.scannerAngle, node.distance, node.startsTurn, node.wholeTurnEnds);
}

void ScannerBackgrounds::checkWaiting(Scanner& scanner, std::size_t index,
                                      const PreciseScanNode& node) {
  if (!node.startsTurn) {
    ++scanner.turnNodes;
    return;
  }
  const std::uint32_t nodes = scanner.turnNodes;
  scanner.turnNodes = 1;
  if (!node.wholeTurnEnds || nodes == 0)
    return;
  const double step = 360.0 / nodes;
  if (scanner.waiting->fits(step)) {
    install(index, std::move(scanner.waiting));
  } else {
    log("the background file " + filePath(index) + " was learned at another angular step (" +
        std::to_string(scanner.waiting->directions().size()) + " directions a turn, the scanner " +
        "measures " + std::to_string(nodes) + "): no background is used for " + ScannerName(index) +
        " until it is learned again");
    scanner.note = "背景文件的角分辨率与扫描仪不同，请重新学习";
  }
  scanner.waiting.reset();
  updateListening();
  showStatus();
}

void ScannerBackgrounds::checkRuns() {
  const std::int64_t now = loop_.nowMs();
  for (std::size_t i = 0; i < scanners_.size(); ++i) {
    const std::optional<Run>& run = scanners_[i].run;
    if (!run)
      continue;
    if (!run->started_ms) {
      if (now - requested_ms_ >= seconds_ * 1000LL + kStopped_ms)
        finish(i, "it made no turn");
    } else if (now - run->lastWholeTurn_ms > kStopped_ms) {
      finish(i, "its stream stopped");
    } else if (now - *run->started_ms >= seconds_ * 1000LL) {
      finish(i, "");
    }
  }
}

void ScannerBackgrounds::finish(std::size_t index, const std::string& abandonedBecause) {
  Scanner& scanner = scanners_[index];
  std::optional<LearnedBackground> learned;
  if (abandonedBecause.empty())
    learned = scanner.run->learning.finish(loop_.wallClockMs());
  scanner.run.reset();
  if (!learned) {
    const std::string why = abandonedBecause.empty() ? "too few whole turns" : abandonedBecause;
    log("learning the background of " + ScannerName(index) + " abandoned (" + why +
        "): the background it had stays");
    scanner.note = "学习中断（扫描仪无数据），沿用原背景";
  } else {
    const std::string path = filePath(index);
    if (!files_.replace(path, BackgroundText(*learned)))
      log("cannot write the background file " + path + ": the background is used until the end");
    log("background of " + ScannerName(index) +
        " learned: " + std::to_string(learned->directions().size()) + " directions, " +
        std::to_string(learned->unsteady()) + " unsteady");
    scanner.waiting.reset();
    install(index, std::move(learned));
  }
  bool anyRun = false;
  for (const Scanner& each : scanners_)
    anyRun = anyRun || each.run.has_value();
  if (!anyRun) {
    learning_ = false;
    if (checkTimer_)
      loop_.stopTimer(*checkTimer_);
    checkTimer_.reset();
  }
  updateListening();
  showStatus();
}

void ScannerBackgrounds::install(std::size_t index, std::optional<LearnedBackground> background) {
  Scanner& scanner = scanners_[index];
  scanner.inForce = std::move(background);
  road_.engine.setBackground(index, scanner.inForce);
  if (index == 0)
    road_.first.setBackground(scanner.inForce);
  showOutlines();
}

void ScannerBackgrounds::updateListening() {
  bool listening = false;
  for (const Scanner& scanner : scanners_)
    listening = listening || scanner.run || scanner.waiting;
  if (listening == listening_ && learning_ == toldLearning_)
    return;
  listening_ = listening;
  toldLearning_ = learning_;
  changed.notify();
}

void ScannerBackgrounds::showStatus() {
  std::string caption;
  for (std::size_t i = 0; i < scanners_.size(); ++i) {
    const Scanner& scanner = scanners_[i];
    if (!caption.empty())
      caption += "；";
    if (scanners_.size() > 1)
      caption += ScannerName(i) + "：";
    if (scanner.run) {
      caption += "正在学习背景，请离开触控区域";
      continue;
    }
    if (scanner.inForce) {
      caption += "背景学习于 " + LocalMinuteText(scanner.inForce->learnedAtMs()) + "，" +
                 std::to_string(scanner.inForce->unsteady()) + " 个方向不稳定";
    } else if (scanner.waiting) {
      caption += "背景待扫描仪确认";
    } else {
      caption += "未学习背景";
    }
    if (!scanner.note.empty())
      caption += "（" + scanner.note + "）";
  }
  controls_.status.setCaption(caption);
}

void ScannerBackgrounds::showOutlines() {
  std::vector<std::vector<std::array<float, 2>>> outlines;
  const double correction = placement_.angleCorrectionDegrees;
  for (std::size_t i = 0; i < scanners_.size(); ++i) {
    const std::optional<LearnedBackground>& background = scanners_[i].inForce;
    if (!background || i >= road_.engine.scannerCount())
      continue;
    // A scanner at a pose measures from its own zero; the first without one turns by the
    // correction, as its beams do.
    const double turn = road_.engine.scannerPose(i) ? 0 : correction;
    std::vector<std::array<float, 2>>& outline = outlines.emplace_back();
    const double step = background->stepDegrees();
    for (std::size_t d = 0; d < background->directions().size(); ++d) {
      const auto distance = background->directions()[d].distanceMm;
      if (distance == 0)
        continue;
      const PlanePoint at = road_.engine.surfacePoint(i, static_cast<double>(d) * step + turn,
                                                      static_cast<double>(distance));
      outline.push_back({static_cast<float>(at.x), static_cast<float>(at.y)});
    }
  }
  road_.radar.showOutlines(std::move(outlines));
}

void ScannerBackgrounds::log(const std::string& entry) {
  (void)controls_.log.addItem(entry);
}

}  // namespace scantouch
