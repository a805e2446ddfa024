// The histogram window's rules that need no widgets: size steps, the loader of a chosen
// file, the name a save writes, the scale steps and the legend layout.
#include <gtest/gtest.h>

#include "app/histograms/model/HistogramWindowRules.h"
#include "platform/Errors.h"
#include "platform/Numbers.h"

namespace vandrel {
namespace {

// The process-wide decimal separator, restored at the end of a test.
class SeparatorScope {
 public:
  explicit SeparatorScope(char s) : old_(DecimalSeparator()) { SetDecimalSeparator(s); }
  ~SeparatorScope() { SetDecimalSeparator(old_); }

 private:
  char old_;
};

TEST(HistogramWindowRules, SizeStepsStopAtBothEnds) {
  struct Case {
    const char* label;
    const char* up;
    const char* down;
    TTamanho tamanho;
  } cases[] = {{"128", "256", "128", hs128},
               {"256", "512", "128", hs256},
               {"512", "1024", "256", hs512},
               {"1024", "1024", "512", hs1024}};
  for (const Case& c : cases) {
    EXPECT_EQ(TamanhoMaior(c.label), c.up) << c.label;
    EXPECT_EQ(TamanhoMenor(c.label), c.down) << c.label;
    EXPECT_EQ(TamanhoDoRotulo(c.label), c.tamanho) << c.label;
  }
  // A text that is no size stays as it is and stands for the middle size.
  EXPECT_EQ(TamanhoMaior("abc"), "abc");
  EXPECT_EQ(TamanhoMenor(""), "");
  EXPECT_EQ(TamanhoDoRotulo("64"), hs256);
}

TEST(HistogramWindowRules, ClickBringsBackOnlyTheSizesWithoutPanels) {
  EXPECT_EQ(RotuloDoClique(hs128), "256");
  EXPECT_EQ(RotuloDoClique(hs1024), "512");
  for (TTamanho t : {hs256, hs512, hs256x256}) EXPECT_FALSE(RotuloDoClique(t)) << int(t);
  EXPECT_EQ(CurvasPorLinha(hs512), 8);
  for (TTamanho t : {hs128, hs256, hs1024}) EXPECT_EQ(CurvasPorLinha(t), 4) << int(t);
}

TEST(HistogramWindowRules, FilterIndexChoosesTheLoaderAndTheLastOneLooksAtTheExtension) {
  struct Case {
    int index;
    const char* path;
    int tipo;
  } cases[] = {
      {1, "/a/x.his", tHistograma},
      {1, "/a/x.bmp", tHistograma},  // the filter wins over the extension
      {3, "/a/x.his", tImagem},
      {2, "/a/x.lst", tPadrao},
      {4, "/a/x.pat", tLista},
      {5, "/a/x.his", tHistograma},
      {5, "/a/x.pat", tPadrao},
      {5, "/a/x.lst", tLista},
      {5, "/a/x.bmp", tImagem},
      {5, "/a/x.gif", tImagem},
      {5, "/a/x.tif", tImagem},
      {5, "/a/x.HIS", tTodos},  // compared exactly
      {5, "/a/x.tiff", tTodos},
      {5, "/a/x.txt", tTodos},
      {5, "/a.his/x", tTodos},  // a point in a folder is no extension
      {0, "/a/x.his", tHistograma},
      {9, "/a/x.pat", tPadrao},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TipoDoArquivo(c.index, c.path), c.tipo) << c.index << " " << c.path;
}

TEST(HistogramWindowRules, SaveNameGetsTheExtensionUnlessItHasExactlyIt) {
  struct Case {
    const char* nome;
    const char* ext;
    const char* gravado;
  } cases[] = {
      {"/f/x", ".his", "/f/x.his"},         {"/f/x.his", ".his", "/f/x.his"},
      {"/f/x.HIS", ".his", "/f/x.HIS.his"}, {"/f/x", ".pat", "/f/x.pat"},
      {"/f/x.his", ".pat", "/f/x.his.pat"}, {"/f/x.bmp", ".bmp", "/f/x.bmp"},
      {"/f/x", ".bmp", "/f/x.bmp"},         {"/f.d/x", ".his", "/f.d/x.his"},
  };
  for (const Case& c : cases) EXPECT_EQ(NomeDeGravacao(c.nome, c.ext), c.gravado) << c.nome;
}

TEST(HistogramWindowRules, ShownNumbersUseTheUserSeparator) {
  {
    SeparatorScope s(',');
    EXPECT_EQ(TextoDoNumero(1.2), "1,2");
    EXPECT_DOUBLE_EQ(NumeroExibido("1,2"), 1.2);
    EXPECT_DOUBLE_EQ(NumeroExibido("1.2"), 1.2);
  }
  SeparatorScope s('.');
  EXPECT_EQ(TextoDoNumero(1.0), "1");
  EXPECT_DOUBLE_EQ(NumeroExibido("+0.5"), 0.5);
  for (const char* bad : {"", "abc", "1.2x", "1,2", " 1"})
    EXPECT_THROW(NumeroExibido(bad), EConvertError) << bad;
}

TEST(HistogramWindowRules, ArrowsStepByTwoTenthsDownToTwoTenthsAndThenStop) {
  SeparatorScope s('.');
  std::string shown = "1";
  const char* down[] = {"0.8", "0.6", "0.4", "0.2"};
  for (const char* expected : down) {
    const std::optional<std::string> next = PassoDaSeta(shown, false);
    ASSERT_TRUE(next) << shown;
    EXPECT_EQ(*next, expected);
    shown = *next;
  }
  // At 0.2 and below neither arrow changes anything.
  for (const char* low : {"0.2", "0.15", "0.1", "0"}) {
    EXPECT_FALSE(PassoDaSeta(low, false)) << low;
    EXPECT_FALSE(PassoDaSeta(low, true)) << low;
  }
  EXPECT_EQ(PassoDaSeta("0.25", false), "0.05");
  EXPECT_EQ(PassoDaSeta("1", true), "1.2");
}

TEST(HistogramWindowRules, DragRaisesUpwardsAndStopsAtOneTenth) {
  SeparatorScope s('.');
  std::string shown = "1";
  int y = 100;
  for (int i = 0; i < 10; ++i) {
    const PassoDeArraste p = PassoDoArraste(shown, y - 1, y);
    --y;
    ASSERT_TRUE(p.fator);
    shown = p.texto;
  }
  EXPECT_EQ(shown, "1.5");

  // Sideways and downward moves lower it.
  EXPECT_EQ(PassoDoArraste("1", 50, 50).texto, "0.95");
  EXPECT_EQ(PassoDoArraste("1", 60, 50).texto, "0.95");

  // Down to 0.1 the factor follows; below, the edit goes back to 0.1 and the factor stays.
  const PassoDeArraste at = PassoDoArraste("0.15", 60, 50);
  EXPECT_EQ(at.texto, "0.1");
  ASSERT_TRUE(at.fator);
  EXPECT_DOUBLE_EQ(*at.fator, 0.1);
  const PassoDeArraste below = PassoDoArraste("0.1", 60, 50);
  EXPECT_EQ(below.texto, "0.1");
  EXPECT_FALSE(below.fator);
}

TEST(HistogramWindowRules, LegendRowsAndPanelHeight) {
  const LayoutDaLegenda vazia = LayoutLegenda(0, 4);
  EXPECT_TRUE(vazia.lugares.empty());
  EXPECT_EQ(vazia.alturaDoPainel, 22);

  const LayoutDaLegenda nove = LayoutLegenda(9, 4);
  ASSERT_EQ(nove.lugares.size(), 9u);
  EXPECT_EQ(nove.alturaDoPainel, 50);  // last square at top 32
  struct Expected {
    int k, qx, qy, lx, ly;
  } expected[] = {{0, 4, 4, 17, 2}, {3, 196, 4, 209, 2}, {4, 4, 18, 17, 16}, {8, 4, 32, 17, 30}};
  for (const Expected& e : expected) {
    const LugarNaLegenda& l = nove.lugares[size_t(e.k)];
    EXPECT_EQ(l.quadradoX, e.qx) << e.k;
    EXPECT_EQ(l.quadradoY, e.qy) << e.k;
    EXPECT_EQ(l.rotuloX, e.lx) << e.k;
    EXPECT_EQ(l.rotuloY, e.ly) << e.k;
  }
  EXPECT_EQ(LayoutLegenda(9, 8).alturaDoPainel, 36);
  EXPECT_EQ(LayoutLegenda(2, 4).alturaDoPainel, 22);
  EXPECT_EQ(LayoutLegenda(3, 0).lugares.back().quadradoY, 32);  // a row holds one at least
}

}  // namespace
}  // namespace vandrel
