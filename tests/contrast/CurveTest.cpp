// The contrast arithmetic on fixed inputs: the gamma slider and its label, the four curve
// types over windows of levels, the segments of a hand-made curve, the lookup-table
// application to an image, and the geometry of the curve and line controls.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "app/imaging/model/Grafico.h"
#include "app/imaging/model/Line.h"
#include "app/imaging/model/TransferCurve.h"
#include "app/imaging/model/UGama.h"

namespace vandrel {
namespace {

TEST(GammaSlider, StepsOfATenthAboveTheMiddleAndAHundredthBelow) {
  const struct {
    int position;
    double gamma;
    const char* text;
  } cases[] = {
      {1, 0.1, "0.100"}, {2, 0.11, "0.110"},  {81, 0.9, "0.900"},    {90, 0.99, "0.990"},
      {91, 1.0, "1.0"},  {92, 1.1, "1.100"},  {100, 1.9, "1.900"},   {101, 2.0, "2.0"},
      {111, 3.0, "3.0"}, {181, 10.0, "10.0"}, {182, 10.1, "10.100"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.position);
    EXPECT_NEAR(GamaDaPosicao(c.position), c.gamma, 1e-12);
    EXPECT_EQ(TextoDoGama(GamaDaPosicao(c.position)), c.text);
  }
}

TEST(GammaSlider, EveryPositionReadsBackAsItsGamma) {
  // A fraction that rounds up to 1000 thousandths would read "2.1000" for 2.9999...
  for (int p = kGamaMinimo; p <= kGamaMaximo; ++p) {
    const std::string text = TextoDoGama(GamaDaPosicao(p));
    const size_t dot = text.find('.');
    ASSERT_NE(dot, std::string::npos) << text;
    const std::string fraction = text.substr(dot + 1);
    EXPECT_TRUE(fraction == "0" || fraction.size() == 3) << p << ": " << text;
    EXPECT_NEAR(std::stod(text.substr(0, dot)) + std::stod(fraction) / 1000, GamaDaPosicao(p), 1e-9)
        << p << ": " << text;
  }
}

TEST(CurveTypes, ItemsMapToTypesAndNames) {
  const struct {
    int item;
    uint8_t tipo;
    const char* nome;
  } cases[] = {{0, kTipoGama, "Gamma"},
               {1, kTipoLog, "Logarítmico"},
               {2, kTipoLinear, "linear"},
               {3, kTipoPersonalizado, "Personalizado"}};
  for (const auto& c : cases) {
    EXPECT_EQ(TipoDoItem(c.item), c.tipo) << c.item;
    EXPECT_EQ(NomeDoTipo(c.tipo), c.nome) << c.item;
  }
}

struct CurveCase {
  const char* name;
  uint8_t tipo;
  bool inverter;
  int lo, hi;
  double gamma;
  std::vector<std::pair<int, int>> levels;  // input, expected output
};

class ContrastCurve : public ::testing::TestWithParam<CurveCase> {};

TEST_P(ContrastCurve, MapsLevelsAsTheFormulaSays) {
  const CurveCase& c = GetParam();
  TransferCurve fundo{};
  const TransferCurve t = CurvaDeContraste(c.tipo, c.inverter, c.lo, c.hi, c.gamma, fundo);
  for (auto [in, out] : c.levels) EXPECT_EQ(int(t[size_t(in)]), out) << "level " << in;
  // Outside the window every entry is the background's.
  for (int i = 0; i < 256; ++i)
    if (i < c.lo || i > c.hi) {
      EXPECT_EQ(int(t[size_t(i)]), 0) << "level " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formulas, ContrastCurve,
    ::testing::Values(
        CurveCase{
            "LinearFull", kTipoLinear, false, 0, 255, 1, {{0, 0}, {1, 1}, {128, 128}, {255, 255}}},
        // 50 x 255 / 100 = 127.5 goes to the even neighbour.
        CurveCase{"LinearWindow",
                  kTipoLinear,
                  false,
                  100,
                  200,
                  1,
                  {{0, 0}, {99, 0}, {100, 0}, {150, 128}, {200, 255}, {201, 0}, {255, 0}}},
        CurveCase{"LinearInverted", kTipoLinear, true, 0, 255, 1, {{0, 255}, {128, 127}, {255, 0}}},
        CurveCase{
            "LinearInvertedHalf", kTipoLinear, true, 0, 100, 1, {{0, 255}, {50, 128}, {100, 0}}},
        CurveCase{
            "LinearNarrowest", kTipoLinear, false, 254, 255, 1, {{253, 0}, {254, 0}, {255, 255}}},
        CurveCase{"LinearNarrowestAtZero", kTipoLinear, false, 0, 1, 1, {{0, 0}, {1, 255}, {2, 0}}},
        CurveCase{"LogFull", kTipoLog, false, 0, 255, 1, {{0, 0}, {1, 32}, {128, 223}, {255, 255}}},
        CurveCase{
            "LogInverted", kTipoLog, true, 0, 255, 1, {{0, 1}, {1, 1}, {128, 16}, {255, 255}}},
        CurveCase{"GammaOne", kTipoGama, false, 0, 255, 1.0, {{0, 1}, {100, 101}, {255, 255}}},
        CurveCase{"GammaTwo", kTipoGama, false, 0, 255, 2.0, {{0, 16}, {127, 180}, {255, 255}}},
        CurveCase{"GammaPointNine", kTipoGama, false, 0, 255, 0.9, {{127, 118}, {255, 255}}},
        // Inversion does not apply to the gamma type.
        CurveCase{"GammaIgnoresInversion", kTipoGama, true, 0, 255, 2.0, {{127, 180}, {255, 255}}},
        CurveCase{
            "GammaWindow", kTipoGama, false, 100, 200, 1.0, {{100, 3}, {150, 129}, {200, 255}}},
        CurveCase{
            "GammaExtremes", kTipoGama, false, 0, 255, GamaDaPosicao(1), {{200, 23}, {255, 255}}},
        CurveCase{
            "GammaLargest", kTipoGama, false, 0, 255, GamaDaPosicao(182), {{0, 147}, {255, 255}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ContrastCurve, LevelsOutsideTheWindowComeFromTheBackground) {
  TransferCurve fundo;
  for (int i = 0; i < 256; ++i) fundo[size_t(i)] = uint8_t(255 - i);
  const TransferCurve t = CurvaDeContraste(kTipoLinear, false, 10, 20, 1, fundo);
  EXPECT_EQ(t[9], 246);
  EXPECT_EQ(t[10], 0);
  EXPECT_EQ(t[20], 255);
  EXPECT_EQ(t[21], 234);
}

TEST(ContrastCurve, TheHandMadeTypeHasNoFormula) {
  TransferCurve fundo;
  for (int i = 0; i < 256; ++i) fundo[size_t(i)] = uint8_t(i * 7);
  EXPECT_EQ(CurvaDeContraste(kTipoPersonalizado, false, 0, 255, 1, fundo), fundo);
}

TEST(ContrastCurve, AnEmptyWindowIsWidenedRatherThanDividedByZero) {
  const TransferCurve t = CurvaDeContraste(kTipoLinear, false, 100, 100, 1, TransferCurve{});
  EXPECT_EQ(t[100], 0);
  EXPECT_EQ(t[101], 255);
}

TEST(ContrastCurve, EveryTypeRisesMonotonicallyAndEndsAt255) {
  for (uint8_t tipo : {kTipoGama, kTipoLinear, kTipoLog})
    for (int p : {1, 50, 91, 120, 182}) {
      const TransferCurve t = CurvaDeContraste(tipo, false, 30, 220, GamaDaPosicao(p), {});
      for (int i = 31; i <= 220; ++i)
        ASSERT_GE(t[size_t(i)], t[size_t(i) - 1]) << int(tipo) << " " << i;
      EXPECT_EQ(t[220], 255) << int(tipo);
    }
}

// ---- segments drawn into a hand-made curve ----

struct SegmentCase {
  const char* name;
  Point atual, anterior;
  std::vector<std::pair<int, int>> levels;
};

class Segment : public ::testing::TestWithParam<SegmentCase> {};

TEST_P(Segment, DrawsTheLineBetweenItsEnds) {
  const SegmentCase& c = GetParam();
  TransferCurve curva;
  curva.fill(77);
  TracarSegmento(curva, c.atual, c.anterior);
  const int a = std::max(std::min(c.atual.x, c.anterior.x), 0);
  const int b = std::min(std::max(c.atual.x, c.anterior.x), 255);
  for (auto [x, level] : c.levels) EXPECT_EQ(int(curva[size_t(x)]), level) << "column " << x;
  for (int x = 0; x < 256; ++x)
    if (x < a || x > b) {
      EXPECT_EQ(curva[size_t(x)], 77) << "column " << x;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Segment,
    ::testing::Values(
        // 254.5 at column 1 goes to the even neighbour.
        SegmentCase{"HalfSlope", {0, 0}, {2, 1}, {{0, 255}, {1, 254}, {2, 254}}},
        SegmentCase{"EitherOrder", {2, 1}, {0, 0}, {{0, 255}, {1, 254}, {2, 254}}},
        SegmentCase{"Steep", {2, 253}, {4, 249}, {{2, 2}, {3, 4}, {4, 6}}},
        SegmentCase{"Level", {10, 100}, {20, 100}, {{10, 155}, {15, 155}, {20, 155}}},
        // Both ends in one column: the entry takes the earlier point's level.
        SegmentCase{"Vertical", {10, 55}, {10, 100}, {{10, 155}}},
        SegmentCase{"SinglePoint", {7, 5}, {7, 5}, {{7, 250}}},
        // Levels beyond the area are kept at its edges; columns beyond it are left out.
        SegmentCase{"ClampsLevels", {0, -100}, {2, 300}, {{0, 255}, {2, 0}}},
        SegmentCase{"LeavesOutColumns", {-4, 0}, {260, 0}, {{0, 255}, {255, 255}}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the lookup table on an image ----

Bitmap Random8(int w, int h, uint32_t seed) {
  Bitmap b(w, h, PixelFormat::pf8bit);
  Palette pal(256);
  for (int i = 0; i < 256; ++i) pal[size_t(i)] = {uint8_t(i), uint8_t(255 - i), uint8_t(i / 3)};
  b.setPalette(pal);
  std::mt19937 random(seed);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.scanLine(y)[x] = uint8_t(random());
  return b;
}

TransferCurve RandomCurve(uint32_t seed) {
  std::mt19937 random(seed);
  TransferCurve c;
  for (auto& v : c) v = uint8_t(random());
  return c;
}

// Rows go through 32 bytes at a time where the processor has AVX2, the rest byte by byte;
// odd widths leave single bytes at the end of every row and padding after them.
class ApplyCurveSizes : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(ApplyCurveSizes, MapsEveryPixelThroughTheCurveAndKeepsThePalette) {
  const auto [w, h] = GetParam();
  const Bitmap source = Random8(w, h, uint32_t(w * 31 + h));
  const Bitmap before = source;
  const TransferCurve curve = RandomCurve(uint32_t(h));
  const Bitmap out = ApplyCurve(source, curve);
  ASSERT_EQ(out.width(), w);
  ASSERT_EQ(out.height(), h);
  EXPECT_EQ(out.format(), PixelFormat::pf8bit);
  EXPECT_EQ(out.palette(), source.palette());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      ASSERT_EQ(out.scanLine(y)[x], curve[source.scanLine(y)[x]]) << x << "," << y;
  EXPECT_EQ(source, before);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ApplyCurveSizes,
                         ::testing::Values(std::pair{1, 1}, std::pair{7, 3}, std::pair{64, 64},
                                           std::pair{1031, 300}, std::pair{512, 512},
                                           std::pair{5, 60000}, std::pair{31, 5}, std::pair{33, 4},
                                           std::pair{63, 3}, std::pair{65, 2}));

TEST(ApplyCurve, TheIdentityGivesACopy) {
  const Bitmap source = Random8(600, 500, 5);
  const Bitmap out = ApplyCurve(source, IdentityCurve());
  for (int y = 0; y < source.height(); ++y)
    ASSERT_TRUE(std::equal(out.scanLine(y), out.scanLine(y) + 600, source.scanLine(y))) << y;
}

TEST(ApplyCurve, LeavesImagesThatAreNotGreyLevelsAsTheyAre) {
  Bitmap colour(5, 4, PixelFormat::pf24bit);
  colour.scanLine(1)[2] = 200;
  EXPECT_EQ(ApplyCurve(colour, RandomCurve(1)), colour);
  const Bitmap empty(0, 0, PixelFormat::pf8bit);
  EXPECT_TRUE(ApplyCurve(empty, RandomCurve(1)).empty());
}

// ---- control geometry ----

TEST(CurveControlGeometry, TheIdentityRunsFromTheBottomLeftToTheTopRight) {
  const auto points = CurvePolyline(IdentityCurve(), 256);
  EXPECT_EQ(points[0], (Point{0, 256}));
  EXPECT_EQ(points[1], (Point{0, 255}));
  EXPECT_EQ(points[129], (Point{128, 127}));
  EXPECT_EQ(points[256], (Point{255, 0}));
}

TEST(CurveControlGeometry, OutputsStandOnTheRowsCountedFromTheBottom) {
  TransferCurve c{};
  c[10] = 255;
  const auto points = CurvePolyline(c, 300);
  EXPECT_EQ(points[0], (Point{0, 300}));
  EXPECT_EQ(points[1], (Point{0, 299}));
  EXPECT_EQ(points[11], (Point{10, 44}));  // 300 - 256
}

TEST(LineControlGeometry, OneLinePerDirection) {
  const struct {
    TLineDirection direction;
    LineSegment ends;
  } cases[] = {
      {ldHorizontal, {{0, 0}, {7, 0}}},
      {ldVertical, {{0, 0}, {0, 259}}},
      {ldDiagonalTop, {{0, 0}, {7, 259}}},
      {ldDiagonalBottom, {{0, 259}, {7, 0}}},
  };
  for (const auto& c : cases) EXPECT_EQ(LineEnds(c.direction, 8, 260), c.ends) << int(c.direction);
}

}  // namespace
}  // namespace vandrel
