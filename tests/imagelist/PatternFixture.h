#pragma once
// Pattern sets for the tests: phase histograms made of a few grey levels, written as the
// program writes them.
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "app/histograms/model/GreyLevels.h"
#include "app/histograms/model/HistogramFiles.h"

namespace vandrel::testing {

// A phase histogram holding `weight` at each of its grey levels.
inline GreyHistogram Fase(std::initializer_list<std::pair<int, double>> levels) {
  GreyHistogram h{};
  for (const auto& [g, w] : levels) h[size_t(g)] = w;
  return h;
}

// Writes base.pat, base.pac and base.err for the phases, named `names` (the defaults are
// "/fases/faseK.his"), and returns the ".pat" path.
inline std::string EscreverPadrao(const std::string& base, const std::vector<GreyHistogram>& fases,
                                  std::vector<std::string> names = {}) {
  std::vector<const GreyHistogram*> columns;
  for (const GreyHistogram& f : fases) columns.push_back(&f);
  if (names.empty())
    for (size_t k = 0; k < fases.size(); ++k)
      names.push_back("/fases/fase" + std::to_string(k + 1) + ".his");
  WritePattern(base, columns, names);
  return base + ".pat";
}

// Phases at single grey levels, one per level given.
inline std::vector<GreyHistogram> FasesEm(std::initializer_list<int> levels) {
  std::vector<GreyHistogram> out;
  for (int g : levels) out.push_back(Fase({{g, 1.0}}));
  return out;
}

}  // namespace vandrel::testing
