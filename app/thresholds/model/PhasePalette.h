#pragma once
// The phase palette: 16 colour triples, triple k the colour of phase k, each stored blue,
// green, red (the bytes InteiroParaRGB makes of a colour value, and the byte order of a
// 24-bit pixel). It is the whole content of a ".pcs" file.
#include <array>
#include <cstddef>

#include "app/settings/model/URecursos.h"

namespace vandrel {

using PaletaFases = std::array<TriploCor, 16>;
constexpr size_t kTamanhoPaleta = 48;

// Black, white, red, yellow, blue, lime, navy, green, aqua, sky blue, teal, maroon, silver,
// purple, fuchsia, olive.
PaletaFases PaletaPadrao();

}  // namespace vandrel
