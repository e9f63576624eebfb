#include "layout_builder.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>

#include "bindings.h"

namespace scantouch::gui {
namespace {

using layout::Access;
using layout::Kind;
using layout::Refresh;

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

QLineEdit* LineEdit(const layout::Item& item, FramePacer& pacer) {
  if (item.access == Access::readOnly && item.refresh == Refresh::perFrame)
    return BindPaced(item.textBox(), new QLineEdit, pacer);
  auto* edit = Bind(item.textBox(), new QLineEdit, pacer);
  edit->setReadOnly(item.access == Access::readOnly);
  return edit;
}

QLabel* ShowLabel(const layout::Item& item, FramePacer& pacer) {
  auto* label = item.refresh == Refresh::perFrame ? BindPaced(item.label(), new QLabel, pacer)
                                                  : Bind(item.label(), new QLabel);
  if (item.wraps) {
    label->setWordWrap(true);
    label->setMinimumHeight(item.lines * label->fontMetrics().height());
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }
  return label;
}

}  // namespace

QWidget* LayoutBuilder::page(const layout::Page& page) {
  auto* widget = new QWidget;
  fill(new QVBoxLayout(widget), page, true);
  return widget;
}

void LayoutBuilder::fill(QBoxLayout* column, const layout::Page& page, bool spareBelow) {
  bool anyTall = false;
  for (const layout::Group& group : page.groups) {
    const std::vector<layout::Cell> cells = layout::Cells(group);
    // A group of one row is a row of widgets; a grid would keep the row as low as its
    // lowest widget, where a row shares the height to spare as the window always did.
    const bool oneRow = std::all_of(cells.begin(), cells.end(),
                                    [](const layout::Cell& cell) { return cell.row == 0; });
    auto* grid = oneRow ? nullptr : new QGridLayout;
    auto* row = oneRow ? new QHBoxLayout : nullptr;
    bool tall = false;
    for (const layout::Cell& cell : cells) {
      // A tall widget without a height of its own takes a share of the height to spare.
      const bool stretches = !cell.isCaption && cell.item->tall() && cell.item->height == 0;
      tall = tall || stretches;
      QWidget* built = widget(cell);
      if (built == nullptr)
        continue;
      if (row != nullptr) {
        row->addWidget(built, cell.column == group.stretchColumn ? 1 : 0);
      } else {
        grid->addWidget(built, cell.row, cell.column, 1, cell.span);
        if (stretches)
          grid->setRowStretch(cell.row, 1);
      }
    }
    if (grid != nullptr && group.stretchColumn >= 0)
      grid->setColumnStretch(group.stretchColumn, 1);
    QLayout* contents = row != nullptr ? static_cast<QLayout*>(row) : grid;
    anyTall = anyTall || tall;
    if (group.caption.empty()) {
      column->addLayout(contents, tall ? 1 : 0);
    } else {
      auto* box = new QGroupBox(Q(group.caption));
      box->setLayout(contents);
      column->addWidget(box, tall ? 1 : 0);
    }
  }
  if (!anyTall && spareBelow)
    column->addStretch(1);
}

QWidget* LayoutBuilder::row(const layout::Row& items) {
  auto* widget = new QWidget;
  widget->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);  // a row, never taller
  auto* row = new QHBoxLayout(widget);
  row->setContentsMargins(0, 0, 0, 0);
  for (const layout::Item& item : items) {
    if (QWidget* built = this->widget(layout::Cell{&item, false, item.option}))
      row->addWidget(built);
  }
  return widget;
}

QWidget* LayoutBuilder::widget(const layout::Cell& cell) {
  const layout::Item& item = *cell.item;
  if (cell.isCaption)
    return new QLabel(Q(item.caption));
  QWidget* built = nullptr;
  switch (item.kind) {
    case Kind::lineEdit:
      built = LineEdit(item, pacer_);
      break;
    case Kind::multiLineText:
      // A view of a busy text: read-only, refreshed once a frame.
      built = BindPaced(item.textBox(), new QPlainTextEdit, pacer_, item.shownChars);
      if (item.height > 0)
        built->setMaximumHeight(item.height);
      break;
    case Kind::label:
      built = ShowLabel(item, pacer_);
      break;
    case Kind::checkBox:
      built = Bind(item.checkBox(), new QCheckBox);
      break;
    case Kind::radioButtons:
    case Kind::radioButton: {
      auto* radio = new QRadioButton;
      std::vector<QRadioButton*>& buttons = radios_[&item.options()];
      buttons.resize(static_cast<std::size_t>(item.options().size()), nullptr);
      buttons.at(static_cast<std::size_t>(cell.option)) = radio;
      built = radio;
      break;
    }
    case Kind::button:
      built = Bind(item.button(), new QPushButton);
      break;
    case Kind::list:
      built = BindPaced(item.listBox(), new QListWidget, pacer_);
      break;
    case Kind::comboBox:
      built = BindPaced(item.comboBox(), new QComboBox, pacer_);
      break;
    case Kind::note:
      built = new QLabel(Q(item.caption));
      break;
    case Kind::gap:
    case Kind::radarView:  // the window makes its own
      return nullptr;
  }
  const bool oneOfMany = item.kind == Kind::radioButtons;
  built->setObjectName(Q(oneOfMany ? item.name + "." + std::to_string(cell.option) : item.name));
  if (item.width > 0 && item.sizing == layout::Sizing::exactly)
    built->setFixedWidth(item.width);
  else if (item.width > 0)
    built->setMinimumWidth(item.width);
  return built;
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

}  // namespace scantouch::gui
