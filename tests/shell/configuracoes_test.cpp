// The two settings dialogs.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "app/imaging/ui/UnitConfiguracoes_selecao.h"
#include "app/settings/model/URecursos.h"
#include "app/shell/ui/UnitConfiguracoes.h"
#include "platform/qt/StandardColors.h"
#include "tests/support/GuiTest.h"

using namespace vandrel;
using vandrel::testing::ProgramFolder;
using vandrel::testing::Settle;

TEST(OptionsDialog, ShowsTheStoredChoiceAndWritesOnOk) {
  ProgramFolder folder;
  auto* dlg = new TFormConfiguracoes;
  dlg->show();
  EXPECT_EQ(dlg->windowTitle(), "Configurações");
  EXPECT_TRUE(dlg->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(dlg->RadioButtonNao->isChecked());  // absent value
  dlg->RadioButtonSim->click();
  EXPECT_TRUE(dlg->SpeedButton1->isEnabled());
  QPointer<TFormConfiguracoes> alive = dlg;
  dlg->SpeedButton1->click();
  Settle();
  EXPECT_TRUE(alive.isNull());  // frees itself
  EXPECT_EQ(LerConfig("caminhos", "caminhos_padrao"), "vandrel");

  dlg = new TFormConfiguracoes;
  dlg->show();
  EXPECT_TRUE(dlg->RadioButtonSim->isChecked());
  dlg->RadioButtonNao->click();
  dlg->SpeedButton1->click();
  EXPECT_EQ(LerConfig("caminhos", "caminhos_padrao"), "windows");
  Settle();
}

TEST(OptionsDialog, CancelWritesNothing) {
  ProgramFolder folder("[caminhos]\ncaminhos_padrao=vandrel\n");
  auto* dlg = new TFormConfiguracoes;
  dlg->show();
  dlg->RadioButtonNao->click();
  dlg->SpeedButton2->click();
  Settle();
  EXPECT_EQ(LerConfig("caminhos", "caminhos_padrao"), "vandrel");
}

TEST(SelectionOptions, ReadsAndWritesTheThreeKeys) {
  ProgramFolder folder("[Configuracao_selecao]\nlargura=5\ncor=9\nmarcar=SIM\n");
  auto* dlg = new TFormConfiguracoes_selecao;
  dlg->show();
  EXPECT_EQ(dlg->SpinEdit1->value(), 5);
  EXPECT_EQ(dlg->SpinEdit1->maximum(), 25);
  EXPECT_EQ(dlg->ColorBox1->count(), int(StandardColors().size()));
  EXPECT_EQ(dlg->ColorBox1->currentIndex(), 9);
  EXPECT_TRUE(dlg->rbtnsim->isChecked());
  EXPECT_FALSE(dlg->rbtnnao->isChecked());
  EXPECT_EQ(dlg->rbtnnao->text(), "NÃO");
  dlg->SpinEdit1->setValue(12);
  dlg->ColorBox1->setCurrentIndex(3);
  dlg->rbtnnao->click();
  EXPECT_FALSE(dlg->rbtnsim->isChecked());
  dlg->SpeedButton1->click();
  Settle();
  EXPECT_EQ(LerConfig("Configuracao_selecao", "largura"), "12");
  EXPECT_EQ(LerConfig("Configuracao_selecao", "cor"), "3");
  EXPECT_EQ(LerConfig("Configuracao_selecao", "marcar"), "NAO");  // no tilde in the file
}

TEST(SelectionOptions, BadValuesGiveSoundDefaultsAndUnknownMarkingStaysOff) {
  ProgramFolder folder("[Configuracao_selecao]\nlargura=grosso\ncor=99\nmarcar=sim\n");
  auto* dlg = new TFormConfiguracoes_selecao;
  dlg->show();
  EXPECT_EQ(dlg->SpinEdit1->value(), 1);
  EXPECT_EQ(dlg->ColorBox1->currentIndex(), 0);
  EXPECT_FALSE(dlg->rbtnsim->isChecked());
  EXPECT_FALSE(dlg->rbtnnao->isChecked());
  dlg->SpeedButton1->click();
  Settle();
  EXPECT_NE(LerConfig("Configuracao_selecao", "marcar"), "SIM");
  EXPECT_EQ(LerConfig("Configuracao_selecao", "largura"), "1");
}

TEST(SelectionOptions, CancelWritesNothing) {
  ProgramFolder folder("[Configuracao_selecao]\nlargura=2\n");
  auto* dlg = new TFormConfiguracoes_selecao;
  dlg->show();
  dlg->SpinEdit1->setValue(20);
  dlg->SpeedButton2->click();
  Settle();
  EXPECT_EQ(LerConfig("Configuracao_selecao", "largura"), "2");
}

TEST(StandardColours, OneListInItsOrder) {
  const auto& c = StandardColors();
  ASSERT_EQ(c.size(), 16u);
  EXPECT_EQ(c[0].color, QColor(0, 0, 0));
  EXPECT_EQ(c[1].color, QColor(128, 0, 0));
  EXPECT_EQ(c[9].color, QColor(255, 0, 0));
  EXPECT_EQ(c[15].color, QColor(255, 255, 255));
  EXPECT_EQ(StandardColor(-1), c[0].color);
  EXPECT_EQ(StandardColor(16), c[0].color);
}
