#pragma once
// The real main window with histogram windows opened through its actions, a program folder
// with histogram, pattern, list and image files, and scripted dialogs.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTimer>
#include <QToolButton>
#include <memory>

#include "app/histograms/model/HistogramFiles.h"
#include "app/histograms/ui/UDSHistograma.h"
#include "app/histograms/ui/UHistograma.h"
#include "app/histograms/ui/ULinhaDialog.h"
#include "app/histograms/ui/UListaDeFases.h"
#include "platform/Bmp.h"
#include "tests/histwin/HistwinSupport.h"
#include "tests/support/MainWindowFixture.h"

namespace vandrel::testing {

inline const QByteArray kConfig =
    "[caixa_sobre]\nmostrar_inicio=FALSE\n[caminhos]\n"
    "[Configuracao_selecao]\nlargura=1\ncor=0\nmarcar=NAO\n";

// An 8-bit image: the first `a` pixels of every row at grey level 40, the rest at 200.
inline Bitmap DuasFases(int width, int height, int a) {
  Bitmap b(width, height, PixelFormat::pf8bit);
  b.setPalette(GreyRamp());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) b.scanLine(y)[x] = x < a ? 40 : 200;
  return b;
}

class HistwinTest : public MainWindowTest {
 protected:
  HistwinTest() : MainWindowTest(kConfig) {}
  void SetUp() override {
    MainWindowTest::SetUp();
    Start();  // composition mode
  }

  // The histogram windows among the main window's children, in creation order.
  std::vector<TFormHistograma*> Janelas() const { return FilhasDoTipo<TFormHistograma>(); }
  // A new empty histogram window, opened with "Novo Histograma" (F3).
  TFormHistograma* Novo() {
    const size_t antes = Janelas().size();
    principal->Histograma->trigger();
    Settle();
    const std::vector<TFormHistograma*> j = Janelas();
    EXPECT_EQ(j.size(), antes + 1);
    return j.empty() ? nullptr : j.back();
  }

  // Files in the program's "fases" folder.
  QString Fases(const QString& name) const { return folder.File("fases/" + name); }
  QString His(const QString& name, const GreyHistogram& h) const {
    const QString path = Fases(name);
    WriteHis(path.toStdString(), h);
    return path;
  }
  QString Padrao(const QString& name, const std::vector<GreyHistogram>& curves,
                 const std::vector<std::string>& names) const {
    const QString path = Fases(name);
    std::vector<const GreyHistogram*> columns;
    for (const GreyHistogram& c : curves) columns.push_back(&c);
    WritePattern(WithoutExtension(path.toStdString()), columns, names);
    return path;
  }

  // The answer of the next file dialog (the histogram files' filter by default).
  void Escolher(const QStringList& files, int filterIndex = 5) {
    MainWindowTest::Escolher(files, filterIndex);
  }

  // Opens files through the window's open button.
  void Abrir(TFormHistograma* w, const QStringList& files, int filterIndex = 5) {
    Escolher(files, filterIndex);
    w->BtAbrirHistograma->click();
    Settle();
  }
  void Sobrepor(TFormHistograma* w, const QStringList& files) {
    Escolher(files);
    w->BtSobrepor->click();
    Settle();
  }

  static std::vector<std::string> Nomes(const TFormHistograma* w) {
    std::vector<std::string> out;
    for (const THistoCompleto& h : w->Histograma->Histogramas()) out.push_back(h.Nome);
    return out;
  }
  // The five controls that act only on a single histogram.
  static std::vector<bool> ModoSimples(const TFormHistograma* w);

  // Paints the control and returns a point of it drawn in `cor` inside the plot area.
  static std::optional<QPoint> PontoDaCor(TFormHistograma* w, int32_t cor) {
    w->Histograma->repaint();
    const Rect32 a = w->Histograma->AreaDoGrafico();
    for (int y = a.top + 1; y < a.bottom; ++y)
      for (int x = a.left + 2; x < a.right - 1; ++x)
        if (w->Histograma->CorNoPonto(x, y) == cor) return QPoint(x, y);
    return std::nullopt;
  }
};

inline std::vector<bool> HistwinTest::ModoSimples(const TFormHistograma* w) {
  return {w->ChbTexto->isEnabled(), w->UpDEscala->isEnabled(), w->EditEscala->isEnabled(),
          w->EditEspessura->isEnabled(), w->UpDEspessura->isEnabled()};
}

inline const std::vector<bool> kLigados(5, true);
inline const std::vector<bool> kDesligados(5, false);

}  // namespace vandrel::testing
