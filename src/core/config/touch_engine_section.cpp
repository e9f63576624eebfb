#include "config/touch_engine_section.h"

#include <charconv>
#include <string>

#include "background/view_masks.h"
#include "common/blanks.h"

namespace scantouch {
namespace {

namespace keys = touch_engine_keys;

constexpr int kMaxTurns = 50;
constexpr int kMaxDistanceMm = 5000;

// Plain decimal digits, blanks around them allowed.
std::optional<int> ParseWhole(std::string_view text, int lowest, int highest) {
  text = TrimBlanks(text);
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < lowest ||
      value > highest)
    return std::nullopt;
  return value;
}

bool UsableTurns(std::string_view text) {
  return ParseTurns(text).has_value();
}
bool UsableDistance(std::string_view text) {
  return ParseDistanceMm(text).has_value();
}
bool UsableAnyText(std::string_view) {
  return true;
}

}  // namespace

std::optional<int> ParseTurns(std::string_view text) {
  return ParseWhole(text, 1, kMaxTurns);
}

std::optional<double> ParseDistanceMm(std::string_view text) {
  const auto value = ParseWhole(text, 1, kMaxDistanceMm);
  return value ? std::optional<double>(*value) : std::nullopt;
}

TouchEngineSection::TouchEngineSection(TouchEngineControls controls, SettingsFile& file)
    : c_(controls), file_(file) {}

void TouchEngineSection::connect(std::function<void()> changed) {
  changed_ = std::move(changed);
  c_.tuioTargets.changed.connect([this] { store(keys::kTuioTargets, c_.tuioTargets.text()); });
  c_.webService.changed.connect([this] { store(keys::kWebService, c_.webService.text()); });
  const auto storeChecked = [this](TextBox& box, std::string_view key,
                                   bool (*usable)(std::string_view), std::string range) {
    box.changed.connect(
        [this, &box, key, usable, range] { storeTyped(key, box.text(), usable, range); });
  };
  const std::string turns = "1.." + std::to_string(kMaxTurns);
  const std::string distance = "1.." + std::to_string(kMaxDistanceMm);
  storeChecked(c_.birthTurns, keys::kBirthTurns, UsableTurns, turns);
  storeChecked(c_.removalTurns, keys::kRemovalTurns, UsableTurns, turns);
  storeChecked(c_.gap, keys::kGap, UsableDistance, distance);
  storeChecked(c_.gate, keys::kGate, UsableDistance, distance);
  const auto storeCheck = [this](CheckBox& box, std::string_view key) {
    box.clicked.connect([this, &box, key] { store(key, std::to_string(box.value())); });
  };
  storeCheck(c_.systemTouch, keys::kSystemTouch);
  storeCheck(c_.smoothing, keys::kSmoothing);
  c_.masks.changed.connect([this] {
    reportMasks(c_.masks.text(), true);
    store(keys::kMasks, c_.masks.text());
  });
  c_.mouseMode.clicked.connect(
      [this](int index) { store(keys::kMouseMode, std::to_string(index)); });
}

void TouchEngineSection::storeTyped(std::string_view key, const std::string& text,
                                    bool (*usable)(std::string_view), const std::string& range) {
  if (loading_)
    return;
  // A blank box means the default, as an absent key does. Any other text that cannot be used is
  // not stored: the file keeps the last value that can, which stays in force until the next start
  // and after it.
  if (!TrimBlanks(text).empty() && !usable(text)) {
    const std::string& held = inForce_[std::string(key)];
    file_.reportUnusableEntry(keys::kSection, key, text,
                              "not stored, a whole number " + range + " is needed; " +
                                  (TrimBlanks(held).empty() ? "the default" : held) +
                                  " stays in force");
    return;
  }
  file_.acceptedEntry(keys::kSection, key);
  inForce_[std::string(key)] = text;
  store(key, text);
}

void TouchEngineSection::store(std::string_view key, const std::string& value) {
  if (loading_)
    return;
  file_.write(keys::kSection, key, value);
  if (changed_)
    changed_();
}

