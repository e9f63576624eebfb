#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <string>
#include <vector>

#include "frame_pacer.h"
#include "toolkit/button.h"
#include "toolkit/check_box.h"
#include "toolkit/label.h"
#include "toolkit/list_box.h"
#include "toolkit/option_array.h"
#include "toolkit/text_box.h"

namespace scantouch::gui {

// Each binding ties one widget to one control. A user's edit sets the control, which runs its
// handlers; a change of the control updates the widget with the widget's signals blocked, so it
// does not come back as an edit. No behaviour of the program lives here.

// Every keystroke is one change of the control; key presses go to its key press handler first. A
// change of the control shows at once while the box is visible, else when it shows again.
QLineEdit* Bind(TextBox& box, QLineEdit* edit, FramePacer& pacer);
// A read-only view of a busy text, refreshed once per frame at most.
QLineEdit* BindPaced(TextBox& box, QLineEdit* view, FramePacer& pacer);
// Shows at most the last `shownChars` bytes of the text: a receive buffer of 196 608 characters
// laid out thirty times a second would cost a third of a core.
QPlainTextEdit* BindPaced(TextBox& box, QPlainTextEdit* view, FramePacer& pacer,
                          std::size_t shownChars = std::string::npos);
QLabel* Bind(Label& label, QLabel* widget);
QLabel* BindPaced(Label& label, QLabel* widget, FramePacer& pacer);
QCheckBox* Bind(CheckBox& box, QCheckBox* widget);
// The options' radio buttons, in the array's index order.
void Bind(OptionArray& options, const std::vector<QRadioButton*>& buttons);
QPushButton* Bind(Button& button, QPushButton* widget);
QListWidget* BindPaced(ListBox& list, QListWidget* widget, FramePacer& pacer);
// An editable combo box: its edit text is the control's text, its items the control's list.
QComboBox* BindPaced(ComboBox& box, QComboBox* widget, FramePacer& pacer);

// The colour of a label's caption as Qt paints it.
QColor ToQColor(Colour colour);

}  // namespace scantouch::gui
