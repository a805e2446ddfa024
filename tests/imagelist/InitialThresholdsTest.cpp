// The method dialog's initial values on their own: phase counts, means, automatic
// thresholds, threshold records from files and the grid's texts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/analysis/model/InitialThresholds.h"
#include "app/thresholds/model/ThresholdFiles.h"
#include "tests/imagelist/PatternFixture.h"
#include "tests/support/TempDir.h"

namespace vandrel::testing {
namespace {

Limiares Lim(std::initializer_list<int> thresholds) {
  Limiares lim = LimiaresIniciais();
  int i = 1;
  for (int t : thresholds) lim[size_t(i++)] = uint8_t(t);
  return lim;
}

TEST(InitialThresholdsTest, ThresholdsLieHalfwayBetweenNeighbouringMeans) {
  TempDir dir;
  struct Case {
    const char* name;
    std::vector<GreyHistogram> fases;
    int n;
    Limiares lim;
  } cases[] = {
      // 150.5 rounds to the even 150.
      {"three phases",
       {Fase({{40, 1}}), Fase({{90, 0.5}, {110, 0.5}}), Fase({{201, 1}})},
       2,
       Lim({70, 150})},
      {"phases in any order", FasesEm({201, 40, 100}), 2, Lim({70, 150})},
      {"two phases", FasesEm({10, 21}), 1, Lim({16})},  // 15.5 -> 16
      {"one phase", FasesEm({128}), 0, Lim({})},
      {"equal means", FasesEm({50, 50, 50}), 2, Lim({50, 50})},
      {"sixteen phases",
       FasesEm({0, 16, 32, 48, 64, 80, 96, 112, 128, 144, 160, 176, 192, 208, 224, 240}), 15,
       Lim({8, 24, 40, 56, 72, 88, 104, 120, 136, 152, 168, 184, 200, 216, 232})},
  };
  for (const Case& c : cases) {
    const std::string pat = EscreverPadrao(dir / "p", c.fases);
    const RegistroLimiares r = AutomaticThresholds(pat, ReadPhaseCount(dir / "p.pac"));
    EXPECT_EQ(r.n, c.n) << c.name;
    EXPECT_EQ(r.lim, c.lim) << c.name;
  }
}

TEST(InitialThresholdsTest, MeansReadThePatternAsAStreamOfReals) {
  TempDir dir;
  // Two columns spread over lines as they come: line ends are plain separators.
  std::string text;
  for (int g = 0; g < 256; ++g) text += g == 10 ? "1 0\r\n" : g == 30 ? "0\r\n1\r\n" : "0 0\r\n";
  const std::string pat = dir.write("s.pat", text);
  const auto m = PhaseMeans(pat, 2);
  EXPECT_DOUBLE_EQ(m[0], 10);
  EXPECT_DOUBLE_EQ(m[1], 30);
  // A short file: what is missing reads as 0.
  const auto curto = PhaseMeans(dir.write("c.pat", "0 0\r\n0.5 0.25\r\n"), 2);
  EXPECT_DOUBLE_EQ(curto[0], 0.5);
  EXPECT_DOUBLE_EQ(curto[1], 0.25);
  EXPECT_EQ(PhaseMeans(dir.write("v.pat", ""), 3), (std::array<double, kMaxFases>{}));
}

TEST(InitialThresholdsTest, MorePhasesThanAFitTakesKeepTheColumnsAligned) {
  TempDir dir;
  std::vector<int> levels;
  for (int k = 0; k < 20; ++k) levels.push_back(10 * k + 5);
  std::vector<GreyHistogram> fases;
  for (int g : levels) fases.push_back(Fase({{g, 1.0}}));
  const std::string pat = EscreverPadrao(dir / "vinte", fases);
  const int32_t n = ReadPhaseCount(dir / "vinte.pac");
  EXPECT_EQ(n, 20);
  EXPECT_EQ(UsablePhases(n), 16);
  const auto m = PhaseMeans(pat, n);
  for (int k = 0; k < 16; ++k) EXPECT_DOUBLE_EQ(m[size_t(k)], 10 * k + 5) << k;
  const RegistroLimiares r = AutomaticThresholds(pat, n);
  EXPECT_EQ(r.n, 15);
  EXPECT_EQ(r.lim[1], 10);
  EXPECT_EQ(r.lim[15], 150);
  EXPECT_EQ(r.lim[16], 255);
}

TEST(InitialThresholdsTest, HostilePatternsStayWithinTheRecord) {
  TempDir dir;
  // A huge count in the ".pac" reads no further than the ".pat" holds.
  const std::string pat = EscreverPadrao(dir / "h", FasesEm({40, 200}));
  const RegistroLimiares r = AutomaticThresholds(pat, 2000000000);
  EXPECT_EQ(r.n, 15);
  EXPECT_EQ(UsablePhases(-5), 0);
  EXPECT_EQ(AutomaticThresholds(pat, -5).n, 0);
  EXPECT_EQ(AutomaticThresholds(pat, 0).n, 0);
  // Means far outside the grey levels, and not numbers at all, give bytes at the ends.
  std::array<double, kMaxFases> m{};
  m[0] = -1e300;
  m[1] = -5;
  m[2] = 1e300;
  m[3] = std::numeric_limits<double>::infinity();
  RegistroLimiares e = ThresholdsFromMeans(m, 4);
  EXPECT_EQ(e.n, 3);
  EXPECT_EQ(e.lim, Lim({0, 255, 255}));
  m = {};
  m[0] = std::nan("");
  m[1] = 10;
  e = ThresholdsFromMeans(m, 2);
  EXPECT_EQ(e.n, 1);
  EXPECT_EQ(e.lim[16], 255);
  // A token that is not a number is the runtime's error.
  EXPECT_THROW(AutomaticThresholds(dir.write("x.pat", "0 zero\r\n"), 2), EInOutError);
  EXPECT_THROW(ReadPhaseCount(dir.write("x.pac", "duas\r\n")), EInOutError);
  EXPECT_THROW(ReadPhaseCount(dir / "absent.pac"), EInOutError);
  EXPECT_EQ(ReadPhaseCount(dir.write("e.pac", "")), 0);
}

TEST(InitialThresholdsTest, MeansAreSortedByExchanges) {
  std::array<double, kMaxFases> m{};
  m[0] = 5;
  m[1] = 3;
  m[2] = 9;
  m[3] = 1;
  m[4] = -7;  // beyond the count: not moved
  OrdenarMedias(m, 4);
  EXPECT_EQ((std::vector<double>(m.begin(), m.begin() + 5)), (std::vector<double>{1, 3, 5, 9, -7}));
}

// The method dialog reads ".als" files with the thresholds window's reader: the record as
// stored, the bytes past the count included.
TEST(InitialThresholdsTest, ThresholdRecordsAreReadAsStored) {
  TempDir dir;
  RegistroLimiares r;
  r.n = 3;
  r.lim = Lim({90, 20, 200});
  r.lim[5] = 77;  // a byte left from an earlier level
  GravarArquivoLimiares(dir / "a.als", r);
  EXPECT_EQ(LerArquivoLimiares(dir / "a.als"), r);
  // Only the first 18 bytes count; fewer is the runtime's error.
  std::string longo(18, '\0');
  longo[0] = 1;
  longo[17] = char(255);
  longo += "trailing";
  EXPECT_EQ(LerArquivoLimiares(dir.write("l.als", longo)).n, 1);
  try {
    LerArquivoLimiares(dir.write("s.als", std::string(17, '\1')));
    ADD_FAILURE() << "a short record was read";
  } catch (const EInOutError& e) {
    EXPECT_STREQ(e.what(), "Read beyond end of file");
  }
  EXPECT_THROW(LerArquivoLimiares(dir / "absent.als"), EInOutError);
}

TEST(InitialThresholdsTest, TheGridShowsTheThresholdsBetweenZeroAnd255) {
  struct Case {
    int n;
    Limiares lim;
    std::vector<std::string> shown;  // cells 0.. until the rest is empty
  } cases[] = {
      {0, Lim({}), {"0", "255"}},
      {2, Lim({70, 150}), {"0", "70", "150", "255"}},
      {1, Lim({128, 99}), {"0", "128", "255"}},  // bytes beyond the count stay unshown
  };
  for (const Case& c : cases) {
    RegistroLimiares r;
    r.n = uint8_t(c.n);
    r.lim = c.lim;
    const auto cells = ThresholdCells(r);
    for (size_t k = 0; k < 17; ++k)
      EXPECT_EQ(cells[k], k < c.shown.size() ? c.shown[k] : "") << c.n << " cell " << k;
  }
  RegistroLimiares cheio;
  cheio.n = 200;  // a damaged count: the grid stops at its last cell
  const auto cells = ThresholdCells(cheio);
  EXPECT_EQ(cells[16], "255");
  EXPECT_EQ(cells[15], "0");
}

}  // namespace
}  // namespace vandrel::testing
