// The line options dialog and the phase list dialog run modally through the dialog
// service, driven through their own buttons, edit and check boxes.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <memory>

#include "app/histograms/ui/ULinhaDialog.h"
#include "app/histograms/ui/UListaDeFases.h"
#include "tests/histwin/HistwinSupport.h"
#include "tests/support/GuiTest.h"
#include "tests/support/LayoutCheck.h"

namespace vandrel::testing {
namespace {

class LineDialogTest : public ::testing::Test {
 protected:
  std::unique_ptr<TFormLinhaDialog> Criar(const QString& nome, int32_t cor, int espessura) {
    return std::unique_ptr<TFormLinhaDialog>(
        TFormLinhaDialog::CreateLinha(nome, cor, espessura, &owner));
  }
  QWidget owner;
  RecordingDialogsScope dialogs;
};

TEST_F(LineDialogTest, ShowsTheCurveItWasCreatedFor) {
  auto d = Criar("ferrita", 0x0000FF, 3);
  EXPECT_EQ(d->windowTitle(), "Opções de Linha");
  EXPECT_EQ(d->parent(), &owner);
  EXPECT_EQ(d->size(), QSize(179, 92));
  EXPECT_EQ(d->Resultado, "Cancelar");
  EXPECT_EQ(d->ShapeCor->Cor(), 0x0000FF);
  EXPECT_EQ(d->EditNome->text(), "ferrita");
  EXPECT_EQ(d->EditEspessura->text(), "3");
  EXPECT_EQ(d->UDEspessura->Position(), 3);
  EXPECT_EQ(d->Espessura(), 3);
  EXPECT_EQ(d->Excluir->text(), "Excluir Sequência");
  EXPECT_FALSE(d->Excluir->isChecked());
  EXPECT_EQ(d->SpeedButton1->text(), "OK");
  EXPECT_EQ(d->SpeedButton2->text(), "Cancelar");
}

TEST_F(LineDialogTest, WidthStaysBetweenOneAndTen) {
  auto d = Criar("a", 0, 3);
  for (int i = 0; i < 12; ++i) d->UDEspessura->BotaoAcima->click();
  EXPECT_EQ(d->EditEspessura->text(), "10");
  for (int i = 0; i < 15; ++i) d->UDEspessura->BotaoAbaixo->click();
  EXPECT_EQ(d->EditEspessura->text(), "1");
  EXPECT_EQ(d->Espessura(), 1);

  // Widths given at creation outside the range are brought into it.
  EXPECT_EQ(Criar("a", 0, 0)->EditEspessura->text(), "1");
  EXPECT_EQ(Criar("a", 0, 40)->EditEspessura->text(), "10");

  // Typing: only numbers of the range are taken; the arrows go on from what was typed.
  auto typed = [&](const QString& keys) {
    d->EditEspessura->clear();
    for (QChar c : keys) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QCoreApplication::sendEvent(d->EditEspessura, &press);
    }
    return d->EditEspessura->text();
  };
  EXPECT_EQ(typed("7"), "7");
  EXPECT_EQ(typed("x-"), "");
  EXPECT_EQ(typed("123"), "12");
  EXPECT_EQ(d->Espessura(), 10);  // half-typed values read as the nearest width of the range
  d->EditEspessura->setText("7");
  d->UDEspessura->BotaoAcima->click();
  EXPECT_EQ(d->EditEspessura->text(), "8");
  typed("0");
  EXPECT_EQ(d->Espessura(), 1);
  d->EditEspessura->setText("");
  EXPECT_EQ(d->Espessura(), 8);  // an empty edit reads as the up-down's position
}

TEST_F(LineDialogTest, ButtonsSayHowTheDialogWasClosed) {
  struct Case {
    const char* how;
    QString resultado;
    int code;
  } cases[] = {{"ok", "OK", QDialog::Accepted},
               {"cancel", "Cancelar", QDialog::Rejected},
               {"close", "Cancelar", QDialog::Rejected},
               {"none", "Cancelar", QDialog::Rejected}};
  for (const Case& c : cases) {
    auto d = Criar("a", 0, 1);
    const std::string how = c.how;
    dialogs->forms.push_back([how](QDialog& form) {
      auto& l = static_cast<TFormLinhaDialog&>(form);
      if (how == "ok") l.SpeedButton1->click();
      if (how == "cancel") l.SpeedButton2->click();
      if (how == "close") l.close();  // the system menu's close
    });
    EXPECT_EQ(Dialogs().RunModal(*d), c.code) << c.how;
    EXPECT_EQ(d->Resultado, c.resultado) << c.how;
    EXPECT_FALSE(d->isVisible()) << c.how;
  }
}

TEST_F(LineDialogTest, ExcluirHidesNameAndColourAndGreysTheWidth) {
  auto d = Criar("a", 0, 2);
  d->show();
  d->Excluir->click();
  EXPECT_TRUE(d->Excluir->isChecked());
  EXPECT_FALSE(d->EditNome->isVisible());
  EXPECT_FALSE(d->ShapeCor->isVisible());
  EXPECT_FALSE(d->EditEspessura->isEnabled());
  EXPECT_FALSE(d->UDEspessura->isEnabled());
  d->UDEspessura->BotaoAcima->click();
  EXPECT_EQ(d->EditEspessura->text(), "2");  // a greyed-out control does not step
  d->Excluir->click();
  EXPECT_TRUE(d->EditNome->isVisible());
  EXPECT_TRUE(d->ShapeCor->isVisible());
  EXPECT_TRUE(d->EditEspessura->isEnabled());
  EXPECT_TRUE(d->UDEspessura->isEnabled());
  d->hide();
}

TEST_F(LineDialogTest, ColourDialogOpensWithTheColourItLastReturned) {
  auto d = Criar("a", 0x00FF00, 1);
  d->show();
  dialogs->colors = {QColor(10, 20, 30), std::nullopt, QColor(200, 0, 0)};
  Click(d->ShapeCor, QPoint(5, 5));
  EXPECT_EQ(d->ShapeCor->Cor(), 10 | 20 << 8 | 30 << 16);
  Click(d->ShapeCor, QPoint(5, 5), Qt::RightButton);  // cancelled: the colour stays
  EXPECT_EQ(d->ShapeCor->Cor(), 10 | 20 << 8 | 30 << 16);
  // The context-menu request of the keyboard opens it too.
  QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5),
                        d->ShapeCor->mapToGlobal(QPoint(5, 5)));
  QCoreApplication::sendEvent(d->ShapeCor, &key);
  EXPECT_EQ(d->ShapeCor->Cor(), 200);
  ASSERT_EQ(dialogs->initialColors.size(), 3u);
  EXPECT_EQ(dialogs->initialColors[0], QColor(Qt::black));  // not the shape's colour
  EXPECT_EQ(dialogs->initialColors[1], QColor(10, 20, 30));
  EXPECT_EQ(dialogs->initialColors[2], QColor(10, 20, 30));

  // A right click's own context-menu request does not open a second dialog.
  QContextMenuEvent mouse(QContextMenuEvent::Mouse, QPoint(5, 5),
                          d->ShapeCor->mapToGlobal(QPoint(5, 5)));
  QCoreApplication::sendEvent(d->ShapeCor, &mouse);
  EXPECT_EQ(dialogs->initialColors.size(), 3u);
  d->hide();
}

