#pragma once
// The results and homogeneity windows driven through the real main window (analysis mode,
// with its image-list window as the owner of the results windows), with scripted dialogs
// and a throw-away program folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/analysis/ui/UResultado.h"
#include "app/analysis/ui/UnitFormResultHomogeneidade.h"
#include "app/analysis/ui/UnitListadeImagens.h"
#include "tests/results/ResultsTestUtil.h"
#include "tests/support/MainWindowFixture.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace vandrel::testing {

inline const QByteArray kConfig = "[caixa_sobre]\nmostrar_inicio=FALSE\n";

class ResultsTest : public MainWindowTest {
 protected:
  ResultsTest() : MainWindowTest(kConfig) {}
  void SetUp() override {
    MainWindowTest::SetUp();
    Start();
    principal->Analise->trigger();
    Settle();
    lista = principal->JanelaLista;
    ASSERT_NE(lista, nullptr);
  }

  std::string Path(const QString& name) const { return folder.File(name).toStdString(); }

  // The pattern "padroes/aco": phase "ferrita" all at grey level 10, "perlita" all at 200.
  std::string Padrao() const {
    return WriteTestPattern(Path("padroes/aco"), {Level(10), Level(200)},
                            {Path("fases/ferrita.his"), Path("fases/perlita.his")});
  }
  // A 16 x 16 picture in "imagens" with `dark` pixels at level 10 and the rest at 200: the
  // pattern fits it with the fractions dark / 256 and 1 - dark / 256.
  std::string Imagem(const std::string& name, int dark) const {
    const std::string path = Path("imagens/" + QString::fromStdString(name));
    SaveBmp(TwoLevels(16, 16, dark, 10, 200), path);
    return path;
  }
  // `count` pictures img1.bmp .. whose dark share grows with the image number.
  std::vector<std::string> Imagens(int count) const {
    std::vector<std::string> out;
    for (int v = 1; v <= count; ++v)
      out.push_back(Imagem("img" + std::to_string(v) + ".bmp", 8 * v));
    return out;
  }

  // A results window of the pattern, owned by the list window, after a run.
  TFormResultado* Rodar(const std::vector<std::string>& paths,
                        uint8_t metodo = TFormResultado::kSVD, RegistroLimiares limiares = {},
                        bool comVinculo = false) {
    TFormResultado* r = TFormResultado::CreateComPadrao(lista, Padrao());
    r->Analisar(paths, metodo, limiares, comVinculo);
    Settle();
    return r;
  }

  // Puts `paths` and the pattern into the list window through its own buttons and dialogs.
  void EncherLista(const std::vector<std::string>& paths) {
    QStringList files;
    for (const std::string& p : paths) files << QString::fromStdString(p);
    dialogs->files.push_back(FileDialogResult{files, 1});
    lista->AdicionarImagens->click();
    dialogs->files.push_back(FileDialogResult{{QString::fromStdString(Padrao())}, 1});
    lista->BtPadrao->click();
  }

  template <class T>
  std::vector<T*> Janelas() const {
    return FilhasDoTipo<T>();
  }

  static QString Cell(const QTableWidget* grid, int col, int row) {
    const QTableWidgetItem* item = grid->item(row, col);
    return item ? item->text() : QString();
  }
  static QStringList Row(const QTableWidget* grid, int row) {
    QStringList out;
    for (int c = 0; c < grid->columnCount(); ++c) out << Cell(grid, c, row);
    return out;
  }

  TFormListaImagens* lista = nullptr;
};

}  // namespace vandrel::testing
