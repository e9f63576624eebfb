#include "main_form.h"

namespace scantouch {

MainForm::MainForm(DesktopInput& desktop, ScanStreamDecoder::Recovery recovery)
    : points_(PointControls{Shape1, SHPWIN, TXT当前处理数据}, Line1, radar_),
      decoder_(DecoderControls{TXTRX, TXT灵敏度, txt角度校正, CHK处理, Label2, Label4}, radar_,
               points_, recovery),
      mapper_(MappingControls{TXT当前处理数据, TXT屏幕宽高, TXT屏幕左上角, SHPWIN, CHK鼠标移动,
                              CHK鼠标点击, txt校正后数据},
              desktop) {
  // Processing is on from the start; it is not a stored setting.
  (void)CHK处理.setValue(CheckBox::kChecked);

  // The road: every append to the receive buffer runs a decoder pass, which hands each node to
  // the point processing, whose published touch runs the mapping.
  TXTRX.changed.connect([this] { decoder_.decodeReceiveBuffer(); });
  TXT当前处理数据.changed.connect([this] { mapper_.mapTouchToScreen(); });
}

}  // namespace scantouch
