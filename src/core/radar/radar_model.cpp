#include "radar/radar_model.h"

#include <string>

#include "common/numeric_value.h"
#include "common/rounding.h"
#include "decoding/degree_table.h"

namespace scantouch {

RadarModel::RadarModel(BeamTable& beams, Shape& scannerMarker, OptionArray& displayMode,
                       PictureBox& picture)
    : beams_(beams), scannerMarker_(scannerMarker), displayMode_(displayMode), picture_(picture) {
  Shape& marker = shpmouse[0];
  (void)marker.setWidth(kMarkerSize);
  (void)marker.setHeight(kMarkerSize);
  marker.setVisible(false);
}

void RadarModel::drawBeam(int angle, std::int32_t, std::int32_t, std::int32_t distance) {
  Beam& beam = beams_[angle];
  switch (displayMode_.selected()) {
    case kRays:
      beam.x2 = static_cast<float>(scannerMarker_.centreX());
      beam.y2 = static_cast<float>(scannerMarker_.centreY());
      beam.width = 1;
      break;
    case kSinglePoints: {
      // The same distance one degree further on: a short stroke at the point.
      const double cx = scannerMarker_.centreX();
      const double cy = scannerMarker_.centreY();
      beam.x2 = static_cast<float>(cx + distance * SinOfDegree(angle + 1));
      beam.y2 = static_cast<float>(cy - distance * CosOfDegree(angle + 1));
      beam.width = 2;
      break;
    }
    default: {
      // Whatever the previous degree holds, from this turn or an earlier one: an outline.
      const Beam& previous = beams_[(angle + BeamTable::kBeams - 1) % BeamTable::kBeams];
      beam.x2 = previous.x1;
      beam.y2 = previous.y1;
      beam.width = 1;
      break;
    }
  }
  pictureChanged.notify();
}

void RadarModel::setQualityLabel(int angle, int quality) {
  const char digit = quality >= 9 ? 'F' : static_cast<char>('0' + (quality < 0 ? 0 : quality));
  lblquality[angle].setCaption(std::string_view(&digit, 1));
}

void RadarModel::showTouchMarker(float xs, float ys, float xe, float ye) {
  Shape& marker = shpmouse[0];
  const auto mx = RoundHalfEven16((static_cast<double>(xe) + xs) / 2);
  const auto my = RoundHalfEven16((static_cast<double>(ye) + ys) / 2);
  // A midpoint beyond 16 bits lies far outside any view: the marker stays where it was.
  if (mx && my) {
    marker.setLeft(static_cast<float>(*mx) - marker.width() / 2);
    marker.setTop(static_cast<float>(*my) - marker.height() / 2);
  }
  marker.setVisible(true);
  setMarkerCountdown(3);
}

void RadarModel::countDownTouchMarker() {
  const int countdown = markerCountdown();
  if (countdown <= -1)
    return;
  setMarkerCountdown(countdown - 1);
  if (countdown - 1 == 0)
    shpmouse[0].setVisible(false);
}

int RadarModel::markerCountdown() const {
  return static_cast<int>(NumericValue(shpmouse[0].tag()));
}

void RadarModel::setMarkerCountdown(int value) {
  shpmouse[0].setTag(std::to_string(value));
}

void RadarModel::appendAngleTrace(std::string_view entries) {
  if (entries.empty())
    return;
  const std::string& trace = txtjd.text();
  if (trace.size() + entries.size() <= kMaxTraceChars) {
    txtjd.appendText(entries);
    return;
  }
  std::string kept = trace + std::string(entries);
  kept.erase(0, kept.size() - kMaxTraceChars);
  txtjd.setText(kept);
}

void RadarModel::layOutQualityLabels() {
  const float w = picture_.scaleWidth();
  const float h = picture_.scaleHeight();
  const float lw = qualityLabelWidth();
  const float lh = qualityLabelHeight();
  for (int i = 0; i < kQualityLabels; ++i) {
    LabelPlacement& place = placements_[static_cast<std::size_t>(i)];
    const auto f = static_cast<float>(i);
    if (i < 90) {  // left edge, top to bottom
      place = {0, h * f / 90};
    } else if (i < 180) {  // bottom edge, left to right
      place = {w * (f - 90) / 90, h - 1.5f * lh};
    } else if (i < 270) {  // right edge, bottom to top
      place = {w - 1.5f * lw, h * (270 - f) / 90};
    } else {  // top edge, right to left
      place = {w * (360 - f) / 90, 0};
    }
    lblquality[i].setVisible(true);
    lblquality[i].setCaption("0");
  }
  pictureChanged.notify();
}

void RadarModel::showContacts(const std::vector<ContactMark>& marks) {
  if (marks == contacts_)
    return;
  contacts_ = marks;
  ++contactsRevision_;
  pictureChanged.notify();
}

void RadarModel::showOtherScanners(std::vector<OtherScanner> scanners) {
  otherScanners_ = std::move(scanners);
  ++otherScannersRevision_;
  pictureChanged.notify();
}

void RadarModel::showOutlines(std::vector<std::vector<std::array<float, 2>>> outlines) {
  if (outlines == stillShapes_.outlines)
    return;
  stillShapes_.outlines = std::move(outlines);
  ++stillShapesRevision_;
  pictureChanged.notify();
}

void RadarModel::showMasks(std::vector<std::array<float, 4>> masks) {
  if (masks == stillShapes_.masks)
    return;
  stillShapes_.masks = std::move(masks);
  ++stillShapesRevision_;
  pictureChanged.notify();
}

void RadarModel::showDraggedMask(std::optional<std::array<float, 4>> dragged) {
  if (dragged == stillShapes_.dragged)
    return;
  stillShapes_.dragged = dragged;
  ++stillShapesRevision_;
  pictureChanged.notify();
}

}  // namespace scantouch
