// Runs of the image list after its pattern changed: the iterative fits start from
// thresholds made for the pattern they fit, or the run is refused with a message; never a
// table from the wrong number of phase columns.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QToolButton>
#include <cmath>

#include "app/analysis/ui/MetodoDialog.h"
#include "app/analysis/ui/UResultado.h"
#include "tests/imagelist/ImageListTestUtil.h"

namespace vandrel::testing {
namespace {

GreyHistogram Sino(double media, double desvio) {
  GreyHistogram h{};
  double soma = 0;
  for (int g = 0; g < 256; ++g)
    soma += h[size_t(g)] = std::exp(-0.5 * std::pow((g - media) / desvio, 2));
  for (double& v : h) v /= soma;
  return h;
}

// A 256 x 100 image whose grey levels follow the mixture of `fases` by `fracoes` as closely
// as whole pixels allow (largest remainders).
Bitmap Mistura(const std::vector<GreyHistogram>& fases, const std::vector<double>& fracoes) {
  constexpr int kLargura = 256, kAltura = 100, kPixels = kLargura * kAltura;
  std::array<double, 256> alvo{};
  for (size_t j = 0; j < fases.size(); ++j)
    for (int g = 0; g < 256; ++g) alvo[size_t(g)] += kPixels * fracoes[j] * fases[j][size_t(g)];
  std::array<int, 256> contagem{};
  int usados = 0;
  std::vector<std::pair<double, int>> restos;
  for (int g = 0; g < 256; ++g) {
    contagem[size_t(g)] = int(alvo[size_t(g)]);
    usados += contagem[size_t(g)];
    restos.push_back({alvo[size_t(g)] - contagem[size_t(g)], g});
  }
  std::sort(restos.rbegin(), restos.rend());
  for (int k = 0; usados < kPixels; ++k, ++usados) ++contagem[size_t(restos[size_t(k)].second)];
  Bitmap b(kLargura, kAltura, PixelFormat::pf8bit);
  b.setPalette(GreyRamp());
  int g = 0;
  for (int i = 0; i < kPixels; ++i) {
    while (contagem[size_t(g)] == 0) ++g;
    --contagem[size_t(g)];
    b.scanLine(i / kLargura)[i % kLargura] = uint8_t(g);
  }
  return b;
}

class AnalysisRunTest : public ImageListTest {
 protected:
  void SetUp() override {
    ImageListTest::SetUp();
    w = Lista();
    ASSERT_TRUE(w);
    tres = Padrao("tres", {Sino(50, 10), Sino(120, 12), Sino(190, 9)});
    dois = {Sino(70, 14), Sino(170, 11)};
    doisPat = Padrao("dois", dois);
    Escolher({Imagem("a.bmp", Mistura(dois, {0.603, 0.397})),
              Imagem("b.bmp", Mistura(dois, {0.25, 0.75}))});
    w->AdicionarImagens->click();
  }
  void EscolherPadrao(const std::string& pat) {
    Escolher({QString::fromStdString(pat)});
    w->BtPadrao->click();
  }
  // Confirms the method dialog with item `item` (0 SVD, 1 Gradient, 2 Max. desc.) and
  // whatever initial values it shows.
  void Metodo(int item, QStringList* grade = nullptr) {
    dialogs->forms.push_back([item, grade](QDialog& f) {
      auto& d = dynamic_cast<TFrmMetodoDialog&>(f);
      d.rgAnalisysItens->button(item)->click();
      if (grade)
        for (int c = 0; c < 17 && !d.Celula(c).isEmpty(); ++c) *grade << d.Celula(c);
      d.sbOK->click();
    });
    w->sbAnalise->click();
  }
  // Runs the analysis and gives the new results window.
  TFormResultado* Analisar() {
    const size_t antes = Resultados().size();
    w->BAnalisar->click();
    Settle();
    const auto depois = Resultados();
    EXPECT_EQ(depois.size(), antes + 1);
    return depois.empty() ? nullptr : depois.back();
  }
  std::vector<TFormResultado*> Resultados() const {
    std::vector<TFormResultado*> out;
    for (TForm* f : principal->Filhas())
      if (auto* r = qobject_cast<TFormResultado*>(f)) out.push_back(r);
    return out;
  }

