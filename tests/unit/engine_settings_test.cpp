#include "app/engine_settings.h"

#include <gtest/gtest.h>

namespace scantouch {
namespace {

// The section writes its own defaults into the boxes of a file without them; the engine falls back
// on its own where a box holds nothing usable. Both must be the same values.
TEST(EngineSettingsTest, TheSectionsDefaultsAreTheEngines) {
  namespace defaults = touch_engine_defaults;
  const TouchEngineSettings engine;
  EXPECT_EQ(defaults::kMouseMode, static_cast<int>(engine.mouseMode));
  EXPECT_TRUE(engine.tuioTargets.empty());
  EXPECT_EQ(defaults::kSystemTouch, engine.systemTouch);
  EXPECT_EQ(defaults::kBirthTurns, engine.birthTurns);
  EXPECT_EQ(defaults::kRemovalTurns, engine.removalTurns);
  EXPECT_EQ(defaults::kGapMm, engine.gapMm);
  EXPECT_EQ(defaults::kGateMm, engine.gateMm);
  EXPECT_EQ(defaults::kSmoothing, engine.smoothing);
  EXPECT_TRUE(engine.masks.empty());
}

}  // namespace
}  // namespace scantouch
