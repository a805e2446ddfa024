#include "app/analysis/model/ResultTable.h"

#include <cmath>

#include "app/histograms/model/HistogramFiles.h"
#include "app/histograms/model/HistogramWindowRules.h"
#include "platform/Errors.h"
#include "platform/Format.h"
#include "platform/TextFile.h"

namespace vandrel {

std::string PrimeirosCaracteres(const std::string& text, size_t count) {
  size_t end = 0, chars = 0;
  while (end < text.size()) {
    // A character starts at every byte that is not a continuation byte (10xxxxxx).
    if ((static_cast<unsigned char>(text[end]) & 0xC0) != 0x80) {
      if (chars == count) break;
      ++chars;
    }
    ++end;
  }
  return text.substr(0, end);
}

std::string NomeDaFase(const std::string& entrada) {
  return PrimeirosCaracteres(CurveName(entrada), 10);
}

std::vector<std::string> LerFases(const std::string& arquivoPadrao) {
  const std::string pac = WithoutExtension(arquivoPadrao) + ".pac";
  TextReader r(pac);
  const int32_t n = r.ReadInteger();
  r.SkipLine();
  if (n < 0 || n > kMaxFasesAnalise)
    throw Exception("O padrão deve ter no máximo " + std::to_string(kMaxFasesAnalise) +
                    " fases: o arquivo " + pac + " traz " + std::to_string(n));
  std::vector<std::string> entradas;
  entradas.reserve(size_t(n));
  for (int j = 0; j < n; ++j) entradas.push_back(r.ReadLine());
  return entradas;
}

TabelaResultado::TabelaResultado(const std::vector<std::string>& entradasDoPac)
    : numFases_(int(entradasDoPac.size())), somas_(entradasDoPac.size(), 0.0) {
  celulas_.assign(1, std::vector<std::string>(size_t(Colunas())));
  for (int j = 1; j <= numFases_; ++j) Definir(j, 0, NomeDaFase(entradasDoPac[size_t(j - 1)]));
  Definir(numFases_ + 1, 0, "Total");
}

const std::string& TabelaResultado::Celula(int coluna, int linha) const {
  static const std::string vazia;
  if (linha < 0 || linha >= Linhas() || coluna < 0 || coluna >= Colunas()) return vazia;
  return celulas_[size_t(linha)][size_t(coluna)];
}

double TabelaResultado::Valor(int coluna, int linha) const {
  const std::string& texto = Celula(coluna, linha);
  return texto.empty() ? 0.0 : NumeroExibido(texto);
}

void TabelaResultado::Definir(int coluna, int linha, std::string texto) {
  celulas_[size_t(linha)][size_t(coluna)] = std::move(texto);
}

void TabelaResultado::AdicionarResultado(const std::string& rotulo, const ResultadoAjuste& f) {
  // The former mean row becomes the new image row; a fresh mean row goes below it.
  const int linha = Linhas() == 1 ? 1 : Linhas() - 1;
  celulas_.resize(size_t(linha) + 2, std::vector<std::string>(size_t(Colunas())));
  std::fill(celulas_[size_t(linha)].begin(), celulas_[size_t(linha)].end(), std::string());
  Definir(0, linha, PrimeirosCaracteres(rotulo, 12));

  double soma = 0;
  for (int j = 1; j <= numFases_; ++j) {
    double v = f[size_t(j - 1)];
    // A negative fraction is no amount of a phase; a value that is not a number (which no
    // fit should give) counts as none rather than spoiling the mean and the files.
    if (!(v >= 0) || !std::isfinite(v)) v = 0;
    Definir(j, linha, FormatFixed(100 * v, 3));
    somas_[size_t(j - 1)] += Valor(j, linha);
    soma += v;
  }
  Definir(numFases_ + 1, linha, FormatFixed(100 * soma, 3));

  const int media = linha + 1;
  std::fill(celulas_[size_t(media)].begin(), celulas_[size_t(media)].end(), std::string());
  Definir(0, media, "Média");
  const int imagens = LinhasDeImagem();
  for (int j = 1; j <= numFases_; ++j)
    Definir(j, media, FormatFixed(somas_[size_t(j - 1)] / imagens, 3));
}

}  // namespace vandrel
