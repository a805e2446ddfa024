// The thresholds window's file commands through scripted dialogs: saving and opening
// threshold and palette files, the names they get, and damaged files, which change nothing.
#include <gtest/gtest.h>

#include <QToolButton>

#include "app/thresholds/model/ThresholdFiles.h"
#include "tests/thresholds/ThresholdsTestUtil.h"

namespace vandrel::testing {
namespace {

QByteArray Als(std::initializer_list<int> bytes) {
  QByteArray out;
  for (int b : bytes) out += char(uint8_t(b));
  return out;
}

// A record of n thresholds, the rest 0.
QByteArray Registro(std::initializer_list<int> thresholds) {
  QByteArray out(18, '\0');
  out[0] = char(thresholds.size());
  int i = 2;
  for (int t : thresholds) out[i++] = char(uint8_t(t));
  out[17] = char(255);
  return out;
}

TEST_F(ThresholdsTest, SavingWritesTheCountAndTheSortedThresholds) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  w->BtNovo->click();
  Barra(w, 2)->setValue(40);
  Escolher(folder.File("saves/teste"));
  w->BtSalvarLimiares->click();
  ASSERT_EQ(dialogs->fileDialogs.size(), 2u);  // the image, then this one
  const FileDialogSpec& spec = dialogs->fileDialogs.back();
  EXPECT_EQ(spec.filter, "Arquivo De Limiares do Vandrel(*.als)|*.als");
  EXPECT_EQ(spec.initialDir, folder.Path() + "saves");
  EXPECT_EQ(spec.fileName, "limiares1");
  EXPECT_EQ(Ler(folder.File("saves/teste.als")), Registro({40, 128}));
  EXPECT_TRUE(dialogs->messages.empty());

  // Only ".als" exactly is kept; an existing file is replaced without asking.
  Barra(w, 1)->setValue(10);
  Escolher(folder.File("saves/teste.ALS"));
  w->BtSalvarLimiares->click();
  EXPECT_EQ(Ler(folder.File("saves/teste.ALS.als")), Registro({10, 40}));
  Escolher(folder.File("saves/teste.als"));
  w->BtSalvarLimiares->click();
  EXPECT_EQ(Ler(folder.File("saves/teste.als")), Registro({10, 40}));
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(ThresholdsTest, ASavedFileCarriesThresholdsLeftBehindTheCount) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  w->BtNovo->click();
  Barra(w, 2)->setValue(220);
  w->BtExcluir->click();
  Escolher(folder.File("saves/um.als"));
  w->BtSalvarLimiares->click();
  EXPECT_EQ(Ler(folder.File("saves/um.als")),
            Als({1, 0, 128, 220, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255}));
}

TEST_F(ThresholdsTest, CancelledDialogsDoNothing) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  for (QToolButton* b :
       {w->BtAbrirLimiares, w->BtSalvarLimiares, w->BAbrirPaleta, w->BtSalvarPaleta})
    b->click();
  EXPECT_EQ(dialogs->fileDialogs.size(), 5u);
  EXPECT_EQ(w->NumNiveis, 1);
  EXPECT_EQ(w->Paleta, PaletaPadrao());
  EXPECT_TRUE(QDir(folder.File("saves")).isEmpty());
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(ThresholdsTest, OpeningAThresholdFileRebuildsTheLevels) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  for (int i = 0; i < 4; ++i) w->BtNovo->click();
  ASSERT_EQ(w->NumNiveis, 5);
  // Three thresholds, out of order, and stale bytes after them.
  Gravar(folder.File("saves/tres.als"),
         Als({3, 0, 150, 30, 90, 77, 66, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255}));
  Escolher(folder.File("saves/tres.als"));
  w->BtAbrirLimiares->click();
  const FileDialogSpec& spec = dialogs->fileDialogs.back();
  EXPECT_EQ(spec.filter, "Arquivo De Limiares do Vandrel(*.als)|*.als");
  EXPECT_EQ(spec.initialDir, folder.Path() + "saves");
  EXPECT_TRUE(spec.fileName.isEmpty());
  EXPECT_TRUE(dialogs->messages.empty());
  ASSERT_EQ(w->NumNiveis, 3);
  EXPECT_EQ(Barra(w, 1)->value(), 150);
  EXPECT_EQ(Barra(w, 2)->value(), 30);
  EXPECT_EQ(Barra(w, 3)->value(), 90);
  EXPECT_EQ(w->Niveis[2]->Rotulo->text(), "030");
  EXPECT_EQ(w->Limiares, (Limiares{0, 30, 90, 150, 77, 66, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255}));
  EXPECT_EQ(w->TabelaAreas->RowCount(), 5);
  EXPECT_EQ(LinhaDaTabela(w, 1), (QStringList{"0", "30", "11.71"}));
  EXPECT_EQ(LinhaDaTabela(w, 4), (QStringList{"150", "255", "41.4"}));
  // The palette is not touched.
  EXPECT_EQ(w->Paleta, PaletaPadrao());

  // One threshold: every other level goes.
  Gravar(folder.File("saves/um.als"), Registro({12}));
  Escolher(folder.File("saves/um.als"));
  w->BtAbrirLimiares->click();
  EXPECT_EQ(w->NumNiveis, 1);
  EXPECT_EQ(Barra(w, 1)->value(), 12);
}

