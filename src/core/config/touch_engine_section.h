#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "config/settings_file.h"
#include "toolkit/check_box.h"
#include "toolkit/option_array.h"
#include "toolkit/text_box.h"

namespace scantouch {

// The section of the main settings file that the touch engine keeps its settings in. Earlier
// installations have no such section and ignore it when it is there.
namespace touch_engine_keys {
inline constexpr std::string_view kSection = "触控引擎";
inline constexpr std::string_view kMouseMode = "鼠标模式";
inline constexpr std::string_view kTuioTargets = "TUIO目标";
inline constexpr std::string_view kWebService = "网页服务";
inline constexpr std::string_view kSystemTouch = "系统触控";
inline constexpr std::string_view kBirthTurns = "出现圈数";
inline constexpr std::string_view kRemovalTurns = "消失圈数";
inline constexpr std::string_view kGap = "分组间距";
inline constexpr std::string_view kGate = "匹配距离";
inline constexpr std::string_view kSmoothing = "平滑";
inline constexpr std::string_view kMasks = "屏蔽区域";
}  // namespace touch_engine_keys

// What a file without the section gets, and what a value that cannot be used gives way to. No
// TUIO targets and no masks.
namespace touch_engine_defaults {
inline constexpr int kMouseMode = 0;  // every touch of the single-touch road clicks
inline constexpr bool kSystemTouch = false;
inline constexpr int kBirthTurns = 2;
inline constexpr int kRemovalTurns = 2;
inline constexpr int kGapMm = 100;
inline constexpr int kGateMm = 250;
inline constexpr bool kSmoothing = true;
}  // namespace touch_engine_defaults

// The controls of the page "触控" that hold the engine's settings.
struct TouchEngineControls {
  OptionArray& mouseMode;  // OPT鼠标模式
  TextBox& tuioTargets;    // TXTTUIO目标
  TextBox& webService;     // TXT网页服务
  CheckBox& systemTouch;   // CHK系统触控
  TextBox& birthTurns;     // TXT出现圈数
  TextBox& removalTurns;   // TXT消失圈数
  TextBox& gap;            // TXT分组间距
  TextBox& gate;           // TXT匹配距离
  CheckBox& smoothing;     // CHK平滑
  TextBox& masks;          // TXT屏蔽区域
};

// Copies the section into the controls at start-up and writes each control's key back when the
// user changes it. A key that is absent gets its default without being written, so the file of an
// earlier installation stays as it is until the user changes a setting of the engine; a stored
// value that cannot be used is told to the log with its key, and its default is used. A typed
// value that cannot be used is told to the log once and not stored: the last usable one stays in
// the file and in force.
class TouchEngineSection {
 public:
  TouchEngineSection(TouchEngineControls controls, SettingsFile& file);

  // From now on every change of the controls is stored and reported to `changed`.
  void connect(std::function<void()> changed);
  void load();

  const TouchEngineControls& controls() const { return c_; }
  // The text in force of the box of `key` (turns and distances): the box's own when it is blank
  // or usable, else the last usable one (blank when there was none: the default).
  std::string_view textInForce(std::string_view key) const;

 private:
  void loadText(TextBox& box, std::string_view key, const std::string& fallback,
                bool (*usable)(std::string_view));
  void loadCheck(CheckBox& box, std::string_view key, bool fallback);
  void store(std::string_view key, const std::string& value);
  void storeTyped(std::string_view key, const std::string& text, bool (*usable)(std::string_view),
                  const std::string& range);
  // Tells the log of each mask of the text that cannot be used.
  void reportMasks(const std::string& text, bool typed);

  TouchEngineControls c_;
  SettingsFile& file_;
  std::function<void()> changed_;
  bool loading_ = false;
  // The last usable text of each checked box, by key: loaded or typed.
  std::map<std::string, std::string, std::less<>> inForce_;
};

// The ranges a stored or typed value must lie in.
std::optional<int> ParseTurns(std::string_view text);          // 1..50
std::optional<double> ParseDistanceMm(std::string_view text);  // 1..5000

}  // namespace scantouch
