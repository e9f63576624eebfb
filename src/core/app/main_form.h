#pragma once

#include "scan/beam_table.h"
#include "scan/point_processor.h"
#include "scan/radar_view.h"
#include "scan/scan_stream_decoder.h"
#include "toolkit/check_box.h"
#include "toolkit/label.h"
#include "toolkit/shape.h"
#include "toolkit/text_box.h"
#include "touch/desktop_input.h"
#include "touch/touch_mapper.h"

namespace scantouch {

// The main window as a model: its controls hold the running state, and their handlers are wired
// here into the road from received text to cursor and click. A view binds widgets to these
// controls; the controls never know about the view.
class MainForm {
 public:
  explicit MainForm(DesktopInput& desktop,
                    ScanStreamDecoder::Recovery recovery = ScanStreamDecoder::Recovery::realign);
  MainForm(const MainForm&) = delete;
  MainForm& operator=(const MainForm&) = delete;

  // Received data, its decoding and the debug displays of it.
  TextBox TXTRX{"TXTRX"};
  CheckBox CHK处理{"CHK处理", "处理"};
  Label Label2{"Label2"};
  Label Label4{"Label4"};

  // Scan parameters.
  TextBox TXT灵敏度{"TXT灵敏度"};
  TextBox txt角度校正{"txt角度校正"};

  // The radar view's geometry, in view units.
  Shape Shape1{"Shape1"};
  Shape SHPWIN{"SHPWIN"};
  BeamTable Line1;

  // Touches and where they go on the desktop.
  TextBox TXT当前处理数据{"TXT当前处理数据"};
  TextBox txt校正后数据{"txt校正后数据"};
  TextBox TXT屏幕宽高{"TXT屏幕宽高"};
  TextBox TXT屏幕左上角{"TXT屏幕左上角"};
  CheckBox CHK鼠标移动{"CHK鼠标移动", "鼠标移动"};
  CheckBox CHK鼠标点击{"CHK鼠标点击", "鼠标点击"};

  RadarView& radar() { return radar_; }
  ScanStreamDecoder& decoder() { return decoder_; }
  PointProcessor& points() { return points_; }
  TouchMapper& mapper() { return mapper_; }

 private:
  NullRadarView radar_;
  PointProcessor points_;
  ScanStreamDecoder decoder_;
  TouchMapper mapper_;
};

}  // namespace scantouch
