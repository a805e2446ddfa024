// The palette bar's bands: where each phase's rectangle ends, in drawing order.
#include <gtest/gtest.h>

#include "app/thresholds/model/PaletteBar.h"

namespace vandrel {
namespace {

Limiares Lim(std::initializer_list<int> thresholds) {
  Limiares lim = LimiaresIniciais();
  int i = 1;
  for (int t : thresholds) lim[size_t(i++)] = uint8_t(t);
  return lim;
}

TEST(FaixasDaPaletaTest, ProportionalBandsEndAtTheThresholds) {
  const PaletaFases p = PaletaPadrao();
  // 264 / 256 = 1.03125: 255 -> 262.97 -> 263, 128 -> 132, 50 -> 51.5625 -> 52.
  const auto f = FaixasDaPaleta(264, true, 2, Lim({50, 128}), p);
  ASSERT_EQ(f.size(), 3u);
  EXPECT_EQ(f[0], (FaixaDaPaleta{p[2], 263}));
  EXPECT_EQ(f[1], (FaixaDaPaleta{p[1], 132}));
  EXPECT_EQ(f[2], (FaixaDaPaleta{p[0], 52}));
}

TEST(FaixasDaPaletaTest, ProportionalRoundingHalvesToEven) {
  // Width 128: scale 0.5; 255 -> 127.5 -> 128, 5 -> 2.5 -> 2, 7 -> 3.5 -> 4.
  const PaletaFases p = PaletaPadrao();
  const auto f = FaixasDaPaleta(128, true, 2, Lim({5, 7}), p);
  EXPECT_EQ(f[0].direita, 128);
  EXPECT_EQ(f[1].direita, 4);
  EXPECT_EQ(f[2].direita, 2);
}

TEST(FaixasDaPaletaTest, EqualBandsSplitTheWidth) {
  const PaletaFases p = PaletaPadrao();
  // 264 / 3 = 88 per band, widest first.
  const auto f = FaixasDaPaleta(264, false, 2, Lim({200, 201}), p);
  ASSERT_EQ(f.size(), 3u);
  EXPECT_EQ(f[0], (FaixaDaPaleta{p[2], 264}));
  EXPECT_EQ(f[1], (FaixaDaPaleta{p[1], 176}));
  EXPECT_EQ(f[2], (FaixaDaPaleta{p[0], 88}));
}

TEST(FaixasDaPaletaTest, FifteenLevelsDrawSixteenBands) {
  const PaletaFases p = PaletaPadrao();
  Limiares lim = LimiaresIniciais();
  for (int i = 1; i <= 15; ++i) lim[size_t(i)] = uint8_t(17 * i);
  const auto prop = FaixasDaPaleta(264, true, 15, lim, p);
  ASSERT_EQ(prop.size(), 16u);
  EXPECT_EQ(prop.front().cor, p[15]);
  EXPECT_EQ(prop.back().cor, p[0]);
  EXPECT_EQ(prop.back().direita, 18);  // 17 x 1.03125 = 17.53
  const auto igual = FaixasDaPaleta(264, false, 15, lim, p);
  EXPECT_EQ(igual.back().direita, 16);  // 264 / 16 = 16.5, halves to even
  EXPECT_EQ(igual.front().direita, 264);
}

}  // namespace
}  // namespace vandrel
