#include "radar/radar_model.h"
#include "radar/quality_label_layout.h"

#include <gtest/gtest.h>

#include "app/main_form.h"
#include "in_memory_files.h"
#include "scan_text.h"
#include "toolkit/virtual_event_loop.h"

namespace scantouch {
namespace {

class RadarModelTest : public ::testing::Test {
 protected:
  RadarModelTest() {
    form_.Shape1.setLeft(7350);
    form_.Shape1.setTop(7350);
    (void)form_.Shape1.setWidth(300);
    (void)form_.Shape1.setHeight(300);
  }

  void mode(int index) { ASSERT_EQ(form_.OPT曲线模式.select(index), ToolkitResult::ok); }
  void node(int angle, int distance, std::int16_t quality = 47) {
    form_.points().processScanNode(ScanNode{angle, quality, distance}, 2);
  }

  InMemoryFiles files_;
  Utf8Codec codec_;
  IniStore store_{files_, codec_};
  FixedDirectory directory_{"/opt"};
  SettingsFile file_{store_, directory_, "系统配置.ini"};
  VirtualEventLoop loop_;
  NoDesktopInput desktop_;
  MainForm form_{loop_, desktop_, file_};
  RadarModel& radar_ = form_.radar();
};

TEST_F(RadarModelTest, DrawsEachDisplayMode) {
  mode(RadarModel::kRays);
  node(90, 2500);
  const Beam& ray = form_.Line1[90];
  EXPECT_EQ(ray.x1, 10000);
  EXPECT_EQ(ray.y1, 7500);
  EXPECT_EQ(ray.x2, 7500);
  EXPECT_EQ(ray.y2, 7500);
  EXPECT_EQ(ray.width, 1);
  EXPECT_TRUE(ray.visible);

  mode(RadarModel::kSinglePoints);
  node(0, 1000);
  const Beam& point = form_.Line1[0];
  EXPECT_EQ(point.x1, 7500);
  EXPECT_EQ(point.y1, 6500);
  EXPECT_NEAR(point.x2, 7517.45, 0.005);
  EXPECT_NEAR(point.y2, 6500.15, 0.005);
  EXPECT_EQ(point.width, 2);

  mode(RadarModel::kOutline);
  form_.Line1[359].x1 = 123;
  form_.Line1[359].y1 = 456;
  node(0, 1000);
  EXPECT_EQ(point.x2, 123);
  EXPECT_EQ(point.y2, 456);
  EXPECT_EQ(point.width, 1);
}

TEST_F(RadarModelTest, QualityLabelsShowADigitOrF) {
  radar_.setQualityLabel(10, 8);
  radar_.setQualityLabel(11, 9);
  radar_.setQualityLabel(12, 0);
  radar_.setQualityLabel(13, 64);
  EXPECT_EQ(radar_.lblquality[10].caption(), "8");
  EXPECT_EQ(radar_.lblquality[11].caption(), "F");
  EXPECT_EQ(radar_.lblquality[12].caption(), "0");
  EXPECT_EQ(radar_.lblquality[13].caption(), "F");
}

TEST_F(RadarModelTest, ANodeBelowTheGateUpdatesItsLabelButNotItsBeam) {
  form_.TXT灵敏度.setText("2");
  form_.txt角度校正.setText("0");
  testing::Feed(form_.decoder(), testing::DescriptorText() + testing::NodeText(45, 2000, 0) +
                                     testing::NodeText(46, 2000));
  EXPECT_EQ(radar_.lblquality[45].caption(), "0");
  EXPECT_FALSE(form_.Line1[45].visible);
  EXPECT_EQ(radar_.lblquality[46].caption(), "F");
  EXPECT_TRUE(form_.Line1[46].visible);
  EXPECT_EQ(radar_.txtjd.text(), "045 046 ");
}

TEST_F(RadarModelTest, TheTouchMarkerStaysForThreeHalfTurns) {
  const Shape& marker = radar_.shpmouse[0];
  EXPECT_FALSE(marker.visible());
  radar_.showTouchMarker(7500, 3500, 7779, 3510);
  EXPECT_TRUE(marker.visible());
  EXPECT_EQ(marker.left() + marker.width() / 2, 7640);  // 7639.5 ties to the even 7640
  EXPECT_EQ(marker.top() + marker.height() / 2, 3505);
  radar_.countDownTouchMarker();
  radar_.countDownTouchMarker();
  radar_.showTouchMarker(1000, 1000, 1000, 1000);  // a second touch starts the count again
  EXPECT_EQ(radar_.markerCountdown(), 3);
  radar_.countDownTouchMarker();
  radar_.countDownTouchMarker();
  EXPECT_TRUE(marker.visible());
  radar_.countDownTouchMarker();
  EXPECT_FALSE(marker.visible());
  radar_.countDownTouchMarker();
  radar_.countDownTouchMarker();
  EXPECT_EQ(radar_.markerCountdown(), -1);
}

TEST_F(RadarModelTest, QualityLabelsFrameTheView) {
  form_.PICYL.setScaleWidth(8000);
  form_.PICYL.setScaleHeight(8000);
  radar_.layOutQualityLabels();
  const float lw = radar_.qualityLabelWidth();
  const float lh = radar_.qualityLabelHeight();
  EXPECT_EQ(radar_.placement(0).left, 0);
  EXPECT_EQ(radar_.placement(45).top, 4000);
  EXPECT_EQ(radar_.placement(90).left, 0);
  EXPECT_EQ(radar_.placement(90).top, 8000 - 1.5f * lh);
  EXPECT_EQ(radar_.placement(180).left, 8000 - 1.5f * lw);
  EXPECT_EQ(radar_.placement(180).top, 8000);
  EXPECT_EQ(radar_.placement(270).left, 8000);
  EXPECT_EQ(radar_.placement(359).left, 8000.0f / 90);
  EXPECT_EQ(radar_.lblquality[200].caption(), "0");
}

TEST_F(RadarModelTest, TheAngleTraceStaysBoundedWithoutHalfTurns) {
  for (int i = 0; i < 1000; ++i)
    radar_.appendAngleTrace("010 011 012 ");
  EXPECT_EQ(radar_.txtjd.text().size(), RadarModel::kMaxTraceChars);
}

TEST(QualityLabelLayout, ShowsAsManyLabelsAsFitLegiblyInsideTheViewAndNoneOverlap) {
  for (const double side : {320.0, 640.0, 2000.0}) {
    SCOPED_TRACE(side);
    const QualityLabelLayout layout = LayOutQualityLabels(side);
    ASSERT_FALSE(layout.labels.empty());
    const double pitch = side / 90 * (layout.labels[1].index - layout.labels[0].index);
    EXPECT_GE(pitch, 11);  // room for a legible digit
    for (std::size_t a = 0; a < layout.labels.size(); ++a) {
      const QualityLabelBox& box = layout.labels[a];
      EXPECT_GE(box.left, 0);
      EXPECT_LE(box.left + box.size, side);
      EXPECT_GE(box.top, 0);
      EXPECT_LE(box.top + box.size, side);
      for (std::size_t b = a + 1; b < layout.labels.size(); ++b) {
        const QualityLabelBox& other = layout.labels[b];
        const bool apart =
            other.left + other.size <= box.left + 1 || box.left + box.size <= other.left + 1 ||
            other.top + other.size <= box.top + 1 || box.top + box.size <= other.top + 1;
        EXPECT_TRUE(apart) << box.index << " and " << other.index;
      }
    }
  }
  EXPECT_EQ(LayOutQualityLabels(2000).labels[1].index, 1);  // a large view shows every label
}

TEST_F(RadarModelTest, OnlyLabelsWhoseShownCaptionChangedAreDrawnAgain) {
  const QualityLabelLayout layout = LayOutQualityLabels(600);  // one label in two or more
  const std::size_t first = 0;
  const std::size_t second = 1;
  const int secondIndex = layout.labels[second].index;
  radar_.setQualityLabel(layout.labels[first].index, 3);
  PaintedLabels painted;
  EXPECT_EQ(painted.changedSince(layout, radar_.lblquality).size(), layout.labels.size());
  painted.remember(layout, radar_.lblquality);
  radar_.setQualityLabel(1, 5);  // not placed in this layout
  radar_.setQualityLabel(secondIndex, 5);
  radar_.setQualityLabel(secondIndex, 12);  // "F": what counts is the caption when drawn
  EXPECT_EQ(painted.changedSince(layout, radar_.lblquality), std::vector<std::size_t>{second});
  painted.remember(layout, radar_.lblquality);
  radar_.lblquality[layout.labels[first].index].setVisible(false);
  EXPECT_EQ(painted.changedSince(layout, radar_.lblquality), std::vector<std::size_t>{first});
  // Another layout: all of it.
  const QualityLabelLayout large = LayOutQualityLabels(2000);
  EXPECT_EQ(painted.changedSince(large, radar_.lblquality).size(), large.labels.size());
}

}  // namespace
}  // namespace scantouch
