#include "bindings.h"
#include "main_window.h"

namespace scantouch::gui_win32 {

void MakeDebugPanel(ScannerProgram& program, FramePacer& pacer, Page& page) {
  MainForm& form = program.form();
  int y = 8;
  for (int i = 0; i < form.Text3.size(); ++i, y += 28) {
    Bind(form.Text3[i], page.edit(8, y, 230));
    Bind(form.Command1[i], page.button(246, y - 2, 110));
  }
  page.label("当前数据", 8, y, 70);
  BindPaced(form.TXT当前处理数据, page.edit(84, y, 272), pacer);
  y += 28;
  page.label("校正后", 8, y, 70);
  BindPaced(form.txt校正后数据, page.edit(84, y, 272), pacer);
  y += 30;
  Bind(form.CHK处理, page.check(8, y, 70));
  BindPaced(form.Label2, page.label("", 84, y, 160), pacer);
  Bind(form.Command2, page.button(246, y - 2, 110));
  y += 30;
  // The newest part of the receive buffer: 1000 bytes of hex text, what fits the box.
  const DWORD multiline = ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;
  BindPaced(form.TXTRX, page.edit(8, y, 348, 120, multiline), pacer, 3000);
  y += 126;
  BindPaced(form.radar().txtjd, page.edit(8, y, 348, 90, multiline), pacer);
  y += 96;
  BindPaced(form.List1,
            page.add(L"LISTBOX", WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, 8, y, 348, 130, "",
                     WS_EX_CLIENTEDGE),
            pacer);
}

}  // namespace scantouch::gui_win32
