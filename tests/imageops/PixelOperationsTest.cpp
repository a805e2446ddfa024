// Brightness, the 3x3 mean filter, greyscale conversion and channel extraction on small
// fixed images with known results.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <random>

#include "app/imaging/model/Brightness.h"
#include "app/imaging/model/ChannelSplit.h"
#include "app/imaging/model/Greyscale.h"
#include "app/imaging/model/MeanFilter.h"
#include "app/imaging/model/PaletteSource.h"
#include "app/settings/model/URecursos.h"
#include "platform/Bmp.h"
#include "platform/Errors.h"
#include "tests/imageops/ImageOpsTestUtil.h"

namespace vandrel::testing {
namespace {

// ---- Brightness ----------------------------------------------------------------------------

struct BrilhoCase {
  int percentual;
  int pixel;
  int esperado;
};

class Brilho : public ::testing::TestWithParam<BrilhoCase> {};

TEST_P(Brilho, AddsTheOffsetAndStopsAt255) {
  const BrilhoCase c = GetParam();
  Bitmap b = Grey({{c.pixel, c.pixel}});
  AplicarBrilho(b, c.percentual);
  EXPECT_EQ(Levels(b), (std::vector<std::vector<int>>{{c.esperado, c.esperado}}));
}

INSTANTIATE_TEST_SUITE_P(Casos, Brilho,
                         ::testing::Values(BrilhoCase{0, 0, 0}, BrilhoCase{0, 200, 200},
                                           BrilhoCase{1, 0, 2}, BrilhoCase{50, 100, 227},
                                           BrilhoCase{50, 128, 255}, BrilhoCase{50, 127, 254},
                                           BrilhoCase{50, 200, 255}, BrilhoCase{100, 0, 255},
                                           BrilhoCase{100, 255, 255}, BrilhoCase{99, 3, 255},
                                           BrilhoCase{99, 2, 254}));

TEST(BrilhoOffset, TruncatesThePercentageOf255) {
  const std::pair<int, int> casos[] = {{0, 0}, {1, 2}, {2, 5}, {50, 127}, {99, 252}, {100, 255}};
  for (auto [percentual, offset] : casos) EXPECT_EQ(BrilhoOffset(percentual), offset) << percentual;
}

TEST(BrilhoImagem, ChangesThePixelBytesOfEveryRowAndNotThePadding) {
  // Width 3: one byte of padding per row, which must stay as it was.
  Bitmap b = Grey({{0, 10, 250}, {100, 200, 5}});
  AplicarBrilho(b, 10);  // + 25
  EXPECT_EQ(Levels(b), (std::vector<std::vector<int>>{{25, 35, 255}, {125, 225, 30}}));
  EXPECT_EQ(b.scanLine(0)[3], 0);
  EXPECT_EQ(b.scanLine(1)[3], 0);
  EXPECT_EQ(b.palette(), GreyRamp());
}

// Seeded random bitmaps of every width up to past two vector groups, their rows' padding
// bytes filled too (a copy carries them; a fresh bitmap has them zero).
std::vector<Bitmap> ImagensAleatorias(PixelFormat f, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<Bitmap> imagens;
  for (int w = 1; w <= 70; ++w) {
    const int h = 1 + int(random() % 4);
    Bitmap b(w, h, f);
    if (b.indexed()) b.setPalette(GreyRamp());
    for (size_t i = 0; i < b.byteSize(); ++i) b.bits()[i] = uint8_t(random());
    imagens.push_back(std::move(b));
  }
  return imagens;
}

TEST(BrilhoImagem, OnePassCopyEqualsTheCopyBrightenedInPlace) {
  for (PixelFormat f : {PixelFormat::pf8bit, PixelFormat::pf24bit, PixelFormat::pf32bit,
                        PixelFormat::pf4bit, PixelFormat::pf1bit})
    for (const Bitmap& b : ImagensAleatorias(f, 5))
      for (int percentual : {0, 1, 37, 50, 99, 100}) {
        SCOPED_TRACE(::testing::Message() << "bits " << b.bitsPerPixel() << " width " << b.width()
                                          << " % " << percentual);
        Bitmap esperado = b;
        AplicarBrilho(esperado, percentual);
        ASSERT_EQ(ComBrilho(b, percentual), esperado);
        // And the rule itself, byte by byte.
        if (b.bitsPerPixel() < 8) continue;
        const size_t bytes = size_t(b.width()) * size_t(b.bitsPerPixel() / 8);
        for (int y = 0; y < b.height(); ++y)
          for (size_t x = 0; x < bytes; ++x)
            ASSERT_EQ(esperado.scanLine(y)[x],
                      std::min(255, b.scanLine(y)[x] + BrilhoOffset(percentual)));
      }
}

// ---- Mean filter ---------------------------------------------------------------------------

// Every pixel the truncated mean of the source pixels of its 3x3 neighbourhood that exist.
Bitmap MediaDeReferencia(const Bitmap& s) {
  Bitmap out(s.width(), s.height(), PixelFormat::pf8bit);
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) {
      int soma = 0, n = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const int xx = x + dx, yy = y + dy;
          if (xx < 0 || yy < 0 || xx >= s.width() || yy >= s.height()) continue;
          soma += s.scanLine(yy)[xx];
          ++n;
        }
      out.scanLine(y)[x] = uint8_t(soma / n);
    }
  return out;
}

