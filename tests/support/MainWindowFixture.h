#pragma once
// The real main window in a throw-away program folder, with scripted dialogs that also
// record the colour each colour dialog opened with: the fixture of the tests that drive
// windows through the main window's commands.
#include <gtest/gtest.h>

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <vector>

#include "app/imaging/ui/UnitImagem.h"
#include "app/shell/ui/UnitPrincipal.h"
#include "platform/Bmp.h"
#include "platform/qt/Dialogs.h"
#include "tests/support/GuiTest.h"
#include "tests/support/RecordingDialogs.h"

namespace vandrel::testing {

class MainWindowTest : public ::testing::Test {
 protected:
  // `config` is the program folder's "system/config.ini".
  explicit MainWindowTest(const QByteArray& config) : folder(config) {}

  // While a test runs the current folder is the program folder: what the program leaves in
  // the current folder ("linha.tmp") stays in the test's folder.
  void SetUp() override {
    previousDir_ = QDir::currentPath();
    QDir::setCurrent(folder.Path());
  }
  void TearDown() override {
    principal.reset();
    Settle();
    QDir::setCurrent(previousDir_);
  }

  // The main window, started with `argument` and shown, image numbering from the start.
  TFormPrincipal& Start(const QString& argument = {}) {
    TFormImagem::ContadorDeImagens = 0;
    principal = std::make_unique<TFormPrincipal>(TFormPrincipal::Options{folder.Path(), argument});
    principal->show();
    // The one-second timer would switch the image commands on at a moment of its own.
    principal->Timer1->stop();
    Settle();
    return *principal;
  }

  // The main window's children of one kind, in creation order.
  template <class T>
  std::vector<T*> FilhasDoTipo() const {
    std::vector<T*> out;
    for (TForm* f : principal->Filhas())
      if (auto* w = dynamic_cast<T*>(f)) out.push_back(w);
    return out;
  }

  // An image in the program's "imagens" folder.
  QString Imagem(const QString& name, const Bitmap& b) const {
    const QString path = folder.File("imagens/" + name);
    SaveBmp(b, path.toStdString());
    return path;
  }
  // Writes an image into "imagens" and opens it through the open dialog; returns its window.
  TFormImagem* Abrir(const QString& name, const Bitmap& bitmap) {
    dialogs->files.push_back(FileDialogResult{{Imagem(name, bitmap)}, 5});
    principal->Abrir_Imagem->trigger();
    Settle();
    for (TFormImagem* w : FilhasDoTipo<TFormImagem>())
      if (w->Nome == name) return w;
    ADD_FAILURE() << "not opened: " << name.toStdString();
    return nullptr;
  }

  // The answer of the next file dialog, and a cancelled one.
  void Escolher(const QStringList& files, int filterIndex = 1) {
    dialogs->files.push_back(FileDialogResult{files, filterIndex});
  }
  void Cancelar() { dialogs->files.push_back(FileDialogResult{}); }

  ProgramFolder folder;
  RecordingDialogsScope dialogs;
  std::unique_ptr<TFormPrincipal> principal;

 private:
  QString previousDir_;
};

}  // namespace vandrel::testing
