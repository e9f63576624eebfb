#include "judging.h"

#include <algorithm>

namespace bench_judging {

bool StayedApart(const std::vector<scanner_sim::SceneObject>& objects, int a, int b, double from_s,
                 double to_s, double step_s, double apartMm) {
  for (double time_s = from_s; time_s <= to_s; time_s += step_s) {
    if (Distance(objects[static_cast<std::size_t>(a)].centreAt(time_s),
                 objects[static_cast<std::size_t>(b)].centreAt(time_s)) < apartMm)
      return false;
  }
  return true;
}

double Share(std::uint64_t part, std::uint64_t whole) {
  return whole == 0 ? 1 : static_cast<double>(part) / static_cast<double>(whole);
}

double Percent(std::uint64_t part, std::uint64_t whole) {
  return whole == 0 ? 100 : 100.0 * static_cast<double>(part) / static_cast<double>(whole);
}

double PerMinute(std::uint64_t count, double seconds) {
  return seconds > 0 ? 60.0 * static_cast<double>(count) / seconds : 0;
}

double Mean(const std::vector<double>& values) {
  double sum = 0;
  for (const double v : values)
    sum += v;
  return values.empty() ? 0 : sum / static_cast<double>(values.size());
}

double Percentile(std::vector<double> values, double share) {
  if (values.empty())
    return 0;
  const auto at = static_cast<std::ptrdiff_t>(share * static_cast<double>(values.size() - 1));
  std::nth_element(values.begin(), values.begin() + at, values.end());
  return values[static_cast<std::size_t>(at)];
}

const char* Met(bool met) {
  return met ? "met" : "NOT MET";
}

void AddMissedGoal(std::string& missed, const char* goal) {
  if (!missed.empty())
    missed += ',';
  missed += goal;
}

}  // namespace bench_judging
