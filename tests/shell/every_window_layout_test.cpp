// Every window the main window opens, as a user reaches it through the commands: each is
// whole when it opens, the modal ones while they run, and lies where it can be reached (on
// the screen, child windows inside the frame's client area).
#include <gtest/gtest.h>

#include <QDialog>
#include <QMdiSubWindow>
#include <QTimer>

#include "app/imaging/ui/UnitImagem.h"
#include "app/shell/ui/UnitPrincipal.h"
#include "platform/Bitmap.h"
#include "platform/Bmp.h"
#include "platform/qt/Dialogs.h"
#include "tests/support/GuiTest.h"
#include "tests/support/LayoutCheck.h"

namespace vandrel::testing {
namespace {

// 64 x 48, 8 bits, a ramp of grey levels.
Bitmap Rampa() {
  Bitmap b(64, 48, PixelFormat::pf8bit);
  b.setPalette(GreyRamp());
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) b.scanLine(y)[x] = uint8_t(4 * x);
  return b;
}

class EveryWindowLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    TFormImagem::ContadorDeImagens = 0;
    principal = std::make_unique<TFormPrincipal>(TFormPrincipal::Options{folder.Path(), ""});
    principal->resize(1400, 1000);
    principal->show();
    principal->Timer1->stop();
    Settle();
  }
  void TearDown() override {
    principal.reset();
    Settle();
  }
  // Triggers `command`; a modal form it runs is checked while it is open.
  void Comando(QAction* command, const std::string& nome) {
    SCOPED_TRACE(nome);
    dialogs->forms.clear();
    dialogs->forms.push_back([](QDialog& form) {
      Settle();
      EXPECT_TRUE(LayoutIsWhole(&form)) << form.objectName().toStdString();
      EXPECT_TRUE(PlacementIsWhole(&form)) << form.objectName().toStdString();
    });
    command->trigger();
    Settle();
    dialogs->forms.clear();
    for (TForm* f : principal->Filhas()) {
      if (f->SubWindow() && f->SubWindow()->isVisible()) {
        EXPECT_TRUE(LayoutIsWhole(f)) << f->ClassName().toStdString();
        EXPECT_TRUE(PlacementIsWhole(f)) << f->ClassName().toStdString();
      }
    }
  }

  ProgramFolder folder{"[caixa_sobre]\nmostrar_inicio=FALSE\n"};
  ScriptedDialogsScope dialogs;
  std::unique_ptr<TFormPrincipal> principal;
};

TEST_F(EveryWindowLayout, CompositionWindowsAreWhole) {
  const QString path = folder.File("imagens/rampa.bmp");
  SaveBmp(Rampa(), path.toStdString());
  dialogs->files.push_back(FileDialogResult{{path}, 5});
  Comando(principal->Abrir_Imagem, "open");
  TFormImagem* imagem = dynamic_cast<TFormImagem*>(principal->FilhaAtiva());
  ASSERT_TRUE(imagem);
  for (QAction* zoom : {principal->ZoomIn, principal->ZoomIn, principal->ZoomOut,
                        principal->ZoomOut, principal->ZoomOut, principal->ZoomNormal1}) {
    imagem->Show();
    Comando(zoom, zoom->text().toStdString());
  }
  const std::pair<QAction*, const char*> comandos[] = {
      {principal->InformaesdaImagem1, "image information"},
      {principal->Brilho, "brightness"},
      {principal->Contraste, "contrast"},
      {principal->Similares, "similar pixels"},
      {principal->HistogramaDaImagem, "histogram of the image"},
      {principal->Histograma, "new histogram"},
      {principal->NovaFase, "new phase"},
      {principal->Configurar1, "settings"},
  };
  for (auto [comando, nome] : comandos) {
    imagem->Show();
    Comando(comando, nome);
  }
}

TEST_F(EveryWindowLayout, AnalysisWindowsAreWhole) {
  Comando(principal->Analise, "analysis mode");
  Comando(principal->EditarPadrao, "pattern editor");
}

}  // namespace
}  // namespace vandrel::testing
