#include "bindings.h"
#include "main_window.h"

namespace scantouch::gui_win32 {

void MakeTouchPage(MainForm& form, Page& page) {
  page.group("鼠标模式", 4, 4, 364, 54);
  std::vector<HWND> modes;
  for (int i = 0; i < 3; ++i)
    modes.push_back(page.radio(14 + i * 116, 26, 112));
  Bind(form.OPT鼠标模式, modes);

  page.group("输出", 4, 64, 364, 110);
  page.label("TUIO目标", 14, 86, 70);
  Bind(form.TXTTUIO目标, page.edit(88, 86, 268));
  page.label("主机:端口，多个用分号隔开，空为不发送", 88, 112, 268);
  Bind(form.CHK系统触控, page.check(14, 140, 170));

  page.group("跟踪", 4, 180, 364, 170);
  struct Row {
    const char* caption;
    TextBox* box;
    const char* hint;
  };
  const Row rows[] = {{"出现圈数", &form.TXT出现圈数, "连续扫到几圈才算触摸"},
                      {"消失圈数", &form.TXT消失圈数, "连续几圈扫不到才算抬起"},
                      {"分组间距", &form.TXT分组间距, "毫米，近于此的点算同一物体"},
                      {"匹配距离", &form.TXT匹配距离, "毫米，触点每圈可移动的距离"}};
  int y = 202;
  for (const Row& row : rows) {
    page.label(row.caption, 14, y, 70);
    Bind(*row.box, page.edit(88, y, 60));
    page.label(row.hint, 154, y, 206);
    y += 28;
  }
  Bind(form.CHK平滑, page.check(14, y, 170));

  page.group("状态", 4, 356, 364, 70);
  // Two lines, wrapped: the status may name several contacts.
  Bind(form.LBL触控状态, page.add(L"STATIC", SS_LEFT, 14, 378, 342, 40));
}

}  // namespace scantouch::gui_win32
