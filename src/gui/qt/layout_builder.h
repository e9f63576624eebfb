#pragma once

#include <QBoxLayout>
#include <QRadioButton>
#include <QWidget>
#include <map>
#include <vector>

#include "app/window_layout.h"
#include "frame_pacer.h"

namespace scantouch::gui {

// Turns a window's description into Qt widgets, each bound to its control and named (objectName)
// by its English name; a radio button is named "<name>.<option>" when its group is one item.
// Groups become a QGroupBox (or a bare grid) holding a QGridLayout with the description's cells.
class LayoutBuilder {
 public:
  explicit LayoutBuilder(FramePacer& pacer) : pacer_(pacer) {}
  LayoutBuilder(const LayoutBuilder&) = delete;
  LayoutBuilder& operator=(const LayoutBuilder&) = delete;

  // A widget holding the page's groups in a column.
  QWidget* page(const layout::Page& page);
  // Adds the page's groups to `column`; the height to spare goes to the groups of tall widgets,
  // else below the last group when `spareBelow`, else to the spaces between the groups.
  void fill(QBoxLayout* column, const layout::Page& page, bool spareBelow);
  // The items side by side (the buttons below the pages).
  QWidget* row(const layout::Row& items);
  // The widget of one cell, bound; nullptr for a gap.
  QWidget* widget(const layout::Cell& cell);
  // Binds each option array's radio buttons, once all its options were built.
  void finish();

 private:
  FramePacer& pacer_;
  std::map<OptionArray*, std::vector<QRadioButton*>> radios_;
};

}  // namespace scantouch::gui
