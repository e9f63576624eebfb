#include "radar/radar_frame_plan.h"

#include <gtest/gtest.h>

#include "toolkit/option_array.h"
#include "toolkit/picture_box.h"

namespace scantouch {
namespace {

using Paint = RadarFramePlan::Paint;
using Rect = ScanFootprint::PixelRect;
constexpr int T = ScanFootprint::kTile_px;

// A view of 8 x 8 tiles whose scan and labels are painted as the model has them.
class RadarFramePlanTest : public ::testing::Test {
 protected:
  RadarFramePlanTest() {
    for (int degree = 0; degree < 360; ++degree)
      beams_[degree] = Beam{10.0f * T, 10.0f * T, 10.0f * T + 5, 10.0f * T, 1, true, false};
    model_.lblquality[layout_.labels[0].index].setCaption("5");
    scan_.remember(beams_, model_, geometry_);
    labels_.remember(layout_, model_.lblquality);
  }

  RadarFramePlan plan(RadarFrameParts due, bool fitsView = true) const {
    return PlanRadarFrame(due, {scan_, labels_, layout_, fitsView}, beams_, model_, geometry_);
  }

  BeamTable beams_;
  Shape scanner_{"Shape1"};
  OptionArray mode_{"OPT曲线模式", {"轮廓线", "放射线", "单点"}};
  PictureBox picture_{"PICYL"};
  RadarModel model_{beams_, scanner_, mode_, picture_};
  const ScanGeometry geometry_{8 * T, 8 * T, 0.1, 0, 0};  // 10 view units a pixel
  const QualityLabelLayout layout_ = LayOutQualityLabels(8 * T);
  PaintedScan scan_;
  PaintedLabels labels_;
};

TEST_F(RadarFramePlanTest, NothingDueIsNothingAndABackdropOrAnotherSizeIsTheWholeView) {
  EXPECT_EQ(plan({}).paint, Paint::nothing);
  EXPECT_EQ(plan({true, false, false}).paint, Paint::whole);
  // The pictures or the label layout were made for another size: whatever changed.
  EXPECT_EQ(plan({false, false, true}, false).paint, Paint::whole);
  EXPECT_EQ(plan({false, true, false}, false).paint, Paint::whole);
}

TEST_F(RadarFramePlanTest, OnlyTheDueScanTilesAndChangedLabelsArePainted) {
  beams_[7] = Beam{55.0f * T, 25.0f * T, 55.0f * T + 5, 25.0f * T, 1, true, false};
  model_.lblquality[layout_.labels[3].index].setCaption("9");

  const RadarFramePlan both = plan({false, true, true});
  EXPECT_EQ(both.paint, Paint::parts);
  // Where the beam was (its line from the scanner at the view's corner) and where it is.
  EXPECT_EQ(both.scan,
            (std::vector<Rect>{{0, 0, 2 * T, T}, {0, T, 2 * T, T}, {5 * T, 2 * T, T, T}}));
  EXPECT_EQ(both.labels, (std::vector<std::size_t>{3}));

  // What is not due is not looked at, though it differs.
  const RadarFramePlan scanOnly = plan({false, false, true});
  EXPECT_EQ(scanOnly.scan, both.scan);
  EXPECT_TRUE(scanOnly.labels.empty());
  const RadarFramePlan labelsOnly = plan({false, true, false});
  EXPECT_TRUE(labelsOnly.scan.empty());
  EXPECT_EQ(labelsOnly.labels, both.labels);
}

// Beams drawn again where they were: a frame was announced, and the face must say it painted it,
// or the rule would never announce another.
TEST_F(RadarFramePlanTest, AFrameThatShowsWhatIsPaintedIsUnchanged) {
  beams_.touch();
  const RadarFramePlan same = plan({false, true, true});
  EXPECT_EQ(same.paint, Paint::unchanged);
  EXPECT_TRUE(same.scan.empty());
  EXPECT_TRUE(same.labels.empty());
}

}  // namespace
}  // namespace scantouch
