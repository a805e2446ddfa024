// Phase colouring by thresholds through a lookup table, as the thresholds window previews
// and applies it.
#include "app/thresholds/model/PhaseColouring.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/Errors.h"

namespace vandrel {

int FaseDoNivel(uint8_t g, int n, const Limiares& lim) {
  for (int k = std::clamp(n, 0, kMaxNiveis); k >= 1; --k)
    if (g > lim[size_t(k)]) return k;
  return 0;
}

TriploCor CorDoNivel(uint8_t g, int n, const Limiares& lim, const PaletaFases& paleta) {
  return paleta[size_t(FaseDoNivel(g, n, lim))];
}

TabelaDeCores CoresDosNiveis(int n, const Limiares& lim, const PaletaFases& paleta) {
  TabelaDeCores t{};
  for (int g = 0; g < 256; ++g) t[size_t(g)] = CorDoNivel(uint8_t(g), n, lim, paleta);
  return t;
}

namespace {

// Eight pixels at a time: their three-byte colours packed into three 64-bit words, stored
// with memcpy (no alignment or aliasing question), so each group of eight costs eight table
// reads and three stores.
void ColorirLinha(const uint8_t* src, uint8_t* dst, size_t width, const uint64_t* t) {
  size_t x = 0;
  for (; x + 8 <= width; x += 8) {
    const uint8_t* s = src + x;
    const uint64_t a = t[s[0]], b = t[s[1]], c = t[s[2]], d = t[s[3]];
    const uint64_t e = t[s[4]], f = t[s[5]], g = t[s[6]], h = t[s[7]];
    const uint64_t w[3] = {a | b << 24 | c << 48, c >> 16 | d << 8 | e << 32 | f << 56,
                           f >> 8 | g << 16 | h << 40};
    std::memcpy(dst + 3 * x, w, sizeof w);
  }
  for (; x < width; ++x) {
    const uint64_t v = t[src[x]];
    uint8_t* p = dst + 3 * x;
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
  }
}

}  // namespace

void ColorirImagem(const Bitmap& imagem, const TabelaDeCores& tabela, Bitmap& saida) {
  if (imagem.format() != PixelFormat::pf8bit) throw Exception("Essa não é uma imagem de 8 bits");
  // The words are assembled in little-endian byte order, which is how they reach memory on
  // the machines we build for.
  static_assert(std::endian::native == std::endian::little);
  uint64_t t[256];
  for (size_t g = 0; g < 256; ++g)
    t[g] = uint64_t(tabela[g][0]) | uint64_t(tabela[g][1]) << 8 | uint64_t(tabela[g][2]) << 16;
  if (saida.width() != imagem.width() || saida.height() != imagem.height() ||
      saida.format() != PixelFormat::pf24bit)
    saida = Bitmap(imagem.width(), imagem.height(), PixelFormat::pf24bit);
  const size_t width = size_t(imagem.width());
  for (int y = 0; y < imagem.height(); ++y)
    ColorirLinha(imagem.scanLine(y), saida.scanLine(y), width, t);
}

}  // namespace vandrel
