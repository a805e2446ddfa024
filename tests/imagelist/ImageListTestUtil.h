#pragma once
// Fixture of the image-list tests: the real main window in a throw-away program folder with
// its default folders switched on, scripted dialogs, pattern sets and images in the
// program's folders, and mouse and key events for the controls.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QString>
#include <QTimer>
#include <memory>
#include <ostream>

#include "app/analysis/ui/UnitListadeImagens.h"
#include "tests/imagelist/PatternFixture.h"
#include "tests/support/MainWindowFixture.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace vandrel::testing {

inline const QByteArray kConfig =
    "[caixa_sobre]\nmostrar_inicio=FALSE\n[caminhos]\ncaminhos_padrao=vandrel\n"
    "[Configuracao_selecao]\nlargura=1\ncor=0\nmarcar=NAO\n";

// Mouse presses, releases, clicks and double clicks on `w` at `p` (widget coordinates).
inline void Press(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton,
                  Qt::KeyboardModifiers m = Qt::NoModifier) {
  QMouseEvent e(QEvent::MouseButtonPress, QPointF(p), w->mapToGlobal(QPointF(p)), b, b, m);
  QCoreApplication::sendEvent(w, &e);
}
inline void Release(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton,
                    Qt::KeyboardModifiers m = Qt::NoModifier) {
  QMouseEvent e(QEvent::MouseButtonRelease, QPointF(p), w->mapToGlobal(QPointF(p)), b, Qt::NoButton,
                m);
  QCoreApplication::sendEvent(w, &e);
}
inline void Click(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton,
                  Qt::KeyboardModifiers m = Qt::NoModifier) {
  Press(w, p, b, m);
  Release(w, p, b, m);
}
// As the window system delivers it: press, release, double click, release.
inline void DoubleClick(QWidget* w, QPoint p, Qt::KeyboardModifiers m = Qt::NoModifier) {
  Click(w, p, Qt::LeftButton, m);
  QMouseEvent e(QEvent::MouseButtonDblClick, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::LeftButton,
                Qt::LeftButton, m);
  QCoreApplication::sendEvent(w, &e);
  Release(w, p, Qt::LeftButton, m);
}
inline void Key(QWidget* w, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &release);
}

// An 8-bit image of `width` x 1 pixels at grey level `g`.
inline Bitmap Cinza(int width, int g) {
  Bitmap b(width, 1, PixelFormat::pf8bit);
  b.setPalette(GreyRamp());
  for (int x = 0; x < width; ++x) b.scanLine(0)[x] = uint8_t(g);
  return b;
}

// The main window is started by each test (Start), with the argument the test needs.
class ImageListTest : public MainWindowTest {
 protected:
  ImageListTest() : MainWindowTest(kConfig) {}

  // The main window in analysis mode and its list window.
  TFormListaImagens* Lista() {
    Start();
    principal->Analise->trigger();
    Settle();
    return principal->JanelaLista;
  }
  std::vector<TFormListaImagens*> Listas() const { return FilhasDoTipo<TFormListaImagens>(); }

  // A pattern set in the program's "padroes" folder; returns the ".pat".
  std::string Padrao(const QString& name, const std::vector<GreyHistogram>& fases,
                     std::vector<std::string> names = {}) const {
    return EscreverPadrao(folder.File("padroes/" + name).toStdString(), fases, std::move(names));
  }
};

}  // namespace vandrel::testing
