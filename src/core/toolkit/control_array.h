#pragma once

#include <deque>
#include <string>

namespace scantouch {

// A control array: `count` controls of one kind sharing a name, indexed from 0. Controls stay
// where they were made (a deque never moves its elements), so references to them stay valid.
template <typename ControlType>
class ControlArray {
 public:
  ControlArray(const std::string& name, int count) {
    for (int index = 0; index < count; ++index)
      controls_.emplace_back(name, index);
  }

  int size() const { return static_cast<int>(controls_.size()); }
  ControlType& operator[](int index) { return controls_[static_cast<std::size_t>(index)]; }
  const ControlType& operator[](int index) const {
    return controls_[static_cast<std::size_t>(index)];
  }

  auto begin() { return controls_.begin(); }
  auto end() { return controls_.end(); }

 private:
  std::deque<ControlType> controls_;
};

}  // namespace scantouch
