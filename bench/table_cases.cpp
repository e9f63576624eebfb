#include "table_cases.h"

namespace bench_table {

std::vector<Case> TableCases(bool quick) {
  std::vector<Case> cases;
  const int hands[] = {1, 2, 5, 10};
  const double rates[] = {2000, 8000, 16000, 32000};
  const double turnRates[] = {5.5, 10, 15};
  if (quick) {
    for (const int h : hands)
      cases.push_back(Case{h, 8000, 10, kClean});
    cases.push_back(Case{5, 2000, 5.5, kClean});
    cases.push_back(Case{5, 16000, 15, kClean});
    cases.push_back(Case{5, 32000, 10, kClean});
    for (const Line& line : {kLost, kGarbled, kNoReturn})
      cases.push_back(Case{5, 8000, 10, line});
    return cases;
  }
  for (const int h : hands) {
    for (const double rate : rates) {
      for (const double tps : turnRates)
        cases.push_back(Case{h, rate, tps, kClean});
    }
  }
  for (const Line& line : {kLost, kGarbled, kNoReturn}) {
    for (const int h : hands) {
      cases.push_back(Case{h, 2000, 5.5, line});
      cases.push_back(Case{h, 8000, 10, line});
      cases.push_back(Case{h, 16000, 15, line});
      cases.push_back(Case{h, 32000, 10, line});
    }
  }
  return cases;
}

}  // namespace bench_table
