#include "bindings.h"

#include <commctrl.h>

#include <functional>
#include <memory>
#include <unordered_map>

#include "toolkit/newest_text.h"
#include "win32/wide_text.h"

namespace scantouch::gui_win32 {
namespace {

std::unordered_map<HWND, std::function<void(UINT)>>& Commands() {
  static std::unordered_map<HWND, std::function<void(UINT)>> commands;
  return commands;
}

std::unordered_map<HWND, COLORREF>& TextColours() {
  static std::unordered_map<HWND, COLORREF> colours;
  return colours;
}

COLORREF ToColorRef(Colour colour) {
  if (colours::IsSystemColour(colour))
    return GetSysColor(COLOR_BTNTEXT);
  return RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

void SetText(HWND window, std::string_view text) {
  SetWindowTextW(window, Widen(text).c_str());
}

void FollowVisibility(Control& control, HWND window) {
  ShowWindow(window, control.visible() ? SW_SHOWNA : SW_HIDE);
  control.visibilityChanged.connect(
      [&control, window] { ShowWindow(window, control.visible() ? SW_SHOWNA : SW_HIDE); });
}

// Key presses go to the text box's key handler first (the space bar captures the cursor in the
// screen boxes instead of typing a blank).
LRESULT CALLBACK EditKeys(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR box) {
  if (message == WM_CHAR && reinterpret_cast<TextBox*>(box)->pressKey(static_cast<int>(wParam)))
    return 0;
  return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

bool HandleCommand(HWND control, UINT code) {
  const auto it = Commands().find(control);
  if (it == Commands().end())
    return false;
  it->second(code);
  return true;
}

HBRUSH HandleStaticColour(HWND control, HDC context) {
  const auto it = TextColours().find(control);
  if (it == TextColours().end())
    return nullptr;
  SetTextColor(context, it->second);
  SetBkMode(context, TRANSPARENT);
  return GetSysColorBrush(COLOR_BTNFACE);
}

void Bind(TextBox& box, HWND edit, FramePacer& pacer) {
  auto updating = std::make_shared<bool>(false);
  SetText(edit, box.text());
  Commands()[edit] = [&box, edit, updating](UINT code) {
    if (code == EN_CHANGE && !*updating)
      box.setText(Narrow(WindowText(edit)));
  };
  const auto show = [&box, edit, updating] {
    const std::wstring text = Widen(box.text());
    if (WindowText(edit) == text)
      return;  // the user's own edit: the caret stays where it is
    *updating = true;
    SetWindowTextW(edit, text.c_str());
    *updating = false;
  };
  // A box nobody sees (the window hidden in the tray, another page shown) takes the newest text
  // when it shows, not every touch's meanwhile.
  const auto stale = pacer.add(edit, show);
  box.changed.connect([edit, show, stale] {
    if (IsWindowVisible(edit))
      show();
    else
      stale();
  });
  box.focusRequested.connect([edit] { SetFocus(edit); });
  SetWindowSubclass(edit, EditKeys, 1, reinterpret_cast<DWORD_PTR>(&box));
}

void BindPaced(TextBox& box, HWND view, FramePacer& pacer, std::size_t shownChars) {
  SendMessageW(view, EM_SETREADONLY, TRUE, 0);
  auto shown = std::make_shared<std::string>("\x01");  // never the first text
  const auto refresh = [&box, view, shownChars, shown] {
    const std::string_view text = NewestText(box.text(), shownChars);
    if (text == *shown)
      return;  // laying out the same text again costs as much as new text
    shown->assign(text);
    SetText(view, text);
    const auto end = static_cast<WPARAM>(GetWindowTextLengthW(view));
    SendMessageW(view, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageW(view, EM_SCROLLCARET, 0, 0);
  };
  refresh();
  box.changed.connect(pacer.add(view, refresh));
}

void Bind(Label& label, HWND text) {
  const auto refresh = [&label, text] {
    SetText(text, label.caption());
    TextColours()[text] = ToColorRef(label.textColour());
    InvalidateRect(text, nullptr, TRUE);
  };
  refresh();
  label.changed.connect(refresh);
  label.colourChanged.connect(refresh);
  FollowVisibility(label, text);
}

void BindPaced(Label& label, HWND text, FramePacer& pacer) {
  SetText(text, label.caption());
  label.changed.connect(pacer.add(text, [&label, text] { SetText(text, label.caption()); }));
}

void Bind(CheckBox& box, HWND button) {
  SetText(button, box.caption());
  const auto refresh = [&box, button] {
    SendMessageW(button, BM_SETCHECK,
                 box.value() == CheckBox::kChecked  ? BST_CHECKED
                 : box.value() == CheckBox::kGreyed ? BST_INDETERMINATE
                                                    : BST_UNCHECKED,
                 0);
  };
  refresh();
  Commands()[button] = [&box, button, refresh](UINT code) {
    if (code != BN_CLICKED)
      return;
    const bool checked = SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
    (void)box.setValue(checked ? CheckBox::kChecked : CheckBox::kCleared);
    refresh();
  };
  box.clicked.connect(refresh);
}

void Bind(OptionArray& options, const std::vector<HWND>& buttons) {
  const auto refresh = [&options, buttons] {
    for (std::size_t i = 0; i < buttons.size(); ++i) {
      SendMessageW(buttons[i], BM_SETCHECK,
                   options.selected() == static_cast<int>(i) ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  };
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    SetText(buttons[i], options.caption(static_cast<int>(i)));
    // The array decides which one is selected.
    Commands()[buttons[i]] = [&options, i, refresh](UINT code) {
      if (code != BN_CLICKED)
        return;
      (void)options.select(static_cast<int>(i));
      refresh();
    };
  }
  refresh();
  options.clicked.connect([refresh](int) { refresh(); });
}

void Bind(Button& button, HWND widget) {
  SetText(widget, button.caption());
  Commands()[widget] = [&button](UINT code) {
    if (code == BN_CLICKED)
      button.click();
  };
}

void BindPaced(ListBox& list, HWND listBox, FramePacer& pacer) {
  const auto refresh = [&list, listBox] {
    SendMessageW(listBox, WM_SETREDRAW, FALSE, 0);
    SendMessageW(listBox, LB_RESETCONTENT, 0, 0);
    for (const std::string& entry : list.list().entries())
      SendMessageW(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(entry).c_str()));
    SendMessageW(listBox, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listBox, nullptr, TRUE);
  };
  refresh();
  list.changed.connect(pacer.add(listBox, refresh));
}

void BindPaced(ComboBox& box, HWND comboBox, FramePacer& pacer) {
  auto updating = std::make_shared<bool>(false);
  const auto refreshText = [&box, comboBox, updating] {
    const std::wstring text = Widen(box.text());
    if (WindowText(comboBox) == text)
      return;  // the user's own edit: the caret stays where it is
    *updating = true;
    SetWindowTextW(comboBox, text.c_str());
    *updating = false;
  };
  const auto refreshItems = [&box, comboBox, updating] {
    // Refilling the list resets the edit part: whoever is typing there keeps text and caret.
    const std::wstring text = WindowText(comboBox);
    const LRESULT selection = SendMessageW(comboBox, CB_GETEDITSEL, 0, 0);
    *updating = true;
    SendMessageW(comboBox, CB_RESETCONTENT, 0, 0);
    for (const std::string& entry : box.list().entries())
      SendMessageW(comboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(entry).c_str()));
    SetWindowTextW(comboBox, text.c_str());
    SendMessageW(comboBox, CB_SETEDITSEL, 0, selection);
    *updating = false;
  };
  refreshItems();
  refreshText();
  Commands()[comboBox] = [&box, comboBox, updating](UINT code) {
    if (*updating)
      return;
    if (code == CBN_EDITCHANGE) {
      box.setText(Narrow(WindowText(comboBox)));
    } else if (code == CBN_SELCHANGE) {
      const LRESULT index = SendMessageW(comboBox, CB_GETCURSEL, 0, 0);
      if (index >= 0 && static_cast<std::size_t>(index) < box.list().entries().size())
        box.setText(box.list().entries()[static_cast<std::size_t>(index)]);
    }
  };
  box.changed.connect(refreshText);
  box.list().entriesChanged.connect(pacer.add(comboBox, refreshItems));
}

}  // namespace scantouch::gui_win32
