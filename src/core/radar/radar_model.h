#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "decoding/radar_view.h"
#include "radar/beam_table.h"
#include "toolkit/control_array.h"
#include "toolkit/label.h"
#include "toolkit/notifier.h"
#include "toolkit/option_array.h"
#include "toolkit/picture_box.h"
#include "toolkit/shape.h"
#include "toolkit/text_box.h"

namespace scantouch {

// The radar picture as state a GUI can paint: the beams' far ends and widths by display mode,
// the 360 quality labels around the edge, the angle trace and the touch marker. Nothing here
// draws; the picture's own shapes (scanner marker, touch rectangle) stay with the window.
class RadarModel final : public RadarView {
 public:
  enum DisplayMode { kOutline = 0, kRays = 1, kSinglePoints = 2 };

  static constexpr int kQualityLabels = 360;
  // The touch marker's size as the window was designed, in view units.
  static constexpr float kMarkerSize = 300;
  // Beyond this the angle trace drops its oldest entries; a sweep clears it every half turn,
  // so only a stream that never turns ever reaches it.
  static constexpr std::size_t kMaxTraceChars = 4 * 4 * 360;
  // Quality labels are this share of the view wide and high, however the view is scaled.
  static constexpr float kQualityLabelShare = 0.03f;

  // A live contact of the touch engine as the view marks it: where, and its cursor id.
  struct ContactMark {
    float x = 0;  // view units
    float y = 0;
    int cursorId = 0;
    friend bool operator==(const ContactMark&, const ContactMark&) = default;
  };

  // A scanner other than the first (whose beams the view draws) on a surface of several: where
  // it stands, the points it measured in its last turn, and whether it has gone silent.
  struct OtherScanner {
    float x = 0;  // view units
    float y = 0;
    std::vector<std::array<float, 2>> points;  // view units
    int colourIndex = 0;                       // into radar_palette::kScannerColours
    bool silent = false;
  };

  // What the view shows of things that are no touch: each scanner's learned background as a
  // faint outline, the masks as shaded rectangles, and the mask the user is dragging out.
  struct StillShapes {
    std::vector<std::vector<std::array<float, 2>>> outlines;  // view units, a point a direction
    std::vector<std::array<float, 4>> masks;                  // left, top, right, bottom
    std::optional<std::array<float, 4>> dragged;
  };

  struct LabelPlacement {
    float left = 0;
    float top = 0;
  };

  RadarModel(BeamTable& beams, Shape& scannerMarker, OptionArray& displayMode, PictureBox& picture);

  // RadarView
  void drawBeam(int angle, std::int32_t x, std::int32_t y, std::int32_t distance) override;
  void setQualityLabel(int angle, int quality) override;
  void showTouchMarker(float xs, float ys, float xe, float ye) override;
  void countDownTouchMarker() override;
  void clearPicture() override { picture_.clear(); }
  void appendAngleTrace(std::string_view entries) override;
  void clearAngleTrace() override { txtjd.setText(""); }

  // Lays the quality labels out as a frame along the edges of the view at its current scale,
  // shows them with the caption "0".
  void layOutQualityLabels();
  float qualityLabelWidth() const { return picture_.scaleWidth() * kQualityLabelShare; }
  float qualityLabelHeight() const { return picture_.scaleHeight() * kQualityLabelShare; }
  const LabelPlacement& placement(int index) const {
    return placements_[static_cast<std::size_t>(index)];
  }

  // The touch engine's live contacts, replaced after every turn while the engine runs; the
  // revision changes only when the marks do, so a view repaints for them only then.
  void showContacts(const std::vector<ContactMark>& marks);
  const std::vector<ContactMark>& contacts() const { return contacts_; }
  std::uint64_t contactsRevision() const { return contactsRevision_; }

  // The other scanners of a surface, replaced after each of their turns; the revision changes
  // with every replacement.
  void showOtherScanners(std::vector<OtherScanner> scanners);
  const std::vector<OtherScanner>& otherScanners() const { return otherScanners_; }
  std::uint64_t otherScannersRevision() const { return otherScannersRevision_; }

  // The still shapes; the revision changes when they do (outlines of a learning that found the
  // room as it was, or a click with the mask box ticked, make no frame).
  void showOutlines(std::vector<std::vector<std::array<float, 2>>> outlines);
  void showMasks(std::vector<std::array<float, 4>> masks);
  void showDraggedMask(std::optional<std::array<float, 4>> dragged);
  const StillShapes& stillShapes() const { return stillShapes_; }
  std::uint64_t stillShapesRevision() const { return stillShapesRevision_; }

  // Half turns left until the marker hides; kept in the marker's tag, empty counting as 0.
  int markerCountdown() const;

  // Runs when a beam was drawn, the contacts, other scanners or still shapes changed or the labels
  // were laid out: views mark their picture stale (RadarFrameRule). The labels and the marker
  // have notifiers of their own.
  Notifier<> pictureChanged;

  ControlArray<Label> lblquality{"lblquality", kQualityLabels};
  TextBox txtjd{"txtjd"};
  ControlArray<Shape> shpmouse{"shpmouse", 1};

 private:
  void setMarkerCountdown(int value);

  BeamTable& beams_;
  Shape& scannerMarker_;
  OptionArray& displayMode_;
  PictureBox& picture_;
  std::array<LabelPlacement, kQualityLabels> placements_{};
  std::vector<ContactMark> contacts_;
  std::uint64_t contactsRevision_ = 0;
  std::vector<OtherScanner> otherScanners_;
  std::uint64_t otherScannersRevision_ = 0;
  StillShapes stillShapes_;
  std::uint64_t stillShapesRevision_ = 0;
};

}  // namespace scantouch
