#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "toolkit/control.h"
#include "toolkit/entry_list.h"

namespace scantouch {

class ListBox : public Control {
 public:
  explicit ListBox(std::string name, std::size_t maxEntries = EntryList::kUnbounded)
      : Control(std::move(name)), list_(maxEntries) {}

  const EntryList& list() const { return list_; }
  std::size_t count() const { return list_.size(); }

  ToolkitResult addItem(std::string_view text) { return addedIfOk(list_.append(text), text); }
  ToolkitResult insertItem(std::size_t index, std::string_view text) {
    return addedIfOk(list_.insert(index, text), text);
  }
  ToolkitResult removeItem(std::size_t index) { return changedIfOk(list_.remove(index)); }
  void clear() {
    list_.clear();
    changed.notify();
  }

  // For views only: the entries changed.
  Notifier<> changed;
  // An entry was added (at the end or anywhere else), with its text: for the program's log.
  Notifier<std::string_view> added;

 private:
  ToolkitResult addedIfOk(ToolkitResult result, std::string_view text) {
    if (result == ToolkitResult::ok) {
      changed.notify();
      added.notify(text);
    }
    return result;
  }
  ToolkitResult changedIfOk(ToolkitResult result) {
    if (result == ToolkitResult::ok)
      changed.notify();
    return result;
  }

  EntryList list_;
};

// A combo box: an edit part that behaves as a text box, and a list of entries to choose from.
class ComboBox : public Control {
 public:
  using Control::Control;

  const std::string& text() const { return text_; }
  void setText(std::string_view text) {
    if (text == text_)
      return;
    text_.assign(text);
    changed.notify();
  }

  EntryList& list() { return list_; }
  const EntryList& list() const { return list_; }

  Notifier<> changed;

 private:
  std::string text_;
  EntryList list_;
};

}  // namespace scantouch