TEST(FiltroMedia, UniformImageStaysTheSame) {
  const Bitmap b = Grey({{90, 90, 90}, {90, 90, 90}, {90, 90, 90}});
  EXPECT_EQ(Levels(FiltroMedia(b)), Levels(b));
}

TEST(FiltroMedia, EveryMeanReadsTheUnfilteredSource) {
  // A single bright centre pixel spreads evenly: corners average 4 pixels, edges 6 and the
  // centre 9, whatever the order of the scan.
  const Bitmap b = Grey({{0, 0, 0}, {0, 255, 0}, {0, 0, 0}});
  EXPECT_EQ(Levels(FiltroMedia(b)),
            (std::vector<std::vector<int>>{{63, 42, 63}, {42, 28, 42}, {63, 42, 63}}));
}

TEST(FiltroMedia, FixedImageWithEdgesCornersAndInterior) {
  const Bitmap b = Grey({{10, 20, 30, 40}, {50, 60, 70, 80}, {90, 100, 110, 120}});
  // (0,0) = (10+20+50+60)/4 = 35; (1,0) = (10+20+30+50+60+70)/6 = 40; (1,1) = 540/9 = 60 ...
  EXPECT_EQ(Levels(FiltroMedia(b)),
            (std::vector<std::vector<int>>{{35, 40, 50, 55}, {55, 60, 70, 75}, {75, 80, 90, 95}}));
}

TEST(FiltroMedia, LinesOnePixelWideOrHighAverageTheirNeighboursOnly) {
  EXPECT_EQ(Levels(FiltroMedia(Grey({{77}}))), (std::vector<std::vector<int>>{{77}}));
  EXPECT_EQ(Levels(FiltroMedia(Grey({{10, 20, 40, 1}}))),
            (std::vector<std::vector<int>>{{15, 23, 20, 20}}));
  EXPECT_EQ(Levels(FiltroMedia(Grey({{10}, {20}, {40}}))),
            (std::vector<std::vector<int>>{{15}, {23}, {30}}));
}

TEST(FiltroMedia, MatchesTheDirectMeanOnRandomImagesOfEveryShape) {
  std::mt19937 random(7);
  const std::pair<int, int> tamanhos[] = {{1, 1},   {1, 2},  {2, 1},   {2, 2}, {1, 9},
                                          {9, 1},   {2, 7},  {7, 2},   {3, 3}, {5, 4},
                                          {17, 13}, {64, 3}, {33, 31}, {4, 50}};
  for (auto [w, h] : tamanhos) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    Bitmap b(w, h, PixelFormat::pf8bit);
    b.setPalette(GreyRamp());
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) b.scanLine(y)[x] = uint8_t(random());
    const Bitmap antes = b;
    const Bitmap f = FiltroMedia(b);
    EXPECT_EQ(Levels(f), Levels(MediaDeReferencia(b)));
    EXPECT_EQ(f.palette(), GreyRamp());
    EXPECT_EQ(b, antes);  // the source is left alone
  }
}

