#include "entry_list.h"

namespace scantouch {

ToolkitResult EntryList::insert(std::size_t index, std::string_view text) {
  if (index > entries_.size())
    return ToolkitResult::indexOutOfRange;
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(index), std::string(text));
  if (maxEntries_ != kUnbounded && entries_.size() > maxEntries_) {
    // The entry furthest from where the new one went is the oldest one.
    if (index == 0) {
      entries_.pop_back();
    } else {
      entries_.erase(entries_.begin());
    }
  }
  return ToolkitResult::ok;
}

ToolkitResult EntryList::remove(std::size_t index) {
  if (index >= entries_.size())
    return ToolkitResult::indexOutOfRange;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
  return ToolkitResult::ok;
}

}  // namespace scantouch
