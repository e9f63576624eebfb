#include "app/road_settings.h"

#include <gtest/gtest.h>

#include <limits>

namespace scantouch {
namespace {

TEST(RoadSettingsTest, TheGateIsTheRoundedNumberHeldWithinSixteenBits) {
  EXPECT_EQ(DecoderSettingsFromText("5", "0").qualityGate, 5);
  EXPECT_EQ(DecoderSettingsFromText("2.5", "0").qualityGate, 2);  // half to even
  EXPECT_EQ(DecoderSettingsFromText("3.5", "0").qualityGate, 4);
  EXPECT_EQ(DecoderSettingsFromText("", "0").qualityGate, 0);
  EXPECT_EQ(DecoderSettingsFromText("abc", "0").qualityGate, 0);
  EXPECT_EQ(DecoderSettingsFromText("1E9", "0").qualityGate,
            std::numeric_limits<std::int16_t>::max());
  EXPECT_EQ(DecoderSettingsFromText("-1E999", "0").qualityGate,
            std::numeric_limits<std::int16_t>::min());
}

TEST(RoadSettingsTest, TheDecodersCorrectionLosesItsWholeTurnsAndAnythingNotFinite) {
  EXPECT_EQ(DecoderSettingsFromText("2", "90").angleCorrectionDegrees, 90.0);
  EXPECT_EQ(DecoderSettingsFromText("2", "370").angleCorrectionDegrees, 10.0);
  EXPECT_EQ(DecoderSettingsFromText("2", "-725.5").angleCorrectionDegrees, -5.5);
  EXPECT_EQ(DecoderSettingsFromText("2", "-1E999").angleCorrectionDegrees, 0.0);
  EXPECT_EQ(DecoderSettingsFromText("2", "1E999").angleCorrectionDegrees, 0.0);
}

TEST(RoadSettingsTest, ThePlacementKeepsThePairAndTheCorrectionAsTyped) {
  const ScannerPlacement placement = ScannerPlacementFromText("7500,7499.5", "450");
  EXPECT_EQ(placement.position, (IntPair{7500, 7500}));
  EXPECT_EQ(placement.angleCorrectionDegrees, 450.0);
  EXPECT_EQ(ScannerPlacementFromText("", "").position, (IntPair{0, 0}));
  EXPECT_FALSE(ScannerPlacementFromText("1,1E20", "0").position.has_value());
}

}  // namespace
}  // namespace scantouch
