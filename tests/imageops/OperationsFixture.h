#pragma once
// Fixture of the window tests: a program folder whose palette files have palettes of their
// own, the real main window in composition mode with its timer stopped, scripted dialogs,
// and helpers that open image windows and read what the commands produced.
#include <gtest/gtest.h>

#include <QFile>
#include <QMdiSubWindow>
#include <QTimer>
#include <memory>
#include <ostream>
#include <vector>

#include "app/imaging/ui/UnitImagem.h"
#include "app/shell/ui/UnitPrincipal.h"
#include "platform/Bmp.h"
#include "platform/qt/Dialogs.h"
#include "tests/imageops/ImageOpsTestUtil.h"
#include "tests/support/GuiTest.h"

// Readable texts in the failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace vandrel::testing {

inline const QByteArray kConfigOperacoes =
    "[caminhos]\ncaminhos_padrao=vandrel\n[Configuracao_selecao]\nlargura=1\ncor=0\nmarcar=NAO\n";

class Operacoes : public ::testing::Test {
 protected:
  void SetUp() override {
    EscreverPaleta("paleta.plt", PaletaCinzaDeTeste());
    EscreverPaleta("system/plt8.bmp", PaletaCanaisDeTeste());
    TFormImagem::ContadorDeImagens = 0;
    principal = std::make_unique<TFormPrincipal>(TFormPrincipal::Options{folder.Path(), ""});
    principal->show();
    principal->Timer1->stop();
    principal->CompoComImagem->trigger();  // as the timer does while images are open
    Settle();
  }
  void TearDown() override {
    principal.reset();
    Settle();
  }

  void EscreverPaleta(const QString& name, const Palette& palette) const {
    Bitmap b(2, 2, PixelFormat::pf8bit);
    b.setPalette(palette);
    SaveBmp(b, folder.File(name).toStdString());
  }
  void Apagar(const QString& name) const { ASSERT_TRUE(QFile::remove(folder.File(name))); }

  // A new image window holding `image`, named `nome`, made the active child.
  TFormImagem* Abrir(const Bitmap& image, const QString& nome) {
    auto* w = new TFormImagem(principal.get());
    w->DefinirBitmap(image);
    w->DefinirNome(nome);
    Ativar(w);
    return w;
  }
  // An output window of `origem` holding `image`, captioned `legenda`, made active.
  TFormImagemSaida* AbrirSaida(TFormImagem* origem, const Bitmap& image, const QString& legenda) {
    TFormImagemSaida* s = TFormImagemSaida::CreateComOrigem(origem, origem);
    s->DefinirBitmap(image);
    s->SetCaption(legenda);
    Ativar(s);
    return s;
  }
  void Ativar(TForm* form) {
    form->Show();
    Settle();
    ASSERT_EQ(principal->FilhaAtiva(), form);
  }

  std::vector<TFormImagem*> Imagens() const {
    std::vector<TFormImagem*> out;
    for (TForm* f : principal->Filhas())
      if (auto* i = dynamic_cast<TFormImagem*>(f)) out.push_back(i);
    return out;
  }
  // The image windows created after the first `antes` ones.
  std::vector<TFormImagem*> Novas(size_t antes) const {
    std::vector<TFormImagem*> all = Imagens();
    return {all.begin() + std::ptrdiff_t(std::min(antes, all.size())), all.end()};
  }

  // Selects from (x0, y0) to (x1, y1) with the mouse, at natural size.
  static void Selecionar(TFormImagem& w, int x0, int y0, int x1, int y1) {
    w.ImagezoomMouseDown(Qt::LeftButton, Qt::NoModifier, x0, y0);
    w.ImagezoomMouseMove(Qt::NoModifier, x1, y1);
    w.ImagezoomMouseUp(Qt::LeftButton, Qt::NoModifier, x1, y1);
  }

  ProgramFolder folder{kConfigOperacoes};
  ScriptedDialogsScope dialogs;
  std::unique_ptr<TFormPrincipal> principal;
};

// A child window that is not an image window.
class JanelaQualquer : public TForm {
 public:
  QString ClassName() const override { return "TFormHistograma"; }
};

}  // namespace vandrel::testing
