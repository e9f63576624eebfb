#include "app/window_layout.h"

#include <algorithm>
#include <utility>

#include "app/main_form.h"
#include "link/network_form.h"

namespace scantouch::layout {
namespace {

Item Make(Control& control, Kind kind, std::string name) {
  Item item;
  item.control = &control;
  item.kind = kind;
  item.name = std::move(name);
  return item;
}

template <typename Change>
Item Changed(const Item& item, Change change) {
  Item changed = item;
  change(changed);
  return changed;
}

}  // namespace

Item Item::captioned(std::string text) const {
  return Changed(*this, [&](Item& i) { i.caption = std::move(text); });
}
Item Item::wide(int least) const {
  return Changed(*this, [&](Item& i) { i.width = least; });
}
Item Item::exactlyWide(int w) const {
  return Changed(*this, [&](Item& i) {
    i.width = w;
    i.sizing = Sizing::exactly;
  });
}
Item Item::high(int most) const {
  return Changed(*this, [&](Item& i) { i.height = most; });
}
Item Item::readOnly() const {
  return Changed(*this, [](Item& i) { i.access = Access::readOnly; });
}
Item Item::perFrame() const {
  return Changed(*this, [](Item& i) { i.refresh = Refresh::perFrame; });
}
Item Item::spanning(int columns) const {
  return Changed(*this, [&](Item& i) { i.span = columns; });
}
Item Item::newest(std::size_t chars) const {
  return Changed(*this, [&](Item& i) { i.shownChars = chars; });
}
Item Item::wrapped(int lineCount) const {
  return Changed(*this, [&](Item& i) {
    i.wraps = true;
    i.lines = lineCount;
  });
}

bool Item::grows() const {
  switch (kind) {
    case Kind::lineEdit:
      return sizing == Sizing::atLeast;
    case Kind::multiLineText:
    case Kind::list:
    case Kind::comboBox:
      return true;
    default:
      return false;
  }
}

Item LineEdit(TextBox& box, std::string name) {
  return Make(box, Kind::lineEdit, std::move(name));
}
Item MultiLineText(TextBox& box, std::string name) {
  return Make(box, Kind::multiLineText, std::move(name));
}
Item ShowLabel(Label& label, std::string name) {
  return Make(label, Kind::label, std::move(name));
}
Item Check(CheckBox& box, std::string name) {
  return Make(box, Kind::checkBox, std::move(name));
}
Item Radios(OptionArray& options, std::string name, int perRow) {
  Item item = Make(options, Kind::radioButtons, std::move(name));
  item.perRow = perRow;
  return item;
}
Item Radio(OptionArray& options, int option, std::string name) {
  Item item = Make(options, Kind::radioButton, std::move(name));
  item.option = option;
  return item;
}
Item Push(Button& button, std::string name) {
  return Make(button, Kind::button, std::move(name));
}
Item List(ListBox& list, std::string name) {
  return Make(list, Kind::list, std::move(name));
}
Item Combo(ComboBox& box, std::string name) {
  return Make(box, Kind::comboBox, std::move(name));
}
Item Note(std::string text) {
  Item item;
  item.kind = Kind::note;
  item.caption = std::move(text);
  return item;
}
Item Gap() {
  return Item{};
}

WindowLayout MainWindowLayout(MainForm& f) {
  WindowLayout window;
  window.window = &f.Form1;
  window.title = f.Form1.caption();
  window.view = Make(f.PICYL, Kind::radarView, "radarView");

  // Each calibration step on the row of the text box it fills, the scanner first.
  Page calibration{
      "标定",
      {{"位置相关参数设置",
        {{Radio(f.OPT标定, 2, "markScanner"), LineEdit(f.txt雷达位置, "scannerPosition").wide(110)},
         {Radio(f.OPT标定, 0, "markTopLeft"), LineEdit(f.TXT标定左上角, "markedTopLeft").wide(110)},
         {Radio(f.OPT标定, 1, "markBottomRight"),
          LineEdit(f.TXT标定右下角, "markedBottomRight").wide(110)},
         {Radio(f.OPT标定, 3, "setScreenTopLeft"),
          LineEdit(f.TXT屏幕左上角, "screenTopLeft").wide(110)},
         {Radio(f.OPT标定, 4, "setScreenSize"), LineEdit(f.TXT屏幕宽高, "screenSize").wide(110)},
         {Radio(f.OPT标定, 5, "calibrationDone"),
          ShowLabel(f.LBL鼠标在屏幕的当前位置, "cursorPosition")}}},
       {"扫描参数",
        {{LineEdit(f.TXT灵敏度, "sensitivity").captioned("灵敏度").wide(60),
          Note("0-64，数值越小灵敏度越高")},
         {LineEdit(f.txt角度校正, "angleCorrection").captioned("角度校正").wide(60)},
         {ShowLabel(f.Label1, "serialPortState"), LineEdit(f.Text1, "serialPort").wide(60),
          ShowLabel(f.Label4, "scanRate").perFrame()}}}}};

  Page options{
      "选项",
      {{"曲线模式", {{Radios(f.OPT曲线模式, "displayMode")}}},
       {"面积设置", {{Radios(f.OPT面积设置, "range", 4)}}},
       {"动作设置",
        {{Check(f.CHK鼠标移动, "mouseMove"), Check(f.CHK鼠标点击, "mouseClick"),
          Check(f.CHK使用网络, "useNetwork")}}},
       {"程序设置",
        {{Check(f.CHK开机自动运行, "startWithSystem"), Check(f.CHK开机自动隐藏, "startHidden")}}},
       {"其它",
        {{Radios(f.OPT精度, "precision")},
         {Radios(f.Option1, "roundTable").spanning(2),
          Radios(f.Option2, "wallProjection").spanning(3)},
         {Check(f.Check2, "showLaserPointer").spanning(2),
          Check(f.CHK鼠标画4个圈测试, "cursorCircleTest").spanning(3)}}}}};

  Group tracking{"跟踪",
                 {{LineEdit(f.TXT出现圈数, "birthTurns").captioned("出现圈数").exactlyWide(60),
                   Note("连续扫到几圈才算触摸")},
                  {LineEdit(f.TXT消失圈数, "removalTurns").captioned("消失圈数").exactlyWide(60),
                   Note("连续几圈扫不到才算抬起")},
                  {LineEdit(f.TXT分组间距, "groupingGap").captioned("分组间距").exactlyWide(60),
                   Note("毫米，近于此的点算同一物体")},
                  {LineEdit(f.TXT匹配距离, "matchDistance").captioned("匹配距离").exactlyWide(60),
                   Note("毫米，触点每圈可移动的距离")},
                  {Check(f.CHK平滑, "smoothing").spanning(3)}},
                 2};
  Page touch{
      "触控",
      {{"鼠标模式", {{Radios(f.OPT鼠标模式, "mouseMode")}}},
       // The web service's label stands right of its box: it says how to fill the box
       // while it is empty, then where to look.
       {"输出",
        {{LineEdit(f.TXTTUIO目标, "tuioTargets").captioned("TUIO目标").wide(220).spanning(2)},
         {Gap(), Note("主机:端口，多个用分号隔开，空为不发送").spanning(2)},
         {LineEdit(f.TXT网页服务, "webService").captioned("网页服务").exactlyWide(130),
          ShowLabel(f.LBL网页服务, "webServiceStatus")},
         {Check(f.CHK系统触控, "systemTouch").spanning(2)}},
        2},
       {"静物",
        {{LineEdit(f.TXT屏蔽区域, "masks").captioned("屏蔽区域").wide(220)},
         {Gap(), Note("x1,y1,x2,y2;… 其中的点不算触摸")},
         {Gap(), Check(f.CHK画屏蔽区, "drawMask")},
         {Push(f.CMD学习背景, "learnBackground"), Push(f.CMD清除背景, "clearBackground")},
         {ShowLabel(f.LBL背景, "backgroundStatus").wrapped(2)}}},
       tracking,
       // One line: the engine's state and how many contacts it has.
       {"状态", {{ShowLabel(f.LBL触控状态, "touchStatus")}}}}};

  Group commands;
  for (int i = 0; i < f.Text3.size(); ++i) {
    const std::string n = std::to_string(i);
    commands.rows.push_back(
        {LineEdit(f.Text3[i], "commandText" + n), Push(f.Command1[i], "sendCommand" + n)});
  }
  Page debug{"调试",
             {commands,
              {"",
               {{LineEdit(f.TXT当前处理数据, "currentTouch").captioned("当前数据")},
                {LineEdit(f.txt校正后数据, "mappedTouch").captioned("校正后")}}},
              {"",
               {{Check(f.CHK处理, "processing"), ShowLabel(f.Label2, "receivedLength").perFrame(),
                 Push(f.Command2, "clearReceived")}},
               1},
              // The newest part of the receive buffer: 1000 bytes of hex text, what fits the box.
              {"",
               {{MultiLineText(f.TXTRX, "receiveBuffer").readOnly().perFrame().newest(3000)},
                {MultiLineText(f.radar().txtjd, "angleTrace").readOnly().perFrame()},
                {List(f.List1, "eventLog").perFrame()}}}}};

  // Opt-in: several scanners on one surface, and a perspective mapping from four touched corners.
  Page surface{
      "表面标定",
      {{"四角标定",
        {{Push(f.CMD四角标定, "fourCornerCalibration"), Push(f.CMD两角标定, "twoCornerMapping")},
         {ShowLabel(f.LBL四角标定, "mappingInForce").wrapped(2)}}},
       {"多扫描仪",
        {{ShowLabel(f.LBL扫描仪, "scanners").wrapped(2)},
         {Push(f.CMD记录位姿点, "recordPosePlace"), Push(f.CMD计算位姿, "solvePoses")},
         {ShowLabel(f.LBL位姿标定, "poseCalibration").wrapped(2)}}}}};
  window.pages = {calibration, options, touch, surface, debug};
  window.buttons = {Push(f.CMD开始, "start"), Push(f.CMD停止, "stop"),
                    Push(f.Command3, "networkSettings"), Push(f.CMD隐藏, "hide"),
                    Push(f.CMD结束程序, "exit")};

  window.notShown = {&f.TMR计算扫描频率,
                     &f.Timer1,
                     &f.Timer2,
                     &f.TMR开始,
                     &f.TMR鼠标在屏幕的当前位置,
                     &f.tmr鼠标画4个圈测试,
                     &f.tmr鼠标画4个圈测试20秒自动关闭,
                     &f.Shape1,  // the radar view draws the shapes, labels and marker
                     &f.SHPWIN};
  for (Label& quality : f.radar().lblquality)
    window.notShown.push_back(&quality);
  for (Shape& marker : f.radar().shpmouse)
    window.notShown.push_back(&marker);
  return window;
}

WindowLayout NetworkWindowLayout(NetworkForm& f) {
  WindowLayout window;
  window.window = &f.Window;
  window.title = "网络控制调试窗口";

  Group client{"TCP client",
               {{Note(""), Note("IP"), Note("端口"), Note("名称"), Note("状态"), Note("发送"),
                 Note("发送失败处理方法"), Note("同步到其它端口"), Note("接收")}}};
  for (int i = 0; i < f.channelCount(); ++i) {
    TcpChannel& c = f.channel(i);
    const std::string n = "channel" + std::to_string(i) + ".";
    client.rows.push_back({ShowLabel(c.LblTcpNam, n + "health"),
                           LineEdit(c.TxtTcpIp, n + "address"), LineEdit(c.TxtTcpPost, n + "port"),
                           LineEdit(c.TxtTcpNam, n + "name"), ShowLabel(c.LBLTcpState, n + "state"),
                           Combo(c.TxtTcpTx, n + "send").perFrame(),
                           Combo(c.CMB发送失败处理方法, n + "failurePolicy").perFrame(),
                           Combo(c.CMDTCP同步到其它端口, n + "syncTo").perFrame(),
                           LineEdit(c.TxtTcpRx, n + "scratch")});
  }
  Group settings{
      "",
      {{LineEdit(f.TXTTCP连接超时, "connectTimeout").captioned("连接超时（秒）：").wide(60),
        LineEdit(f.Text5, "localAddress").captioned("本机IP：").wide(130),
        Note("注意防火墙是否打开.")}}};
  Group received{"",
                 {{MultiLineText(f.Text1, "receivedBlock").readOnly().perFrame().high(80),
                   LineEdit(f.Text2, "receivedEnd").readOnly().perFrame()}},
                 0};
  window.pages = {Page{"", {client, settings, received}}};
  window.buttons = {Push(f.Command1, "reload"), Push(f.Command2, "save"), Push(f.Command3, "hide")};
  window.notShown = {&f.TMRTCPC连接状态判断, &f.TmrTcp发送};
  return window;
}

std::vector<Cell> Cells(const Group& group) {
  std::vector<Cell> cells;
  int row = 0;
  for (const Row& items : group.rows) {
    int column = 0;
    int rows = 1;  // a radio group of several rows makes its row as high
    for (const Item& item : items) {
      if (!item.caption.empty() && item.kind != Kind::note)
        cells.push_back(Cell{&item, true, -1, row, column++, 1});
      if (item.kind == Kind::radioButtons) {
        const int count = item.options().size();
        // At least one to a row: an array without options takes no cell and no row.
        const int perRow = std::max(1, item.perRow > 0 ? item.perRow : count);
        for (int option = 0; option < count; ++option) {
          cells.push_back(Cell{&item, false, option, row + option / perRow,
                               column + (option % perRow) * item.span, item.span});
        }
        rows = std::max(rows, (count + perRow - 1) / perRow);
        column += std::min(count, perRow) * item.span;
      } else {
        cells.push_back(Cell{&item, false, item.option, row, column, item.span});
        column += item.span;
      }
    }
    row += rows;
  }
  return cells;
}

int ColumnCount(const std::vector<Cell>& cells) {
  int count = 0;
  for (const Cell& cell : cells)
    count = std::max(count, cell.column + cell.span);
  return count;
}

void ForEachItem(const WindowLayout& window, const std::function<void(const Item&)>& visit) {
  visit(window.view);
  for (const Page& page : window.pages) {
    for (const Group& group : page.groups) {
      for (const Row& row : group.rows) {
        for (const Item& item : row)
          visit(item);
      }
    }
  }
  for (const Item& item : window.buttons)
    visit(item);
}

const Item* Find(const WindowLayout& window, std::string_view name) {
  const Item* found = nullptr;
  ForEachItem(window, [&](const Item& item) {
    if (found == nullptr && !name.empty() && item.name == name)
      found = &item;
  });
  return found;
}

}  // namespace scantouch::layout
