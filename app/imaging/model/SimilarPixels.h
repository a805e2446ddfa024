#pragma once
// Recolouring of similar pixels: the distinct colours inside a rectangle of an image with
// their frequencies, and a 24-bit copy of the whole image in which the pixels of the chosen
// colours keep their colour (or take a new one) and every other pixel takes a background
// colour.
//
// Colours are colour integers: red + 256 x green + 65536 x blue.
#include <cstdint>
#include <optional>
#include <vector>

#include "app/imaging/model/Selection.h"
#include "platform/Bitmap.h"

namespace vandrel {

struct FrequenciaCor {
  int32_t cor = 0xFFFFFF;
  int32_t contagem = -1;
  bool operator==(const FrequenciaCor&) const = default;
};

// The distinct colours of the pixels from `inicio` to `fim` (both included, each corner
// clamped into the image; nothing when the end lies before the start), by decreasing count.
// The rectangle is scanned row by row; a colour seen again has its count raised and is then
// exchanged with the first entry above it whose count is now smaller, so the list stays
// sorted. Indexed pixels take their palette colour (black beyond the palette).
std::vector<FrequenciaCor> CoresDaSelecao(const Bitmap& image, Point inicio, Point fim);

enum class EscolhaSimilares {
  MaisFrequentes,  // the `quantidade` most frequent colours of the list
  ValorMedio,      // pixels whose red byte is the mean red of the listed colours
  Todos,           // every colour of the list
};

struct OpcoesSimilares {
  EscolhaSimilares escolha = EscolhaSimilares::MaisFrequentes;
  int quantidade = 3;
  std::optional<int32_t> novaCor;  // the colour of marked pixels; none: they keep theirs
  int32_t corFundo = 0xFFFFFF;     // the colour of every other pixel
};

// The mean of the mean option: the sum of the red components of the listed colours
// divided by their number, truncated; none for an empty list.
std::optional<int> MediaVermelho(const std::vector<FrequenciaCor>& lista);

// The recoloured image: 24-bit, the size of `image`. "Os N" marks the first min(N, list
// size) colours. The mean option applies to images that are not 24-bit; for a 24-bit one
// it marks nothing.
Bitmap RecolorirSimilares(const Bitmap& image, Point inicio, Point fim, const OpcoesSimilares& o);

}  // namespace vandrel