  TFormListaImagens* w = nullptr;
  std::string tres, doisPat;
  std::vector<GreyHistogram> dois;
};

// A list analysed with a three-phase pattern and then given a two-phase one: the fixed-step
// and gradient runs start from the two-phase pattern's automatic thresholds and agree with
// the SVD run within a point, in every cell; neither reports a fit that did not settle.
TEST_F(AnalysisRunTest, AfterAChangeToAPatternOfOtherPhasesTheIterativeRunsMatchSvd) {
  EscolherPadrao(tres);
  Metodo(2);
  EXPECT_EQ(w->Limiares.n, 2);
  TFormResultado* primeira = Analisar();
  ASSERT_TRUE(primeira);
  EXPECT_EQ(primeira->NumFases, 3);

  EscolherPadrao(doisPat);
  EXPECT_EQ(w->Limiares.n, 1);
  TFormResultado* descida = Analisar();  // still "Max. desc."
  QStringList grade;
  Metodo(1, &grade);
  EXPECT_EQ(grade, (QStringList{"0", "120", "255"}));  // the two phases' own thresholds
  TFormResultado* gradiente = Analisar();
  Metodo(0);
  TFormResultado* svd = Analisar();
  ASSERT_TRUE(descida && gradiente && svd);
  EXPECT_TRUE(dialogs->messages.empty()) << dialogs->Texts().join(" | ").toStdString();

  EXPECT_EQ(descida->Caption(), "Resultado da Análise - Max. Descida");
  EXPECT_EQ(gradiente->Caption(), "Resultado da Análise - Gradiente");
  for (TFormResultado* r : {descida, gradiente, svd}) {
    SCOPED_TRACE(r->Caption().toStdString());
    ASSERT_EQ(r->NumFases, 2);
    ASSERT_EQ(r->Tabela().LinhasDeImagem(), 2);
    EXPECT_EQ(r->Tabela().Celula(0, 1), "a.bmp");  // no mark of a fit that did not settle
    EXPECT_EQ(r->Tabela().Celula(0, 2), "b.bmp");
    for (int linha = 1; linha <= 3; ++linha)
      for (int coluna = 1; coluna <= 2; ++coluna)
        EXPECT_NEAR(r->Tabela().Valor(coluna, linha), svd->Tabela().Valor(coluna, linha), 1.0)
            << "row " << linha << " column " << coluna;
  }
  EXPECT_NEAR(svd->Tabela().Valor(1, 1), 60.3, 0.5);
  EXPECT_NEAR(svd->Tabela().Valor(2, 2), 75.0, 0.5);
}

// The pattern's files rewritten with another phase count under the same name (as the
// pattern editor does) leave the list's thresholds behind: the iterative runs are refused
// with a message and leave their table with its header only.
TEST_F(AnalysisRunTest, ThresholdsThatDoNotMakeThePatternsPhasesAreRefused) {
  EscolherPadrao(tres);
  struct Case {
    int item;
    const char* caption;
  } cases[] = {{1, "Resultado da Análise - Gradiente"}, {2, "Resultado da Análise - Max. Descida"}};
  for (const Case& c : cases) {
    Metodo(c.item);
    ASSERT_EQ(w->Limiares.n, 2);
    Padrao("tres", dois);  // now two phases
    dialogs->messages.clear();
    TFormResultado* r = Analisar();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Caption(), c.caption);
    EXPECT_EQ(dialogs->Texts(),
              QStringList{"Os valores iniciais devem ter 1 nível\rpara um padrão de 2 fases"});
    ASSERT_FALSE(dialogs->messages.empty());
    EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Information);
    EXPECT_EQ(r->Tabela().Linhas(), 1);
    Padrao("tres", {Sino(50, 10), Sino(120, 12), Sino(190, 9)});  // three again
  }
}

// A phase column too small to change the fit (values of 1e-25) lets the fixed-step
// coefficient climb without changing the error: it stops at the ceiling of 2 and the row
// is marked as a fit that did not settle, as the gradient's rows are.
TEST_F(AnalysisRunTest, AFixedStepColumnThatRunsAwayIsMarked) {
  GreyHistogram minusculo;
  minusculo.fill(1e-25);
  EscolherPadrao(Padrao("minusculo", {minusculo, Sino(170, 11)}));
  Metodo(2);
  TFormResultado* r = Analisar();
  ASSERT_TRUE(r);
  ASSERT_EQ(r->Tabela().LinhasDeImagem(), 2);
  EXPECT_EQ(r->Tabela().Celula(0, 1), "*a.bmp");
  EXPECT_EQ(r->Tabela().Celula(0, 2), "*b.bmp");
  for (int linha = 1; linha <= 2; ++linha) EXPECT_LE(r->Tabela().Valor(1, linha), 200.0);
  EXPECT_TRUE(dialogs->messages.empty());
}

}  // namespace
}  // namespace vandrel::testing
