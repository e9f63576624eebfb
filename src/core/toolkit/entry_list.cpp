#include "toolkit/entry_list.h"

#include <algorithm>

namespace scantouch {

ToolkitResult EntryList::insert(std::size_t index, std::string_view text) {
  if (index > entries_.size())
    return ToolkitResult::indexOutOfRange;
  const auto at = static_cast<std::ptrdiff_t>(index);
  entries_.insert(entries_.begin() + at, std::string(text));
  insertedAt_.insert(insertedAt_.begin() + at, insertions_++);
  if (maxEntries_ != kUnbounded && entries_.size() > maxEntries_) {
    const auto oldest =
        std::min_element(insertedAt_.begin(), insertedAt_.end()) - insertedAt_.begin();
    entries_.erase(entries_.begin() + oldest);
    insertedAt_.erase(insertedAt_.begin() + oldest);
  }
  entriesChanged.notify();
  return ToolkitResult::ok;
}

ToolkitResult EntryList::remove(std::size_t index) {
  if (index >= entries_.size())
    return ToolkitResult::indexOutOfRange;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
  insertedAt_.erase(insertedAt_.begin() + static_cast<std::ptrdiff_t>(index));
  entriesChanged.notify();
  return ToolkitResult::ok;
}

}  // namespace scantouch
