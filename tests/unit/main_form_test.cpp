#include "app/main_form.h"

#include <gtest/gtest.h>

#include <vector>

#include "config/ini_document.h"
#include "main_form_on_fakes.h"

namespace scantouch {
namespace {

namespace keys = main_settings;

class MainFormTest : public ::testing::Test {
 protected:
  void store(std::string_view key, std::string_view value) {
    std::string& file = on_.settings.files.files[on_.settings.file.path()];
    file = SetIniValue(file, keys::kParameters, key, value);
  }

  testing::MainFormOnFakes on_;
  MainForm& form_ = on_.form;
};

TEST_F(MainFormTest, TheDecoderHoldsWhatItsBoxesShowFromTheStartThroughLoadingAndTyping) {
  EXPECT_EQ(form_.decoder().sensitivity(), 2);  // the design-time values
  store(keys::kSensitivity, "7.5");
  store(keys::kAngleCorrection, "450");
  form_.load();
  EXPECT_EQ(form_.decoder().sensitivity(), 8);
  EXPECT_EQ(form_.decoderSettings(), (DecoderSettings{8, 90.0}));
  form_.TXT灵敏度.setText("12");
  EXPECT_EQ(form_.decoder().sensitivity(), 12);
}

TEST_F(MainFormTest, ThePlacementIsPublishedAtOnceAndAtEveryChangeOfItsBoxes) {
  std::vector<ScannerPlacement> published;
  form_.publishScannerPlacement(
      [&published](const ScannerPlacement& placement) { published.push_back(placement); });
  ASSERT_EQ(published.size(), 1u);
  EXPECT_EQ(published.back().angleCorrectionDegrees, 90.0);

  store(keys::kScannerPosition, "7500,7500");
  store(keys::kAngleCorrection, "450");
  form_.load();
  EXPECT_EQ(published.back(), (ScannerPlacement{IntPair{7500, 7500}, 450.0}));
  const std::size_t before = published.size();
  form_.TXT灵敏度.setText("9");  // no part of the placement
  EXPECT_EQ(published.size(), before);
  form_.txt雷达位置.setText("1,1E20");
  EXPECT_EQ(published.back(), (ScannerPlacement{std::nullopt, 450.0}));
}

}  // namespace
}  // namespace scantouch
