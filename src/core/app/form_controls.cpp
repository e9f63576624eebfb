// The control lists of the window models, in the order of their declarations. A control added to
// a model belongs here too: the layout test then asks where each window shows it.

#include "app/main_form.h"
#include "link/network_form.h"

namespace scantouch {
namespace {

template <typename ControlType>
void AddAll(std::vector<Control*>& controls, ControlArray<ControlType>& array) {
  for (ControlType& control : array)
    controls.push_back(&control);
}

}  // namespace

std::vector<Control*> MainForm::controls() {
  std::vector<Control*> all = {&Form1,  &CMD隐藏, &CMD结束程序,     &TXTRX,     &CHK处理,
                               &Label2, &Label4,  &TMR计算扫描频率, &TXT灵敏度, &txt角度校正,
                               &Text1,  &Label1,  &Timer1,          &Timer2};
  AddAll(all, Text3);
  AddAll(all, Command1);
  for (Control* control : std::initializer_list<Control*>{
           &CMD开始,
           &CMD停止,
           &Command2,
           &Command3,
           &TMR开始,
           &List1,
           &PICYL,
           &OPT曲线模式,
           &OPT面积设置,
           &Shape1,
           &SHPWIN,
           &txt雷达位置,
           &TXT标定左上角,
           &TXT标定右下角,
           &TXT当前处理数据,
           &txt校正后数据,
           &TXT屏幕宽高,
           &TXT屏幕左上角,
           &CHK鼠标移动,
           &CHK鼠标点击,
           &OPT标定,
           &LBL鼠标在屏幕的当前位置,
           &TMR鼠标在屏幕的当前位置,
           &CHK鼠标画4个圈测试,
           &tmr鼠标画4个圈测试,
           &tmr鼠标画4个圈测试20秒自动关闭,
           &OPT精度,
           &Option1,
           &Option2,
           &Check2,
           &OPT鼠标模式,
           &TXTTUIO目标,
           &TXT网页服务,
           &LBL网页服务,
           &CHK系统触控,
           &TXT出现圈数,
           &TXT消失圈数,
           &TXT分组间距,
           &TXT匹配距离,
           &CHK平滑,
           &TXT屏蔽区域,
           &CHK画屏蔽区,
           &CMD学习背景,
           &CMD清除背景,
           &LBL背景,
           &LBL触控状态,
           &CMD四角标定,
           &CMD两角标定,
           &LBL四角标定,
           &LBL扫描仪,
           &CMD记录位姿点,
           &CMD计算位姿,
           &LBL位姿标定,
           &CHK使用网络,
           &CHK开机自动隐藏,
           &CHK开机自动运行,
       }) {
    all.push_back(control);
  }
  AddAll(all, radar_.lblquality);
  all.push_back(&radar_.txtjd);
  AddAll(all, radar_.shpmouse);
  return all;
}

std::vector<Control*> NetworkForm::controls() {
  std::vector<Control*> all = {
      &Window,   &TXTTCP连接超时,      &Text1,     &Text2, &Text5, &Command1, &Command2,
      &Command3, &TMRTCPC连接状态判断, &TmrTcp发送};
  for (const auto& channel : channels_) {
    for (Control* control : std::initializer_list<Control*>{
             &channel->TxtTcpIp, &channel->TxtTcpPost, &channel->TxtTcpNam, &channel->LBLTcpState,
             &channel->LblTcpNam, &channel->TxtTcpRx, &channel->TxtTcpTx,
             &channel->CMB发送失败处理方法, &channel->CMDTCP同步到其它端口}) {
      all.push_back(control);
    }
  }
  return all;
}

}  // namespace scantouch
