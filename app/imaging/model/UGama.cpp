// Contrast curves: the power-law (gamma) and logarithmic transforms and the linear stretch
// of a window of levels (Gonzalez & Woods, Digital Image Processing, 3.2), each normalised
// so that the window's top maps to 255, and a hand-drawn curve made of straight segments.
#include "app/imaging/model/UGama.h"

#include <algorithm>
#include <cmath>

#include "platform/Numbers.h"

namespace vandrel {

namespace {

// A level from an extended-precision value: nearest, halves to even (the default rounding
// mode), kept inside 0..255.
uint8_t Nivel(long double v) {
  if (!(v > 0)) return 0;  // also NaN
  if (v >= 255) return 255;
  return uint8_t(std::nearbyint(v));
}

}  // namespace

uint8_t TipoDoItem(int itemIndex) {
  switch (itemIndex) {
    case 0:
      return kTipoGama;
    case 1:
      return kTipoLog;
    case 2:
      return kTipoLinear;
    default:
      return kTipoPersonalizado;
  }
}

std::string NomeDoTipo(uint8_t tipo) {
  switch (tipo) {
    case kTipoGama:
      return "Gamma";
    case kTipoLinear:
      return "linear";
    case kTipoLog:
      return "Logarítmico";
    case kTipoPersonalizado:
      return "Personalizado";
  }
  return {};
}

double GamaDaPosicao(int posicao) {
  if (posicao > kGamaNeutro) return 1.0 + (posicao - kGamaNeutro) * 0.1;
  if (posicao < kGamaNeutro) return 1.0 - (kGamaNeutro - posicao) * 0.01;
  return 1.0;
}

std::string TextoDoGama(double gama) {
  const double inteira = std::trunc(gama);
  return std::to_string(int64_t(inteira)) + "." + std::to_string(Round((gama - inteira) * 1000));
}

TransferCurve CurvaDeContraste(uint8_t tipo, bool inverter, int lo, int hi, double gama,
                               const TransferCurve& fundo) {
  TransferCurve t = fundo;
  if (tipo > kTipoLog) return t;
  lo = std::clamp(lo, 0, 254);
  hi = std::clamp(hi, lo + 1, 255);
  const long double n = hi - lo;
  const long double g = gama;
  const long double ln255 = std::log(255.0L);
  const long double lnN1 = std::log(n + 1);
  for (int i = lo; i <= hi; ++i) {
    long double v = 0;
    if (tipo == kTipoGama)
      v = 255 * std::exp(std::log((i - lo + 1) / (n + 1)) / g);
    else if (tipo == kTipoLinear)
      v = inverter ? (hi - i) / n * 255 : (i - lo) * 255.0L / n;
    else
      v = inverter ? std::exp(ln255 * (i - lo) / n)
                   : std::log((long double)(i - lo + 1)) / lnN1 * 255;
    t[size_t(i)] = Nivel(v);
  }
  return t;
}

void TracarSegmento(TransferCurve& curva, Point atual, Point anterior) {
  const long double x1 = atual.x, y1 = atual.y, x2 = anterior.x, y2 = anterior.y;
  // A vertical step gets a very steep slope in place of an infinite one.
  const long double m = atual.x == anterior.x ? (y2 - y1) / 0.00001L : (y2 - y1) / (x2 - x1);
  const long double c = y2 - x2 * m;
  const int a = std::max(std::min(atual.x, anterior.x), 0);
  const int b = std::min(std::max(atual.x, anterior.x), 255);
  for (int x = a; x <= b; ++x) curva[size_t(x)] = Nivel(255 - (x * m + c));
}

}  // namespace vandrel
