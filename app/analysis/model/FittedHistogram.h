#pragma once
// The histogram that a fit implies: the pattern's phase histograms weighted by the
// percentages of one row of the results table, F(g) = sum of pct_j x P_j(g). Since the
// weights are percentages, F is 100 times the fraction-weighted sum. It is written as
// "H_Ajustado.his" for the comparison with the image's own histogram.
#include <string>
#include <vector>

#include "app/histograms/model/GreyLevels.h"

namespace vandrel {

// F from the first `percentuais.size()` columns of the pattern `arquivoPadrao` (".pat": 256
// lines, the values of one grey level per line, the rest of a line skipped). Read errors
// are the runtime's input/output errors.
GreyHistogram HistogramaAjustado(const std::string& arquivoPadrao,
                                 const std::vector<double>& percentuais);

// Writes F: 256 lines of the grey level, one blank and the value in the 23-character form.
void EscreverHistogramaAjustado(const std::string& path, const GreyHistogram& f);

}  // namespace vandrel
