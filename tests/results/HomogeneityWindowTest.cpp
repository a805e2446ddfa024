// The homogeneity window through its real controls: the mosaic, the list and the preview,
// the calculation with its report and ".MED" files, the files deleted on close (and those
// another window still uses), damaged volume files, and saving the results.
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>

#include "app/analysis/model/Homogeneity.h"
#include "app/analysis/model/VolumeFile.h"
#include "app/imaging/model/GreyImage.h"
#include "platform/Errors.h"
#include "platform/Format.h"
#include "tests/results/ResultsFixture.h"

namespace vandrel::testing {
namespace {

class HomogeneityTest : public ResultsTest {
 protected:
  // A results table of `count` images (image v with v/256 of ferrita) written to temp.vol,
  // and a homogeneity window filled with it.
  TFormresultHomogeneidade* Abrir(int count) {
    paths_ = Imagens(count);
    TFormResultado* r = Rodar(paths_);
    r->SpeedBtnHomogeneidade->click();
    Settle();
    const auto janelas = Janelas<TFormresultHomogeneidade>();
    return janelas.empty() ? nullptr : janelas.back();
  }
  static QStringList Memo(const TFormresultHomogeneidade* h) {
    return h->MemoResultados->toPlainText().split('\n');
  }
  static void Press(QListWidget* list, int row) {
    const QRect rect = list->visualItemRect(list->item(row));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(rect.center()),
                      list->viewport()->mapToGlobal(QPointF(rect.center())), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(rect.center()),
                        list->viewport()->mapToGlobal(QPointF(rect.center())), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &release);
  }
  bool Exists(const QString& name) const { return QFileInfo::exists(folder.File(name)); }

  std::vector<std::string> paths_;
};

TEST_F(HomogeneityTest, MosaicOfSixteenImages) {
  TFormresultHomogeneidade* h = Abrir(16);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->Caption(), "Homogeneidade");
  EXPECT_EQ(h->ClassName(), "TFormresultHomogeneidade");
  ASSERT_EQ(h->StringGrid1->rowCount(), 4);
  ASSERT_EQ(h->StringGrid1->columnCount(), 4);
  EXPECT_EQ(Row(h->StringGrid1, 0), (QStringList{"4", "3", "2", "1"}));
  EXPECT_EQ(Row(h->StringGrid1, 3), (QStringList{"16", "15", "14", "13"}));
  ASSERT_EQ(h->ListBox1->count(), 16);
  EXPECT_EQ(h->ListBox1->item(0)->text(), "Imagem 1-> img1");
  EXPECT_EQ(h->ListBox1->item(15)->text(), "Imagem 16-> img16");
  EXPECT_EQ(h->ListBox1->currentRow(), 0);
  EXPECT_EQ(h->ImagemMostrada(), 0);
  EXPECT_FALSE(h->Image1->pixmap().isNull());
  EXPECT_FALSE(h->BtnSalvar->isEnabled());
  EXPECT_EQ(h->Label1->text(), "Mosaico das Imagens");
  EXPECT_EQ(h->Label2->text(), "Correspondentes Imagens");
  EXPECT_EQ(h->LabelNomeArqSaida->text(), "Resultados");
  EXPECT_EQ(h->width(), 326);
  EXPECT_GE(h->height(), 421);
}

