#pragma once
// The histogram control's drawing settings and geometry: its styles and sizes, the default
// colours of overlay curves, where grey levels fall and how high their values are drawn.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/histograms/model/GreyLevels.h"

namespace vandrel {

enum TEstilo : uint8_t { eGradiente, eUmaCor, eLinha, eLinhaGradiente };
enum TLinhasVert : uint8_t { qNenhuma, qPrincipais, qTodas };
enum TTamanho : uint8_t { hs128, hs256, hs512, hs1024, hs256x256 };

// Colour values are 32-bit integers with red in the low byte, green in the second and blue
// in the third.
constexpr int32_t Rgb(int r, int g, int b) {
  return (r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16;
}

// The default colour of overlay entry k.
int32_t CorDaFase(uint8_t k);

// A rectangle of the control (left, top, right, bottom).
struct Rect32 {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const Rect32&) const = default;
};

// What each `TTamanho` gives the control.
struct SizeInfo {
  int width, height;
  uint8_t escala;  // pixels per two grey levels
  int fontSize;    // of the texts; 0: no texts at this size
};
SizeInfo SizeOf(TTamanho tamanho);

// The plot area of a control of the given size: (3, 5, width - 3, height - 4).
Rect32 PlotArea(int width, int height);

// The column of grey level i: left + 1 + round(i * escala / 2), halves to even, so that at
// scale 1 neighbouring levels share columns.
int ColumnX(int left, int level, int escala);

// Pen width of the vertical bars: 1 at scales 1 and 2, 2 at 4, 4 at 8.
int BarPenWidth(int escala);

// The vertical scale of one histogram: `max` is the largest value (1.0 when it is 0) and
// heights[i] = (height - 10) / max * fator * h[i], rounded halves to even. Heights are
// bounded far outside any bitmap so that absurd factors stay representable.
struct VerticalScale {
  double max = 1.0;
  std::array<int, 256> heights{};
};
VerticalScale ScaleValues(const GreyHistogram& h, int height, double fator);

// One text of the single-mode drawing, placed by the top left corner of its cell.
struct HistogramText {
  int x, y;
  std::string text;
  bool operator==(const HistogramText&) const = default;
};
// The texts of a single histogram whose largest value is `max`: "Max=" with the maximum in
// percent, "0" and "250" under the axis, and one percentage label above each horizontal
// line; numbers with two decimals and the user's decimal separator. None at the sizes
// without texts.
std::vector<HistogramText> HistogramTexts(TTamanho tamanho, double max, double fator,
                                          int numLinhasHor, const Rect32& area);

}  // namespace vandrel
