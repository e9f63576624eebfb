#include "bindings.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QSignalBlocker>
#include <memory>

#include "toolkit/newest_text.h"

namespace scantouch::gui {
namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// Hands key presses to the text box's handler; a key it takes is not typed as well.
class KeyPressFilter : public QObject {
 public:
  KeyPressFilter(TextBox& box, QObject* parent) : QObject(parent), box_(box) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      const int code = key->text().isEmpty() ? key->key() : key->text().at(0).unicode();
      if (box_.pressKey(code))
        return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  TextBox& box_;
};

void FollowVisibility(Control& control, QWidget* widget) {
  widget->setVisible(control.visible());
  control.visibilityChanged.connect([&control, widget] { widget->setVisible(control.visible()); });
}

}  // namespace

QColor ToQColor(Colour colour) {
  if (colours::IsSystemColour(colour))
    return QApplication::palette().color(QPalette::Button);
  return QColor((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

QLineEdit* Bind(TextBox& box, QLineEdit* edit, FramePacer& pacer) {
  edit->setText(Q(box.text()));
  QObject::connect(edit, &QLineEdit::textEdited, edit,
                   [&box](const QString& text) { box.setText(text.toStdString()); });
  const auto show = [&box, edit] {
    const QString text = Q(box.text());
    if (edit->text() == text)
      return;
    const QSignalBlocker blocker(edit);
    edit->setText(text);
  };
  // Laying text out is what a change costs: a box nobody sees (the window hidden in the tray,
  // another page shown) takes the newest text when it shows, not every touch's meanwhile.
  const auto stale = pacer.add(edit, show);
  box.changed.connect([edit, show, stale] {
    if (edit->isVisible())
      show();
    else
      stale();
  });
  box.focusRequested.connect([edit] { edit->setFocus(Qt::OtherFocusReason); });
  edit->installEventFilter(new KeyPressFilter(box, edit));
  return edit;
}

QPlainTextEdit* BindPaced(TextBox& box, QPlainTextEdit* view, FramePacer& pacer,
                          std::size_t shownChars) {
  view->setReadOnly(true);
  const auto refresh = [&box, view, shownChars, shown = std::make_shared<std::string>()] {
    const std::string_view text = NewestText(box.text(), shownChars);
    if (text == *shown)
      return;  // laying out the same text again costs as much as new text
    shown->assign(text);
    const QSignalBlocker blocker(view);
    view->setPlainText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    view->moveCursor(QTextCursor::End);
  };
  refresh();
  box.changed.connect(pacer.add(view, refresh));
  return view;
}

QLineEdit* BindPaced(TextBox& box, QLineEdit* view, FramePacer& pacer) {
  view->setReadOnly(true);
  view->setText(Q(box.text()));
  box.changed.connect(pacer.add(view, [&box, view] { view->setText(Q(box.text())); }));
  return view;
}

QLabel* Bind(Label& label, QLabel* widget) {
  const auto refresh = [&label, widget] {
    widget->setText(Q(label.caption()));
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, ToQColor(label.textColour()));
    widget->setPalette(palette);
  };
  refresh();
  label.changed.connect(refresh);
  label.colourChanged.connect(refresh);
  FollowVisibility(label, widget);
  return widget;
}

QLabel* BindPaced(Label& label, QLabel* widget, FramePacer& pacer) {
  const auto stale = pacer.add(widget, [&label, widget] { widget->setText(Q(label.caption())); });
  widget->setText(Q(label.caption()));
  label.changed.connect(stale);
  return widget;
}

QCheckBox* Bind(CheckBox& box, QCheckBox* widget) {
  widget->setText(Q(box.caption()));
  widget->setTristate(false);
  const auto refresh = [&box, widget] {
    const QSignalBlocker blocker(widget);
    widget->setCheckState(box.value() == CheckBox::kChecked  ? Qt::Checked
                          : box.value() == CheckBox::kGreyed ? Qt::PartiallyChecked
                                                             : Qt::Unchecked);
  };
  refresh();
  QObject::connect(widget, &QCheckBox::clicked, widget, [&box](bool checked) {
    (void)box.setValue(checked ? CheckBox::kChecked : CheckBox::kCleared);
  });
  box.clicked.connect(refresh);
  return widget;
}

void Bind(OptionArray& options, const std::vector<QRadioButton*>& buttons) {
  const auto refresh = [&options, buttons] {
    for (int i = 0; i < static_cast<int>(buttons.size()); ++i) {
      const QSignalBlocker blocker(buttons[static_cast<std::size_t>(i)]);
      buttons[static_cast<std::size_t>(i)]->setChecked(options.selected() == i);
    }
  };
  for (int i = 0; i < static_cast<int>(buttons.size()); ++i) {
    QRadioButton* button = buttons[static_cast<std::size_t>(i)];
    button->setText(Q(options.caption(i)));
    button->setAutoExclusive(false);  // the array decides which one is selected
    QObject::connect(button, &QRadioButton::clicked, button, [&options, i, refresh] {
      (void)options.select(i);
      refresh();
    });
  }
  refresh();
  options.clicked.connect([refresh](int) { refresh(); });
}

QPushButton* Bind(Button& button, QPushButton* widget) {
  widget->setText(Q(button.caption()));
  QObject::connect(widget, &QPushButton::clicked, widget, [&button] { button.click(); });
  return widget;
}

QListWidget* BindPaced(ListBox& list, QListWidget* widget, FramePacer& pacer) {
  const auto refresh = [&list, widget] {
    widget->clear();
    for (const std::string& entry : list.list().entries())
      widget->addItem(Q(entry));
  };
  refresh();
  list.changed.connect(pacer.add(widget, refresh));
  return widget;
}

QComboBox* BindPaced(ComboBox& box, QComboBox* widget, FramePacer& pacer) {
  widget->setEditable(true);
  widget->setInsertPolicy(QComboBox::NoInsert);
  const auto refreshText = [&box, widget] {
    const QString text = Q(box.text());
    if (widget->currentText() == text)
      return;  // the user's own edit: the caret stays where it is
    const QSignalBlocker blocker(widget);
    widget->setEditText(text);
  };
  const auto refreshItems = [&box, widget] {
    const QSignalBlocker blocker(widget);
    // Refilling the list resets the edit part: whoever is typing there keeps text and caret.
    const QString text = widget->currentText();
    const int caret = widget->lineEdit()->cursorPosition();
    widget->clear();
    for (const std::string& entry : box.list().entries())
      widget->addItem(Q(entry));
    widget->setEditText(text);
    widget->lineEdit()->setCursorPosition(caret);
  };
  refreshItems();
  refreshText();
  QObject::connect(widget, &QComboBox::editTextChanged, widget,
                   [&box](const QString& text) { box.setText(text.toStdString()); });
  // The list may be a send queue that changes hundreds of times a second: once a frame.
  const auto itemsStale = pacer.add(widget, refreshItems);
  box.changed.connect(refreshText);
  box.list().entriesChanged.connect(itemsStale);
  return widget;
}

}  // namespace scantouch::gui
