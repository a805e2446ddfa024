// The results table and its files on fixed inputs: the phase names from the ".pac", the
// rows, totals and mean row as the cells show them, "temp.vol" byte for byte and read back,
// the fitted histogram of the comparison, and the histogram of each analysed image.
#include <gtest/gtest.h>

#include <cmath>

#include "app/analysis/model/AnalysisHistogram.h"
#include "app/analysis/model/FittedHistogram.h"
#include "app/analysis/model/ResultTable.h"
#include "app/analysis/model/VolumeFile.h"
#include "platform/Errors.h"
#include "platform/Format.h"
#include "tests/results/ResultsTestUtil.h"

namespace vandrel::testing {
namespace {

ResultadoAjuste Fit(std::initializer_list<double> values) {
  ResultadoAjuste f{};
  size_t i = 0;
  for (double v : values) f[i++] = v;
  return f;
}

// ---- phase names ----

TEST(PhaseNames, HeaderTextIsTheFileNameCutToTenCharacters) {
  struct Case {
    const char* entry;
    const char* name;
  } cases[] = {
      {"/p/fases/ferrita.his", "ferrita"},
      {"/p/fases/martensita_revenida.his", "martensita"},
      {"perlita", "perlita"},         // a curve name from the histogram control
      {"/p/a.b/grafite", "grafite"},  // a point in a folder is no extension
      {"/p/fases/ferrita.fina.his", "ferrita.fi"},
      {"/p/fases/áéíóúçãõâê.his", "áéíóúçãõâê"},  // ten characters, twenty bytes
      {"/p/fases/ááááááááááá.his", "áááááááááá"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(NomeDaFase(c.entry), c.name) << c.entry;
}

TEST(PhaseNames, ReadFromThePacBesideThePattern) {
  TempDir dir;
  dir.write("aco.pac", "3 fases\r\n/f/ferrita.his\r\n/f/perlita.his\r\ncementita");
  EXPECT_EQ(LerFases(dir / "aco.pat"),
            (std::vector<std::string>{"/f/ferrita.his", "/f/perlita.his", "cementita"}));
  // Missing name lines read as empty names.
  dir.write("curto.pac", "3\r\nsó uma\r\n");
  EXPECT_EQ(LerFases(dir / "curto.pat"), (std::vector<std::string>{"só uma", "", ""}));
  dir.write("zero.pac", "0\r\n");
  EXPECT_TRUE(LerFases(dir / "zero.pat").empty());
}

TEST(PhaseNames, CountsAFitCannotFillAndBrokenFilesAreRefused) {
  TempDir dir;
  dir.write("muitas.pac", "17\r\n");
  dir.write("negativa.pac", "-1\r\n");
  dir.write("enorme.pac", "2147483647\r\n");
  dir.write("texto.pac", "fases\r\n");
  dir.write("dezesseis.pac", "16\r\n");
  try {
    LerFases(dir / "muitas.pat");
    ADD_FAILURE() << "17 phases accepted";
  } catch (const Exception& e) {
    EXPECT_EQ(std::string(e.what()),
              "O padrão deve ter no máximo 16 fases: o arquivo " + dir / "muitas.pac" + " traz 17");
  }
  EXPECT_THROW(LerFases(dir / "negativa.pat"), Exception);
  EXPECT_THROW(LerFases(dir / "enorme.pat"), Exception);
  EXPECT_EQ(LerFases(dir / "dezesseis.pat").size(), 16u);
  try {
    LerFases(dir / "texto.pat");
    ADD_FAILURE();
  } catch (const EInOutError& e) {
    EXPECT_STREQ(e.what(), "Invalid numeric input");
  }
  try {
    LerFases(dir / "falta.pat");
    ADD_FAILURE();
  } catch (const EInOutError& e) {
    EXPECT_STREQ(e.what(), "File not found");
  }
}

// ---- rows and mean ----

TEST(ResultTable, HeaderOnlyAtFirst) {
  const TabelaResultado t({"/f/ferrita.his", "perlita"});
  EXPECT_EQ(t.Colunas(), 4);
  EXPECT_EQ(t.Linhas(), 1);
  EXPECT_EQ(t.LinhasDeImagem(), 0);
  EXPECT_EQ(t.Celula(0, 0), "");
  EXPECT_EQ(t.Celula(1, 0), "ferrita");
  EXPECT_EQ(t.Celula(2, 0), "perlita");
  EXPECT_EQ(t.Celula(3, 0), "Total");
  EXPECT_EQ(t.Celula(4, 0), "");  // outside
  EXPECT_EQ(t.Celula(0, 1), "");
}

TEST(ResultTable, OneImageGivesThreeRowsWhoseMeanIsTheImageRow) {
  TabelaResultado t({"a", "b"});
  t.AdicionarResultado("img1.bmp", Fit({0.25, 0.70}));
  ASSERT_EQ(t.Linhas(), 3);
  EXPECT_EQ(t.LinhasDeImagem(), 1);
  const std::vector<std::string> row = {t.Celula(0, 1), t.Celula(1, 1), t.Celula(2, 1),
                                        t.Celula(3, 1)};
  EXPECT_EQ(row, (std::vector<std::string>{"img1.bmp", "25.000", "70.000", "95.000"}));
  EXPECT_EQ(t.Celula(0, 2), "Média");
  EXPECT_EQ(t.Celula(1, 2), "25.000");
  EXPECT_EQ(t.Celula(2, 2), "70.000");
  EXPECT_EQ(t.Celula(3, 2), "");  // the mean row has no total
}

TEST(ResultTable, NegativeCoefficientShowsZeroAndAddsNothing) {
  TabelaResultado t({"a", "b", "c"});
  t.AdicionarResultado("x", Fit({0.6, -0.2, 0.3}));
  EXPECT_EQ(t.Celula(2, 1), "0.000");
  EXPECT_EQ(t.Celula(4, 1), "90.000");
  // Values that are not numbers count as none too.
  t.AdicionarResultado("y", Fit({NAN, INFINITY, 0.5}));
  EXPECT_EQ(t.Celula(1, 2), "0.000");
  EXPECT_EQ(t.Celula(2, 2), "0.000");
  EXPECT_EQ(t.Celula(4, 2), "50.000");
}

TEST(ResultTable, CoefficientsBeyondThePhasesAreNotShown) {
  TabelaResultado t({"a"});
  t.AdicionarResultado("x", Fit({0.5, 0.4, 0.1}));
  EXPECT_EQ(t.Celula(1, 1), "50.000");
  EXPECT_EQ(t.Celula(2, 1), "50.000");  // "Total": only the one phase
}

TEST(ResultTable, LabelIsCutToTwelveCharacters) {
  TabelaResultado t({"a"});
  t.AdicionarResultado("*amostra_0001.bmp", Fit({1}));
  t.AdicionarResultado("ação_ação_açãoX.bmp", Fit({1}));
  t.AdicionarResultado("curta.bmp", Fit({1}));
  EXPECT_EQ(t.Celula(0, 1), "*amostra_000");
  EXPECT_EQ(t.Celula(0, 2), "ação_ação_aç");
  EXPECT_EQ(t.Celula(0, 3), "curta.bmp");
}

TEST(ResultTable, MeanIsTakenOverTheShownThreeDecimalValues) {
  TabelaResultado t({"a"});
  t.AdicionarResultado("1", Fit({0.000014}));  // 0.0014 % shows "0.001"
  t.AdicionarResultado("2", Fit({0.000014}));
  t.AdicionarResultado("3", Fit({0.000048}));  // 0.0048 % shows "0.005"
  EXPECT_EQ(t.Celula(1, 1), "0.001");
  EXPECT_EQ(t.Celula(1, 3), "0.005");
  ASSERT_EQ(t.Linhas(), 5);
  EXPECT_EQ(t.Celula(0, 3), "3");
  EXPECT_EQ(t.Celula(0, 4), "Média");
  // (0.001 + 0.001 + 0.005) / 3 = 0.00233; the coefficients' own mean, 0.00253 %, would
  // show "0.003".
  EXPECT_EQ(t.Celula(1, 4), "0.002");
}

TEST(ResultTable, CellsUseTheUserDecimalSeparator) {
  SeparatorScope comma(',');
  TabelaResultado t({"a", "b"});
  t.AdicionarResultado("1", Fit({0.12346, 0.5}));
  t.AdicionarResultado("2", Fit({0.5, 0.25}));
  EXPECT_EQ(t.Celula(1, 1), "12,346");
  EXPECT_EQ(t.Celula(3, 1), "62,346");
  EXPECT_EQ(t.Celula(1, 3), "31,173");  // (12.346 + 50) / 2, read back from the cells
  EXPECT_DOUBLE_EQ(t.Valor(1, 3), 31.173);
  EXPECT_EQ(t.Celula(2, 3), "37,500");
}

// ---- temp.vol ----

TabelaResultado FourImages() {
  TabelaResultado t({"/f/ferrita.his", "/f/perlita.his"});
  t.AdicionarResultado("a.bmp", Fit({0.25, 0.75}));
  t.AdicionarResultado("b.bmp", Fit({0.5, 0.5}));
  t.AdicionarResultado("c.bmp", Fit({0.125, 0.875}));
  t.AdicionarResultado("d.bmp", Fit({0.0, 1.0}));
  return t;
}

TEST(VolumeFile, WrittenByteForByte) {
  TempDir dir;
  const std::string path = dir / "temp.vol";
  EscreverArquivoVol(path, FourImages(), {0.5, 0.0, 1e-6, 2.0});
  const std::string nine(9, ' ');
  auto real = [](double v) { return RealText(v); };
  std::string expected =
      "Imagem                 ferrita        perlita          TOTAL           CHI2\r\n";
  const double values[4][3] = {{25, 75, 100}, {50, 50, 100}, {12.5, 87.5, 100}, {0, 100, 100}};
  const double chi2[4] = {0.5, 0.0, 1e-6, 2.0};
  for (int i = 0; i < 4; ++i) {
    expected += std::to_string(i + 1) + nine;
    for (double v : values[i]) expected += nine + real(v);
    expected += nine + real(chi2[i]) + "\r\n";
  }
  // (25 + 50 + 12.5 + 0) / 4 = 21.875, (75 + 50 + 87.5 + 100) / 4 = 78.125.
  expected += "Média     " + nine + real(21.875) + nine + real(78.125);
  EXPECT_EQ(TempDir::read(path), expected);
  // Six lines, the last without a line end.
  const std::string text = TempDir::read(path);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
  EXPECT_NE(text.back(), '\n');
  EXPECT_EQ(real(25), " 2.50000000000000E+0001");
}

TEST(VolumeFile, MissingChiSquaresWriteZeroAndAccentedNamesKeepTheColumns) {
  TempDir dir;
  TabelaResultado t({"/f/martensíta.his"});
  t.AdicionarResultado("a", Fit({1}));
  EscreverArquivoVol(dir / "temp.vol", t, {});
  const std::string text = TempDir::read(dir / "temp.vol");
  EXPECT_EQ(text.substr(0, text.find("\r\n")),
            "Imagem              martensíta          TOTAL           CHI2");
  EXPECT_NE(text.find(std::string(9, ' ') + RealText(0) + "\r\nMédia"), std::string::npos);
}

TEST(VolumeFile, ValuesFollowTheCellsNotTheSeparator) {
  SeparatorScope comma(',');
  TempDir dir;
  TabelaResultado t({"a"});
  t.AdicionarResultado("a", Fit({0.123456}));
  EscreverArquivoVol(dir / "temp.vol", t, {});
  // The cell shows 12,346: the file has its value, with a point.
  EXPECT_NE(TempDir::read(dir / "temp.vol").find(" 1.23460000000000E+0001"), std::string::npos);
}

TEST(VolumeFile, ReadBackGivesThePhaseValuesOfEveryImage) {
  TempDir dir;
  EscreverArquivoVol(dir / "temp.vol", FourImages(), {0.5, 0.0, 1e-6, 2.0});
  const ValoresVol v = LerArquivoVol(dir / "temp.vol", 4, 2);
  EXPECT_EQ(v.numFases, 2);
  EXPECT_EQ(v.imagens,
            (std::vector<std::vector<double>>{{25, 75}, {50, 50}, {12.5, 87.5}, {0, 100}}));
  // Fewer images than the file holds, and fewer phases, are fine.
  EXPECT_EQ(LerArquivoVol(dir / "temp.vol", 2, 1).imagens,
            (std::vector<std::vector<double>>{{25}, {50}}));
}

TEST(VolumeFile, DamagedFilesAreRefusedWithClearErrors) {
  TempDir dir;
  const std::string header = "Imagem     a    b\r\n";
  struct Case {
    const char* what;
    std::string text;
    const char* error;  // empty: the "values of image" error
    int image;
  } cases[] = {
      {"empty file", "", "", 1},
      {"header only", header, "", 1},
      {"short", header + "1 1 2 3 0\r\n", "", 2},
      {"wrong image number", header + "1 1 2 3 0\r\n3 1 2 3 0\r\n", "", 2},
      {"too few values", header + "1 1 2 3 0\r\n2 1\r\n", "", 2},
      {"blank line", header + "1 1 2 3 0\r\n\r\n2 1 2 3 0\r\n", "", 2},
      {"text in place of a value", header + "1 1 x 3 0\r\n", "Invalid numeric input", 1},
      {"text in place of the number", header + "um 1 2 3 0\r\n", "Invalid numeric input", 1},
      {"not a number", header + "1 nan 2 3 0\r\n", "Invalid numeric input", 1},
      {"infinite", header + "1 inf 2 3 0\r\n", "Invalid numeric input", 1},
      {"beyond any percentage", header + "1 1e300 2 3 0\r\n", "Invalid numeric input", 1},
  };
  for (const Case& c : cases) {
    const std::string path = dir.write("temp.vol", c.text);
    try {
      LerArquivoVol(path, 2, 2);
      ADD_FAILURE() << c.what << ": accepted";
    } catch (const Exception& e) {
      const std::string expected =
          *c.error
              ? std::string(c.error)
              : "O arquivo " + path + " não traz os valores da imagem " + std::to_string(c.image);
      EXPECT_EQ(std::string(e.what()), expected) << c.what;
    }
  }
  try {
    LerArquivoVol(dir / "falta.vol", 4, 2);
    ADD_FAILURE();
  } catch (const EInOutError& e) {
    EXPECT_STREQ(e.what(), "File not found");
  }
}

// ---- the fitted histogram of the comparison ----

TEST(FittedHistogram, PercentagesWeightThePatternColumns) {
  TempDir dir;
  GreyHistogram half{};
  half[10] = 0.5;
  half[20] = 0.5;
  const std::string pat =
      WriteTestPattern(dir / "p", {Level(10), half, Level(200)}, {"a", "b", "c"});
  const GreyHistogram f = HistogramaAjustado(pat, {30.0, 60.0});  // the third column unused
  EXPECT_DOUBLE_EQ(f[10], 30.0 + 30.0);
  EXPECT_DOUBLE_EQ(f[20], 30.0);
  EXPECT_DOUBLE_EQ(f[200], 0.0);
  double sum = 0;
  for (double v : f) sum += v;
  EXPECT_DOUBLE_EQ(sum, 90.0);
  EXPECT_EQ(HistogramaAjustado(pat, {}), GreyHistogram{});
  EXPECT_THROW(HistogramaAjustado(dir / "falta.pat", {1.0}), EInOutError);
  dir.write("ruim.pat", "0.5 x\r\n");
  EXPECT_THROW(HistogramaAjustado(dir / "ruim.pat", {1.0, 1.0}), EInOutError);
}

TEST(FittedHistogram, WrittenAsLevelBlankValue) {
  TempDir dir;
  GreyHistogram f{};
  f[1] = 62.5;
  f[255] = -0.25;
  EscreverHistogramaAjustado(dir / "H_Ajustado.his", f);
  const std::string text = TempDir::read(dir / "H_Ajustado.his");
  EXPECT_EQ(text.substr(0, 54), "0  0.00000000000000E+0000\r\n1  6.25000000000000E+0001\r\n");
  EXPECT_TRUE(text.ends_with("\r\n255 -2.50000000000000E-0001\r\n"));
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 256);
  // The histogram files read it back.
  EXPECT_EQ(ReadHis(dir / "H_Ajustado.his"), f);
}

// ---- the histogram of an analysed image ----

TEST(AnalysisHistogram, RawGreyImagesSkipTheirHeader) {
  TempDir dir;
  const std::string path = dir.write("a.grey", RawGrey(65536, 10, 200));
  const GreyCounts c = ContagemDaImagem(path);
  EXPECT_EQ(c[10], 65536);
  EXPECT_EQ(c[200], 512 * 512 - 65536);
  EXPECT_EQ(c[7], 0);  // the header's bytes
  const GreyHistogram h = HistogramaDaImagem(path);
  EXPECT_DOUBLE_EQ(h[10], 0.25);
  EXPECT_DOUBLE_EQ(h[200], 0.75);
  // Bytes after the pixels are ignored.
  EXPECT_EQ(ContagemDaImagem(dir.write("b.grey", RawGrey(0, 0, 3) + "tail")), ([] {
              GreyCounts e{};
              e[3] = 512 * 512;
              return e;
            })());
}

TEST(AnalysisHistogram, ShortRawImageIsAnError) {
  TempDir dir;
  for (size_t cut : {size_t(1), size_t(512 * 512), kGreyFileSize}) {
    const std::string path = dir.write("short.grey", RawGrey(0, 0, 0, cut));
    try {
      ContagemDaImagem(path);
      ADD_FAILURE() << cut;
    } catch (const EInOutError& e) {
      EXPECT_STREQ(e.what(), "Read beyond end of file") << cut;
    }
  }
  EXPECT_THROW(ContagemDaImagem(dir / "missing.grey"), EInOutError);
}

TEST(AnalysisHistogram, OnlyTheExactLowerCaseExtensionIsRaw) {
  TempDir dir;
  const std::string path = dir.write("A.GREY", RawGrey(0, 0, 0));
  try {
    ContagemDaImagem(path);
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Unknown picture file extension (.GREY)");
  }
}

TEST(AnalysisHistogram, PicturesThroughTheLoader) {
  TempDir dir;
  SaveBmp(TwoLevels(13, 7, 30, 5, 250), dir / "a.bmp");  // an odd width: rows are padded
  const GreyCounts c = ContagemDaImagem(dir / "a.bmp");
  EXPECT_EQ(c[5], 30);
  EXPECT_EQ(c[250], 13 * 7 - 30);
  EXPECT_EQ(c[0], 0);  // no padding byte counted
}

TEST(AnalysisHistogram, PicturesThatAreNotEightBitAreRefused) {
  TempDir dir;
  Bitmap colour(4, 4, PixelFormat::pf24bit);
  SaveBmp(colour, dir / "cor.bmp");
  Bitmap four(4, 4, PixelFormat::pf4bit);
  four.setPalette(Palette(16));
  SaveBmp(four, dir / "quatro.bmp");
  for (const char* name : {"cor.bmp", "quatro.bmp"}) {
    try {
      ContagemDaImagem(dir / name);
      ADD_FAILURE() << name;
    } catch (const Exception& e) {
      EXPECT_EQ(std::string(e.what()),
                std::string("A imagem ") + name + " não é uma imagem de 8 bits");
    }
  }
}

}  // namespace
}  // namespace vandrel::testing
