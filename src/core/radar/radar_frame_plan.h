#pragma once

#include <cstddef>
#include <vector>

#include "radar/beam_table.h"
#include "radar/quality_label_layout.h"
#include "radar/radar_frame_rule.h"
#include "radar/radar_model.h"
#include "radar/scan_footprint.h"

namespace scantouch {

// What a face asks its window system to paint for a frame of the radar view, the same for both
// faces: each only turns it into its own region.
struct RadarFramePlan {
  enum class Paint {
    nothing,    // no frame is due
    whole,      // the whole view: the backdrop changed, or the view is not the size painted
    parts,      // `scan` and `labels`
    unchanged,  // a frame was due but shows what is painted: the face says it painted it
  };
  Paint paint = Paint::nothing;
  // The parts of the scan that differ from what is painted, where they were and where they are
  // (beams drawn again where they were change nothing on the screen), in the view's pixels.
  std::vector<ScanFootprint::PixelRect> scan;
  // The placed labels (indices into the layout's labels) whose caption changed.
  std::vector<std::size_t> labels;
};

// What the face has on the screen.
struct PaintedRadar {
  const PaintedScan& scan;
  const PaintedLabels& labels;
  const QualityLabelLayout& layout;
  // The face's pictures and label layout are those of the view's present size.
  bool fitsView;
};

RadarFramePlan PlanRadarFrame(const RadarFrameParts& due, const PaintedRadar& painted,
                              const BeamTable& beams, const RadarModel& model,
                              const ScanGeometry& geometry);

}  // namespace scantouch
