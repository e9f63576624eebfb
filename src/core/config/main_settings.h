#pragma once

#include "config/settings_file.h"
#include "toolkit/check_box.h"
#include "toolkit/option_array.h"
#include "toolkit/picture_box.h"
#include "toolkit/shape.h"
#include "toolkit/text_box.h"

namespace scantouch {

// The controls of the main window that hold stored settings, and what the settings drive.
struct SettingsControls {
  OptionArray& displayMode;  // OPT曲线模式
  OptionArray& viewRange;    // OPT面积设置
  TextBox& scannerPosition;  // txt雷达位置
  TextBox& screenSize;       // TXT屏幕宽高
  TextBox& screenTopLeft;    // TXT屏幕左上角
  TextBox& calibSize;        // TXT标定右下角
  TextBox& calibTopLeft;     // TXT标定左上角
  TextBox& sensitivity;      // TXT灵敏度
  TextBox& serialPort;       // Text1
  TextBox& angleCorrection;  // txt角度校正
  CheckBox& mouseMove;       // CHK鼠标移动
  CheckBox& mouseClick;      // CHK鼠标点击
  CheckBox& useNetwork;      // CHK使用网络
  CheckBox& hideAtStartup;   // CHK开机自动隐藏
  CheckBox& runAtStartup;    // CHK开机自动运行
  Control& mainWindow;       // Form1: its visible flag is the window's
  Shape& scannerMarker;      // Shape1
  Shape& touchRect;          // SHPWIN
  PictureBox& view;          // PICYL
};

// The main settings file and the controls that hold its values: `fun_init` copies the file into
// the controls, and every control writes its own key back the moment it changes.
class MainSettings {
 public:
  // The view's side for each range option, in view units (millimetres).
  static constexpr int kRanges = 8;

  // `resetView` runs once every stored setting is in place: the view starts afresh at the
  // geometry just loaded.
  MainSettings(SettingsControls controls, SettingsFile& file, std::function<void()> resetView);

  // Connects the write-back handlers; from then on every change of a settings control is stored.
  void connectWriteBack();

  // Loads every stored setting into the controls and resets the radar view. Stops at the first
  // stored value that cannot be applied, which is told once to the program's log; what was
  // applied before stays.
  void fun_init();

  // A range option was selected: store it, rescale the view and load everything again.
  void onRangeSelected(int index);

  // How many times fun_init has started, nested runs included.
  int initialisationRuns() const { return initialisationRuns_; }

 private:
  bool loadOptionsAndTexts();
  bool loadCheckBoxes();
  bool placeShapes();
  // Reports where the initialisation stops; false, to stop it.
  bool stopAt(std::string_view section, std::string_view key);

  SettingsControls c_;
  SettingsFile& file_;
  std::function<void()> resetView_;
  int initialisationRuns_ = 0;
};

}  // namespace scantouch
