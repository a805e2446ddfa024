#pragma once
// Fixture of the image-window tests: a program folder with a configuration, a palette file
// with a palette of its own (so tests can tell it from the grey ramp), scripted dialogs,
// and helpers that write image files and drive the mouse handlers.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QString>
#include <tuple>

#include "app/imaging/ui/UnitImagem.h"
#include "platform/PictureLoader.h"
#include "platform/qt/Dialogs.h"
#include "tests/imaging/TestFiles.h"
#include "tests/support/GuiTest.h"

namespace vandrel::testing {

inline const QByteArray kConfig =
    "[caminhos]\ncaminhos_padrao=vandrel\n[Configuracao_selecao]\nlargura=1\ncor=0\nmarcar=NAO\n";

// Palette of "paleta.plt" in the tests.
inline std::tuple<int, int, int> PaletaEntry(int i) { return {i, 255 - i, i / 2}; }

class ImagingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(folder.File("paleta.plt").toStdString(), Bmp8(256, 1, PaletaEntry));
    TFormImagem::ContadorDeImagens = 0;
  }
  void TearDown() override { Settle(); }

  // Writes a file under the program folder's "imagens" and returns its full path.
  QString Write(const QString& name, const std::vector<uint8_t>& bytes) const {
    const QString path = folder.File("imagens/" + name);
    WriteBytes(path.toStdString(), bytes);
    return path;
  }
  QString WriteBmp24(const QString& name, int w, int h, uint8_t red = 9) const {
    return Write(name, Bmp24(w, h, red));
  }
  QString WriteGrey(const QString& name, size_t size = 4808 + 512 * 512) const {
    return Write(name, GreyBytes(size));
  }

  // The BMP reader belongs to the picture loader; tests that open BMP files need it.
  static bool HasBmpReader() {
    for (const PictureFormat& f : PictureFormats())
      if (QString::fromStdString(f.extension).compare("bmp", Qt::CaseInsensitive) == 0) return true;
    return false;
  }

  ProgramFolder folder{kConfig};
  ScriptedDialogsScope dialogs;
};

#define REQUIRE_BMP_READER()                      \
  do {                                            \
    if (!HasBmpReader()) {                        \
      GTEST_SKIP() << "no BMP reader registered"; \
    }                                             \
  } while (false)

// Mouse gestures through the window's handlers (points in image-control coordinates).
inline void Drag(TFormImagem& w, QPoint from, QPoint to,
                 Qt::KeyboardModifiers atRelease = Qt::NoModifier) {
  w.ImagezoomMouseDown(Qt::LeftButton, Qt::NoModifier, from.x(), from.y());
  w.ImagezoomMouseMove(Qt::NoModifier, to.x(), to.y());
  w.ImagezoomMouseUp(Qt::LeftButton, atRelease, to.x(), to.y());
}

// A 24-bit image whose pixel (x, y) is blue x, green y, red 9 (as the BMP writer makes it).
inline Bitmap Gradient24(int w, int h) {
  Bitmap b(w, h, PixelFormat::pf24bit);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = b.scanLine(y) + 3 * x;
      p[0] = uint8_t(x);
      p[1] = uint8_t(y);
      p[2] = 9;
    }
  return b;
}

}  // namespace vandrel::testing