TEST_F(ThresholdsTest, SavedThresholdsOpenAsTheyWere) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  const int posicoes[] = {5, 250, 60, 60, 199};
  for (int k = 2; k <= 5; ++k) w->BtNovo->click();
  for (int k = 1; k <= 5; ++k) Barra(w, k)->setValue(posicoes[k - 1]);
  const Limiares antes = w->Limiares;
  Escolher(folder.File("saves/cinco"));
  w->BtSalvarLimiares->click();
  while (w->NumNiveis > 1) w->BtExcluir->click();
  Barra(w, 1)->setValue(0);
  Escolher(folder.File("saves/cinco.als"));
  w->BtAbrirLimiares->click();
  EXPECT_EQ(w->NumNiveis, 5);
  EXPECT_EQ(w->Limiares, antes);
}

TEST_F(ThresholdsTest, DamagedThresholdFilesAreReportedAndChangeNothing) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  w->BtNovo->click();
  Barra(w, 2)->setValue(77);
  const Limiares antes = w->Limiares;
  struct Case {
    const char* name;
    QByteArray bytes;
    QString message;
  };
  const QString invalido = " não é um arquivo de limiares válido";
  const Case cases[] = {
      {"vazio.als", QByteArray(), "Read beyond end of file"},
      {"curto.als", Registro({1, 2, 3}).left(17), "Read beyond end of file"},
      {"zero.als", Als({0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255}), invalido},
      {"dezesseis.als", Als({16, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 255}),
       invalido},
      {"inicio.als", Als({1, 9, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255}), invalido},
      {"fim.als", Als({1, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), invalido},
  };
  for (const Case& c : cases) {
    const QString path = folder.File(QString("saves/") + c.name);
    Gravar(path, c.bytes);
    dialogs->messages.clear();
    Escolher(path);
    w->BtAbrirLimiares->click();
    ASSERT_EQ(dialogs->messages.size(), 1u) << c.name;
    EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Error);
    if (c.message == invalido)
      EXPECT_EQ(dialogs->messages[0].text, "O arquivo " + path + invalido);
    else
      EXPECT_EQ(dialogs->messages[0].text, c.message) << c.name;
    EXPECT_EQ(w->NumNiveis, 2) << c.name;
    EXPECT_EQ(Barra(w, 2)->value(), 77) << c.name;
    EXPECT_EQ(w->Limiares, antes) << c.name;
  }
  dialogs->messages.clear();
  Escolher(folder.File("saves/nenhum.als"));
  w->BtAbrirLimiares->click();
  EXPECT_EQ(dialogs->Texts(), QStringList{"File not found"});
  EXPECT_EQ(w->NumNiveis, 2);
}

TEST_F(ThresholdsTest, PaletteFilesRoundTripAndRecolourTheWindow) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  Escolher(folder.File("saves/padrao"));
  w->BtSalvarPaleta->click();
  const FileDialogSpec& spec = dialogs->fileDialogs.back();
  EXPECT_EQ(spec.filter, "Paleta de Cores do Vandrel (*.pcs)|*.pcs");
  EXPECT_EQ(spec.initialDir, folder.Path() + "saves");
  EXPECT_EQ(spec.fileName, "paleta1");
  const QByteArray padrao = Ler(folder.File("saves/padrao.pcs"));
  ASSERT_EQ(padrao.size(), 48);
  EXPECT_EQ(padrao.left(9), Als({0, 0, 0, 255, 255, 255, 0, 0, 255}));

  // A palette of its own: phase 0 blue-ish, phase 1 green-ish (bytes blue, green, red).
  QByteArray outra = padrao;
  outra[0] = char(200);
  outra[1] = char(10);
  outra[2] = char(20);
  outra[3] = char(30);
  outra[4] = char(180);
  outra[5] = char(40);
  Gravar(folder.File("saves/outra.pcs"), outra);
  Escolher(folder.File("saves/outra.pcs"));
  w->BAbrirPaleta->click();
  w->Timer1Timer();
  EXPECT_TRUE(dialogs->messages.empty());
  EXPECT_EQ(w->Paleta[0], (TriploCor{200, 10, 20}));
  EXPECT_EQ(w->Paleta[1], (TriploCor{30, 180, 40}));
  EXPECT_EQ(w->TabelaAreas->Paleta, w->Paleta);
  EXPECT_EQ(w->TabelaDeCores->Canvas().pixelColor(60, 5), QColor(20, 10, 200));
  // The preview took the new colours too.
  EXPECT_EQ(imagem->BitmapImagem.scanLine(0)[0], 200);
  EXPECT_EQ(imagem->BitmapImagem.scanLine(15)[3 * 15 + 1], 180);

  Escolher(folder.File("saves/outra"));
  w->BtSalvarPaleta->click();
  EXPECT_EQ(Ler(folder.File("saves/outra.pcs")), outra);
}

TEST_F(ThresholdsTest, ShortPaletteFilesChangeNothing) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  Gravar(folder.File("saves/curta.pcs"), QByteArray(47, char(9)));
  Escolher(folder.File("saves/curta.pcs"));
  w->BAbrirPaleta->click();
  EXPECT_EQ(dialogs->Texts(), QStringList{"Read beyond end of file"});
  EXPECT_EQ(w->Paleta, PaletaPadrao());
  EXPECT_EQ(w->TabelaAreas->Paleta, PaletaPadrao());
}

TEST_F(ThresholdsTest, AFailedSaveIsReportedAndLeavesTheOldFile) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  Escolher(folder.File("saves/nao/existe.als"));
  w->BtSalvarLimiares->click();
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Error);
  EXPECT_FALSE(QFile::exists(folder.File("saves/nao/existe.als")));
}

}  // namespace
}  // namespace vandrel::testing