TEST_F(HomogeneityTest, ListEntrySixShowsTheSixthImageWithoutMovingTheGrid) {
  TFormresultHomogeneidade* h = Abrir(16);
  h->StringGrid1->setCurrentCell(0, 3);
  EXPECT_EQ(h->ImagemMostrada(), 0);  // the cell of image 1
  Press(h->ListBox1, 5);
  EXPECT_EQ(h->ImagemMostrada(), 5);
  EXPECT_EQ(h->StringGrid1->currentRow(), 0);
  EXPECT_EQ(h->StringGrid1->currentColumn(), 3);
  // Choosing a cell shows its image; row 1, column 2 holds image 6.
  h->StringGrid1->setCurrentCell(3, 0);
  EXPECT_EQ(h->ImagemMostrada(), 15);  // row 3, column 0: image 16
  h->StringGrid1->setCurrentCell(1, 2);
  EXPECT_EQ(h->ImagemMostrada(), 5);
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(HomogeneityTest, CalculationOfSixteenImagesWritesTwoLevels) {
  TFormresultHomogeneidade* h = Abrir(16);
  h->Button1->click();
  EXPECT_TRUE(dialogs->messages.empty());
  EXPECT_TRUE(h->BtnSalvar->isEnabled());
  EXPECT_EQ(h->PastaTemp, Path("temp/"));
  EXPECT_EQ(h->NomeDosArquivosMED,
            (std::vector<std::string>{Path("temp/A2.MED"), Path("temp/A1.MED")}));
  const QStringList memo = Memo(h);
  ASSERT_GE(memo.size(), 10);
  EXPECT_EQ(memo.mid(0, 8),
            (QStringList{"       Mosaico de    4 pecas.", "       Cada peca tem 4 imagens.", "",
                         "       As imagens da peca 1 sao: ", "1, 2, ", "5, 6, ", "",
                         "       As imagens da peca 2 sao: "}));
  const int grau = int(memo.indexOf(QRegularExpression("^       Grau de homogeneidade = .*")));
  ASSERT_GT(grau, 0);
  EXPECT_EQ(memo[grau + 2], "       Arquivo de Saida = " + folder.File("temp/A2.MED"));
  EXPECT_TRUE(memo.contains("       Mosaico de    16 pecas."));
  EXPECT_TRUE(memo.contains("       Cada peca tem 1 imagens."));
  // Each file holds what the levels computed from the table give.
  const ValoresVol v = LerArquivoVol(Path("temp/temp.vol"), 16, 2);
  const std::vector<NivelHomogeneidade> niveis = CalcularNiveis(v, 16);
  ASSERT_EQ(h->Niveis().size(), 2u);
  TempDir dir;
  EscreverMED(dir / "A2.MED", niveis[0]);
  EXPECT_EQ(TempDir::read(Path("temp/A2.MED")), TempDir::read(dir / "A2.MED"));
  EXPECT_EQ(memo[grau], QString::fromStdString("       Grau de homogeneidade = " +
                                               FormatScientific(niveis[0].Grau())));

  // A second calculation rewrites the same files and the same report.
  h->Button1->click();
  EXPECT_EQ(Memo(h), memo);
  EXPECT_EQ(h->NomeDosArquivosMED.size(), 2u);
}

TEST_F(HomogeneityTest, FourImagesMakeOneLevelInA1) {
  TFormresultHomogeneidade* h = Abrir(4);
  h->Button1->click();
  EXPECT_EQ(h->NomeDosArquivosMED, (std::vector<std::string>{Path("temp/A1.MED")}));
  const QStringList memo = Memo(h);
  EXPECT_EQ(memo.mid(0, 6),
            (QStringList{"       Mosaico de    4 pecas.", "       Cada peca tem 1 imagens.", "",
                         "       As imagens da peca 1 sao: ", "1, ", ""}));
  EXPECT_EQ(memo.back(), "");
}

TEST_F(HomogeneityTest, ClosingDeletesTempVolAndItsMedFiles) {
  TFormresultHomogeneidade* h = Abrir(4);
  h->Button1->click();
  ASSERT_TRUE(Exists("temp/temp.vol"));
  ASSERT_TRUE(Exists("temp/A1.MED"));
  h->Close();
  Settle();
  EXPECT_FALSE(Exists("temp/temp.vol"));
  EXPECT_FALSE(Exists("temp/A1.MED"));
  EXPECT_TRUE(Janelas<TFormresultHomogeneidade>().empty());
  // Files already gone are passed over.
  TFormresultHomogeneidade* g = Abrir(4);
  QFile::remove(folder.File("temp/temp.vol"));
  g->Close();
  Settle();
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(HomogeneityTest, FilesAnotherWindowUsesStayAndItsCalculationGoesOn) {
  TFormresultHomogeneidade* a = Abrir(4);
  TFormresultHomogeneidade* b = Abrir(16);
  ASSERT_NE(a, b);
  a->Button1->click();
  b->Button1->click();
  a->Close();
  Settle();
  // b names temp.vol and both ".MED" files: they stay.
  EXPECT_TRUE(Exists("temp/temp.vol"));
  EXPECT_TRUE(Exists("temp/A1.MED"));
  EXPECT_TRUE(Exists("temp/A2.MED"));
  // b computes from the numbers of its own analysis even when temp.vol is gone.
  const QStringList before = Memo(b);
  QFile::remove(folder.File("temp/temp.vol"));
  b->Button1->click();
  EXPECT_TRUE(dialogs->messages.empty());
  EXPECT_EQ(Memo(b), before);
  b->Close();
  Settle();
  EXPECT_FALSE(Exists("temp/A1.MED"));
  EXPECT_FALSE(Exists("temp/A2.MED"));
}

TEST_F(HomogeneityTest, DamagedVolumeFileChangesNothing) {
  TFormresultHomogeneidade* h = Abrir(4);
  h->Button1->click();
  const QStringList memo = Memo(h);
  const std::string med = TempDir::read(Path("temp/A1.MED"));
  TempDir dir;
  for (const char* text : {"", "Imagem a b\r\n1 1 2 3 0\r\n", "Imagem\r\n1 x\r\n"}) {
    const std::string vol = dir.write("outro.vol", text);
    EXPECT_THROW(h->CalcularHomogeneidade(4, 2, vol, h->PastaTemp), Exception) << text;
    EXPECT_EQ(Memo(h), memo);
    EXPECT_EQ(h->NomeDosArquivosMED, (std::vector<std::string>{Path("temp/A1.MED")}));
    EXPECT_EQ(TempDir::read(Path("temp/A1.MED")), med);
  }
  // A window filled from a damaged file reports it, and so does its button.
  const std::string vol = dir.write("ruim.vol", "Imagem\r\n1 10 90\r\n");
  auto* g = new TFormresultHomogeneidade(principal.get());
  EXPECT_THROW(g->MontarMosaico(2, {paths_[0], paths_[1], paths_[2], paths_[3]}, vol), Exception);
  EXPECT_EQ(g->ListBox1->count(), 4);
  g->Button1->click();
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].text,
            QString::fromStdString("O arquivo " + vol + " não traz os valores da imagem 2"));
  EXPECT_TRUE(g->MemoResultados->toPlainText().isEmpty());
  EXPECT_TRUE(g->NomeDosArquivosMED.empty());
}

