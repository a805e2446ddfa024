// What the main window's own dialogs show: the about box and the two settings windows,
// whole, and the main window in each mode.
#include <gtest/gtest.h>

#include <QTimer>

#include "app/analysis/ui/UnitListadeImagens.h"

#include "app/imaging/ui/UnitConfiguracoes_selecao.h"
#include "app/shell/ui/UnitConfiguracoes.h"
#include "app/shell/ui/UnitPrincipal.h"
#include "app/shell/ui/sobre.h"
#include "tests/support/GuiTest.h"
#include "tests/support/LayoutCheck.h"

using vandrel::testing::LayoutIsWhole;
using vandrel::testing::ProgramFolder;
using vandrel::testing::Settle;

TEST(ShellLayout, DialogsAreWhole) {
  ProgramFolder folder("[caixa_sobre]\nmostrar_inicio=FALSE\n");
  TSobreDialog sobre;
  sobre.show();
  Settle();
  EXPECT_TRUE(LayoutIsWhole(&sobre));
  auto* opcoes = new TFormConfiguracoes;
  opcoes->show();
  Settle();
  EXPECT_TRUE(LayoutIsWhole(opcoes));
  delete opcoes;
  auto* selecao = new TFormConfiguracoes_selecao;
  selecao->show();
  Settle();
  EXPECT_TRUE(LayoutIsWhole(selecao));
  delete selecao;
}

TEST(ShellLayout, MainWindowIsWholeInEachMode) {
  ProgramFolder folder("[caixa_sobre]\nmostrar_inicio=FALSE\n");
  TFormPrincipal principal(TFormPrincipal::Options{folder.Path(), ""});
  principal.show();
  principal.Timer1->stop();
  Settle();
  EXPECT_TRUE(LayoutIsWhole(&principal));
  principal.Analise->trigger();
  Settle();
  EXPECT_TRUE(LayoutIsWhole(&principal));
  ASSERT_TRUE(principal.JanelaLista);
  EXPECT_TRUE(LayoutIsWhole(principal.JanelaLista.data()));
}
