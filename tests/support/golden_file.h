#pragma once

// Checked-in text records ("golden files") of what a test produced, one event a line, so that a
// change of behaviour shows as a readable diff of a file under review rather than as a changed
// number. A test builds its record, and MatchesGoldenFile compares it with the file; on a
// mismatch it lists the differing lines as a unified diff.
//
// SCANTOUCH_UPDATE_GOLDEN=1 in the environment rewrites the files with what the tests produced
// instead of comparing: for a change that is meant to move them, whose diff is then reviewed and
// committed with it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace scantouch::testing {

inline std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.emplace_back(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return lines;
}

// The lines of `expected` and `produced` as a unified diff ("-" only in the first, "+" only in the
// second) with `context` unchanged lines around each change, cut after `maxLines` lines of it.
// Lines are matched by their longest common subsequence, so an added or lost line shows as that
// one line and not as every line after it.
inline std::string UnifiedLineDiff(std::string_view expected, std::string_view produced,
                                   std::size_t context = 3, std::size_t maxLines = 60) {
  const std::vector<std::string> a = SplitLines(expected);
  const std::vector<std::string> b = SplitLines(produced);
  // Equal ends need no table; only the middle is matched.
  std::size_t head = 0;
  while (head < a.size() && head < b.size() && a[head] == b[head])
    ++head;
  std::size_t tail = 0;
  while (tail < a.size() - head && tail < b.size() - head &&
         a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
    ++tail;
  const std::size_t n = a.size() - head - tail;
  const std::size_t m = b.size() - head - tail;

  // The edit script: ' ' kept, '-' only in `expected`, '+' only in `produced`, with the index of
  // the line in its text.
  struct Edit {
    char kind;
    std::size_t line;
  };
  std::vector<Edit> edits;
  for (std::size_t i = 0; i < head; ++i)
    edits.push_back({' ', i});
  constexpr std::size_t kLargestTable = 4'000'000;  // records are short; beyond, no matching
  if (n > 0 && m > 0 && (n + 1) * (m + 1) <= kLargestTable) {
    // common[i][j]: the longest common subsequence of a's middle from i and b's from j.
    std::vector<std::uint32_t> common((n + 1) * (m + 1), 0);
    const auto at = [&](std::size_t i, std::size_t j) -> std::uint32_t& {
      return common[i * (m + 1) + j];
    };
    for (std::size_t i = n; i-- > 0;) {
      for (std::size_t j = m; j-- > 0;) {
        at(i, j) = a[head + i] == b[head + j] ? at(i + 1, j + 1) + 1
                                              : std::max(at(i + 1, j), at(i, j + 1));
      }
    }
    std::size_t i = 0, j = 0;
    while (i < n || j < m) {
      if (i < n && j < m && a[head + i] == b[head + j]) {
        edits.push_back({' ', head + i++});
        ++j;
      } else if (i < n && (j == m || at(i + 1, j) >= at(i, j + 1))) {
        edits.push_back({'-', head + i++});
      } else {
        edits.push_back({'+', head + j++});
      }
    }
  } else {
    for (std::size_t i = 0; i < n; ++i)
      edits.push_back({'-', head + i});
    for (std::size_t j = 0; j < m; ++j)
      edits.push_back({'+', head + j});
  }
  for (std::size_t i = 0; i < tail; ++i)
    edits.push_back({' ', a.size() - tail + i});

  // Hunks: changes with at most twice the context of unchanged lines between them are one.
  std::size_t changed = 0;
  for (const Edit& edit : edits)
    changed += edit.kind != ' ';
  std::ostringstream out;
  std::size_t written = 0;
  std::size_t shown = 0;
  for (std::size_t k = 0; k < edits.size(); ++k) {
    if (edits[k].kind == ' ')
      continue;
    std::size_t last = k;
    for (std::size_t e = k + 1; e < edits.size() && e - last <= 2 * context + 1; ++e) {
      if (edits[e].kind != ' ')
        last = e;
    }
    const std::size_t begin = k >= context ? k - context : 0;
    const std::size_t end = std::min(edits.size(), last + context + 1);
    // Where the hunk starts in each text, counted from 1 as diff does.
    std::size_t fromA = 1, fromB = 1, countA = 0, countB = 0;
    for (std::size_t e = 0; e < begin; ++e) {
      fromA += edits[e].kind != '+';
      fromB += edits[e].kind != '-';
    }
    for (std::size_t e = begin; e < end; ++e) {
      countA += edits[e].kind != '+';
      countB += edits[e].kind != '-';
    }
    out << "@@ -" << fromA << "," << countA << " +" << fromB << "," << countB << " @@\n";
    for (std::size_t e = begin; e < end; ++e, ++written) {
      if (written == maxLines) {
        out << "... and " << changed - shown << " more changed lines\n";
        return out.str();
      }
      const Edit& edit = edits[e];
      out << edit.kind << (edit.kind == '+' ? b : a)[edit.line] << "\n";
      shown += edit.kind != ' ';
    }
    k = end - 1;
  }
  return out.str();
}

// Whether `produced` is the record at `path`, and if not, the listing of what differs.
inline ::testing::AssertionResult ComparedWithGoldenFile(const std::string& path,
                                                         const std::string& produced) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    return ::testing::AssertionFailure()
           << path << " cannot be read; SCANTOUCH_UPDATE_GOLDEN=1 writes it from this run";
  }
  const std::string expected{std::istreambuf_iterator<char>(file),
                             std::istreambuf_iterator<char>()};
  if (expected == produced)
    return ::testing::AssertionSuccess();
  const std::string diff = UnifiedLineDiff(expected, produced);
  return ::testing::AssertionFailure()
         << "what this run produced differs from " << path << ":\n--- " << path
         << "\n+++ this run\n"
         << (diff.empty() ? "(only in line ends or the last line's end)\n" : diff)
         << "If the change is meant, SCANTOUCH_UPDATE_GOLDEN=1 rewrites the file; review its diff.";
}

// As ComparedWithGoldenFile; but with SCANTOUCH_UPDATE_GOLDEN=1, writes `produced` to `path`.
inline ::testing::AssertionResult MatchesGoldenFile(const std::string& path,
                                                    const std::string& produced) {
  const char* update = std::getenv("SCANTOUCH_UPDATE_GOLDEN");
  if (update == nullptr || std::string_view(update) != "1")
    return ComparedWithGoldenFile(path, produced);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << produced;
  file.close();
  if (!file)
    return ::testing::AssertionFailure() << "could not write " << path;
  return ::testing::AssertionSuccess();
}

}  // namespace scantouch::testing
