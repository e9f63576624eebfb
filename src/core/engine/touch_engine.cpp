#include "touch_engine.h"

#include <cmath>
#include <numbers>

#include "common/pair.h"
#include "touch/touch_mapper.h"

namespace scantouch {
namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180;

TrackingRules RulesOf(const TouchEngineSettings& settings) {
  TrackingRules rules;
  rules.birthTurns = settings.birthTurns;
  rules.removalTurns = settings.removalTurns;
  rules.gateMm = settings.gateMm;
  rules.gapMm = settings.gapMm;
  rules.smoothing = settings.smoothing;
  return rules;
}

}  // namespace

TouchEngine::TouchEngine(EngineControls controls, EventLoop& loop)
    : controls_(controls), loop_(loop) {
  tracker_.setRules(RulesOf(settings_));
}

void TouchEngine::configure(const TouchEngineSettings& settings) {
  settings_ = settings;
  tracker_.setRules(RulesOf(settings_));
}

void TouchEngine::setRunning(bool running) {
  if (running == running_)
    return;
  running_ = running;
  reset();
}

void TouchEngine::addSink(TouchFrameSink& sink) {
  sinks_.push_back(&sink);
}

void TouchEngine::reset() {
  turn_.clear();
  turnOpen_ = false;
  lastAngle_.reset();
  suspectAngle_.reset();
  farHalfSeen_ = false;
  clock_.reset();
  tracker_.reset();
  frame_ = {};
}

bool TouchEngine::startsTurn(const PreciseScanNode& node) {
  const auto follows = [](double later, double earlier) {
    return std::fmod(later - earlier + 360.0, 360.0) < kLargestStep_degrees;
  };
  // From late in a turn to early in the next: where the scanner's own angle passes 0.
  const auto passesZero = [](double later, double earlier) { return earlier >= 270 && later < 90; };
  // The flag counts where it follows the sweep: damaged bytes make nodes with the flag near 0
  // anywhere in the turn.
  bool starts = node.startOfTurn && (!lastAngle_ || follows(node.scannerAngle, *lastAngle_));
  // Only measured nodes tell the way the sweep goes (a no-return node's angle wanders), and a
  // node far from the one before it counts only when the next one agrees: a node of damaged
  // bytes can carry any angle. A sweep that passes 0 without the flag lost its node.
  if (node.distance != 0) {
    const double angle = node.scannerAngle;
    if (!lastAngle_) {
      lastAngle_ = angle;
      suspectAngle_.reset();
    } else if (suspectAngle_ && follows(angle, *suspectAngle_)) {
      starts = starts || passesZero(*suspectAngle_, *lastAngle_);  // a gap, confirmed
      lastAngle_ = angle;
      suspectAngle_.reset();
    } else if (follows(angle, *lastAngle_)) {
      starts = starts || passesZero(angle, *lastAngle_);
      lastAngle_ = angle;
      suspectAngle_.reset();
    } else {
      suspectAngle_ = angle;
    }
  }
  if (lastAngle_ && !suspectAngle_ && *lastAngle_ >= 90 && *lastAngle_ < 270)
    farHalfSeen_ = true;
  // A turn is not over before the sweep has been to its far half.
  if (!starts || !farHalfSeen_)
    return false;
  farHalfSeen_ = false;
  if (node.distance != 0) {
    lastAngle_ = node.scannerAngle;
    suspectAngle_.reset();
  }
  return true;
}

void TouchEngine::processPreciseNode(const PreciseScanNode& node, std::int16_t sensitivity) {
  if (!running_)
    return;
  ++nodes_;
  // The nodes before the first start are a part of a turn, and make none.
  if (startsTurn(node)) {
    if (turnOpen_)
      endTurn();
    else
      turn_.clear();
    turnOpen_ = true;
  }
  const double place = turn_.nodes++;
  if (node.distance == 0 || node.quality <= sensitivity)
    return;

  const double radians = node.angle * kRadiansPerDegree;
  const double x = controls_.scannerMarker.centreX() + node.distance * std::sin(radians);
  const double y = controls_.scannerMarker.centreY() - node.distance * std::cos(radians);
  // The hit rule of the single-touch road: inside the touch rectangle, outside the scanner's own
  // square.
  if (controls_.touchRect.containsStrictly(x, y) &&
      !controls_.scannerMarker.containsStrictly(x, y)) {
    turn_.hits.push_back(TurnHit{x, y, turn_.missAtEnd, place});
    turn_.missAtEnd = false;
  } else {
    turn_.missAtEnd = true;
  }
}

void TouchEngine::endTurn() {
  ++turns_;
  const std::int64_t now_ms = loop_.nowMs();
  const double turn_s = clock_.turnEnded(now_ms);
  const std::vector<TouchObject> objects = GroupHits(turn_, settings_.gapMm);
  turn_.clear();
  const TrackerUpdate& update = tracker_.update(objects, turn_s, now_ms);

  frame_.timeMs = now_ms;
  frame_.live.clear();
  frame_.removed.clear();
  frame_.born = update.born;
  // The screen area as the boxes hold it now, read once for all contacts of the turn.
  const ScreenArea screen{ParsePair(controls_.screenSize.text()).value_or(IntPair{}),
                          ParsePair(controls_.screenTopLeft.text()).value_or(IntPair{})};
  for (const TrackedContact& tracked : update.live)
    frame_.live.push_back(publish(tracked, screen));
  for (const TrackedContact& tracked : update.removed)
    frame_.removed.push_back(publish(tracked, screen));
  for (TouchFrameSink* sink : sinks_)
    sink->onTouchFrame(frame_);
}

Contact TouchEngine::publish(const TrackedContact& tracked, const ScreenArea& screen) const {
  const Shape& rect = controls_.touchRect;
  const double width = rect.width();
  const double height = rect.height();
  Contact contact;
  contact.sessionId = tracked.sessionId;
  contact.cursorId = tracked.cursorId;
  contact.bornMs = tracked.born_ms;
  contact.x = tracked.x;
  contact.y = tracked.y;
  const double offsetX = tracked.x - rect.left();
  const double offsetY = tracked.y - rect.top();
  if (width > 0 && height > 0) {
    contact.u = offsetX / width;
    contact.v = offsetY / height;
    contact.velocityU = tracked.velocityX / width;
    contact.velocityV = tracked.velocityY / height;
    contact.acceleration = tracked.acceleration / width;
  }
  // The pixel as the single-touch road maps a touch: the offset in whole view units, rounded
  // half away from zero as its text is written.
  const IntPair offset{static_cast<std::int32_t>(std::round(offsetX)),
                       static_cast<std::int32_t>(std::round(offsetY))};
  contact.screen =
      MapOffsetToScreen(offset, screen.size, screen.topLeft, rect.width(), rect.height());
  return contact;
}

}  // namespace scantouch
