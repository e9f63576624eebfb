#pragma once

#include <string>
#include <utility>

#include "toolkit/notifier.h"

namespace scantouch {

// What every control has: a name, an index within its control array (-1 for none), a tag text
// for small pieces of state kept with the control, and a visible flag.
class Control {
 public:
  explicit Control(std::string name, int index = -1) : name_(std::move(name)), index_(index) {}
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& name() const { return name_; }
  int index() const { return index_; }

  const std::string& tag() const { return tag_; }
  void setTag(std::string tag) { tag_ = std::move(tag); }

  bool visible() const { return visible_; }
  void setVisible(bool visible) {
    if (visible == visible_)
      return;
    visible_ = visible;
    visibilityChanged.notify();
  }

  // For views only: the control was shown or hidden.
  Notifier<> visibilityChanged;

 private:
  std::string name_;
  int index_;
  std::string tag_;
  bool visible_ = true;
};

}  // namespace scantouch
