#include "engine/touch_engine.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numbers>

#include "engine/object_merge.h"
#include "geometry/screen_scaling.h"
#include "geometry/touch_offset.h"

namespace scantouch {
namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180;
constexpr std::uint64_t kFnvBasis = 14695981039346656037ull;
constexpr std::uint64_t kFnvPrime = 1099511628211ull;

std::uint64_t Mixed(std::uint64_t hash, std::uint64_t value) {
  for (int byte = 0; byte < 8; ++byte) {
    hash = (hash ^ ((value >> (8 * byte)) & 0xFF)) * kFnvPrime;
  }
  return hash;
}

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

TouchEngine::TouchEngine(EventLoop& loop) : loop_(loop) {
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
  for (Scanner& scanner : scanners_) {
    const std::optional<Pose> pose = scanner.pose;
    scanner = Scanner{};
    scanner.pose = pose;
  }
  tracker_.reset();
  frame_ = {};
}

void TouchEngine::setScanners(std::optional<Pose> first, const std::vector<Pose>& others) {
  scanners_.assign(1 + others.size(), Scanner{});
  scanners_[0].pose = first;
  for (std::size_t i = 0; i < others.size(); ++i)
    scanners_[i + 1].pose = others[i];
  reset();
}

bool TouchEngine::scannerAlive(std::size_t index) const {
  const Scanner& scanner = scanners_.at(index);
  return scanner.ended_ms && loop_.nowMs() - *scanner.ended_ms <= kSilentAfter_ms;
}

void TouchEngine::configure(const ViewShapes& shapes) {
  shapes_ = shapes;
  const ViewRect& rect = shapes.touchRect;
  const double cx = shapes.scannerMarker.centreX();
  const double cy = shapes.scannerMarker.centreY();
  const double left = rect.left;
  const double top = rect.top;
  const double right = left + rect.width;
  const double bottom = top + rect.height;
  touchReach_ = std::hypot(std::max(std::abs(left - cx), std::abs(right - cx)),
                           std::max(std::abs(top - cy), std::abs(bottom - cy))) +
                1;
  // Shapes that are no numbers: no distance is beyond them, every node is worked out.
  if (!std::isfinite(left + right + top + bottom + cx + cy))
    touchReach_ = std::numeric_limits<double>::quiet_NaN();
}

PlanePoint TouchEngine::surfacePoint(std::size_t index, double angle, double distance) const {
  const Scanner& scanner = scanners_.at(index);
  const double radians = angle * kRadiansPerDegree;
  // The view's axes: x to the right, y downwards, angle 0 straight up and growing clockwise.
  const PlanePoint local{distance * std::sin(radians), -distance * std::cos(radians)};
  if (scanner.pose)
    return toSurface(*scanner.pose, local);
  return PlanePoint{shapes_.scannerMarker.centreX() + local.x,
                    shapes_.scannerMarker.centreY() + local.y};
}

void TouchEngine::processPreciseNode(const PreciseScanNode& node, std::int16_t sensitivity) {
  take(0, node, sensitivity);
}

void TouchEngine::processScannerNode(std::size_t index, const PreciseScanNode& node,
                                     std::int16_t sensitivity) {
  if (index == 0 || index >= scanners_.size())
    return;
  take(index, node, sensitivity);
}

void TouchEngine::take(std::size_t index, const PreciseScanNode& node, std::int16_t sensitivity) {
  if (!running_)
    return;
  ++nodes_;
  Scanner& scanner = scanners_[index];
  const std::optional<MissingStretch> missing = missingBefore(scanner, node);
  if (missing)
    scanner.missing.push_back(*missing);
  // Where a turn begins is the sweep's to say. A turn that was no whole turn of a sweep (the part
  // before the first beginning, what damaged bytes made) is dropped.
  if (node.startsTurn) {
    if (scanner.turnOpen && node.wholeTurnEnds)
      endTurn(index);
    else
      scanner.turn.clear();
    scanner.turnOpen = true;
    scanner.signature = kFnvBasis;
    scanner.measured = 0;
    // A stretch missing across the turn's start is missing in both turns.
    scanner.missing.clear();
    if (missing)
      scanner.missing.push_back(*missing);
  }
  TurnHits& turn = scanner.turn;
  const double place = turn.nodes++;
  if (node.distance == 0) {
    ++turn.noReturnsAtEnd;
    return;
  }
  if (scanners_.size() > 1) {
    // The node's values as they were received, bit for bit, whatever they hold.
    scanner.signature = Mixed(scanner.signature, static_cast<std::uint64_t>(node.distance));
    scanner.signature = Mixed(scanner.signature, std::bit_cast<std::uint64_t>(node.scannerAngle));
    ++scanner.measured;
  }
  // A sweep begins a turn within a bounded number of nodes; nodes handed over without one are kept
  // within the same bound.
  if (node.quality <= sensitivity || turn.hits.size() >= TurnFinder::kMostTurnNodes)
    return;

  if (!scanner.pose && node.distance > touchReach_) {
    turn.missAtEnd = true;  // beyond every corner of the touch rectangle: a miss, as below
    turn.noReturnsAtEnd = 0;
    return;
  }
  // A scanner at a pose measures from its own zero; the first without one has its angles
  // corrected by the decoder.
  const PlanePoint at =
      surfacePoint(index, scanner.pose ? node.scannerAngle : node.angle, node.distance);
  const bool onItself =
      scanner.pose ? std::abs(at.x - scanner.pose->x) < shapes_.scannerMarker.width / 2 &&
                         std::abs(at.y - scanner.pose->y) < shapes_.scannerMarker.height / 2
                   : shapes_.scannerMarker.containsStrictly(at.x, at.y);
  // The hit rule of the single-touch road: inside the touch rectangle, outside the scanner's own
  // square.
  if (shapes_.touchRect.containsStrictly(at.x, at.y) && !onItself && !stillThing(index, node, at)) {
    turn.hits.push_back(
        TurnHit{at.x, at.y, turn.missAtEnd, place, surfacePoint(index, 0, 0), turn.noReturnsAtEnd});
    turn.missAtEnd = false;
  } else {
    turn.missAtEnd = true;
  }
  turn.noReturnsAtEnd = 0;
}

void TouchEngine::setBackground(std::size_t index, std::optional<LearnedBackground> background) {
  if (backgrounds_.size() <= index)
    backgrounds_.resize(index + 1);
  backgrounds_[index] = std::move(background);
}

bool TouchEngine::stillThing(std::size_t index, const PreciseScanNode& node,
                             const PlanePoint& at) const {
  if (Masked(settings_.masks, at.x, at.y))
    return true;
  // Learned at the scanner's own angles, before any correction.
  return index < backgrounds_.size() && backgrounds_[index] &&
         backgrounds_[index]->isBackground(node.scannerAngle, node.distance);
}

std::optional<TouchEngine::MissingStretch> TouchEngine::missingBefore(Scanner& scanner,
                                                                      const PreciseScanNode& node) {
  if (!node.followsSweep) {
    // A measured node away from the sweep came in place of one that was measured where the sweep
    // stood; a no-return node's angle merely wanders.
    if (node.distance != 0)
      scanner.nodesMissing = true;
    return std::nullopt;
  }
  const double angle = scanner.pose ? node.scannerAngle : node.angle;
  std::optional<MissingStretch> missing;
  if ((node.afterLoss || scanner.nodesMissing) && scanner.lastFollowing)
    missing = MissingStretch{*scanner.lastFollowing, angle};
  scanner.nodesMissing = false;
  scanner.lastFollowing = angle;
  return missing;
}

bool TouchEngine::missedAt(std::size_t index, double x, double y) const {
  const Scanner& scanner = scanners_.at(index);
  if (scanner.lastMissing.empty())
    return false;
  const PlanePoint local = scanner.pose ? toLocal(*scanner.pose, PlanePoint{x, y})
                                        : PlanePoint{x - shapes_.scannerMarker.centreX(),
                                                     y - shapes_.scannerMarker.centreY()};
  // The view's axes: angle 0 straight up and growing clockwise, as surfacePoint places points.
  const double bearing = std::atan2(local.x, -local.y) / kRadiansPerDegree;
  const auto ahead = [](double to, double from) {
    const double degrees = std::fmod(to - from + 720.0, 360.0);
    return degrees < 360.0 ? degrees : 0.0;
  };
  return std::any_of(scanner.lastMissing.begin(), scanner.lastMissing.end(),
                     [&](const MissingStretch& stretch) {
                       const double into = ahead(bearing, stretch.from);
                       return into > 0 && into < ahead(stretch.to, stretch.from);
                     });
}

void TouchEngine::endTurn(std::size_t index) {
  Scanner& scanner = scanners_[index];
  const std::int64_t now_ms = loop_.nowMs();
  scanner.turn_s = scanner.clock.turnEnded(now_ms);
  scanner.ended_ms = now_ms;
  scanner.objects = GroupHits(scanner.turn, settings_.gapMm);
  scanner.lastMissing.swap(scanner.missing);
  scanner.missing.clear();
  scanner.framed = false;
  if (scanners_.size() > 1)
    scanner.hits = scanner.turn.hits;
  scanner.turn.clear();
  if (scanners_.size() > 1)
    checkSameStream(index);

  // The first scanner that is not silent paces the frames.
  for (std::size_t earlier = 0; earlier < index; ++earlier) {
    if (scannerAlive(earlier))
      return;
  }
  ++turns_;
  const std::vector<TouchObject> objects = frameObjects(index, now_ms, scanner.turn_s);
  // A contact where the pacing scanner's turn lost its data was not looked for.
  const TrackerUpdate& update =
      tracker_.update(objects, scanner.turn_s, now_ms,
                      [this, index](double x, double y) { return missedAt(index, x, y); });

  frame_.timeMs = now_ms;
  frame_.live.clear();
  frame_.removed.clear();
  frame_.born = update.born;
  // The screen area as it is now, one for all contacts of the turn.
  const ScreenArea screen = screen_;
  for (const TrackedContact& tracked : update.live)
    frame_.live.push_back(publish(tracked, screen));
  for (const TrackedContact& tracked : update.removed)
    frame_.removed.push_back(publish(tracked, screen));
  for (TouchFrameSink* sink : sinks_)
    sink->onTouchFrame(frame_);
}

std::vector<TouchObject> TouchEngine::frameObjects(std::size_t pacer, std::int64_t now_ms,
                                                   double turn_s) {
  const std::vector<TouchObject>& own = scanners_[pacer].objects;
  scanners_[pacer].framed = true;
  if (scanners_.size() == 1)
    return own;
  // Every object as the tracker times it: its phase within the pacing scanner's last turn. An
  // object another scanner saw before that turn began has a phase below 0.
  const double turn_ms = turn_s * 1000;
  std::vector<SurfaceObject> all;
  for (const TouchObject& object : own)
    all.push_back(
        {{object.x, object.y}, object.hits, object.phase, false, static_cast<int>(pacer)});
  for (std::size_t i = 0; i < scanners_.size(); ++i) {
    Scanner& other = scanners_[i];
    if (i == pacer || !other.ended_ms || now_ms - *other.ended_ms > kSilentAfter_ms)
      continue;
    for (const TouchObject& object : other.objects) {
      const double seen_ms =
          static_cast<double>(*other.ended_ms) - (1 - object.phase) * other.turn_s * 1000;
      const double phase =
          std::clamp((seen_ms - (static_cast<double>(now_ms) - turn_ms)) / turn_ms, -1.0, 1.0);
      all.push_back({{object.x, object.y}, object.hits, phase, other.framed, static_cast<int>(i)});
    }
    other.framed = true;
  }
  std::vector<TouchObject> merged;
  for (const SurfaceObject& object : MergeObjects(std::move(all), settings_.gapMm))
    merged.push_back({object.position.x, object.position.y, object.hits, object.phase,
                      object.repeated, object.scanner, object.scanners});
  return merged;
}

void TouchEngine::checkSameStream(std::size_t index) {
  Scanner& scanner = scanners_[index];
  if (scanner.measured < kSignatureNodes)
    return;
  scanner.lastSignature = scanner.signature;
  for (std::size_t other = 0; other < scanners_.size(); ++other) {
    if (other == index || scanners_[other].lastSignature != scanner.signature)
      continue;
    if (!scanner.reportedTwice) {
      scanner.reportedTwice = true;
      sameStreamTwice.notify(std::min(index, other), std::max(index, other));
    }
  }
}

Contact TouchEngine::publish(const TrackedContact& tracked, const ScreenArea& screen) const {
  const ViewRect& rect = shapes_.touchRect;
  const double width = rect.width;
  const double height = rect.height;
  Contact contact;
  contact.sessionId = tracked.sessionId;
  contact.cursorId = tracked.cursorId;
  contact.bornMs = tracked.born_ms;
  contact.x = tracked.x;
  contact.y = tracked.y;
  const double offsetX = tracked.x - rect.left;
  const double offsetY = tracked.y - rect.top;
  if (width > 0 && height > 0) {
    contact.u = offsetX / width;
    contact.v = offsetY / height;
    contact.velocityU = tracked.velocityX / width;
    contact.velocityV = tracked.velocityY / height;
    contact.acceleration = tracked.acceleration / width;
  }
  // The pixel as the single-touch road maps a touch: the offset in whole view units, rounded
  // half away from zero as its text is written, none at all beyond 32 bits.
  contact.screen = MapOffsetToScreen(TouchOffset(RoundTouch(offsetX, offsetY)), screen.size,
                                     screen.topLeft, rect.width, rect.height);
  // Four calibrated corners place it through the perspective instead: the share of the screen
  // area for TUIO, the pixel for the mouse and the system's touch.
  if (surfaceMapping_ != nullptr && surfaceMapping_->perspective())
    mapThroughCorners(tracked, screen, contact);
  return contact;
}

void TouchEngine::mapThroughCorners(const TrackedContact& tracked, const ScreenArea& screen,
                                    Contact& contact) const {
  const PlanePoint at{tracked.x, tracked.y};
  // Beyond the horizon of the corners' map a contact stays at the edge of the area it went out
  // by, and stands still there.
  if (const auto unit = surfaceMapping_->toUnitWithin(at)) {
    contact.u = unit->x;
    contact.v = unit->y;
  }
  if (const auto pixel = surfaceMapping_->toScreen(at, screen.size, screen.topLeft))
    contact.screen = *pixel;
  contact.velocityU = contact.velocityV = contact.acceleration = 0;
  const auto stretch = surfaceMapping_->unitDerivative(at);
  if (!stretch)
    return;
  // The velocity as the map stretches it there, and the change of speed along it; a still
  // contact's, by the map's mean stretch.
  const PlanePoint velocity = (*stretch)({tracked.velocityX, tracked.velocityY});
  contact.velocityU = velocity.x;
  contact.velocityV = velocity.y;
  const double speed = std::hypot(tracked.velocityX, tracked.velocityY);
  const double along = speed > 0
                           ? std::hypot(velocity.x, velocity.y) / speed
                           : std::sqrt(std::abs(stretch->a * stretch->d - stretch->b * stretch->c));
  contact.acceleration = tracked.acceleration * along;
}

}  // namespace scantouch