TEST(FiltroMedia, ExtremeLevelsDivideExactly) {
  // The largest sums (255 everywhere) and sums just below a multiple of each divisor.
  Bitmap branco(6, 5, PixelFormat::pf8bit);
  std::fill(branco.bits(), branco.bits() + branco.byteSize(), 255);
  for (const auto& row : Levels(FiltroMedia(branco)))
    for (int v : row) EXPECT_EQ(v, 255);
  for (int v = 0; v < 256; ++v) {
    Bitmap b(3, 3, PixelFormat::pf8bit);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3; ++x) b.scanLine(y)[x] = uint8_t(v);
    b.scanLine(1)[1] = uint8_t(v > 0 ? v - 1 : 0);  // sums of 9v - 1, 6v - 1, 4v - 1
    ASSERT_EQ(Levels(FiltroMedia(b)), Levels(MediaDeReferencia(b))) << v;
  }
}

TEST(FiltroMedia, EmptyImageGivesAnEmptyImageAndOtherFormatsAreRefused) {
  EXPECT_TRUE(FiltroMedia(Bitmap(0, 0, PixelFormat::pf8bit)).empty());
  EXPECT_THROW(FiltroMedia(Bitmap(2, 2, PixelFormat::pf24bit)), Exception);
}

// ---- Greyscale -----------------------------------------------------------------------------

TEST(Cinza, RoundedMeanOfTheThreeBytes) {
  // Sums 0..1 give 0, 2..4 give 1, 5..7 give 2, 764..765 give 255; (10, 20, 31) gives 20.
  const std::pair<Bytes3, int> casos[] = {
      {{0, 0, 0}, 0},         {{1, 0, 0}, 0},         {{0, 2, 0}, 1},     {{0, 0, 4}, 1},
      {{1, 2, 2}, 2},         {{3, 2, 2}, 2},         {{10, 20, 31}, 20}, {{255, 255, 254}, 255},
      {{255, 255, 255}, 255}, {{255, 254, 254}, 254}, {{100, 0, 0}, 33},  {{101, 0, 0}, 34}};
  Bitmap b(int(std::size(casos)), 1, PixelFormat::pf24bit);
  for (size_t i = 0; i < std::size(casos); ++i)
    std::copy(casos[i].first.begin(), casos[i].first.end(), b.scanLine(0) + 3 * i);
  const Bitmap g = ConverterParaCinza(b, PaletaCinzaDeTeste());
  ASSERT_EQ(g.format(), PixelFormat::pf8bit);
  EXPECT_EQ(g.palette(), PaletaCinzaDeTeste());
  for (size_t i = 0; i < std::size(casos); ++i) EXPECT_EQ(g.scanLine(0)[i], casos[i].second) << i;
}

TEST(Cinza, KeepsTheSizeAndRefusesImagesThatAreNot24Bit) {
  const Bitmap g = ConverterParaCinza(Rgb({{{3, 3, 3}}, {{6, 6, 6}}, {{9, 9, 9}}}), GreyRamp());
  EXPECT_EQ(Levels(g), (std::vector<std::vector<int>>{{3}, {6}, {9}}));
  EXPECT_THROW(ConverterParaCinza(Grey({{1}}), GreyRamp()), Exception);
  EXPECT_THROW(ConverterParaCinza(Bitmap(1, 1, PixelFormat::pf32bit), GreyRamp()), Exception);
}

TEST(Cinza, MatchesTheRoundedMeanOnRandomImagesOfEveryWidth) {
  for (const Bitmap& b : ImagensAleatorias(PixelFormat::pf24bit, 6)) {
    const Bitmap g = ConverterParaCinza(b, GreyRamp());
    Bitmap esperado(b.width(), b.height(), PixelFormat::pf8bit);
    esperado.setPalette(GreyRamp());
    for (int y = 0; y < b.height(); ++y)
      for (int x = 0; x < b.width(); ++x) {
        const uint8_t* p = b.scanLine(y) + 3 * x;
        esperado.scanLine(y)[x] = uint8_t(std::lround((p[0] + p[1] + p[2]) / 3.0));
      }
    ASSERT_EQ(g, esperado) << "width " << b.width();
  }
}

// ---- Channel extraction --------------------------------------------------------------------