TEST_F(HomogeneityTest, MedFileThatCannotBeWrittenStopsTheCalculation) {
  TFormresultHomogeneidade* h = Abrir(16);
  QDir(folder.File("temp")).removeRecursively();
  h->Button1->click();
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Error);
  // The first level's heading is in the memo; its file is named but not there.
  EXPECT_EQ(Memo(h).mid(0, 2),
            (QStringList{"       Mosaico de    4 pecas.", "       Cada peca tem 4 imagens."}));
  EXPECT_EQ(h->NomeDosArquivosMED, (std::vector<std::string>{Path("temp/A2.MED")}));
}

TEST_F(HomogeneityTest, PreviewOfRawImagesAndImagesThatCannotBeLoaded) {
  TFormresultHomogeneidade* h = new TFormresultHomogeneidade(principal.get());
  const std::string grey = Path("imagens/a.grey");
  {
    QFile f(QString::fromStdString(grey));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const std::string bytes = RawGrey(1000, 0, 255);
    f.write(bytes.data(), qint64(bytes.size()));
  }
  std::vector<std::string> paths = Imagens(4);
  TabelaResultado t({"a", "b"});
  for (int i = 0; i < 4; ++i) t.AdicionarResultado("x", {0.5, 0.5});
  EscreverArquivoVol(Path("temp/temp.vol"), t, {});
  // A raw image shows as the analysis read it.
  paths[0] = grey;
  h->MontarMosaico(2, paths, Path("temp/temp.vol"));
  EXPECT_EQ(h->ImagemMostrada(), 0);
  EXPECT_EQ(h->ListBox1->item(0)->text(), "Imagem 1-> a");
  EXPECT_TRUE(dialogs->messages.empty());

  // A first image the loader refuses stops the filling after the grid is numbered.
  auto* g = new TFormresultHomogeneidade(principal.get());
  paths[0] = Path("imagens/falta.bmp");
  EXPECT_THROW(g->MontarMosaico(2, paths, Path("temp/temp.vol")), EInOutError);
  EXPECT_EQ(g->ListBox1->count(), 4);
  EXPECT_EQ(Cell(g->StringGrid1, 1, 0), "1");
  EXPECT_EQ(g->ListBox1->currentRow(), -1);
  EXPECT_EQ(g->ImagemMostrada(), -1);
  // Another image still shows; the refused one keeps the previous picture.
  g->StringGrid1SelectCell(0, 0);
  EXPECT_EQ(g->ImagemMostrada(), 1);
  EXPECT_THROW(g->StringGrid1SelectCell(1, 0), EInOutError);
  EXPECT_EQ(g->ImagemMostrada(), 1);
}

TEST_F(HomogeneityTest, SaveWritesTheReportAndEveryLevelUnderThePrefix) {
  TFormresultHomogeneidade* h = Abrir(16);
  h->Button1->click();
  dialogs->files.push_back(FileDialogResult{{folder.File("resultados/amostra.txt")}, 1});
  h->BtnSalvar->click();
  EXPECT_EQ(dialogs->Texts(),
            QStringList{"Escolha um nome(prefixo) para os arquivos resultantes desta análise."});
  EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Information);
  ASSERT_EQ(dialogs->fileDialogs.size(), 1u);
  EXPECT_EQ(dialogs->fileDialogs[0].title, "Cálculo da Homogeneidade");
  EXPECT_EQ(dialogs->fileDialogs[0].initialDir, folder.File("resultados"));
  EXPECT_EQ(dialogs->fileDialogs[0].filter, "Arquivo de Homogeneidade (*.txt)|*.txt");

  const QString report = QString::fromStdString(TempDir::read(Path("resultados/amostra.txt")));
  EXPECT_EQ(report, Memo(h).join("\r\n") + "\r\n");
  EXPECT_EQ(TempDir::read(Path("resultados/amostra_A2.MED")), TempDir::read(Path("temp/A2.MED")));
  EXPECT_EQ(TempDir::read(Path("resultados/amostra_A1.MED")), TempDir::read(Path("temp/A1.MED")));
  // The saved files are the user's: closing leaves them.
  h->Close();
  Settle();
  EXPECT_TRUE(Exists("resultados/amostra_A1.MED"));

  // Cancelling writes nothing.
  TFormresultHomogeneidade* g = Abrir(4);
  g->Button1->click();
  const QStringList saved = QDir(folder.File("resultados")).entryList(QDir::Files);
  g->BtnSalvar->click();
  EXPECT_EQ(QDir(folder.File("resultados")).entryList(QDir::Files), saved);
}

}  // namespace
}  // namespace vandrel::testing
