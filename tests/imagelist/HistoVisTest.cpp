// The pattern-phase window: which phases it shows, its legend, deleting phases from the
// phase list and from the line dialog, editing curves, and the "Padrão" button.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "app/analysis/ui/UHistoVis.h"
#include "app/histograms/ui/UDSHistograma.h"
#include "app/histograms/ui/ULinhaDialog.h"
#include "app/histograms/ui/UListaDeFases.h"
#include "tests/imagelist/ImageListTestUtil.h"

namespace vandrel::testing {
namespace {

TFasesVisiveis Flags(std::initializer_list<bool> first) {
  TFasesVisiveis f;
  f.fill(true);
  size_t i = 0;
  for (bool b : first) f[i++] = b;
  return f;
}

class HistoVisTest : public ImageListTest {
 protected:
  // A pattern of `n` phases at grey levels 12, 24, ..., named "/fases/faseK.his".
  std::string Fases(int n) {
    std::vector<GreyHistogram> fases;
    for (int k = 0; k < n; ++k) fases.push_back(Fase({{12 * (k + 1), 1.0}}));
    return Padrao(QString("p%1").arg(n), fases);
  }
  std::unique_ptr<TFormHistoVis> Abrir(const std::string& pat, const TFasesVisiveis& f) {
    auto w = TFormHistoVis::CreateComPadrao(pat, f, nullptr);
    w->show();
    Settle();
    return w;
  }
  static std::vector<std::string> Nomes(const TFormHistoVis& w) {
    std::vector<std::string> out;
    for (const THistoCompleto& h : w.Histograma->Histogramas()) out.push_back(h.Nome);
    return out;
  }
  static QStringList Rotulos(const TFormHistoVis& w) {
    QStringList out;
    for (const QLabel* l : w.Rotulos()) out << l->text();
    return out;
  }
  static std::vector<bool> Primeiras(const TFasesVisiveis& f, int n) {
    return std::vector<bool>(f.begin(), f.begin() + n);
  }
  // Answers the next line dialog: `edit` fills it in, then OK.
  void Linha(std::function<void(TFormLinhaDialog&)> edit) {
    dialogs->forms.push_back([edit](QDialog& form) {
      auto& d = dynamic_cast<TFormLinhaDialog&>(form);
      edit(d);
      d.SpeedButton1->click();
    });
  }
  // Answers the next phase list: the lines `marcar` checked, then OK (or Cancelar).
  void ListaDeFases(std::vector<int> marcar, bool ok = true, QStringList* linhas = nullptr) {
    dialogs->forms.push_back([=](QDialog& form) {
      auto& d = dynamic_cast<TFormListaDeFases&>(form);
      if (linhas)
        for (int i = 0; i < d.Lista->Count(); ++i) *linhas << d.Lista->item(i)->text();
      for (int i : marcar) d.Lista->SetChecked(i, true);
      (ok ? d.BtOK : d.BTCancelar)->click();
    });
  }
  // A point of the control drawn in `cor`, after painting it.
  static std::optional<QPoint> PontoDaCor(TFormHistoVis& w, int32_t cor) {
    w.Histograma->repaint();
    const Rect32 a = w.Histograma->AreaDoGrafico();
    for (int y = a.top + 1; y < a.bottom; ++y)
      for (int x = a.left + 2; x < a.right - 1; ++x)
        if (w.Histograma->CorNoPonto(x, y) == cor) return QPoint(x, y);
    return std::nullopt;
  }
};

TEST_F(HistoVisTest, ShowsThePhasesFlaggedWithTheirNamesAndColours) {
  const std::string pat = Fases(3);
  auto w = Abrir(pat, Flags({true, false, true}));
  EXPECT_EQ(w->windowTitle(), "Excluir Fases");
  EXPECT_FALSE(w->Aceito);
  EXPECT_EQ(w->ArquivoPadrao, pat);
  EXPECT_EQ(Nomes(*w), (std::vector<std::string>{"/fases/fase1.his", "/fases/fase3.his"}));
  EXPECT_EQ(Rotulos(*w), (QStringList{"fase1", "fase3"}));
  EXPECT_EQ(w->CoresDasFases,
            (std::vector<int32_t>{TDSHistograma::CorDaFase(0), TDSHistograma::CorDaFase(1),
                                  TDSHistograma::CorDaFase(2)}));
  EXPECT_EQ(w->Histograma->Histogramas()[1].Cor, TDSHistograma::CorDaFase(2));
  EXPECT_EQ(w->Quadrados()[1]->Cor(), TDSHistograma::CorDaFase(2));
  EXPECT_EQ(Primeiras(w->FasesVisiveis, 3), (std::vector<bool>{true, false, true}));
  EXPECT_EQ(w->Histograma->geometry(), QRect(0, 0, 264, 188));
  EXPECT_EQ(w->Histograma->CorDeFundo(), 0x9898FE);
  EXPECT_EQ(w->BtOK->text(), "OK");
  EXPECT_EQ(w->BtCancelar->text(), "Cancelar");
  EXPECT_EQ(w->BtPadrao->text(), "Padrão");
  EXPECT_EQ(w->BtAjuda->text(), "Ajuda");
}

TEST_F(HistoVisTest, NamesComeFromTheNameFileOrArePhaseNumbers) {
  // Long names are cut to nine characters in the legend; the curve keeps the whole line.
  const std::string pat =
      Padrao("nomes", FasesEm({30, 60}), {"C:\\x\\ferrita.his", "perlita grossa"});
  auto w = Abrir(pat, Flags({}));
  EXPECT_EQ(Nomes(*w), (std::vector<std::string>{"C:\\x\\ferrita.his", "perlita grossa"}));
  EXPECT_EQ(Rotulos(*w), (QStringList{"C:\\x\\ferr", "perlita g"}));
  QFile::remove(QString::fromStdString(WithoutExtension(pat) + ".pac"));
  auto sem = Abrir(pat, Flags({}));
  EXPECT_EQ(Nomes(*sem), (std::vector<std::string>{"fase#0", "fase#1"}));
}

TEST_F(HistoVisTest, TheLegendHasFourEntriesPerRowAndTheWindowFollowsIt) {
  struct Case {
    int shown;
    int altura;
  } cases[] = {{0, 22}, {1, 22}, {4, 22}, {5, 36}, {9, 50}};
  const std::string pat = Fases(9);
  for (const Case& c : cases) {
    TFasesVisiveis f{};
    for (int i = 0; i < c.shown; ++i) f[size_t(i)] = true;
    auto w = Abrir(pat, f);
    EXPECT_EQ(int(w->Histograma->Histogramas().size()), c.shown);
    EXPECT_EQ(w->PainelDaLegenda->height(), c.altura) << c.shown;
    EXPECT_EQ(w->PainelBotoes->y(), w->PainelDaLegenda->y() + c.altura) << c.shown;
    EXPECT_EQ(w->height(), w->PainelBotoes->geometry().bottom() + 1) << c.shown;
    if (c.shown == 5) {
      EXPECT_EQ(w->Quadrados()[4]->geometry(), QRect(4, 18, 10, 10));
      EXPECT_EQ(w->Rotulos()[3]->geometry(), QRect(3 * 64 + 17, 2, 50, 13));
    }
  }
}

TEST_F(HistoVisTest, DeletingAPhaseInTheLineDialogHidesItAndLaterPhasesMoveUp) {
  auto w = Abrir(Fases(3), Flags({}));
  Linha([](TFormLinhaDialog& d) { d.Excluir->setChecked(true); });
  Press(w->Quadrados()[1], QPoint(5, 5));
  Settle();
  EXPECT_EQ(Primeiras(w->FasesVisiveis, 3), (std::vector<bool>{true, false, true}));
  EXPECT_EQ(Rotulos(*w), (QStringList{"fase1", "fase3"}));
  // Phase 3 is now the second curve: its edit lands there.
  Linha([](TFormLinhaDialog& d) {
    EXPECT_EQ(d.EditNome->text(), "fase3");
    d.EditNome->setText("cementita");
    d.UDEspessura->SetPosition(4);
  });
  Press(w->Quadrados()[1], QPoint(5, 5), Qt::RightButton);  // any button on a swatch
  Settle();
  ASSERT_EQ(w->Histograma->Histogramas().size(), 2u);
  EXPECT_EQ(w->Histograma->Histogramas()[1].Nome, "cementita");
  EXPECT_EQ(w->Histograma->Histogramas()[1].Espessura, 4);
  EXPECT_TRUE(dialogs->messages.empty());  // its own colour is not "in use"
  EXPECT_EQ(Rotulos(*w), (QStringList{"fase1", "cementita"}));
}

TEST_F(HistoVisTest, AColourOfAnotherCurveIsRefused) {
  auto w = Abrir(Fases(2), Flags({}));
  const int32_t outra = w->Histograma->Histogramas()[1].Cor;
  Linha([&](TFormLinhaDialog& d) {
    d.ShapeCor->SetCor(outra);
    d.EditNome->setText("nunca");
  });
  Press(w->Quadrados()[0], QPoint(5, 5));
  EXPECT_EQ(dialogs->Texts(), QStringList{"A Cor Já Existe"});
  EXPECT_EQ(w->Histograma->Histogramas()[0].Nome, "/fases/fase1.his");
  EXPECT_EQ(w->Histograma->Histogramas()[0].Cor, w->CoresDasFases[0]);
  // Cancelled, nothing changes either.
  dialogs->forms.push_back([](QDialog& f) {
    auto& d = dynamic_cast<TFormLinhaDialog&>(f);
    d.Excluir->setChecked(true);
    d.SpeedButton2->click();
  });
  Press(w->Quadrados()[0], QPoint(5, 5));
  EXPECT_EQ(w->Histograma->Histogramas().size(), 2u);
}

TEST_F(HistoVisTest, ARecolouredPhaseKeepsItsIdentity) {
  auto w = Abrir(Fases(3), Flags({}));
  const int32_t nova = 0x123456;
  Linha([&](TFormLinhaDialog& d) { d.ShapeCor->SetCor(nova); });
  Press(w->Quadrados()[1], QPoint(5, 5));
  Settle();
  EXPECT_EQ(w->Histograma->Histogramas()[1].Cor, nova);
  // The phase list deletes phase 1; the recoloured phase 2 stays shown.
  ListaDeFases({0});
  Press(w->Histograma, QPoint(100, 100), Qt::RightButton);
  Settle();
  EXPECT_EQ(Primeiras(w->FasesVisiveis, 3), (std::vector<bool>{false, true, true}));
  // A click on its new colour still reaches phase 2, now the first curve.
  Linha([](TFormLinhaDialog& d) {
    EXPECT_EQ(d.EditNome->text(), "fase2");
    d.Excluir->setChecked(true);
  });
  Press(w->Quadrados()[0], QPoint(5, 5));
  Settle();
  EXPECT_EQ(Primeiras(w->FasesVisiveis, 3), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(w->FasesDasCurvas(), std::vector<int>{2});
}

TEST_F(HistoVisTest, ThePhaseListDeletesTheCheckedCurves) {
  auto w = Abrir(Fases(4), Flags({true, false, true, true}));
  QStringList linhas;
  ListaDeFases({0, 2}, true, &linhas);
  Press(w->Histograma, QPoint(50, 50), Qt::MiddleButton);
  Settle();
  EXPECT_EQ(linhas, (QStringList{"fase1", "fase3", "fase4"}));
  EXPECT_EQ(Primeiras(w->FasesVisiveis, 4), (std::vector<bool>{false, false, true, false}));
  EXPECT_EQ(Rotulos(*w), QStringList{"fase3"});
  // Closed with "Cancelar" the list removes nothing.
  ListaDeFases({0}, false);
  Press(w->Histograma, QPoint(50, 50), Qt::RightButton);
  Settle();
  EXPECT_EQ(Rotulos(*w), QStringList{"fase3"});
  EXPECT_EQ(dialogs->formsRun, (std::vector<QString>{"FormListaDeFases", "FormListaDeFases"}));
}

TEST_F(HistoVisTest, TheLeftButtonOnACurveOpensItsLineDialog) {
  auto w = Abrir(Fases(2), Flags({}));
  const int32_t cor = w->Histograma->Histogramas()[1].Cor;
  const std::optional<QPoint> p = PontoDaCor(*w, cor);
  ASSERT_TRUE(p);
  QString nome;
  Linha([&](TFormLinhaDialog& d) { nome = d.EditNome->text(); });
  Press(w->Histograma, *p);
  EXPECT_EQ(nome, "fase2");
  // The background belongs to no phase.
  const std::optional<QPoint> fundo = PontoDaCor(*w, 0x9898FE);
  ASSERT_TRUE(fundo);
  Press(w->Histograma, *fundo);
  EXPECT_EQ(dialogs->formsRun.size(), 1u);
}

TEST_F(HistoVisTest, OkConfirmsAndPadraoBringsEveryPhaseBack) {
  const std::string pat = Fases(3);
  {
    auto w = Abrir(pat, Flags({false, true, false}));
    dialogs->forms.push_back([](QDialog& f) { dynamic_cast<TFormHistoVis&>(f).BtOK->click(); });
    Dialogs().RunModal(*w);
    EXPECT_TRUE(w->Aceito);
  }
  auto w = Abrir(pat, Flags({false, true, false}));
  w->BtPadrao->click();
  Settle();
  EXPECT_FALSE(w->Aceito);
  EXPECT_EQ(Rotulos(*w), (QStringList{"fase1", "fase2", "fase3"}));
  EXPECT_EQ(w->FasesVisiveis, Flags({}));
  EXPECT_EQ(w->Histograma->Histogramas()[2].Cor, w->CoresDasFases[2]);
  // "Padrão" then the close box: nothing confirmed.
  Dialogs().RunModal(*w);
  EXPECT_FALSE(w->Aceito);
  // OK after "Padrão", then "Cancelar": not confirmed.
  dialogs->forms.push_back([](QDialog& f) { dynamic_cast<TFormHistoVis&>(f).BtCancelar->click(); });
  Dialogs().RunModal(*w);
  EXPECT_FALSE(w->Aceito);
}

TEST_F(HistoVisTest, MorePhasesThanFlagsShowTheOnesBeyondAlways) {
  auto w = Abrir(Fases(18), TFasesVisiveis{});
  EXPECT_EQ(w->CoresDasFases.size(), 18u);
  EXPECT_EQ(w->FasesDasCurvas(), (std::vector<int>{16, 17}));
  ListaDeFases({});
  Press(w->Histograma, QPoint(50, 50), Qt::RightButton);
  EXPECT_EQ(w->FasesVisiveis, TFasesVisiveis{});
}

TEST_F(HistoVisTest, UnreadablePatternFilesRaiseTheirErrors) {
  EXPECT_THROW(TFormHistoVis::CreateComPadrao(folder.File("padroes/nada.pat").toStdString(),
                                              Flags({}), nullptr),
               EInOutError);
}

}  // namespace
}  // namespace vandrel::testing
