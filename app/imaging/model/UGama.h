#pragma once
// The contrast window's arithmetic: the gamma of its slider and the label that shows it,
// the transfer curves of its four types over a window of input levels, and the straight
// segments that the mouse draws into a hand-made curve.
#include <cstdint>
#include <string>

#include "app/imaging/model/Selection.h"
#include "app/imaging/model/TransferCurve.h"

namespace vandrel {

// Curve types.
inline constexpr uint8_t kTipoGama = 0;
inline constexpr uint8_t kTipoLinear = 1;
inline constexpr uint8_t kTipoLog = 2;
inline constexpr uint8_t kTipoPersonalizado = 3;

// The type of each item of the type choice ("Gamma", "Log", "Linear", "Personalizado").
uint8_t TipoDoItem(int itemIndex);
// The type's name as the output caption shows it ("Gamma", "linear", "Logarítmico",
// "Personalizado"); empty for an unknown type.
std::string NomeDoTipo(uint8_t tipo);

// The gamma slider runs from 1 to 182 with 1.0 at 91: steps of 0.1 above the middle (up to
// 10.1) and of 0.01 below it (down to 0.1).
inline constexpr int kGamaMinimo = 1;
inline constexpr int kGamaMaximo = 182;
inline constexpr int kGamaNeutro = 91;
double GamaDaPosicao(int posicao);

// The integer part, a point and the fraction in thousandths, rounded halves to even:
// 1.9 -> "1.900", 0.99 -> "0.990", 2.0 -> "2.0".
std::string TextoDoGama(double gama);

// The curve of type gamma, linear or logarithmic (inverted when `inverter`, which the gamma
// type ignores) over the input levels lo..hi, 0 <= lo < hi <= 255; every entry outside the
// window comes from `fundo`. Computed in extended precision and rounded halves to even.
// `gama` must be above 0. A hand-made type has no formula: `fundo` comes back as it is.
TransferCurve CurvaDeContraste(uint8_t tipo, bool inverter, int lo, int hi, double gama,
                               const TransferCurve& fundo);

// Draws the straight line through `atual` and `anterior` (curve-area coordinates, y down,
// output level 255 - y) into `curva` over the columns between them, both included. Columns
// outside 0..255 are left out and levels are kept inside 0..255.
void TracarSegmento(TransferCurve& curva, Point atual, Point anterior);

}  // namespace vandrel
