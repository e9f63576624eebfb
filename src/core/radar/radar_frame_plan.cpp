#include "radar/radar_frame_plan.h"

namespace scantouch {

RadarFramePlan PlanRadarFrame(const RadarFrameParts& due, const PaintedRadar& painted,
                              const BeamTable& beams, const RadarModel& model,
                              const ScanGeometry& geometry) {
  RadarFramePlan plan;
  if (!due.any())
    return plan;
  if (due.backdrop || !painted.fitsView) {
    plan.paint = RadarFramePlan::Paint::whole;
    return plan;
  }
  if (due.scan)
    plan.scan = painted.scan.changedSince(beams, model, geometry).rects();
  if (due.labels)
    plan.labels = painted.labels.changedSince(painted.layout, model.lblquality);
  plan.paint = plan.scan.empty() && plan.labels.empty() ? RadarFramePlan::Paint::unchanged
                                                        : RadarFramePlan::Paint::parts;
  return plan;
}

}  // namespace scantouch
