#include "app/engine_settings.h"

#include <string>

#include "background/view_masks.h"
#include "common/blanks.h"

namespace scantouch {

TouchEngineSettings EngineSettingsOf(const TouchEngineSection& section) {
  namespace keys = touch_engine_keys;
  const TouchEngineControls& c = section.controls();
  TouchEngineSettings settings;
  if (c.mouseMode.selected() >= 0)
    settings.mouseMode = static_cast<MouseMode>(c.mouseMode.selected());
  settings.tuioTargets = std::string(TrimBlanks(c.tuioTargets.text()));
  settings.systemTouch = c.systemTouch.isChecked();
  settings.webService = std::string(TrimBlanks(c.webService.text()));
  settings.birthTurns =
      ParseTurns(section.textInForce(keys::kBirthTurns)).value_or(settings.birthTurns);
  settings.removalTurns =
      ParseTurns(section.textInForce(keys::kRemovalTurns)).value_or(settings.removalTurns);
  settings.gapMm = ParseDistanceMm(section.textInForce(keys::kGap)).value_or(settings.gapMm);
  settings.gateMm = ParseDistanceMm(section.textInForce(keys::kGate)).value_or(settings.gateMm);
  settings.smoothing = c.smoothing.isChecked();
  settings.masks = ParseMasks(c.masks.text()).masks;
  return settings;
}

}  // namespace scantouch
