#include "app/analysis/model/Mosaic.h"

#include <bit>
#include <cmath>

namespace vandrel {

bool PotenciaParDe2(int n) {
  if (n <= 1) return false;
  const unsigned u = unsigned(n);
  return std::has_single_bit(u) && std::countr_zero(u) % 2 == 0;
}

int LadoDoMosaico(int n) { return n <= 0 ? 0 : int(std::lround(std::sqrt(double(n)))); }

int ImagemDaCelula(int coluna, int linha, int lado) { return linha * lado + lado - coluna; }

Celula CelulaDaImagem(int v, int lado) { return {lado - 1 - (v - 1) % lado, (v - 1) / lado}; }

std::vector<std::vector<int>> ImagensDaPeca(int peca, int s, int lado) {
  const int p = lado / s;
  const int k = s * s;
  int primeira = (peca / p) * p * k + (peca % p) * s + 1;
  std::vector<std::vector<int>> linhas(static_cast<size_t>(s),
                                       std::vector<int>(static_cast<size_t>(s)));
  for (int a = 0; a < s; ++a) {
    for (int b = 0; b < s; ++b) linhas[size_t(a)][size_t(b)] = primeira + b;
    primeira += lado;
  }
  return linhas;
}

}  // namespace vandrel
