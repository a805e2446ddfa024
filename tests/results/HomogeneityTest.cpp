// The mosaic and its homogeneity levels on fixed inputs: which image counts make a mosaic,
// where each image stands, which images make each piece, the numbers of every level, the
// ".MED" files byte for byte and the report's lines.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/analysis/model/Homogeneity.h"
#include "app/analysis/model/Mosaic.h"
#include "platform/Errors.h"
#include "platform/Format.h"
#include "tests/results/ResultsTestUtil.h"

namespace vandrel::testing {
namespace {

TEST(Mosaic, OnlyEvenPowersOfTwoMakeAMosaic) {
  for (int n : {4, 16, 64, 256, 1024, 1 << 30}) EXPECT_TRUE(PotenciaParDe2(n)) << n;
  for (int n : {-4, -1, 0, 1, 2, 3, 5, 6, 8, 12, 20, 32, 128, std::numeric_limits<int>::min(), 15,
                17, 9, 36, 100})
    EXPECT_FALSE(PotenciaParDe2(n)) << n;
}

TEST(Mosaic, ImagesAreNumberedRowByRowFromTheRight) {
  EXPECT_EQ(LadoDoMosaico(16), 4);
  EXPECT_EQ(LadoDoMosaico(64), 8);
  // The first row of 16 images reads 4, 3, 2, 1 from the left.
  std::vector<int> first;
  for (int c = 0; c < 4; ++c) first.push_back(ImagemDaCelula(c, 0, 4));
  EXPECT_EQ(first, (std::vector<int>{4, 3, 2, 1}));
  EXPECT_EQ(ImagemDaCelula(0, 3, 4), 16);
  EXPECT_EQ(ImagemDaCelula(3, 3, 4), 13);
  // Image 6 stands in row 1, column 2; every cell and image agree.
  EXPECT_EQ(CelulaDaImagem(6, 4), (Celula{2, 1}));
  for (int lado : {2, 4, 8})
    for (int v = 1; v <= lado * lado; ++v) {
      const Celula c = CelulaDaImagem(v, lado);
      EXPECT_EQ(ImagemDaCelula(c.coluna, c.linha, lado), v);
    }
}

TEST(Mosaic, PiecesOfSixteenImages) {
  using Rows = std::vector<std::vector<int>>;
  EXPECT_EQ(ImagensDaPeca(0, 2, 4), (Rows{{1, 2}, {5, 6}}));
  EXPECT_EQ(ImagensDaPeca(1, 2, 4), (Rows{{3, 4}, {7, 8}}));
  EXPECT_EQ(ImagensDaPeca(2, 2, 4), (Rows{{9, 10}, {13, 14}}));
  EXPECT_EQ(ImagensDaPeca(3, 2, 4), (Rows{{11, 12}, {15, 16}}));
  EXPECT_EQ(ImagensDaPeca(5, 1, 4), (Rows{{6}}));
  // 64 images in pieces of 4 x 4: the second row of pieces starts at image 33.
  EXPECT_EQ(ImagensDaPeca(2, 4, 8)[0], (std::vector<int>{33, 34, 35, 36}));
  EXPECT_EQ(ImagensDaPeca(3, 4, 8)[3], (std::vector<int>{61, 62, 63, 64}));
  // Every level covers every image exactly once.
  for (int s : {1, 2, 4}) {
    std::vector<int> seen(65, 0);
    for (int i = 0; i < (8 / s) * (8 / s); ++i)
      for (const auto& row : ImagensDaPeca(i, s, 8))
        for (int v : row) ++seen[size_t(v)];
    EXPECT_EQ(std::count(seen.begin() + 1, seen.end(), 1), 64) << s;
  }
}

// Image v has phase 1 = v and phase 2 = 100 - v.
ValoresVol Numbered(int n) {
  ValoresVol v;
  v.numFases = 2;
  for (int i = 1; i <= n; ++i) v.imagens.push_back({double(i), 100.0 - i});
  return v;
}

TEST(Homogeneity, FourImagesGiveOneLevelOfSingleImages) {
  const std::vector<NivelHomogeneidade> niveis = CalcularNiveis(Numbered(4), 4);
  ASSERT_EQ(niveis.size(), 1u);
  const NivelHomogeneidade& n = niveis[0];
  EXPECT_EQ(n.s, 1);
  EXPECT_EQ(n.k, 1);
  EXPECT_EQ(n.pecas, 4);
  EXPECT_DOUBLE_EQ(n.M[0], 2.5);
  EXPECT_DOUBLE_EQ(n.S[0], 7.5);  // (1 + 4 + 9 + 16) / 4
  EXPECT_DOUBLE_EQ(n.sigma[0], std::sqrt(1.25));
  EXPECT_DOUBLE_EQ(n.M[1], 97.5);
  EXPECT_DOUBLE_EQ(n.sigma[1], std::sqrt(1.25));
  EXPECT_DOUBLE_EQ(n.Sigma, 2 * std::sqrt(1.25));

  const std::vector<std::string> pecas = RelatorioDasPecas(n, 2);
  EXPECT_EQ(pecas, (std::vector<std::string>{"       Mosaico de    4 pecas.",
                                             "       Cada peca tem 1 imagens.", "",
                                             "       As imagens da peca 1 sao: ", "1, ", "",
                                             "       As imagens da peca 2 sao: ", "2, ", "",
                                             "       As imagens da peca 3 sao: ", "3, ", "",
                                             "       As imagens da peca 4 sao: ", "4, ", ""}));
  EXPECT_EQ(ArquivoMED("/p/temp/", n.s), "/p/temp/A1.MED");
}

TEST(Homogeneity, SixteenImagesGiveTwoLevels) {
  const std::vector<NivelHomogeneidade> niveis = CalcularNiveis(Numbered(16), 16);
  ASSERT_EQ(niveis.size(), 2u);
  // Pieces of 2 x 2: means 3.5, 5.5, 11.5, 13.5 of phase 1.
  EXPECT_EQ(niveis[0].s, 2);
  EXPECT_EQ(niveis[0].k, 4);
  EXPECT_EQ(niveis[0].pecas, 4);
  EXPECT_DOUBLE_EQ(niveis[0].M[0], 8.5);
  EXPECT_DOUBLE_EQ(niveis[0].S[0], 89.25);
  EXPECT_DOUBLE_EQ(niveis[0].sigma[0], std::sqrt(17.0));
  EXPECT_DOUBLE_EQ(niveis[0].sigma[1], std::sqrt(17.0));
  // Single images: the spread of 1 .. 16.
  EXPECT_EQ(niveis[1].s, 1);
  EXPECT_EQ(niveis[1].pecas, 16);
  EXPECT_DOUBLE_EQ(niveis[1].M[0], 8.5);
  EXPECT_DOUBLE_EQ(niveis[1].S[0], 93.5);
  EXPECT_DOUBLE_EQ(niveis[1].sigma[0], std::sqrt(21.25));
  EXPECT_DOUBLE_EQ(niveis[1].Grau(), 1.0 - 2 * std::sqrt(21.25) / 100);

  const std::vector<std::string> pecas = RelatorioDasPecas(niveis[0], 4);
  ASSERT_EQ(pecas.size(), 3u + 4 * 4);
  EXPECT_EQ(pecas[0], "       Mosaico de    4 pecas.");
  EXPECT_EQ(pecas[1], "       Cada peca tem 4 imagens.");
  EXPECT_EQ(
      std::vector<std::string>(pecas.begin() + 3, pecas.begin() + 7),
      (std::vector<std::string>{"       As imagens da peca 1 sao: ", "1, 2, ", "5, 6, ", ""}));
  EXPECT_EQ(pecas[16], "11, 12, ");
  EXPECT_EQ(pecas[17], "15, 16, ");
}

TEST(Homogeneity, PiecesThatAgreeGiveZeroSpreadAndDegreeOne) {
  // Values that binary fractions hold exactly give exactly 0 and 1.
  ValoresVol exact;
  exact.numFases = 3;
  for (int i = 0; i < 64; ++i) exact.imagens.push_back({25.0, 25.0, 50.0});
  for (const NivelHomogeneidade& n : CalcularNiveis(exact, 64)) {
    EXPECT_EQ(n.sigma, (std::vector<double>{0, 0, 0})) << n.s;
    EXPECT_EQ(n.Grau(), 1.0) << n.s;
  }
  // Three-decimal values leave the rounding of the sums: the variance, a difference of two
  // numbers near 1111, is off by about 1e-12, and its square root by about 1e-6.
  ValoresVol thirds;
  thirds.numFases = 3;
  for (int i = 0; i < 64; ++i) thirds.imagens.push_back({33.333, 33.333, 33.334});
  for (const NivelHomogeneidade& n : CalcularNiveis(thirds, 64)) {
    for (double s : n.sigma) EXPECT_NEAR(s, 0.0, 1e-5) << n.s;
    EXPECT_NEAR(n.Grau(), 1.0, 1e-6) << n.s;
  }
}

TEST(Homogeneity, OneImageHasNoLevel) { EXPECT_TRUE(CalcularNiveis(Numbered(1), 1).empty()); }

TEST(Homogeneity, CountsThatMakeNoMosaicAndMissingValuesAreRefused) {
  EXPECT_THROW(CalcularNiveis(Numbered(8), 8), Exception);
  EXPECT_THROW(CalcularNiveis(Numbered(0), 0), Exception);
  EXPECT_THROW(CalcularNiveis(Numbered(4), 16), Exception);
  ValoresVol shortRow = Numbered(4);
  shortRow.imagens[2].pop_back();
  EXPECT_THROW(CalcularNiveis(shortRow, 4), Exception);
}

TEST(Homogeneity, MedFileByteForByte) {
  TempDir dir;
  const NivelHomogeneidade n = CalcularNiveis(Numbered(16), 16)[0];
  EscreverMED(dir / "A2.MED", n);
  EXPECT_EQ(TempDir::read(dir / "A2.MED"),
            "1  8.50000000000000E+0000  8.92500000000000E+0001  4.12310562561766E+0000\r\n"
            "2  9.15000000000000E+0001  8.38925000000000E+0003  4.12310562561766E+0000\r\n"
            "- - Sigma  8.24621125123532E+0000\r\n");
}

TEST(Homogeneity, DegreeLinesUseTheUserSeparator) {
  SeparatorScope comma(',');
  NivelHomogeneidade n;
  n.Sigma = 25;
  EXPECT_EQ(RelatorioDoGrau(n, "/p/temp/A1.MED"),
            (std::vector<std::string>{"", "       Grau de homogeneidade = 7,50000000000000E-001",
                                      "", "       Arquivo de Saida = /p/temp/A1.MED", ""}));
}

}  // namespace
}  // namespace vandrel::testing
