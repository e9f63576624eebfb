#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "config/executable_directory.h"
#include "config/ini_store.h"

namespace scantouch {

// One settings file beside the executable, read and written a key at a time.
class SettingsFile {
 public:
  SettingsFile(IniStore& store, const ExecutableDirectory& directory, std::string fileName)
      : store_(store), directory_(directory), fileName_(std::move(fileName)) {}

  std::string path() const { return directory_.path() + "/" + fileName_; }
  std::string read(std::string_view section, std::string_view key) const {
    return store_.ReadIniString(path(), section, key);
  }
  void write(std::string_view section, std::string_view key, std::string_view value) {
    store_.WriteIniString(path(), section, key, value);
  }
  // Tells the program's log, once, that the stored value of a key could not be used.
  void reportUnusable(std::string_view section, std::string_view key,
                      std::string_view consequence) {
    const std::string where = path() + " [" + std::string(section) + "] " + std::string(key);
    store_.reports().report(where, "cannot use " + where + " = \"" + read(section, key) +
                                       "\": " + std::string(consequence));
  }
  // Tells the log that a value the user typed for a key could not be used: once, until a value
  // that can be used is typed for that key (`acceptedEntry`).
  void reportUnusableEntry(std::string_view section, std::string_view key, std::string_view typed,
                           std::string_view consequence) {
    const std::string where = path() + " [" + std::string(section) + "] " + std::string(key);
    store_.reports().report(where + "\ntyped", "cannot use \"" + std::string(typed) +
                                                   "\" typed for " + where + ": " +
                                                   std::string(consequence));
  }
  void acceptedEntry(std::string_view section, std::string_view key) {
    store_.reports().clear(path() + " [" + std::string(section) + "] " + std::string(key) +
                           "\ntyped");
  }

 private:
  IniStore& store_;
  const ExecutableDirectory& directory_;
  std::string fileName_;
};

// The main window's settings file, its sections and keys.
namespace main_settings {
inline constexpr const char* kFileName = "系统配置.ini";

inline constexpr std::string_view kActions = "动作设置";
inline constexpr std::string_view kHideAtStartup = "开机自动隐藏";
inline constexpr std::string_view kMouseClick = "鼠标点击";
inline constexpr std::string_view kMouseMove = "鼠标移动";
inline constexpr std::string_view kProgram = "程序设置";
inline constexpr std::string_view kRunAtStartup = "开机自动运行";
inline constexpr std::string_view kNetwork = "网络设置";
inline constexpr std::string_view kUseNetwork = "使用网络";
inline constexpr std::string_view kDisplayMode = "曲线模式";  // section and key
inline constexpr std::string_view kViewRange = "面积设置";    // section and key
inline constexpr std::string_view kSerial = "串口设置";
inline constexpr std::string_view kPort = "端口";
inline constexpr std::string_view kParameters = "参数设置";
inline constexpr std::string_view kScannerPosition = "雷达位置";
inline constexpr std::string_view kScreenSize = "屏幕宽高";
inline constexpr std::string_view kScreenTopLeft = "屏幕左上角";
inline constexpr std::string_view kCalibTopLeft = "标定左上角";
inline constexpr std::string_view kCalibSize = "标定右下角";
inline constexpr std::string_view kSensitivity = "灵敏度";
inline constexpr std::string_view kAngleCorrection = "角度校正";
}  // namespace main_settings

}  // namespace scantouch
