// What the thresholds window shows: its frame follows the level count both ways, and every
// control and text of the window and of its area table is whole.
#include <QDialog>
#include <QImage>
#include <QTableWidget>

#include "tests/support/LayoutCheck.h"
#include "tests/thresholds/ThresholdsTestUtil.h"

namespace vandrel::testing {
namespace {

TEST_F(ThresholdsTest, TheFrameFollowsEveryLevelCountGrowingAndShrinking) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  QMdiSubWindow* sub = w->SubWindow();
  ASSERT_TRUE(sub);
  const QSize moldura = sub->size() - w->size();
  auto verificar = [&](const char* sentido) {
    SCOPED_TRACE(std::string(sentido) + " at " + std::to_string(w->NumNiveis) + " levels");
    Settle();
    EXPECT_TRUE(LayoutIsWhole(w));
    // The frame hugs the form: no hidden strip, no gap below it.
    EXPECT_EQ(sub->width() - w->width(), moldura.width());
    EXPECT_EQ(sub->height() - w->height(), moldura.height());
    EXPECT_TRUE(sub->contentsRect().contains(QRect(w->mapTo(sub, QPoint()), w->size())));
    EXPECT_TRUE(LayoutIsWhole(w->TabelaAreas));
  };
  verificar("start");
  for (int k = 2; k <= 15; ++k) {
    w->BtNovo->click();
    ASSERT_EQ(w->NumNiveis, k);
    verificar("growing");
  }
  for (int k = 14; k >= 1; --k) {
    w->BtExcluir->click();
    ASSERT_EQ(w->NumNiveis, k);
    verificar("shrinking");
  }
}

// The area table's headings are drawn by the table itself: what is on screen is looked at.
// A heading cut at its cell's right edge leaves text pixels in the cell's last column.
TEST_F(ThresholdsTest, TheAreaTablesHeadingsAreDrawnWhole) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  QTableWidget* grade = w->TabelaAreas->GridAreas;
  w->TabelaAreas->show();
  Settle();
  const QImage tela = grade->viewport()->grab().toImage();
  for (int c = 0; c < 4; ++c) {
    SCOPED_TRACE(w->TabelaAreas->Cell(c, 0).toStdString());
    const QRect celula = grade->visualRect(grade->model()->index(0, c));
    ASSERT_FALSE(celula.isEmpty());
    // The heading is white on black: some of it is drawn, none in the last column.
    int claros = 0;
    for (int y = celula.top(); y <= celula.bottom(); ++y)
      for (int x = celula.left(); x <= celula.right(); ++x)
        if (qGray(tela.pixel(x, y)) > 96) ++claros;
    EXPECT_GT(claros, 0);
    for (int x = celula.right(); x <= celula.right(); ++x)
      for (int y = celula.top(); y <= celula.bottom(); ++y)
        EXPECT_LE(qGray(tela.pixel(x, y)), 96) << "text at " << x << "," << y;
  }
}

TEST_F(ThresholdsTest, TheColourListIsWholeAtOneAndFifteenLevels) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  for (int niveis : {1, 15}) {
    SCOPED_TRACE(std::to_string(niveis) + " levels");
    while (w->NumNiveis < niveis) w->BtNovo->click();
    bool visto = false;
    dialogs->forms.push_back([&](QDialog& form) {
      visto = true;
      Settle();
      EXPECT_TRUE(LayoutIsWhole(&form));
    });
    w->BtAlterarCores->click();
    Settle();
    EXPECT_TRUE(visto);
  }
}

}  // namespace
}  // namespace vandrel::testing
