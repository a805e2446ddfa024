// Colouring by thresholds: the phase of each grey level and the image loop that looks
// pixels up in the 256-entry table.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "app/thresholds/model/PhaseColouring.h"
#include "platform/Errors.h"

namespace vandrel {
namespace {

Limiares Lim(std::initializer_list<int> thresholds) {
  Limiares lim = LimiaresIniciais();
  int i = 1;
  for (int t : thresholds) lim[size_t(i++)] = uint8_t(t);
  return lim;
}

struct FaseCase {
  const char* name;
  int n;
  Limiares lim;
  // (grey level, phase) pairs
  std::vector<std::pair<int, int>> esperado;
};

class FaseDoNivelTest : public ::testing::TestWithParam<FaseCase> {};

TEST_P(FaseDoNivelTest, PhaseOfGreyLevels) {
  const FaseCase& c = GetParam();
  for (auto [g, fase] : c.esperado)
    EXPECT_EQ(FaseDoNivel(uint8_t(g), c.n, c.lim), fase) << "grey level " << g;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FaseDoNivelTest,
    ::testing::Values(
        // A fresh window: 0..128 phase 0, 129..255 phase 1.
        FaseCase{"fresh", 1, Lim({128}), {{0, 0}, {127, 0}, {128, 0}, {129, 1}, {255, 1}}},
        // A level equal to a threshold takes the lower phase.
        FaseCase{"three",
                 3,
                 Lim({50, 100, 200}),
                 {{50, 0}, {51, 1}, {100, 1}, {101, 2}, {200, 2}, {201, 3}, {255, 3}}},
        // Two equal thresholds: the phase between them holds no level.
        FaseCase{"equal", 2, Lim({80, 80}), {{80, 0}, {81, 2}, {0, 0}, {255, 2}}},
        // Thresholds at the ends: 0 leaves only level 0 in phase 0, 255 makes the top
        // phase empty.
        FaseCase{"ends", 2, Lim({0, 255}), {{0, 0}, {1, 1}, {254, 1}, {255, 1}}},
        // Fifteen thresholds.
        FaseCase{"fifteen",
                 15,
                 Lim({10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150}),
                 {{10, 0}, {11, 1}, {75, 7}, {150, 14}, {151, 15}, {255, 15}}},
        // Bytes after the count carry no meaning and are not looked at.
        FaseCase{"stale", 1, Lim({100, 30, 20}), {{25, 0}, {100, 0}, {101, 1}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CorDoNivelTest, TakesThePhaseColourFromThePalette) {
  const PaletaFases p = PaletaPadrao();
  const Limiares lim = Lim({50, 100});
  EXPECT_EQ(CorDoNivel(10, 2, lim, p), p[0]);
  EXPECT_EQ(CorDoNivel(75, 2, lim, p), p[1]);
  EXPECT_EQ(CorDoNivel(101, 2, lim, p), p[2]);
  // Red is stored blue, green, red.
  EXPECT_EQ(p[2], (TriploCor{0, 0, 255}));
  EXPECT_EQ(p[9], (TriploCor{0xF0, 0xCA, 0xA6}));
}

TEST(CoresDosNiveisTest, TableAgreesWithTheRule) {
  PaletaFases p{};
  for (size_t k = 0; k < p.size(); ++k) p[k] = {uint8_t(k), uint8_t(16 * k), uint8_t(255 - k)};
  const Limiares lim = Lim({3, 3, 90, 91, 200});
  const TabelaDeCores t = CoresDosNiveis(5, lim, p);
  for (int g = 0; g < 256; ++g) EXPECT_EQ(t[size_t(g)], p[size_t(FaseDoNivel(uint8_t(g), 5, lim))]);
}

Bitmap Grey(int w, int h, uint32_t seed) {
  Bitmap b(w, h, PixelFormat::pf8bit);
  b.setPalette(GreyRamp());
  std::mt19937 random(seed);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.scanLine(y)[x] = uint8_t(random());
  return b;
}

// Every width from 1 to 9 (so each remainder of the eight-pixel groups), widths around the
// 16-pixel groups of the vector loop (which needs room past its group) and a wide one.
class ColorirImagemTest : public ::testing::TestWithParam<int> {};

TEST_P(ColorirImagemTest, EveryPixelTakesItsLevelsColour) {
  const int w = GetParam(), h = 3;
  const Bitmap imagem = Grey(w, h, uint32_t(w));
  PaletaFases p = PaletaPadrao();
  const Limiares lim = Lim({40, 120, 121, 250});
  const TabelaDeCores t = CoresDosNiveis(4, lim, p);
  Bitmap saida;
  ColorirImagem(imagem, t, saida);
  ASSERT_EQ(saida.format(), PixelFormat::pf24bit);
  ASSERT_EQ(saida.width(), w);
  ASSERT_EQ(saida.height(), h);
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = saida.scanLine(y);
    for (int x = 0; x < w; ++x) {
      const TriploCor c = CorDoNivel(imagem.scanLine(y)[x], 4, lim, p);
      ASSERT_EQ(row[3 * x], c[0]) << x << "," << y;
      ASSERT_EQ(row[3 * x + 1], c[1]) << x << "," << y;
      ASSERT_EQ(row[3 * x + 2], c[2]) << x << "," << y;
    }
    // The row's padding is not written.
    for (size_t i = size_t(3 * w); i < saida.stride(); ++i) EXPECT_EQ(row[i], 0) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Widths, ColorirImagemTest,
                         ::testing::Values(1, 2, 3, 4, 5, 6, 7, 8, 9, 16, 17, 18, 19, 33, 34, 35,
                                           50, 257));

TEST(ColorirImagemReuse, ReusesAMatchingBufferAndReplacesAnotherOne) {
  const Bitmap imagem = Grey(6, 4, 7);
  const TabelaDeCores branco = CoresDosNiveis(1, Lim({255}), PaletaPadrao());  // all black
  Bitmap saida(6, 4, PixelFormat::pf24bit);
  saida.scanLine(2)[5] = 77;
  const uint8_t* antes = saida.bits();
  ColorirImagem(imagem, branco, saida);
  EXPECT_EQ(saida.bits(), antes);
  EXPECT_EQ(saida.scanLine(2)[5], 0);

  Bitmap outra(3, 3, PixelFormat::pf8bit);
  ColorirImagem(imagem, branco, outra);
  EXPECT_EQ(outra.format(), PixelFormat::pf24bit);
  EXPECT_EQ(outra.width(), 6);
  EXPECT_EQ(outra.height(), 4);
}

TEST(ColorirImagemFormats, RefusesImagesThatAreNotEightBitAndLeavesTheOutput) {
  const TabelaDeCores t = CoresDosNiveis(1, Lim({128}), PaletaPadrao());
  for (PixelFormat f :
       {PixelFormat::pf1bit, PixelFormat::pf4bit, PixelFormat::pf24bit, PixelFormat::pf32bit}) {
    Bitmap imagem(5, 5, f);
    Bitmap saida(2, 2, PixelFormat::pf8bit);
    try {
      ColorirImagem(imagem, t, saida);
      ADD_FAILURE() << "accepted " << int(f);
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), "Essa não é uma imagem de 8 bits");
    }
    EXPECT_EQ(saida.width(), 2);
    EXPECT_EQ(saida.format(), PixelFormat::pf8bit);
  }
}

TEST(ColorirImagemEmpty, AnEmptyImageGivesAnEmptyResult) {
  Bitmap imagem(0, 0, PixelFormat::pf8bit);
  Bitmap saida;
  ColorirImagem(imagem, CoresDosNiveis(1, Lim({128}), PaletaPadrao()), saida);
  EXPECT_TRUE(saida.empty());
}

}  // namespace
}  // namespace vandrel
