#include "single_touch/point_processor.h"

#include "common/rounding.h"
#include "decoding/degree_table.h"

namespace scantouch {

PointProcessor::PointProcessor(PointControls controls, BeamTable& beams, RadarView& radar)
    : controls_(controls), beams_(beams), radar_(radar) {}

void PointProcessor::resetRun() {
  hitRunStart_ = kNoRun;
  hitRunEnd_ = kNoRun;
}

bool PointProcessor::isHit(const ScanNode& node, double x, double y) const {
  // A still thing ends a run as a miss would: a hand beside a pillar is not joined to it.
  return controls_.touchRect.containsStrictly(x, y) &&
         !controls_.scannerMarker.containsStrictly(x, y) && !node.stillThing &&
         !Masked(masks_, x, y);
}

void PointProcessor::processScanNode(const ScanNode& node, std::int16_t sensitivity) {
  const int angle = node.angle;
  if (angle < 0 || angle >= BeamTable::kBeams)
    return;
  if (node.quality <= sensitivity)
    return;

  const double cx = controls_.scannerMarker.centreX();
  const double cy = controls_.scannerMarker.centreY();
  const auto x = RoundHalfEven32(cx + node.distance * SinOfDegree(angle));
  const auto y = RoundHalfEven32(cy - node.distance * CosOfDegree(angle));
  // Only a scanner marker placed far outside any real view gets here; such a point has no
  // place in the view and leaves no trace, like a node below the gate.
  if (!x || !y)
    return;

  Beam& beam = beams_[angle];
  beam.x1 = static_cast<float>(*x);
  beam.y1 = static_cast<float>(*y);
  beam.visible = true;
  radar_.drawBeam(angle, *x, *y, node.distance);

  if (isHit(node, *x, *y)) {
    beam.hit = true;
    if (hitRunStart_ == kNoRun)
      hitRunStart_ = static_cast<std::int16_t>(angle);
    hitRunEnd_ = static_cast<std::int16_t>(angle);
  } else {
    beam.hit = false;  // this may be the run's own start or end beam
    if (hitRunStart_ != kNoRun)
      closeRun();
  }

  cleanSkippedDegrees(angle);
  lastAcceptedAngle_ = angle;
  beams_.touch();
}

void PointProcessor::closeRun() {
  if (beams_[hitRunStart_].hit && beams_[hitRunEnd_].hit)
    publishTouch();
  resetRun();
}

void PointProcessor::publishTouch() {
  const Beam& first = beams_[hitRunStart_];
  const Beam& last = beams_[hitRunEnd_];
  radar_.showTouchMarker(first.x1, first.y1, last.x1, last.y1);
  // Single precision, as the view keeps its geometry.
  const float offsetX = (first.x1 + last.x1) / 2.0f - controls_.touchRect.left();
  const float offsetY = (first.y1 + last.y1) / 2.0f - controls_.touchRect.top();
  if (touchHandler_)
    touchHandler_(RoundTouch(offsetX, offsetY));
}

void PointProcessor::cleanSkippedDegrees(int angle) {
  const int previous = lastAcceptedAngle_;
  if (angle == (previous + 1) % BeamTable::kBeams)
    return;
  if (angle <= previous)
    return;  // same degree again, across 359/0, or backwards
  // Degrees passed over lose what they showed, and the view drops the previous accepted degree
  // too. Its hit stays: it was measured just now and may be the first or last beam of the run,
  // which a degree passed over (a no-return node, a node below the gate) must not cut off.
  beams_[previous].visible = false;
  for (int degree = previous + 1; degree < angle; ++degree) {
    beams_[degree].visible = false;
    beams_[degree].hit = false;
  }
}

}  // namespace scantouch