TEST(Canal, RedIsTheThirdByteGreenTheSecondBlueTheFirst) {
  const Bitmap b =
      Rgb({{{1, 2, 3}, {10, 20, 30}, {0, 128, 255}}, {{7, 8, 9}, {4, 5, 6}, {0, 0, 0}}});
  const std::vector<std::vector<int>> esperado[] = {
      {{3, 30, 255}, {9, 6, 0}}, {{2, 20, 128}, {8, 5, 0}}, {{1, 10, 0}, {7, 4, 0}}};
  for (uint8_t canal = 0; canal < 3; ++canal) {
    const std::unique_ptr<Bitmap> c = ExtrairCanal(b, canal, PaletaCanaisDeTeste());
    ASSERT_TRUE(c) << int(canal);
    EXPECT_EQ(c->format(), PixelFormat::pf8bit);
    EXPECT_EQ(c->palette(), PaletaCanaisDeTeste());
    EXPECT_EQ(Levels(*c), esperado[canal]) << int(canal);
  }
}

TEST(Canal, NothingForAnotherChannelOrAnImageThatIsNot24Bit) {
  const Bitmap b = Rgb({{{1, 2, 3}}});
  for (int canal : {3, 4, 255}) EXPECT_FALSE(ExtrairCanal(b, uint8_t(canal), GreyRamp())) << canal;
  EXPECT_FALSE(ExtrairCanal(Grey({{1}}), 0, GreyRamp()));
  EXPECT_FALSE(ExtrairCanal(Bitmap(1, 1, PixelFormat::pf32bit), 0, GreyRamp()));
}

TEST(Canal, MatchesTheBytesOfRandomImagesOfEveryWidth) {
  for (const Bitmap& b : ImagensAleatorias(PixelFormat::pf24bit, 7))
    for (uint8_t canal = 0; canal < 3; ++canal) {
      const std::unique_ptr<Bitmap> c = ExtrairCanal(b, canal, GreyRamp());
      ASSERT_TRUE(c);
      Bitmap esperado(b.width(), b.height(), PixelFormat::pf8bit);
      esperado.setPalette(GreyRamp());
      for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
          esperado.scanLine(y)[x] = b.scanLine(y)[3 * x + 2 - canal];
      ASSERT_EQ(*c, esperado) << "width " << b.width() << " channel " << int(canal);
    }
}

// The palette files are read from the program folder.
class PaletteFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath("system"));
    anterior = PastaPrograma();
    DefinirPastaPrograma(dir.path().toStdString() + "/");
  }
  void TearDown() override { DefinirPastaPrograma(anterior); }
  void Write(const std::string& name, const Palette& palette) {
    Bitmap b(4, 1, PixelFormat::pf8bit);
    b.setPalette(palette);
    SaveBmp(b, PastaPrograma() + name);
  }
  QTemporaryDir dir;
  std::string anterior;
};

TEST_F(PaletteFiles, ChannelsTakeThePaletteOfPlt8AndGreyThatOfPaletaPlt) {
  Write("system/plt8.bmp", PaletaCanaisDeTeste());
  Write("paleta.plt", PaletaCinzaDeTeste());
  const std::unique_ptr<Bitmap> c = ExtrairCanal(Rgb({{{1, 2, 3}}}), 1);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->palette(), PaletaCanaisDeTeste());
  EXPECT_EQ(Levels(*c), (std::vector<std::vector<int>>{{2}}));
  EXPECT_EQ(PaletaCinza(), PaletaCinzaDeTeste());
}

TEST_F(PaletteFiles, MissingFileRaisesTheLoaderErrorButARefusedImageNeedsNoFile) {
  EXPECT_THROW(ExtrairCanal(Rgb({{{1, 2, 3}}}), 0), EInOutError);
  EXPECT_THROW(PaletaCinza(), EInOutError);
  EXPECT_FALSE(ExtrairCanal(Grey({{1}}), 0));
  EXPECT_FALSE(ExtrairCanal(Rgb({{{1, 2, 3}}}), 3));
}

TEST_F(PaletteFiles, DamagedPaletteFileRaisesTheReaderError) {
  QFile f(dir.path() + "/paleta.plt");
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("BMnot a bitmap");
  f.close();
  EXPECT_THROW(PaletaCinza(), Exception);
}

}  // namespace
}  // namespace vandrel::testing
