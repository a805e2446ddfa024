#pragma once
// Colouring an 8-bit image by grey-level thresholds: every pixel takes the colour of its
// phase. With n thresholds lim[1..n] in ascending order, a grey level g belongs to the
// highest phase k whose threshold lies strictly below it (g > lim[k]), or to phase 0: phase
// 0 covers 0..lim[1], phase k covers lim[k]+1..lim[k+1] and phase n lim[n]+1..255, so a
// level equal to a threshold takes the lower phase.
//
// The rule is applied once per grey level into a 256-entry table; the image loop only
// looks pixels up in it, row by row.
#include <array>
#include <cstdint>

#include "app/thresholds/model/PhasePalette.h"
#include "app/thresholds/model/ThresholdRecord.h"
#include "platform/Bitmap.h"

namespace vandrel {

// The phase of grey level g: scanning k from n down to 1, the first k with g > lim[k];
// 0 when none. n is clamped to 0..15.
int FaseDoNivel(uint8_t g, int n, const Limiares& lim);
// The colour of grey level g: Paleta[FaseDoNivel(g, ...)].
TriploCor CorDoNivel(uint8_t g, int n, const Limiares& lim, const PaletaFases& paleta);

// The colour of every grey level.
using TabelaDeCores = std::array<TriploCor, 256>;
TabelaDeCores CoresDosNiveis(int n, const Limiares& lim, const PaletaFases& paleta);

// Writes into `saida` a 24-bit bitmap of `imagem`'s size whose pixel (x, y) is
// tabela[byte x of row y of imagem]. `saida`'s memory is reused when it already has that
// size and format. `imagem` must be 8-bit palette-indexed (the pixel byte is the grey
// level); any other format raises Exception "Essa não é uma imagem de 8 bits" and leaves
// `saida` alone.
void ColorirImagem(const Bitmap& imagem, const TabelaDeCores& tabela, Bitmap& saida);

}  // namespace vandrel
