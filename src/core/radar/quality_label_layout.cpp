#include "radar/quality_label_layout.h"

#include <algorithm>
#include <cmath>

#include "radar/radar_model.h"

namespace scantouch {
namespace {

bool Overlap(const QualityLabelBox& a, const QualityLabelBox& b) {
  const double width = std::min(a.left + a.size, b.left + b.size) - std::max(a.left, b.left);
  const double height = std::min(a.top + a.size, b.top + b.size) - std::max(a.top, b.top);
  return width > 1 && height > 1;
}

}  // namespace

QualityLabelLayout LayOutQualityLabels(double side) {
  // Ninety labels an edge: shown one in `step`, so that each has room for a legible digit.
  constexpr double kMinPitch_px = 11;
  constexpr double kMaxBox_px = 14;
  const double pitch = side / 90;
  const int step = std::max(1, static_cast<int>(std::ceil(kMinPitch_px / pitch)));
  QualityLabelLayout layout;
  layout.boxPixels = std::min(pitch * step, kMaxBox_px);
  const double box = layout.boxPixels;
  const double farEdge = std::max(side - box, 0.0);
  for (int i = 0; i < RadarModel::kQualityLabels; i += step) {
    const double along = side * (i % 90) / 90;
    double x = 0;
    double y = 0;
    switch (i / 90) {
      case 0:  // left edge, top to bottom
        y = along;
        break;
      case 1:  // bottom edge, left to right
        x = along;
        y = farEdge;
        break;
      case 2:  // right edge, bottom to top
        x = farEdge;
        y = side - along - box;
        break;
      default:  // top edge, right to left
        x = side - along - box;
        break;
    }
    const QualityLabelBox place{i, std::clamp(x, 0.0, farEdge), std::clamp(y, 0.0, farEdge), box};
    const auto overlaps = [&place](const QualityLabelBox& other) { return Overlap(other, place); };
    if (std::none_of(layout.labels.begin(), layout.labels.end(), overlaps))
      layout.labels.push_back(place);
  }
  return layout;
}

namespace {

const std::string& Shown(const Label& label) {
  static const std::string nothing;
  return label.visible() ? label.caption() : nothing;
}

}  // namespace

std::vector<std::size_t> PaintedLabels::changedSince(const QualityLabelLayout& layout,
                                                     const ControlArray<Label>& labels) const {
  std::vector<std::size_t> changed;
  const bool all = !known_ || captions_.size() != layout.labels.size();
  for (std::size_t i = 0; i < layout.labels.size(); ++i) {
    if (all || captions_[i] != Shown(labels[layout.labels[i].index]))
      changed.push_back(i);
  }
  return changed;
}

void PaintedLabels::remember(const QualityLabelLayout& layout, const ControlArray<Label>& labels) {
  known_ = true;
  captions_.resize(layout.labels.size());
  for (std::size_t i = 0; i < layout.labels.size(); ++i)
    captions_[i] = Shown(labels[layout.labels[i].index]);
}

}  // namespace scantouch
