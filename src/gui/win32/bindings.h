#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "frame_pacer.h"
#include "toolkit/button.h"
#include "toolkit/check_box.h"
#include "toolkit/label.h"
#include "toolkit/list_box.h"
#include "toolkit/option_array.h"
#include "toolkit/text_box.h"

namespace scantouch::gui_win32 {

// Each binding ties one Windows control to one control of the core, as the Qt face's bindings
// do: a user's edit sets the core's control, which runs its handlers; a change of the core's
// control updates the window without coming back as an edit. No behaviour of the program lives
// here. The parent windows hand their WM_COMMAND and WM_CTLCOLORSTATIC to `HandleCommand` and
// `HandleStaticColour`.

// A change of the control shows at once while the box is visible, else when it shows again.
void Bind(TextBox& box, HWND edit, FramePacer& pacer);
// A read-only view of a busy text, refreshed once per frame at most; at most the last
// `shownChars` bytes are shown.
void BindPaced(TextBox& box, HWND view, FramePacer& pacer,
               std::size_t shownChars = std::string::npos);
void Bind(Label& label, HWND text);
void BindPaced(Label& label, HWND text, FramePacer& pacer);
void Bind(CheckBox& box, HWND button);
// The options' radio buttons, in the array's index order.
void Bind(OptionArray& options, const std::vector<HWND>& buttons);
void Bind(Button& button, HWND widget);
void BindPaced(ListBox& list, HWND listBox, FramePacer& pacer);
// A drop-down combo box: its edit text is the control's text, its items the control's list.
void BindPaced(ComboBox& box, HWND comboBox, FramePacer& pacer);

// For the parent windows' procedures.
bool HandleCommand(HWND control, UINT code);
// A brush for a static control's background, its text colour set; nullptr when not ours.
HBRUSH HandleStaticColour(HWND control, HDC context);

std::wstring WindowText(HWND window);

}  // namespace scantouch::gui_win32
