// Phase colouring by thresholds through a lookup table, as the thresholds window previews
// and applies it.
#include "app/thresholds/model/PhaseColouring.h"

#include <algorithm>

#include "app/imaging/model/PixelRows.h"
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

void ColorirImagem(const Bitmap& imagem, const TabelaDeCores& tabela, Bitmap& saida) {
  if (imagem.format() != PixelFormat::pf8bit) throw Exception("Essa não é uma imagem de 8 bits");
  // Each level's three bytes as a number, the first byte lowest.
  uint32_t t[256];
  for (size_t g = 0; g < 256; ++g)
    t[g] = uint32_t(tabela[g][0]) | uint32_t(tabela[g][1]) << 8 | uint32_t(tabela[g][2]) << 16;
  if (saida.width() != imagem.width() || saida.height() != imagem.height() ||
      saida.format() != PixelFormat::pf24bit)
    saida = Bitmap(imagem.width(), imagem.height(), PixelFormat::pf24bit);
  const size_t width = size_t(imagem.width());
  const auto expandir = pixels::Kernels().expand;
  for (int y = 0; y < imagem.height(); ++y)
    expandir(imagem.scanLine(y), saida.scanLine(y), width, t);
}

}  // namespace vandrel