class PhaseListTest : public ::testing::Test {
 protected:
  std::unique_ptr<TFormListaDeFases> Criar(int n) {
    auto d = std::make_unique<TFormListaDeFases>(&owner);
    for (int i = 0; i < n; ++i) d->Lista->AdicionarItem(QString("fase%1").arg(i));
    return d;
  }
  QWidget owner;
  ScriptedDialogsScope dialogs;
};

TEST_F(PhaseListTest, StartsWithNothingCheckedAndNoResult) {
  auto d = Criar(3);
  EXPECT_EQ(d->windowTitle(), "Excluir Fases");
  EXPECT_EQ(d->size(), QSize(139, 281));
  EXPECT_TRUE(d->Resultado.isEmpty());
  ASSERT_EQ(d->Lista->Count(), 3);
  EXPECT_EQ(d->Lista->item(2)->text(), "fase2");
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(d->Lista->Checked(i));
  EXPECT_EQ(d->BTSelectAll->text(), "Selecionar Todas");
  EXPECT_EQ(d->BtOK->text(), "OK");
  EXPECT_EQ(d->BTCancelar->text(), "Cancelar");
}

TEST_F(PhaseListTest, LongNamesStayWholeAndTellApart) {
  // Names longer than the 139-pixel list that differ only at their ends.
  const QStringList nomes{"micrograph10_tile00", "micrograph10_tile01",
                          "micrograph10_tile02 (região central da amostra)"};
  auto d = std::make_unique<TFormListaDeFases>(&owner);
  for (const QString& n : nomes) d->Lista->AdicionarItem(n);
  d->show();
  Settle();
  EXPECT_EQ(d->size(), QSize(139, 281));
  EXPECT_TRUE(LayoutIsWhole(d.get()));
  const int caixa = d->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, d->Lista);
  QScrollBar* lado = d->Lista->horizontalScrollBar();
  for (int i = 0; i < nomes.size(); ++i) {
    SCOPED_TRACE(nomes[i].toStdString());
    const QListWidgetItem* item = d->Lista->item(i);
    EXPECT_EQ(item->toolTip(), nomes[i]);
    EXPECT_EQ(d->Lista->visualItemRect(item).height(), 13);
    // The line holds the check box and the whole name, and the list scrolls to its end.
    const int precisa = caixa + QFontMetrics(d->Lista->font()).horizontalAdvance(nomes[i]);
    EXPECT_GE(d->Lista->visualItemRect(item).width(), precisa);
    EXPECT_GE(lado->maximum() + d->Lista->viewport()->width(), precisa);
  }
}

TEST_F(PhaseListTest, SelectAllChecksEveryItemAndOkReportsIt) {
  auto d = Criar(4);
  dialogs->forms.push_back([](QDialog& form) {
    auto& l = static_cast<TFormListaDeFases&>(form);
    l.BTSelectAll->click();
    l.BtOK->click();
  });
  EXPECT_EQ(Dialogs().RunModal(*d), QDialog::Accepted);
  EXPECT_EQ(d->Resultado, "OK");
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(d->Lista->Checked(i)) << i;
}

TEST_F(PhaseListTest, CancelAndCloseLeaveNoResultEvenWithItemsChecked) {
  for (bool viaCancelar : {true, false}) {
    auto d = Criar(2);
    dialogs->forms.push_back([viaCancelar](QDialog& form) {
      auto& l = static_cast<TFormListaDeFases&>(form);
      l.Lista->SetChecked(1, true);
      if (viaCancelar)
        l.BTCancelar->click();
      else
        l.close();
    });
    EXPECT_EQ(Dialogs().RunModal(*d), QDialog::Rejected);
    EXPECT_TRUE(d->Resultado.isEmpty()) << viaCancelar;
    EXPECT_TRUE(d->Lista->Checked(1));
  }
}

}  // namespace
}  // namespace vandrel::testing
