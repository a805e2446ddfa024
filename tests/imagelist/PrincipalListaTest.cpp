// The main window's list commands: entering analysis mode, "Mostrar Lista de Imagens" and a
// list named on the command line.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolButton>

#include "app/analysis/model/ImageListFile.h"
#include "tests/imagelist/ImageListTestUtil.h"

namespace vandrel::testing {
namespace {

using PrincipalListaTest = ImageListTest;

TEST_F(PrincipalListaTest, EveryEntryIntoAnalysisModeCreatesAListWindow) {
  TFormPrincipal& p = Start();
  EXPECT_TRUE(Listas().empty());
  p.Analise->trigger();
  Settle();
  ASSERT_EQ(Listas().size(), 1u);
  EXPECT_EQ(p.JanelaLista, Listas()[0]);
  EXPECT_TRUE(p.JanelaLista->isVisible());
  EXPECT_EQ(p.JanelaLista->Owner(), &p);
  // The action is off in analysis mode; the mode button runs the handler again.
  p.BModoAnalise->click();
  Settle();
  ASSERT_EQ(Listas().size(), 2u);
  EXPECT_EQ(p.JanelaLista, Listas()[1]);
  EXPECT_EQ(p.FilhaAtiva(), Listas()[1]);
  // Composition mode releases them all.
  p.Composicao->trigger();
  Settle();
  EXPECT_TRUE(Listas().empty());
  EXPECT_FALSE(p.JanelaLista);
}

TEST_F(PrincipalListaTest, ShowListShowsTheSameWindowAndOnlyInAnalysisMode) {
  TFormPrincipal& p = Start();
  p.MostrarLista->setEnabled(true);  // off in composition mode; the handler checks the mode
  p.MostrarLista->trigger();
  Settle();
  EXPECT_TRUE(Listas().empty());

  p.Analise->trigger();
  Settle();
  TFormListaImagens* primeira = p.JanelaLista;
  primeira->SubWindow()->showMinimized();
  p.MostrarLista->trigger();
  p.MostrarLista->trigger();
  Settle();
  EXPECT_EQ(Listas(), std::vector<TFormListaImagens*>{primeira});
  EXPECT_EQ(p.JanelaLista, primeira);
  EXPECT_EQ(p.FilhaAtiva(), primeira);

  // The stored window closed while another stays open: that one is shown.
  p.BModoAnalise->click();
  Settle();
  TFormListaImagens* segunda = p.JanelaLista;
  EXPECT_TRUE(segunda->Close());
  Settle();
  EXPECT_FALSE(p.JanelaLista);
  p.MostrarLista->trigger();
  Settle();
  EXPECT_EQ(Listas(), std::vector<TFormListaImagens*>{primeira});
  EXPECT_EQ(p.JanelaLista, primeira);

  // None left: a new one.
  EXPECT_TRUE(primeira->Close());
  Settle();
  EXPECT_TRUE(Listas().empty());
  p.MostrarLista->trigger();
  Settle();
  ASSERT_EQ(Listas().size(), 1u);
  EXPECT_EQ(p.JanelaLista, Listas()[0]);
}

TEST_F(PrincipalListaTest, AListOnTheCommandLineOpensInAnalysisModeInAnyLetterCase) {
  const QString a = Imagem("a.bmp", Cinza(2, 10));
  const QString b = Imagem("b.bmp", Cinza(2, 20));
  for (const char* name : {"lote.lst", "LOTE.LST", "Lote.LsT"}) {
    const QString path = folder.File(QString("listaimagens/") + name);
    WriteImageList(path.toStdString(), {a.toStdString(), b.toStdString()});
    TFormPrincipal& p = Start(path);
    EXPECT_TRUE(p.EmModoAnalise()) << name;
    EXPECT_TRUE(p.ArgumentoAberto);
    ASSERT_EQ(Listas().size(), 1u) << name;
    TFormListaImagens* w = p.JanelaLista;
    EXPECT_EQ(w->Caption(), name);
    EXPECT_EQ(w->CaminhosImagens, (std::vector<std::string>{a.toStdString(), b.toStdString()}));
    EXPECT_EQ(w->ListaDeImagens->count(), 2);
    EXPECT_TRUE(w->BAnalisar->isEnabled());
    EXPECT_TRUE(dialogs->messages.empty());
    principal.reset();
    Settle();
  }
}

TEST_F(PrincipalListaTest, AnUnreadableListOnTheCommandLineIsReportedAndTheStartGoesOn) {
  TFormPrincipal& p = Start(folder.File("listaimagens/nao_existe.lst"));
  EXPECT_EQ(dialogs->Texts(), QStringList{"File not found"});
  EXPECT_TRUE(p.EmModoAnalise());
  EXPECT_TRUE(p.ArgumentoAberto);
  ASSERT_EQ(Listas().size(), 1u);
  EXPECT_EQ(p.JanelaLista->Caption(), "Nova Lista");
  // A later show does not try it again.
  p.hide();
  p.show();
  Settle();
  EXPECT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(Listas().size(), 1u);
}

TEST_F(PrincipalListaTest, ClosingTheListWindowFreesIt) {
  TFormPrincipal& p = Start();
  p.Analise->trigger();
  Settle();
  QPointer<TFormListaImagens> w = p.JanelaLista;
  EXPECT_TRUE(w->Close());
  Settle();
  EXPECT_FALSE(w);
  EXPECT_TRUE(p.Area()->subWindowList().isEmpty());
}

}  // namespace
}  // namespace vandrel::testing
