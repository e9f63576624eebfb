#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/notifier.h"
#include "toolkit/toolkit_result.h"

namespace scantouch {

// The ordered entries of a list box or of the list part of a combo box. An optional bound keeps
// a list that grows for months from exhausting memory: inserting beyond it drops the entry that
// was inserted longest ago, wherever it stands.
class EntryList {
 public:
  static constexpr std::size_t kUnbounded = 0;

  explicit EntryList(std::size_t maxEntries = kUnbounded) : maxEntries_(maxEntries) {}

  std::size_t size() const { return entries_.size(); }
  const std::string& at(std::size_t index) const { return entries_.at(index); }
  const std::vector<std::string>& entries() const { return entries_; }

  // Inserts at `index` (0 = top); `index` == size() appends.
  ToolkitResult insert(std::size_t index, std::string_view text);
  ToolkitResult append(std::string_view text) { return insert(entries_.size(), text); }
  ToolkitResult remove(std::size_t index);
  void clear() {
    entries_.clear();
    insertedAt_.clear();
    entriesChanged.notify();
  }

  // For views only: an entry came or went.
  Notifier<> entriesChanged;

 private:
  std::vector<std::string> entries_;
  std::vector<std::uint64_t> insertedAt_;  // insertion count of each entry, for the bound
  std::uint64_t insertions_ = 0;
  std::size_t maxEntries_;
};

}  // namespace scantouch
