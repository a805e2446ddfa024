#include "app/analysis/model/Homogeneity.h"

#include <cmath>

#include "app/analysis/model/Mosaic.h"
#include "platform/Errors.h"
#include "platform/Format.h"
#include "platform/TextFile.h"

namespace vandrel {

std::vector<NivelHomogeneidade> CalcularNiveis(const ValoresVol& valores, int numImagens) {
  if (numImagens != 1 && !PotenciaParDe2(numImagens))
    throw Exception("O mosaico precisa de um número de imagens que seja potência par de 2 (" +
                    std::to_string(numImagens) + " imagens)");
  const int n = valores.numFases;
  if (int(valores.imagens.size()) < numImagens)
    throw Exception("Faltam os valores de " +
                    std::to_string(numImagens - int(valores.imagens.size())) + " imagens");
  for (int v = 0; v < numImagens; ++v)
    if (int(valores.imagens[size_t(v)].size()) < n)
      throw Exception("Faltam valores da imagem " + std::to_string(v + 1));

  const int lado = LadoDoMosaico(numImagens);
  std::vector<NivelHomogeneidade> niveis;
  for (int s = lado / 2; s >= 1; s /= 2) {
    NivelHomogeneidade nivel;
    nivel.s = s;
    nivel.k = s * s;
    const int p = lado / s;
    nivel.pecas = p * p;
    nivel.M.assign(size_t(n), 0.0);
    nivel.S.assign(size_t(n), 0.0);
    nivel.sigma.assign(size_t(n), 0.0);
    std::vector<double> m(static_cast<size_t>(n));
    for (int i = 0; i < nivel.pecas; ++i) {
      std::fill(m.begin(), m.end(), 0.0);
      for (const std::vector<int>& linha : ImagensDaPeca(i, s, lado))
        for (int v : linha) {
          const std::vector<double>& x = valores.imagens[size_t(v - 1)];
          for (int j = 0; j < n; ++j) m[size_t(j)] += x[size_t(j)] / nivel.k;
        }
      for (int j = 0; j < n; ++j) {
        nivel.M[size_t(j)] += m[size_t(j)] / nivel.pecas;
        nivel.S[size_t(j)] += m[size_t(j)] * m[size_t(j)] / nivel.pecas;
      }
    }
    // The variance as the mean of squares less the squared mean can come out a rounding
    // error below 0; its magnitude is taken.
    for (int j = 0; j < n; ++j) {
      nivel.sigma[size_t(j)] =
          std::sqrt(std::fabs(nivel.S[size_t(j)] - nivel.M[size_t(j)] * nivel.M[size_t(j)]));
      nivel.Sigma += nivel.sigma[size_t(j)];
    }
    niveis.push_back(std::move(nivel));
  }
  return niveis;
}

std::string ArquivoMED(const std::string& pasta, int s) {
  return pasta + "A" + std::to_string(s) + ".MED";
}

void EscreverMED(const std::string& path, const NivelHomogeneidade& nivel) {
  TextWriter w(path);
  for (size_t j = 0; j < nivel.M.size(); ++j) {
    w.WriteInteger(int64_t(j) + 1);
    w.Write(" ");
    w.WriteReal(nivel.M[j]);
    w.Write(" ");
    w.WriteReal(nivel.S[j]);
    w.Write(" ");
    w.WriteReal(nivel.sigma[j]);
    w.WriteLine();
  }
  w.Write("- - Sigma ");
  w.WriteReal(nivel.Sigma);
  w.WriteLine();
  w.Close();
}

std::vector<std::string> RelatorioDasPecas(const NivelHomogeneidade& nivel, int lado) {
  std::vector<std::string> linhas;
  linhas.push_back("       Mosaico de    " + std::to_string(nivel.pecas) + " pecas.");
  linhas.push_back("       Cada peca tem " + std::to_string(nivel.k) + " imagens.");
  linhas.emplace_back();
  for (int i = 0; i < nivel.pecas; ++i) {
    linhas.push_back("       As imagens da peca " + std::to_string(i + 1) + " sao: ");
    for (const std::vector<int>& fila : ImagensDaPeca(i, nivel.s, lado)) {
      std::string texto;
      for (int v : fila) texto += std::to_string(v) + ", ";
      linhas.push_back(std::move(texto));
    }
    linhas.emplace_back();
  }
  return linhas;
}

std::vector<std::string> RelatorioDoGrau(const NivelHomogeneidade& nivel,
                                         const std::string& arquivo) {
  return {"", "       Grau de homogeneidade = " + FormatScientific(nivel.Grau()), "",
          "       Arquivo de Saida = " + arquivo, ""};
}

}  // namespace vandrel
