#pragma once

#include <windows.h>

#include <map>
#include <vector>

#include "app/window_layout.h"
#include "frame_pacer.h"
#include "page.h"

namespace scantouch::gui_win32 {

// Turns a window's description into Windows controls on a Page, each bound to its control and
// known to the page by its English name. Each group's grid gets its columns as the Qt face's grid
// would: as wide as their widest content, what is left going to the group's stretch column, else
// to the columns of edit boxes and lists, else to all alike. Lengths are in 96-dpi units.
class LayoutBuilder {
 public:
  explicit LayoutBuilder(FramePacer& pacer) : pacer_(pacer) {}
  LayoutBuilder(const LayoutBuilder&) = delete;
  LayoutBuilder& operator=(const LayoutBuilder&) = delete;

  // The width the page's groups need at least.
  static int NeededWidth(const layout::Page& page);
  // The page's groups one below the other, `width` wide, from the top; returns the bottom.
  int fill(Page& page, const layout::Page& description, int width);
  // The items side by side in equal shares of `width`, from `x`, `y`.
  void row(Page& page, const layout::Row& items, int x, int y, int width, int height);
  // Binds each option array's radio buttons, once all its options were made.
  void finish();

 private:
  HWND make(Page& page, const layout::Cell& cell, RECT place);

  FramePacer& pacer_;
  std::map<OptionArray*, std::vector<HWND>> radios_;
};

}  // namespace scantouch::gui_win32
