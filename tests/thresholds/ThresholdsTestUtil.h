#pragma once
// Fixture of the thresholds window tests: the real main window in a throw-away program
// folder, scripted dialogs, 8-bit test images opened through the open command, and
// helpers to reach the window's levels and table cells.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <memory>
#include <ostream>

#include "app/thresholds/ui/ULimPreview.h"
#include "app/thresholds/ui/ULimiares.h"
#include "app/thresholds/ui/Univel.h"
#include "tests/support/MainWindowFixture.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace vandrel::testing {

inline const QByteArray kConfig =
    "[caixa_sobre]\nmostrar_inicio=FALSE\n"
    "[Configuracao_selecao]\nlargura=1\ncor=0\nmarcar=NAO\n";

// 16 x 16, 8 bits: pixel (x, y) has grey level 16y + x, so every level occurs once.
inline Bitmap TodosOsNiveis() {
  Bitmap b(16, 16, PixelFormat::pf8bit);
  b.setPalette(GreyRamp());
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) b.scanLine(y)[x] = uint8_t(16 * y + x);
  return b;
}

// An 8-bit image of the given levels in one row.
inline Bitmap UmaLinha(std::initializer_list<int> levels) {
  Bitmap b(int(levels.size()), 1, PixelFormat::pf8bit);
  b.setPalette(GreyRamp());
  int x = 0;
  for (int g : levels) b.scanLine(0)[x++] = uint8_t(g);
  return b;
}

class ThresholdsTest : public MainWindowTest {
 protected:
  ThresholdsTest() : MainWindowTest(kConfig) {}
  void SetUp() override {
    MainWindowTest::SetUp();
    Start();  // composition mode
  }

  // The thresholds window among the children (the last one opened).
  TFormLimiares* Janela() const {
    const std::vector<TFormLimiares*> all = FilhasDoTipo<TFormLimiares>();
    return all.empty() ? nullptr : all.back();
  }
  int QuantasJanelas() const { return int(FilhasDoTipo<TFormLimiares>().size()); }
  // The "Limiares" command on the active window. The window's own timer is stopped before
  // any event is delivered, so that a slow machine gives it no tick: the tests give its
  // ticks by hand.
  TFormLimiares* AbrirLimiares() {
    principal->Limiares->trigger();
    TFormLimiares* w = Janela();
    if (w) w->Timer1->stop();
    Settle();
    return w;
  }
  // Opens `bitmap` and the thresholds window on it.
  TFormLimiares* LimiaresSobre(const Bitmap& bitmap, const QString& name = "img.bmp") {
    imagem = Abrir(name, bitmap);
    if (!imagem) return nullptr;
    return AbrirLimiares();
  }

  static QSlider* Barra(TFormLimiares* w, int k) { return w->Niveis[size_t(k)]->Barra; }
  static QString Celula(TFormLimiares* w, int column, int row) {
    return w->TabelaAreas->Cell(column, row);
  }
  // Columns 1..3 of one row of the area table.
  static QStringList LinhaDaTabela(TFormLimiares* w, int row) {
    return {Celula(w, 1, row), Celula(w, 2, row), Celula(w, 3, row)};
  }
  void Escolher(const QString& path) { MainWindowTest::Escolher({path}, 1); }
  QByteArray Ler(const QString& path) const {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  void Gravar(const QString& path, const QByteArray& bytes) const {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
  }

  TFormImagem* imagem = nullptr;
};

}  // namespace vandrel::testing
