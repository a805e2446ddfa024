// What the histogram window and its dialogs show: at every size, with and without the
// options panel and a legend of real phase names, every control and text is whole.
#include <QComboBox>
#include <QPalette>
#include <memory>

#include "app/histograms/ui/ULinhaDialog.h"
#include "app/histograms/ui/UListaDeFases.h"
#include "tests/histwin/HistwinFixture.h"
#include "tests/support/LayoutCheck.h"

namespace vandrel::testing {
namespace {

TEST_F(HistwinTest, TheWindowIsWholeAtEverySizeWithItsOptionsAndLegend) {
  TFormHistograma* w = Novo();
  ASSERT_TRUE(w);
  // Phase names of nine letters, the longest a legend entry shows.
  QStringList files;
  const char* nomes[] = {"cementita", "austenita", "martensit", "perlitico", "ferritica"};
  for (int k = 0; k < 5; ++k) files << His(QString(nomes[k]) + ".his", Pico(10 + 40 * k));
  Abrir(w, files);
  ASSERT_EQ(w->QuadradosDaLegenda().size(), 5u);
  auto verificar = [&](const std::string& estado) {
    SCOPED_TRACE(estado + ", size " + w->LbTamanho->text().toStdString());
    Settle();
    EXPECT_TRUE(LayoutIsWhole(w));
  };
  // From the smallest size up to the largest and back, the panel closed and open.
  for (int i = 0; i < 4; ++i) w->BtMenosTamanho->click();
  for (bool aberto : {false, true}) {
    if (aberto != (w->BtMais->text() == "<<")) w->BtMais->click();
    for (int i = 0; i < 4; ++i) {
      verificar(aberto ? "options open" : "options closed");
      // The sizes 128 and 1024 hide the buttons: step from the control itself.
      if (w->PainelDosBotoes->isVisible())
        w->BtMaisTamanho->click();
      else
        w->LbTamanho->setText(w->LbTamanho->text() == "128" ? "256" : "1024"), w->AjustarTamanho();
    }
    w->LbTamanho->setText("256");
    w->AjustarTamanho();
  }
}

TEST_F(HistwinTest, TheOptionsComboBoxesShowTheirNamesAsOrdinaryText) {
  TFormHistograma* w = Novo();
  w->BtMais->click();
  for (QComboBox* c : {w->CbEstilo, w->CbCores, w->CbLinhasVerticais}) {
    SCOPED_TRACE(c->objectName().toStdString());
    EXPECT_EQ(c->currentIndex(), -1);
    EXPECT_FALSE(c->placeholderText().isEmpty());
    EXPECT_TRUE(c->isEnabled());
    // The name is drawn in the colour of an enabled box's text, not the grey of a hint.
    EXPECT_EQ(c->palette().color(QPalette::PlaceholderText),
              c->palette().color(QPalette::ButtonText));
  }
}

TEST(HistogramDialogsLayoutTest, LineDialogAndPhaseListAreWhole) {
  ScriptedDialogsScope dialogs;
  QWidget owner;
  std::unique_ptr<TFormLinhaDialog> linha(
      TFormLinhaDialog::CreateLinha("cementita", 0x0000FF, 3, &owner));
  for (bool excluir : {false, true}) {
    SCOPED_TRACE(excluir ? "Excluir checked" : "Excluir clear");
    linha->Excluir->setChecked(excluir);
    linha->show();
    Settle();
    EXPECT_TRUE(LayoutIsWhole(linha.get()));
  }
  TFormListaDeFases fases(&owner);
  for (const char* nome : {"cementita", "austenita", "perlita grossa", "ferrita"})
    fases.Lista->AdicionarItem(nome);
  fases.show();
  Settle();
  EXPECT_TRUE(LayoutIsWhole(&fases));
}

}  // namespace
}  // namespace vandrel::testing
