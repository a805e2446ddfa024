// The roads from the main window to the histogram window: "Novo Histograma da Imagem" on
// the active image, the command-line document, and the phase window's copy of its phase.
#include <gtest/gtest.h>

#include <QToolButton>

#include "app/histograms/ui/UHistoFixo.h"
#include "platform/Bitmap.h"
#include "platform/Bmp.h"
#include "tests/histwin/HistwinFixture.h"

namespace vandrel::testing {
namespace {

// The expected histogram of DuasFases(w, h, a).
GreyHistogram DeDuasFases(int w, int a) {
  GreyHistogram h{};
  h[40] = double(a) / w;
  h[200] = double(w - a) / w;
  return h;
}

TEST_F(HistwinTest, HistogramOfTheActiveImage) {
  auto* imagem = new TFormImagem(principal.get());
  imagem->DefinirNome("amostra.bmp");
  imagem->DefinirBitmap(DuasFases(8, 5, 2));
  imagem->Show();
  Settle();
  principal->CompoComImagem->trigger();
  ASSERT_EQ(principal->FilhaAtiva(), imagem);
  principal->HistogramaDaImagem->trigger();  // F4
  Settle();
  ASSERT_EQ(Janelas().size(), 1u);
  TFormHistograma* w = Janelas()[0];
  EXPECT_EQ(w->Caption(), "amostra.bmp");
  EXPECT_FALSE(w->Histograma->Sobreposicao());
  EXPECT_TRUE(Proximos(w->Histograma->Valores(), DeDuasFases(8, 2)));
  EXPECT_EQ(w->Histograma->ContagemAcumulada()[40], 10);
  EXPECT_TRUE(w->BtSobrepor->isEnabled());
  EXPECT_TRUE(dialogs->messages.empty());
  // The image itself is untouched.
  EXPECT_EQ(imagem->BitmapImagem.scanLine(0)[0], 40);

  // The caption is the image's name, not its caption with the zoom.
  imagem->Show();
  Settle();
  imagem->AlterarZoom(0.2);
  principal->HistogramaDaImagem->trigger();
  Settle();
  EXPECT_EQ(Janelas().back()->Caption(), "amostra.bmp");

  // A colour image and a window that is no image say what is wrong and open nothing.
  auto* cor = new TFormImagem(principal.get());
  cor->DefinirBitmap(Bitmap(4, 4, PixelFormat::pf24bit));
  cor->Show();
  Settle();
  principal->HistogramaDaImagem->trigger();
  Janelas().back()->Show();
  Settle();
  principal->HistogramaDaImagem->trigger();
  EXPECT_EQ(dialogs->Texts(), (QStringList{"Essa não é uma imagem de 8 bits",
                                           "Você deve primeiro selecionar uma imagem"}));
  EXPECT_EQ(Janelas().size(), 2u);
}

class CommandLineTest : public HistwinTest {
 protected:
  // A new main window started with `argument`, in place of the fixture's.
  void Iniciar(const QString& argument) {
    principal.reset();
    Settle();
    Start(argument);
  }
};

TEST_F(CommandLineTest, HistogramDocumentOpensInCompositionMode) {
  Iniciar(His("amostra.his", Pico(77)));
  EXPECT_FALSE(principal->EmModoAnalise());
  EXPECT_TRUE(principal->Composicao->isChecked());
  ASSERT_EQ(Janelas().size(), 1u);
  TFormHistograma* w = Janelas()[0];
  EXPECT_EQ(w->Caption(), "amostra.his");
  EXPECT_FALSE(w->Histograma->Sobreposicao());
  EXPECT_TRUE(Proximos(w->Histograma->Valores(), Pico(77)));
  EXPECT_TRUE(w->SubWindow()->isVisible());
  EXPECT_TRUE(dialogs->messages.empty());
}

// Any other document is read as a histogram file, as the histogram window's own open reads
// a file it is given: one that is not (a text, a picture as a file manager passes it) gets
// the histogram reader's message and an empty window named after it; one that is, whatever
// its name, shows its histogram.
TEST_F(CommandLineTest, OtherDocumentsAreReadAsHistogramFiles) {
  {
    Bitmap b(8, 6, PixelFormat::pf8bit);
    b.setPalette(GreyRamp());
    SaveBmp(b, Fases("foto.bmp").toStdString());
  }
  for (const char* name : {"x.txt", "sem", "A.Lis"}) WriteFile(Fases(name), "0 0.5\r\n");
  WriteFile(Fases("nota.txt"), "uma nota\r\n");
  GreyHistogram lido{};
  lido[0] = 0.5;
  struct Case {
    const char* file;
    const char* message;  // empty: none
  } cases[] = {{"x.txt", ""},
               {"sem", ""},
               {"A.Lis", ""},
               {"nota.txt", "Invalid numeric input"},
               {"foto.bmp", "Invalid numeric input"},
               {"falta.tif", "File not found"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    dialogs->messages.clear();
    Iniciar(Fases(c.file));
    EXPECT_FALSE(principal->EmModoAnalise());
    ASSERT_EQ(Janelas().size(), 1u);
    EXPECT_EQ(Janelas()[0]->Caption(), c.file);
    EXPECT_FALSE(Janelas()[0]->Histograma->Sobreposicao());
    if (*c.message) {
      EXPECT_EQ(dialogs->Texts(), QStringList{c.message});
      ASSERT_EQ(dialogs->messages.size(), 1u);
      EXPECT_EQ(dialogs->messages.back().kind, MsgKind::Error);
      EXPECT_EQ(Janelas()[0]->Histograma->Valores(), GreyHistogram{});
    } else {
      EXPECT_TRUE(dialogs->messages.empty());
      EXPECT_TRUE(Proximos(Janelas()[0]->Histograma->Valores(), lido));
    }
  }
}

TEST_F(CommandLineTest, ExtensionsAreRecognisedInAnyCase) {
  His("maiuscula.HIS", Pico(12));
  Iniciar(Fases("maiuscula.HIS"));
  ASSERT_EQ(Janelas().size(), 1u);
  EXPECT_TRUE(Proximos(Janelas()[0]->Histograma->Valores(), Pico(12)));

  Padrao("padrao.pat", {Pico(5), Pico(50), Pico(150)}, {"/f/a.his", "/f/b.his", "/f/c.his"});
  QFile::rename(Fases("padrao.pat"), Fases("padrao.PAT"));
  Iniciar(Fases("padrao.PAT"));
  ASSERT_EQ(Janelas().size(), 1u);
  TFormHistograma* w = Janelas()[0];
  EXPECT_EQ(w->Caption(), "padrao.PAT");
  ASSERT_TRUE(w->Histograma->Sobreposicao());
  EXPECT_EQ(w->Histograma->Histogramas().size(), 3u);
  EXPECT_TRUE(Proximos(w->Histograma->Histogramas()[2].Valores, Pico(150)));
  EXPECT_EQ(Nomes(w), (std::vector<std::string>{"/f/a.his", "/f/b.his", "/f/c.his"}));
}

TEST_F(CommandLineTest, BadDocumentsReportTheErrorAndLeaveTheWindow) {
  WriteFile(Fases("ruim.his"), "0 x\r\n");
  struct Case {
    QString file;
    QString message;
  } cases[] = {{Fases("ruim.his"), "Invalid numeric input"},
               {Fases("falta.his"), "File not found"},
               {Fases("falta.pat"), "File not found"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file.toStdString());
    dialogs->messages.clear();
    Iniciar(c.file);
    EXPECT_EQ(dialogs->Texts(), QStringList{c.message});
    EXPECT_EQ(dialogs->messages.back().kind, MsgKind::Error);
    ASSERT_EQ(Janelas().size(), 1u);
    EXPECT_EQ(Janelas()[0]->Caption(), QFileInfo(c.file).fileName());
    // The document counts as handled: showing the main window again does not retry it.
    EXPECT_TRUE(principal->ArgumentoAberto);
    principal->hide();
    principal->show();
    Settle();
    EXPECT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(Janelas().size(), 1u);
  }
}

TEST_F(HistwinTest, PhaseWindowOpensACopyOfItsPhase) {
  auto* imagem = new TFormImagem(principal.get());
  imagem->DefinirNome("fase.bmp");
  imagem->DefinirBitmap(DuasFases(10, 10, 4));
  imagem->Show();
  Settle();
  principal->CompoComImagem->trigger();
  principal->NovaFase->trigger();
  Settle();
  TFormHistoFixo* fase = principal->JanelaFase;
  ASSERT_TRUE(fase);
  imagem->Show();
  Settle();
  imagem->DefinirInicioSelecao({0, 0});
  imagem->DefinirFimSelecao({9, 9});
  principal->AdicionarSelecao->trigger();
  Settle();
  ASSERT_EQ(fase->TotalDePixels, 100);

  fase->BtNovoHisto->click();
  Settle();
  ASSERT_EQ(Janelas().size(), 1u);
  TFormHistograma* w = Janelas()[0];
  EXPECT_EQ(w->Owner(), principal.get());
  EXPECT_EQ(w->Caption(), "Histograma");
  EXPECT_FALSE(w->Histograma->Sobreposicao());
  EXPECT_EQ(w->Histograma->Valores(), fase->Histograma->Valores());
  EXPECT_TRUE(Proximos(w->Histograma->Valores(), DeDuasFases(10, 4)));

  // A detached copy: more selections change the phase, not the copy.
  imagem->DefinirInicioSelecao({0, 0});
  imagem->DefinirFimSelecao({1, 0});
  imagem->Show();
  Settle();
  principal->AdicionarSelecao->trigger();
  Settle();
  EXPECT_NE(w->Histograma->Valores(), fase->Histograma->Valores());
  EXPECT_TRUE(Proximos(w->Histograma->Valores(), DeDuasFases(10, 4)));

  // Closing the phase leaves the copy open.
  fase->Close();
  Settle();
  EXPECT_EQ(Janelas().size(), 1u);
}

}  // namespace
}  // namespace vandrel::testing
