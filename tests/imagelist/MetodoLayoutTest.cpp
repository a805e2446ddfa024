// What the method dialog shows: whole in each mode, its thresholds legible while the grid is
// disabled, and the Manual picker with its area table docked at its right.
#include <QButtonGroup>
#include <QImage>
#include <QTableWidget>

#include "app/analysis/ui/MetodoDialog.h"
#include "app/analysis/ui/UHistoVis.h"
#include "app/thresholds/ui/ULimPreview.h"
#include "app/thresholds/ui/ULimiares.h"
#include "tests/imagelist/ImageListTestUtil.h"
#include "tests/support/LayoutCheck.h"

namespace vandrel::testing {
namespace {

class MetodoLayoutTest : public ImageListTest {
 protected:
  std::string Tres() {
    return Padrao("tres", {Fase({{40, 1}}), Fase({{90, 0.5}, {110, 0.5}}), Fase({{201, 1}})});
  }
};

// The number of pixels of a cell's area that stand out from the cell's own background.
int PixelsLegiveis(QTableWidget* grade, int coluna) {
  const QImage imagem = grade->viewport()->grab().toImage();
  const QRect celula = grade->visualRect(grade->model()->index(0, coluna)).adjusted(1, 1, -1, -1);
  const QColor fundo = imagem.pixelColor(celula.topLeft());
  int n = 0;
  for (int y = celula.top(); y <= celula.bottom(); ++y)
    for (int x = celula.left(); x <= celula.right(); ++x) {
      const QColor c = imagem.pixelColor(x, y);
      if (std::abs(qGray(c.rgb()) - qGray(fundo.rgb())) >= 64) ++n;
    }
  return n;
}

TEST_F(MetodoLayoutTest, EachModeIsWholeAndTheThresholdsCanBeRead) {
  auto d = TFrmMetodoDialog::CreateComPadrao(Tres(), nullptr);
  d->show();
  for (int item : {0, 1, 2}) {
    SCOPED_TRACE("method item " + std::to_string(item));
    d->rgAnalisysItens->button(item)->click();
    Settle();
    EXPECT_TRUE(LayoutIsWhole(d.get()));
    // "0", "70", "150", "255" are drawn whether or not the grid is enabled.
    ASSERT_EQ(d->sgValues->item(0, 1)->text(), "70");
    for (int c = 0; c < 4; ++c) EXPECT_GT(PixelsLegiveis(d->sgValues, c), 3) << "cell " << c;
  }
}

TEST_F(MetodoLayoutTest, TheManualPickerIsWholeWithItsTableDockedAtItsRight) {
  auto d = TFrmMetodoDialog::CreateComPadrao(Tres(), nullptr);
  d->move(300, 200);
  d->show();
  d->rgAnalisysItens->button(2)->click();
  Escolher({Imagem("amostra.bmp", Cinza(40, 90))});
  bool visto = false;
  dialogs->forms.push_back([&](QDialog& form) {
    auto* w = form.findChild<TFormLimiares*>();
    ASSERT_TRUE(w);
    visto = true;
    Settle();
    EXPECT_TRUE(LayoutIsWhole(&form));
    EXPECT_TRUE(LayoutIsWhole(w->TabelaAreas));
    // left = the window's left + its width, top = the window's top.
    const QRect janela = form.frameGeometry();
    EXPECT_EQ(w->TabelaAreas->frameGeometry().topLeft(),
              QPoint(janela.left() + janela.width(), janela.top()));
    // And it stays docked when the window moves.
    form.move(form.pos() + QPoint(30, 20));
    Settle();
    const QRect movida = form.frameGeometry();
    EXPECT_EQ(w->TabelaAreas->frameGeometry().topLeft(),
              QPoint(movida.left() + movida.width(), movida.top()));
  });
  d->sbManual->click();
  EXPECT_TRUE(visto);
}

TEST_F(MetodoLayoutTest, ThePatternPhaseWindowAndItsLegendAreWhole) {
  // Nine-letter names, the longest a legend entry shows, for up to sixteen phases.
  std::vector<GreyHistogram> fases;
  std::vector<std::string> nomes;
  for (int k = 0; k < 9; ++k) {
    fases.push_back(Fase({{12 * (k + 1), 1.0}}));
    nomes.push_back(folder.File("fases/cementita" + QString::number(k) + ".his").toStdString());
  }
  const std::string pat = Padrao("longos", fases, nomes);
  TFasesVisiveis todas{};
  for (int k = 0; k < 9; ++k) todas[size_t(k)] = true;
  auto w = TFormHistoVis::CreateComPadrao(pat, todas, nullptr);
  w->show();
  Settle();
  EXPECT_TRUE(LayoutIsWhole(w.get()));
}

}  // namespace
}  // namespace vandrel::testing
