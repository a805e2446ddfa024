#pragma once
// The square mosaic of the images of an analysis: n = L x L images (n a power of 4), image
// v in grid row (v-1) div L and grid column L-1-((v-1) mod L), that is numbered row by row
// from the top and, within a row, from right to left. The mosaic is cut into square pieces
// of s x s images; piece i of the p x p pieces (p = L div s) lies in piece row i div p and
// piece column i mod p.
#include <vector>

namespace vandrel {

// True exactly for n = 4, 16, 64, 256, ...: a power of 2 with an even exponent of at least 2.
bool PotenciaParDe2(int n);

// The side L of the mosaic of n images: the square root of n to the nearest integer.
int LadoDoMosaico(int n);

// The image number (1-based) in column c and row r of a mosaic of side L.
int ImagemDaCelula(int coluna, int linha, int lado);

struct Celula {
  int coluna = 0, linha = 0;
  bool operator==(const Celula&) const = default;
};
// Where image v (1-based) stands.
Celula CelulaDaImagem(int v, int lado);

// The images of piece i at piece side s: s rows of s consecutive numbers, each row L
// numbers after the one before.
std::vector<std::vector<int>> ImagensDaPeca(int peca, int s, int lado);

}  // namespace vandrel
