#pragma once

#include "config/touch_engine_section.h"
#include "engine/touch_engine_settings.h"

namespace scantouch {

// The engine's settings as the page "触控" holds them: a blank text counts as the default, a text
// that is not a usable value as the last usable one.
TouchEngineSettings EngineSettingsOf(const TouchEngineSection& section);

}  // namespace scantouch
