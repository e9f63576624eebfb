#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/button.h"
#include "toolkit/check_box.h"
#include "toolkit/control.h"
#include "toolkit/label.h"
#include "toolkit/list_box.h"
#include "toolkit/option_array.h"
#include "toolkit/text_box.h"

namespace scantouch {

class MainForm;
class NetworkForm;

// What each window shows, written once for both faces: its pages, the groups on each page, and in
// each group the rows of controls, each control with the widget that shows it. A face builds its
// widgets from this and binds each to its control; it writes no page by hand. The controls keep
// their design names (the names of the settings and the behaviour); faces and tests look a widget
// up by its English name.
namespace layout {

// The widget that shows a control.
enum class Kind {
  lineEdit,       // TextBox: one line
  multiLineText,  // TextBox: several lines, the newest text in view
  label,          // Label: its caption in its colour
  checkBox,       // CheckBox with its caption
  radioButtons,   // OptionArray: one radio button per option, `perRow` to a row
  radioButton,    // one option (`option`) of an OptionArray, on its own in the grid
  button,         // Button with its caption
  list,           // ListBox
  comboBox,       // ComboBox: an editable text over a drop-down list
  note,           // fixed text (`caption`) that belongs to no control
  gap,            // an empty cell
  radarView,      // PICYL: the face's own radar widget
};

enum class Access { editable, readOnly };
// `perFrame`: the control changes far more often than anyone can read, so the face refreshes
// the widget through its frame pacer, at most once a frame and not while hidden.
enum class Refresh { atOnce, perFrame };
// How a width hint counts: as the least width (the layout may give more) or as the width.
enum class Sizing { atLeast, exactly };

// One control in its widget. Lengths are in 96-dpi units.
struct Item {
  Control* control = nullptr;  // nullptr for notes and gaps
  Kind kind = Kind::gap;
  std::string name;     // English, unique in its window; empty for notes and gaps
  std::string caption;  // text in a cell before the widget, for controls without a caption;
                        // the text itself for a note
  int width = 0;        // 0: as the content needs
  Sizing sizing = Sizing::atLeast;
  int height = 0;  // for several lines: the height at most (0: a share of the page's height)
  Access access = Access::editable;
  Refresh refresh = Refresh::atOnce;
  int option = -1;  // radioButton: the option shown
  int perRow = 0;   // radioButtons: options to a row; 0 for all on one row
  int span = 1;     // grid columns the widget takes
  std::size_t shownChars = std::string::npos;  // multiLineText: the newest characters shown
  bool wraps = false;                          // label: wrapped over `lines` lines
  int lines = 1;

  Item captioned(std::string text) const;
  Item wide(int least) const;
  Item exactlyWide(int width) const;
  Item high(int most) const;
  Item readOnly() const;
  Item perFrame() const;
  Item spanning(int columns) const;
  Item newest(std::size_t chars) const;
  Item wrapped(int lineCount) const;

  // Several lines tall: it takes a share of the height the page has to spare.
  bool tall() const { return kind == Kind::multiLineText || kind == Kind::list; }
  // Takes the width the row has to spare, as edit boxes and lists do.
  bool grows() const;

  // The control in its own type; the kind says which type that is.
  TextBox& textBox() const { return static_cast<TextBox&>(*control); }
  Label& label() const { return static_cast<Label&>(*control); }
  CheckBox& checkBox() const { return static_cast<CheckBox&>(*control); }
  OptionArray& options() const { return static_cast<OptionArray&>(*control); }
  Button& button() const { return static_cast<Button&>(*control); }
  ListBox& listBox() const { return static_cast<ListBox&>(*control); }
  ComboBox& comboBox() const { return static_cast<ComboBox&>(*control); }
};

Item LineEdit(TextBox& box, std::string name);
Item MultiLineText(TextBox& box, std::string name);
Item ShowLabel(Label& label, std::string name);
Item Check(CheckBox& box, std::string name);
Item Radios(OptionArray& options, std::string name, int perRow = 0);
Item Radio(OptionArray& options, int option, std::string name);
Item Push(Button& button, std::string name);
Item List(ListBox& list, std::string name);
Item Combo(ComboBox& box, std::string name);
Item Note(std::string text);
Item Gap();

using Row = std::vector<Item>;

// A frame with its caption around a grid, or a bare grid when the caption is empty.
struct Group {
  std::string caption;
  std::vector<Row> rows;
  int stretchColumn = -1;  // the column that takes the width to spare; -1: those that grow
};

struct Page {
  std::string caption;  // the tab's; empty when the window has only this page
  std::vector<Group> groups;
};

struct WindowLayout {
  Control* window = nullptr;  // the window itself
  std::string title;
  Item view;                // beside the pages (the radar view); a gap for none
  std::vector<Page> pages;  // one at a time, beside the view
  Row buttons;              // below the pages
  // Controls the window holds and shows in no widget of their own: timers, and what the radar
  // view draws.
  std::vector<Control*> notShown;
};

WindowLayout MainWindowLayout(MainForm& form);
WindowLayout NetworkWindowLayout(NetworkForm& form);

// A widget's place in its group's grid. A radio group has a cell per option; a control with a
// caption has a cell for the caption before its widget's.
struct Cell {
  const Item* item;
  bool isCaption = false;
  int option = -1;  // for radio buttons
  int row = 0;
  int column = 0;
  int span = 1;
};
std::vector<Cell> Cells(const Group& group);
int ColumnCount(const std::vector<Cell>& cells);

// Every item of the window: the view, each page's, the buttons.
void ForEachItem(const WindowLayout& window, const std::function<void(const Item&)>& visit);
// The item named `name`; nullptr when there is none.
const Item* Find(const WindowLayout& window, std::string_view name);

}  // namespace layout
}  // namespace scantouch
