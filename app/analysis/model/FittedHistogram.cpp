#include "app/analysis/model/FittedHistogram.h"

#include "app/histograms/model/HistogramFiles.h"
#include "platform/TextFile.h"

namespace vandrel {

GreyHistogram HistogramaAjustado(const std::string& arquivoPadrao,
                                 const std::vector<double>& percentuais) {
  TextReader pat(arquivoPadrao);
  const std::vector<GreyHistogram> colunas = ReadPatternValues(pat, int(percentuais.size()));
  GreyHistogram f{};
  for (int g = 0; g < 256; ++g) {
    double soma = 0;
    for (size_t j = 0; j < colunas.size(); ++j) soma += percentuais[j] * colunas[j][size_t(g)];
    f[size_t(g)] = soma;
  }
  return f;
}

void EscreverHistogramaAjustado(const std::string& path, const GreyHistogram& f) {
  TextWriter w(path);
  for (int g = 0; g < 256; ++g) {
    w.WriteInteger(g);
    w.Write(" ");
    w.WriteReal(f[size_t(g)]);
    w.WriteLine();
  }
  w.Close();
}

}  // namespace vandrel
