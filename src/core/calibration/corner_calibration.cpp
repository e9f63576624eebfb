#include "calibration/corner_calibration.h"

#include <cmath>

#include "scanners/surface_settings.h"

namespace scantouch {
namespace {

constexpr const char* kCornerNames[4] = {"左上角", "右上角", "右下角", "左下角"};

std::string InForce(const SurfaceMapping& mapping) {
  return mapping.perspective() ? "四角标定：" + CornersText(*mapping.corners()) : "两角标定";
}

}  // namespace

CornerCalibration::CornerCalibration(CornerCalibrationControls controls, EventLoop& loop,
                                     SettingsFile& file, SurfaceMapping& mapping)
    : c_(controls), loop_(loop), file_(file), mapping_(mapping) {
  c_.start.clicked.connect([this] { start(); });
  c_.twoCorners.clicked.connect([this] {
    if (active()) {
      c_.status.setCaption("两角标定未执行：四角标定正在进行，等待" +
                           std::string(kCornerNames[corner()]));
      return;
    }
    (void)mapping_.setCorners(std::nullopt);
    file_.write(surface_keys::kSection, surface_keys::kFourCorners, "");
    c_.status.setCaption(InForce(mapping_));
  });
}

CornerCalibration::~CornerCalibration() {
  stopTimer();
}

void CornerCalibration::load() {
  (void)mapping_.setCorners(ReadFourCorners(file_));
  c_.status.setCaption(InForce(mapping_));
}

void CornerCalibration::start() {
  if (active())
    return;
  if (busyElsewhere_ && busyElsewhere_()) {
    c_.status.setCaption("四角标定未开始：另一个标定正在进行");
    return;
  }
  const auto size = ParsePair(c_.screenSize.text());
  const auto topLeft = ParsePair(c_.screenTopLeft.text());
  if (!size || !topLeft || size->first <= 0 || size->second <= 0) {
    c_.status.setCaption("四角标定未开始：屏幕宽高无效");
    return;
  }
  areaSize_ = *size;
  areaTopLeft_ = *topLeft;
  lastTouched_.reset();
  // The start may come from a touch (the button pressed through the scanner): the first corner,
  // too, waits for the touches to pause.
  lastSeen_ms_ = loop_.nowMs();
  showCorner(0);
}

void CornerCalibration::cancel() {
  if (active())
    stop("四角标定已取消，" + InForce(mapping_) + " 不变");
}

ScreenPoint CornerCalibration::mark() const {
  const int c = corner();
  const bool right = c == 1 || c == 2;
  const bool bottom = c == 2 || c == 3;
  return ScreenPoint{areaTopLeft_.first + (right ? areaSize_.first - 1 : 0),
                     areaTopLeft_.second + (bottom ? areaSize_.second - 1 : 0)};
}

bool CornerCalibration::takeTouch(PlanePoint surface) {
  if (!active())
    return false;
  const std::int64_t now = loop_.nowMs();
  // A corner is a new hand: touches must have paused since the one before (the hand was lifted),
  // and it must be away from the last corner (a hand held still is reported once).
  const bool paused = now - lastSeen_ms_ >= kSettle_ms;
  lastSeen_ms_ = now;
  if (!paused)
    return true;
  if (lastTouched_ &&
      std::hypot(surface.x - lastTouched_->x, surface.y - lastTouched_->y) < kSameHand_units)
    return true;
  touched_[static_cast<std::size_t>(*corner_)] = surface;
  lastTouched_ = surface;
  if (*corner_ == 3) {
    finish();
  } else {
    showCorner(*corner_ + 1);
  }
  return true;
}

void CornerCalibration::showCorner(int corner) {
  corner_ = corner;
  prompt_ = "请触摸屏幕" + std::string(kCornerNames[corner]) + "的标记（" +
            std::to_string(corner + 1) + "/4），按 Esc 或“取消”退出";
  c_.status.setCaption("四角标定：等待" + std::string(kCornerNames[corner]));
  stopTimer();
  timer_ = loop_.startTimer(kCornerTimeout_ms, [this] {
    stop("四角标定失败：" + std::string(kCornerNames[this->corner()]) + "没有触摸，" +
         InForce(mapping_) + " 不变");
  });
  changed.notify();
}

void CornerCalibration::finish() {
  // The corners as the file holds them, rounded: what is taken now is what the next start reads,
  // and three touches nearly in a line may no longer bound a convex quadrilateral once rounded.
  const std::string text = CornersText(touched_);
  const std::optional<SurfaceMapping::Corners> stored = ParseCorners(text);
  SurfaceMapping candidate;
  if (!stored || !candidate.setCorners(*stored)) {
    stop("四角标定失败：四个触摸点不构成凸四边形，" + InForce(mapping_) + " 不变");
    return;
  }
  (void)mapping_.setCorners(stored);
  file_.write(surface_keys::kSection, surface_keys::kFourCorners, text);
  stop(InForce(mapping_));
}

bool CornerCalibration::refuseOtherCalibration() {
  if (!active())
    return false;
  c_.status.setCaption("两角标定未开始：四角标定正在进行，等待" +
                       std::string(kCornerNames[corner()]));
  return true;
}

void CornerCalibration::stop(const std::string& status) {
  stopTimer();
  corner_.reset();
  prompt_.clear();
  c_.status.setCaption(status);
  changed.notify();
}

void CornerCalibration::stopTimer() {
  if (timer_)
    loop_.stopTimer(*timer_);
  timer_.reset();
}

}  // namespace scantouch