void TouchEngineSection::load() {
  loading_ = true;
  namespace defaults = touch_engine_defaults;

  const std::string mode = file_.read(keys::kSection, keys::kMouseMode);
  const auto index = ParseWhole(mode, 0, c_.mouseMode.size() - 1);
  if (!index && !TrimBlanks(mode).empty())
    file_.reportUnusable(keys::kSection, keys::kMouseMode, "the default 0 is used");
  (void)c_.mouseMode.select(index.value_or(defaults::kMouseMode));

  loadText(c_.tuioTargets, keys::kTuioTargets, "", UsableAnyText);
  loadText(c_.webService, keys::kWebService, "", UsableAnyText);
  loadCheck(c_.systemTouch, keys::kSystemTouch, defaults::kSystemTouch);
  loadText(c_.birthTurns, keys::kBirthTurns, std::to_string(defaults::kBirthTurns), UsableTurns);
  loadText(c_.removalTurns, keys::kRemovalTurns, std::to_string(defaults::kRemovalTurns),
           UsableTurns);
  loadText(c_.gap, keys::kGap, std::to_string(defaults::kGapMm), UsableDistance);
  loadText(c_.gate, keys::kGate, std::to_string(defaults::kGateMm), UsableDistance);
  loadCheck(c_.smoothing, keys::kSmoothing, defaults::kSmoothing);
  const std::string masks = file_.read(keys::kSection, keys::kMasks);
  c_.masks.setText(masks);
  reportMasks(masks, false);
  loading_ = false;
  if (changed_)
    changed_();
}

void TouchEngineSection::loadText(TextBox& box, std::string_view key, const std::string& fallback,
                                  bool (*usable)(std::string_view)) {
  const std::string stored = file_.read(keys::kSection, key);
  if (TrimBlanks(stored).empty()) {
    box.setText(fallback);
    return;
  }
  if (!usable(stored)) {
    file_.reportUnusable(keys::kSection, key, "the default " + fallback + " is used");
    box.setText(fallback);
    return;
  }
  box.setText(stored);
  inForce_[std::string(key)] = stored;
}

void TouchEngineSection::loadCheck(CheckBox& box, std::string_view key, bool fallback) {
  const std::string stored = file_.read(keys::kSection, key);
  auto value = ParseWhole(stored, CheckBox::kCleared, CheckBox::kChecked);
  if (!value && !TrimBlanks(stored).empty())
    file_.reportUnusable(keys::kSection, key,
                         std::string("the default ") + (fallback ? "1" : "0") + " is used");
  (void)box.setValue(value.value_or(fallback ? CheckBox::kChecked : CheckBox::kCleared));
}

void TouchEngineSection::reportMasks(const std::string& text, bool typed) {
  // One line for all of them: the log tells a key once.
  std::string refused;
  for (const ParsedMasks::Refused& mask : ParseMasks(text).refused)
    refused += (refused.empty() ? "\"" : ", \"") + mask.text + "\" (" + mask.reason + ")";
  if (refused.empty())
    return;
  const std::string consequence = "left out " + refused + ", the other masks are used";
  if (typed)
    file_.reportUnusableEntry(keys::kSection, keys::kMasks, text, consequence);
  else
    file_.reportUnusable(keys::kSection, keys::kMasks, consequence);
}

std::string_view TouchEngineSection::textInForce(std::string_view key) const {
  const TextBox* box = nullptr;
  bool (*usable)(std::string_view) = UsableTurns;
  if (key == keys::kBirthTurns) {
    box = &c_.birthTurns;
  } else if (key == keys::kRemovalTurns) {
    box = &c_.removalTurns;
  } else if (key == keys::kGap || key == keys::kGate) {
    box = key == keys::kGap ? &c_.gap : &c_.gate;
    usable = UsableDistance;
  } else {
    return {};
  }
  const std::string& text = box->text();
  if (TrimBlanks(text).empty() || usable(text))
    return text;
  const auto held = inForce_.find(key);
  return held == inForce_.end() ? std::string_view{} : std::string_view(held->second);
}

}  // namespace scantouch
