#include "app/histograms/model/HistogramLayout.h"

#include <algorithm>
#include <cmath>

#include "platform/Format.h"
#include "platform/Numbers.h"

namespace vandrel {

int32_t CorDaFase(uint8_t k) {
  static constexpr int32_t kTable[15] = {
      0xFF0000, 0x0000FF, 0x000000, 0x008000, 0x800000, 0xFF00FF, 0x800080, 0x000080,
      0x008080, 0x808080, 0x00FF00, 0x00FFFF, 0x808000, 0x0080FF, 0x8000FF,
  };
  if (k < 15) return kTable[k];
  return Rgb(k * 20, k * 50, ((k * k) & 255) + 30);
}

SizeInfo SizeOf(TTamanho tamanho) {
  switch (tamanho) {
    case hs128:
      return {136, 98, 1, 0};
    case hs256:
      return {264, 188, 2, 6};
    case hs512:
      return {520, 368, 4, 12};
    case hs1024:
      return {1032, 728, 8, 24};
    case hs256x256:
      return {260, 260, 2, 0};
  }
  return {264, 188, 2, 6};
}

Rect32 PlotArea(int width, int height) { return {3, 5, width - 3, height - 4}; }

int ColumnX(int left, int level, int escala) { return left + 1 + int(Round(level * escala / 2.0)); }

int BarPenWidth(int escala) { return escala <= 2 ? 1 : escala == 4 ? 2 : 4; }

VerticalScale ScaleValues(const GreyHistogram& h, int height, double fator) {
  VerticalScale s;
  double max = -1.0;
  for (double v : h)
    if (v > max) max = v;
  if (max == 0.0) max = 1.0;
  s.max = max;
  // Far beyond any bitmap side, and within int even after adding a base line.
  constexpr double kLimit = 1 << 24;
  const double unit = (height - 10) / max * fator;
  for (int i = 0; i < 256; ++i) {
    double y = unit * h[i];
    if (std::isnan(y)) y = 0.0;
    y = std::clamp(y, -kLimit, kLimit);
    s.heights[i] = int(Round(y));
  }
  return s;
}

std::vector<HistogramText> HistogramTexts(TTamanho tamanho, double max, double fator,
                                          int numLinhasHor, const Rect32& area) {
  std::vector<HistogramText> texts;
  const SizeInfo size = SizeOf(tamanho);
  if (size.fontSize == 0) return texts;
  const int s = size.escala, h = int(Round(s / 2.0));
  texts.push_back({2 * s, 2 * s, "Max=" + FormatFixed(100 * max / fator, 2) + "%"});
  const int y = int(Round(82.5 * s));
  texts.push_back({2 * s, y, "0"});
  texts.push_back({119 * s, y, "250"});
  const int k = numLinhasHor;
  if (k > 0) {
    const int step = (90 * s) / (k + 1);
    for (int m = 1; m <= k; ++m)
      texts.push_back({2, area.top + m * step - 13 * h,
                       FormatFixed(100 * max / (k + 1) * (k - m + 1) / fator, 2) + "%"});
  }
  return texts;
}

}  // namespace vandrel
