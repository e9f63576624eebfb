#include "radar/radar_frame_rule.h"

#include <gtest/gtest.h>

#include "app/main_form.h"
#include "in_memory_files.h"
#include "scan_text.h"
#include "toolkit/virtual_event_loop.h"

namespace scantouch {
namespace {

// The rule on the main window's radar, fed as the program feeds it.
class RadarFrameRuleTest : public ::testing::Test {
 protected:
  RadarFrameRuleTest() {
    form_.Shape1.setLeft(7350);
    form_.Shape1.setTop(7350);
    (void)form_.Shape1.setWidth(300);
    (void)form_.Shape1.setHeight(300);
    form_.TXT灵敏度.setText("2");
    form_.txt角度校正.setText("0");
    rule_.painted();
    announcements_ = 0;
  }

  // A pass over `nodes` whole turns of one node per degree at 3 m, quality `quality`.
  void feedTurns(int turns, int quality = 47) {
    std::string text = testing::DescriptorText();
    for (int turn = 0; turn < turns; ++turn) {
      for (int degree = 0; degree < 360; ++degree)
        text += testing::NodeText(degree + 0.3, 3000, quality, degree == 0);
    }
    testing::Feed(form_.decoder(), text);
  }

  InMemoryFiles files_;
  Utf8Codec codec_;
  IniStore store_{files_, codec_};
  FixedDirectory directory_{"/opt"};
  SettingsFile file_{store_, directory_, "系统配置.ini"};
  VirtualEventLoop loop_;
  NoDesktopInput desktop_;
  MainForm form_{loop_, desktop_, file_};
  int announcements_ = 0;
  RadarFrameRule rule_{{form_.radar(), form_.Line1, form_.PICYL, form_.Shape1, form_.SHPWIN},
                       [this] { ++announcements_; }};
};

TEST_F(RadarFrameRuleTest, APassOfManyNodesAnnouncesOneFrameOfTheScanAndLabels) {
  EXPECT_FALSE(rule_.due().any());
  feedTurns(3);
  EXPECT_EQ(announcements_, 1);                                  // not one per node
  EXPECT_EQ(rule_.due(), (RadarFrameParts{false, true, true}));  // the labels went from 0 to F

  rule_.painted();
  EXPECT_FALSE(rule_.due().any());
  // The same turns again: new beams, but every label already shows F.
  feedTurns(1);
  EXPECT_EQ(announcements_, 2);
  EXPECT_EQ(rule_.due(), (RadarFrameParts{false, false, true}));
}

TEST_F(RadarFrameRuleTest, EachChangeOfTheModelOrTheWindowsShapesMakesItsPartDue) {
  const auto after = [this](auto change) {
    rule_.painted();
    announcements_ = 0;
    change();
    EXPECT_EQ(announcements_, rule_.due().any() ? 1 : 0);
    return rule_.due();
  };
  EXPECT_EQ(after([&] { form_.SHPWIN.setLeft(100); }), (RadarFrameParts{true, false, false}));
  EXPECT_EQ(after([&] { form_.Shape1.setVisible(false); }), (RadarFrameParts{true, false, false}));
  EXPECT_EQ(after([&] { form_.PICYL.setScaleWidth(8000); }), (RadarFrameParts{true, true, false}));
  EXPECT_EQ(after([&] { form_.radar().setQualityLabel(10, 5); }),
            (RadarFrameParts{false, true, false}));
  EXPECT_EQ(after([&] { form_.radar().setQualityLabel(10, 5); }), RadarFrameParts{});
  EXPECT_EQ(after([&] { form_.radar().showTouchMarker(7000, 3000, 7100, 3000); }),
            (RadarFrameParts{false, false, true}));
  EXPECT_EQ(after([&] {
              form_.radar().showContacts({{10, 20, 0}});
            }),
            (RadarFrameParts{false, false, true}));
  EXPECT_EQ(after([&] { form_.radar().showContacts({{10, 20, 0}}); }), RadarFrameParts{});
  // A reset of the view, as the settings' start-up does it: beams hidden, labels laid out again.
  EXPECT_TRUE(after([&] {
                form_.Line1[5].visible = false;
                form_.Line1.touch();
                form_.radar().layOutQualityLabels();
              }).scan);
}

TEST_F(RadarFrameRuleTest, EachTurnOfAnotherScannerMakesAFrameOfTheScan) {
  // Its points are new after every turn of its own, even where the room stands still.
  const RadarModel::OtherScanner second{9000, 2000, {{8000, 3000}, {8100, 3050}}, 1, false};
  for (int turn = 0; turn < 2; ++turn) {
    form_.radar().showOtherScanners({second});
    EXPECT_EQ(announcements_, turn + 1);
    EXPECT_EQ(rule_.due(), (RadarFrameParts{false, false, true}));
    rule_.painted();
    EXPECT_FALSE(rule_.due().any());
  }
}

TEST_F(RadarFrameRuleTest, StillThingsRedrawTheBackdropAndAMaskBeingDraggedTheScan) {
  const auto after = [this](auto change) {
    rule_.painted();
    announcements_ = 0;
    change();
    EXPECT_EQ(announcements_, rule_.due().any() ? 1 : 0);
    return rule_.due();
  };
  RadarModel& radar = form_.radar();
  const std::vector<std::vector<std::array<float, 2>>> outline{{{7000, 4000}, {7100, 4000}}};
  // The model's notification also makes the scan due, which a whole backdrop covers.
  EXPECT_TRUE(after([&] { radar.showOutlines(outline); }).backdrop);
  // Learned again alike, or the angle correction retyped as it was: nothing to paint.
  EXPECT_EQ(after([&] { radar.showOutlines(outline); }), RadarFrameParts{});
  EXPECT_TRUE(after([&] { radar.showMasks({{100, 100, 900, 900}}); }).backdrop);
  EXPECT_EQ(after([&] {
              radar.showDraggedMask(std::array<float, 4>{10, 10, 50, 50});
            }),
            (RadarFrameParts{false, false, true}));
  EXPECT_EQ(after([&] {
              radar.showDraggedMask(std::array<float, 4>{10, 10, 50, 50});
            }),
            RadarFrameParts{});
  EXPECT_EQ(after([&] { radar.showDraggedMask(std::nullopt); }),
            (RadarFrameParts{false, false, true}));
  EXPECT_EQ(after([&] { radar.showDraggedMask(std::nullopt); }), RadarFrameParts{});
}

}  // namespace
}  // namespace scantouch
