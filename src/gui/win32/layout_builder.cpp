#include "layout_builder.h"

#include <algorithm>
#include <numeric>

#include "bindings.h"
#include "win32/wide_text.h"
#include "window_class.h"

namespace scantouch::gui_win32 {
namespace {

using layout::Access;
using layout::Kind;
using layout::Refresh;

constexpr int kColumnGap = 4;
constexpr int kGroupGap = 6;
constexpr int kRowPitch = 28;
constexpr int kLineHeight = 22;
constexpr int kTallHeight = 80;  // the least height of a list or a text of several lines

// Where a group's grid sits within the group's own rectangle.
struct Margins {
  int left, top, right, bottom;
};
Margins MarginsOf(const layout::Group& group) {
  return group.caption.empty() ? Margins{4, 4, 8, 0} : Margins{10, 22, 8, 10};
}

int CellHeight(const layout::Cell& cell) {
  const layout::Item& item = *cell.item;
  if (cell.isCaption)
    return kLineHeight;
  if (item.tall())
    return item.height > 0 ? item.height : kTallHeight;
  if (item.wraps)
    return 20 * item.lines;
  return kLineHeight;
}

// The width a cell's content needs.
int NaturalWidth(const layout::Cell& cell) {
  const layout::Item& item = *cell.item;
  if (cell.isCaption)
    return TextWidth(item.caption) + 6;
  if (item.width > 0)
    return item.width;
  switch (item.kind) {
    case Kind::note:
      return TextWidth(item.caption) + 6;
    case Kind::checkBox:
      return TextWidth(item.checkBox().caption()) + 24;
    case Kind::radioButtons:
    case Kind::radioButton:
      return TextWidth(item.options().caption(cell.option)) + 24;
    case Kind::button:
      return std::max(72, TextWidth(item.button().caption()) + 24);
    case Kind::label:
      return std::max(40, TextWidth(item.label().caption()) + 6);
    case Kind::gap:
      return 0;
    case Kind::lineEdit:
      return 120;  // what Qt asks for a line edit: about 17 characters
    default:
      return 60;
  }
}

// The columns' widths of a group's grid `inner` wide.
std::vector<int> ColumnWidths(const layout::Group& group, const std::vector<layout::Cell>& cells,
                              int inner) {
  const int count = layout::ColumnCount(cells);
  std::vector<int> widths(static_cast<std::size_t>(count), 0);
  std::vector<bool> grows(static_cast<std::size_t>(count), false);
  for (const layout::Cell& cell : cells) {
    if (cell.span != 1)
      continue;
    const auto column = static_cast<std::size_t>(cell.column);
    widths[column] = std::max(widths[column], NaturalWidth(cell));
    grows[column] = grows[column] || (!cell.isCaption && cell.item->grows());
  }
  const int spare = inner - std::accumulate(widths.begin(), widths.end(), 0) -
                    kColumnGap * std::max(0, count - 1);
  if (spare <= 0 || count == 0)
    return widths;
  std::vector<std::size_t> takers;
  if (group.stretchColumn >= 0 && group.stretchColumn < count) {
    takers.push_back(static_cast<std::size_t>(group.stretchColumn));
  } else {
    for (std::size_t c = 0; c < grows.size(); ++c) {
      if (grows[c])
        takers.push_back(c);
    }
    if (takers.empty()) {
      for (std::size_t c = 0; c < widths.size(); ++c)
        takers.push_back(c);
    }
  }
  for (std::size_t i = 0; i < takers.size(); ++i) {
    const int share = spare / static_cast<int>(takers.size());
    widths[takers[i]] += share + (i == 0 ? spare % static_cast<int>(takers.size()) : 0);
  }
  return widths;
}

}  // namespace

int LayoutBuilder::NeededWidth(const layout::Page& page) {
  int needed = 0;
  for (const layout::Group& group : page.groups) {
    const std::vector<layout::Cell> cells = layout::Cells(group);
    const std::vector<int> widths = ColumnWidths(group, cells, 0);
    const Margins margins = MarginsOf(group);
    const int count = static_cast<int>(widths.size());
    needed = std::max(needed, std::accumulate(widths.begin(), widths.end(), 0) +
                                  kColumnGap * std::max(0, count - 1) + margins.left +
                                  margins.right + 2 * 4);
  }
  return needed;
}

int LayoutBuilder::fill(Page& page, const layout::Page& description, int width) {
  int y = 4;
  for (const layout::Group& group : description.groups) {
    const std::vector<layout::Cell> cells = layout::Cells(group);
    const Margins margins = MarginsOf(group);
    const int left = 4 + margins.left;
    const std::vector<int> widths =
        ColumnWidths(group, cells, width - 8 - margins.left - margins.right);
    std::vector<int> lefts(widths.size(), left);
    for (std::size_t c = 1; c < widths.size(); ++c)
      lefts[c] = lefts[c - 1] + widths[c - 1] + kColumnGap;

    int rows = 0;
    for (const layout::Cell& cell : cells)
      rows = std::max(rows, cell.row + 1);
    std::vector<int> pitches(static_cast<std::size_t>(rows), kRowPitch);
    for (const layout::Cell& cell : cells) {
      int& pitch = pitches[static_cast<std::size_t>(cell.row)];
      pitch = std::max(pitch, CellHeight(cell) + 6);
    }
    std::vector<int> tops(pitches.size(), y + margins.top);
    for (std::size_t r = 1; r < tops.size(); ++r)
      tops[r] = tops[r - 1] + pitches[r - 1];
    const int bottom = tops.empty() ? y + margins.top : tops.back() + pitches.back() - 6;

    if (!group.caption.empty())
      page.group(group.caption, 4, y, width - 8, bottom + margins.bottom - y);
    for (const layout::Cell& cell : cells) {
      const auto column = static_cast<std::size_t>(cell.column);
      const auto last = static_cast<std::size_t>(cell.column + cell.span - 1);
      const int x = lefts[column];
      const int top = tops[static_cast<std::size_t>(cell.row)];
      make(page, cell, RECT{x, top, lefts[last] + widths[last], top + CellHeight(cell)});
    }
    y = bottom + margins.bottom + kGroupGap;
  }
  return y;
}

void LayoutBuilder::row(Page& page, const layout::Row& items, int x, int y, int width, int height) {
  const int count = static_cast<int>(items.size());
  if (count == 0)
    return;
  const int each = (width - kColumnGap * (count - 1)) / count;
  for (int i = 0; i < count; ++i) {
    const layout::Item& item = items[static_cast<std::size_t>(i)];
    const int left = x + i * (each + kColumnGap);
    make(page, layout::Cell{&item, false, item.option}, RECT{left, y, left + each, y + height});
  }
}

HWND LayoutBuilder::make(Page& page, const layout::Cell& cell, RECT place) {
  const layout::Item& item = *cell.item;
  const int x = place.left;
  const int y = place.top;
  int width = place.right - place.left;
  const int height = place.bottom - place.top;
  if (cell.isCaption)
    return page.label(item.caption, x, y, width, height);
  if (item.width > 0 && item.sizing == layout::Sizing::exactly)
    width = item.width;
  HWND made = nullptr;
  switch (item.kind) {
    case Kind::lineEdit:
      made = page.edit(x, y, width, height);
      if (item.access == Access::readOnly && item.refresh == Refresh::perFrame) {
        BindPaced(item.textBox(), made, pacer_);
      } else {
        Bind(item.textBox(), made, pacer_);
        if (item.access == Access::readOnly)
          SendMessageW(made, EM_SETREADONLY, TRUE, 0);
      }
      break;
    case Kind::multiLineText:
      // A view of a busy text: read-only, refreshed once a frame.
      made = page.edit(x, y, width, height, ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL);
      BindPaced(item.textBox(), made, pacer_, item.shownChars);
      break;
    case Kind::label:
      made = item.wraps ? page.add(L"STATIC", SS_LEFT, x, y, width, height)
                        : page.label("", x, y, width, height);
      if (item.refresh == Refresh::perFrame)
        BindPaced(item.label(), made, pacer_);
      else
        Bind(item.label(), made);
      break;
    case Kind::checkBox:
      made = page.check(x, y, width);
      Bind(item.checkBox(), made);
      break;
    case Kind::radioButtons:
    case Kind::radioButton: {
      made = page.radio(x, y, width);
      std::vector<HWND>& buttons = radios_[&item.options()];
      buttons.resize(static_cast<std::size_t>(item.options().size()), nullptr);
      buttons.at(static_cast<std::size_t>(cell.option)) = made;
      break;
    }
    case Kind::button:
      made = page.button(x, y - 2, width, height + 4);
      Bind(item.button(), made);
      break;
    case Kind::list:
      made = page.add(L"LISTBOX", WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, x, y, width,
                      height, "", WS_EX_CLIENTEDGE);
      BindPaced(item.listBox(), made, pacer_);
      break;
    case Kind::comboBox:
      // The height is the drop-down list's.
      made = page.add(L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, x, y,
                      width, 200);
      BindPaced(item.comboBox(), made, pacer_);
      break;
    case Kind::note:
      return page.label(item.caption, x, y, width, height);
    case Kind::gap:
    case Kind::radarView:  // the window makes its own
      return nullptr;
  }
  if (item.tall() && item.height == 0)
    page.stretch(made);
  page.name(made, item.kind == Kind::radioButtons ? item.name + "." + std::to_string(cell.option)
                                                  : item.name);
  return made;
}

void LayoutBuilder::finish() {
  for (auto& [options, buttons] : radios_) {
    // Every option has its place (the layout test sees to it); an array short of one is left
    // unbound rather than bound with its indices shifted.
    if (std::find(buttons.begin(), buttons.end(), nullptr) == buttons.end())
      Bind(*options, buttons);
  }
  radios_.clear();
}

}  // namespace scantouch::gui_win32
