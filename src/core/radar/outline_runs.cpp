#include "radar/outline_runs.h"

#include <cmath>

namespace scantouch {

std::vector<std::vector<std::array<float, 2>>> OutlineRuns(
    const std::vector<std::array<float, 2>>& outline, float join) {
  std::vector<std::vector<std::array<float, 2>>> runs;
  const std::size_t n = outline.size();
  if (n == 0)
    return runs;
  if (n == 1)
    return {outline};
  const auto joined = [&](std::size_t i) {
    const std::array<float, 2>& a = outline[i];
    const std::array<float, 2>& b = outline[(i + 1) % n];
    return std::hypot(a[0] - b[0], a[1] - b[1]) < join;
  };
  // Start after a break, so that a run over the outline's end is not cut in two.
  std::size_t broken = 0;
  while (broken < n && joined(broken))
    ++broken;
  if (broken == n) {
    std::vector<std::array<float, 2>> closed = outline;
    closed.push_back(outline.front());
    return {closed};
  }
  std::vector<std::array<float, 2>> run;
  for (std::size_t k = 1; k <= n; ++k) {
    const std::size_t i = (broken + k) % n;
    run.push_back(outline[i]);
    if (!joined(i)) {
      runs.push_back(std::move(run));
      run.clear();
    }
  }
  return runs;
}

}  // namespace scantouch
