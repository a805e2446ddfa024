// The results window through its real controls: the run with each method, the table and
// its sizes, the constraint that the iterative methods refuse, a run that stops at a bad
// image, the popup menu's rows, the comparison of histograms, the homogeneity button and
// "temp.vol", and who frees whom.
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QToolButton>
#include <cmath>

#include "app/analysis/model/VolumeFile.h"
#include "app/histograms/ui/UDSHistograma.h"
#include "app/histograms/ui/UHistograma.h"
#include "platform/Errors.h"
#include "tests/results/ResultsFixture.h"

namespace vandrel::testing {
namespace {

TEST_F(ResultsTest, SvdRunFillsOneRowPerImageWithTotalsAndMean) {
  TFormResultado* r = Rodar(Imagens(4));
  EXPECT_EQ(r->Caption(), "Resultado da Análise - SVD");
  EXPECT_EQ(r->ClassName(), "TFormResultado");
  const QTableWidget* g = r->StringGridResultado;
  ASSERT_EQ(g->rowCount(), 6);
  ASSERT_EQ(g->columnCount(), 4);
  EXPECT_EQ(Row(g, 0), (QStringList{"", "ferrita", "perlita", "Total"}));
  EXPECT_EQ(Row(g, 1), (QStringList{"img1.bmp", "3.125", "96.875", "100.000"}));
  EXPECT_EQ(Row(g, 4), (QStringList{"img4.bmp", "12.500", "87.500", "100.000"}));
  EXPECT_EQ(Row(g, 5), (QStringList{"Média", "7.813", "92.188", ""}));
  EXPECT_EQ(r->LinhaAtual, 5);
  EXPECT_EQ(r->NumFases, 2);
  // The exact mixtures fit with a chi-square of about 0.
  ASSERT_EQ(r->ValoresCHI2.size(), 4u);
  for (double c : r->ValoresCHI2) EXPECT_NEAR(c, 0.0, 1e-20);
  // A child of the main window, owned by the list window; the grid grows with its rows.
  EXPECT_NE(r->SubWindow(), nullptr);
  EXPECT_EQ(r->Owner(), lista);
  EXPECT_EQ(g->height(), 25 * 6 + 3);
  EXPECT_EQ(g->width(), 65 * 4 + 2 + 14);
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(ResultsTest, OneImageGivesThreeRowsAndTheMeanRowEqualsIt) {
  TFormResultado* r = Rodar({Imagem("a.bmp", 64)});
  const QTableWidget* g = r->StringGridResultado;
  ASSERT_EQ(g->rowCount(), 3);
  EXPECT_EQ(Row(g, 1).mid(1, 2), Row(g, 2).mid(1, 2));
  EXPECT_EQ(Cell(g, 1, 2), "25.000");
  EXPECT_EQ(g->height(), 78);
}

TEST_F(ResultsTest, IterativeMethodsStartFromTheThresholds) {
  RegistroLimiares limiares;
  limiares.n = 1;
  limiares.lim[1] = 128;
  struct Case {
    uint8_t metodo;
    const char* caption;
  } cases[] = {{TFormResultado::kGradiente, "Resultado da Análise - Gradiente"},
               {TFormResultado::kMaxDescida, "Resultado da Análise - Max. Descida"}};
  for (const Case& c : cases) {
    TFormResultado* r = Rodar(Imagens(2), c.metodo, limiares);
    EXPECT_EQ(r->Caption(), c.caption);
    const QTableWidget* g = r->StringGridResultado;
    ASSERT_EQ(g->rowCount(), 4) << c.caption;
    // The start point fits exactly and stays: the converged fit has no "*".
    EXPECT_EQ(Row(g, 1), (QStringList{"img1.bmp", "3.125", "96.875", "100.000"})) << c.caption;
    EXPECT_EQ(Row(g, 2), (QStringList{"img2.bmp", "6.250", "93.750", "100.000"})) << c.caption;
    EXPECT_EQ(r->ValoresCHI2, (std::vector<double>{0, 0})) << c.caption;
  }
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(ResultsTest, SvdIgnoresTheConstraintAndTheThresholds) {
  RegistroLimiares limiares;
  limiares.n = 5;
  TFormResultado* r = Rodar(Imagens(2), TFormResultado::kSVD, limiares, true);
  EXPECT_EQ(r->StringGridResultado->rowCount(), 4);
  EXPECT_EQ(Cell(r->StringGridResultado, 1, 1), "3.125");
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(ResultsTest, ConstraintLeavesTheIterativeRunsUndone) {
  for (uint8_t metodo : {TFormResultado::kGradiente, TFormResultado::kMaxDescida}) {
    dialogs->messages.clear();
    TFormResultado* r = Rodar(Imagens(4), metodo, {}, true);
    EXPECT_TRUE(r->Caption().startsWith("Resultado da Análise - "));
    EXPECT_EQ(dialogs->Texts(), QStringList{"Método não implementado"});
    EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Information);
    EXPECT_EQ(r->StringGridResultado->rowCount(), 1);
    // No image rows: the homogeneity button refuses the count.
    dialogs->messages.clear();
    r->SpeedBtnHomogeneidade->click();
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Error);
    EXPECT_EQ(dialogs->messages[0].text,
              " O número total de imagens deve ser uma potência inteira par de 2 e diferente de "
              "1. ");
    EXPECT_TRUE(Janelas<TFormresultHomogeneidade>().empty());
  }
}

TEST_F(ResultsTest, UnknownMethodCodeDoesNothing) {
  TFormResultado* r = Rodar(Imagens(2), 7);
  EXPECT_EQ(r->Caption(), "Resultado da Análise");
  EXPECT_EQ(r->StringGridResultado->rowCount(), 1);
}

TEST_F(ResultsTest, UnreadablePacLeavesNoWindow) {
  const size_t before = principal->Filhas().size();
  const std::string pat = Padrao();
  const QString pac = QString::fromStdString(WithoutExtension(pat) + ".pac");
  struct Case {
    const char* pac;  // null: no ".pac" at all
    const char* error;
  } cases[] = {
      {nullptr, "File not found"}, {"muitas\r\n", "Invalid numeric input"}, {"17\r\n", nullptr}};
  for (const Case& c : cases) {
    QFile::remove(pac);
    if (c.pac) {
      QFile f(pac);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write(c.pac);
    }
    try {
      TFormResultado::CreateComPadrao(lista, pat);
      ADD_FAILURE() << "window made";
    } catch (const Exception& e) {
      if (c.error) {
        EXPECT_STREQ(e.what(), c.error);
      }
    }
    Settle();
    EXPECT_EQ(principal->Filhas().size(), before);
  }
}

TEST_F(ResultsTest, RunStopsAtAnImageThatCannotBeReadAndKeepsItsRows) {
  std::vector<std::string> paths = Imagens(2);
  paths.insert(paths.begin() + 1, Path("imagens/falta.bmp"));
  TFormResultado* r = TFormResultado::CreateComPadrao(lista, Padrao());
  try {
    r->Analisar(paths, TFormResultado::kSVD, {}, false);
    ADD_FAILURE() << "the run went on";
  } catch (const EInOutError& e) {
    EXPECT_STREQ(e.what(), "File not found");
  }
  EXPECT_EQ(r->StringGridResultado->rowCount(), 3);
  EXPECT_EQ(r->Tabela().LinhasDeImagem(), 1);
  // The caption's suffix follows a finished run only.
  EXPECT_EQ(r->Caption(), "Resultado da Análise");
  // The mean row (row 2) is not taken for the missing image.
  r->StringGridResultadoMouseDown(r->StringGridResultado->rowViewportPosition(2) + 3);
  r->PopupMenu1Popup();
  EXPECT_FALSE(r->Compararhistogramasdaimagemedanalise1->isEnabled());
}

TEST_F(ResultsTest, RawGreyImagesAreAnalysedAndShortOnesStopTheRun) {
  TempDir dir;
  const std::string grey = Path("imagens/a.grey");
  {
    QFile f(QString::fromStdString(grey));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const std::string bytes = RawGrey(512 * 128, 10, 200);
    f.write(bytes.data(), qint64(bytes.size()));
  }
  TFormResultado* r = Rodar({grey});
  EXPECT_EQ(Row(r->StringGridResultado, 1), (QStringList{"a.grey", "25.000", "75.000", "100.000"}));

  const std::string curto = Path("imagens/b.grey");
  QFile::copy(QString::fromStdString(grey), QString::fromStdString(curto));
  QFile::resize(QString::fromStdString(curto), qint64(kGreyFileSize - 1));
  TFormResultado* r2 = TFormResultado::CreateComPadrao(lista, Padrao());
  EXPECT_THROW(r2->Analisar({grey, curto}, TFormResultado::kSVD, {}, false), EInOutError);
  EXPECT_EQ(r2->Tabela().LinhasDeImagem(), 1);
}

TEST_F(ResultsTest, PopupItemIsOnlyEnabledOnImageRows) {
  TFormResultado* r = Rodar(Imagens(2));
  QTableWidget* g = r->StringGridResultado;
  const int header = g->rowViewportPosition(0) + 5;
  const int first = g->rowViewportPosition(1) + 5;
  const int second = g->rowViewportPosition(2) + 5;
  const int mean = g->rowViewportPosition(3) + 5;
  const int below = g->rowViewportPosition(3) + g->rowHeight(3) + 40;
  struct Case {
    int y;
    bool enabled;
    int row;
  } cases[] = {{header, false, 0},
               {first, true, 1},
               {second, true, 2},
               {mean, false, 3},
               {below, false, -1}};
  for (const Case& c : cases) {
    r->StringGridResultadoMouseDown(c.y);
    r->PopupMenu1Popup();
    EXPECT_EQ(r->Compararhistogramasdaimagemedanalise1->isEnabled(), c.enabled) << c.y;
    EXPECT_EQ(r->LinhaPopup, c.row) << c.y;
    EXPECT_EQ(r->ColunaPopup, c.row < 0 ? -1 : 0) << c.y;
  }
  // A real press on the grid, any button, records its height; the column does not matter.
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(150, second),
                    g->viewport()->mapToGlobal(QPointF(150, second)), Qt::RightButton,
                    Qt::RightButton, Qt::NoModifier);
  QCoreApplication::sendEvent(g->viewport(), &press);
  EXPECT_EQ(r->YMouse, second);
  r->PopupMenu1Popup();
  EXPECT_EQ(r->LinhaPopup, 2);
  EXPECT_TRUE(r->Compararhistogramasdaimagemedanalise1->isEnabled());
}

TEST_F(ResultsTest, ComparisonShowsTheImageAndTheFittedHistogram) {
  TFormResultado* r = Rodar(Imagens(2));
  r->StringGridResultadoMouseDown(r->StringGridResultado->rowViewportPosition(2) + 5);
  r->PopupMenu1Popup();
  r->Compararhistogramasdaimagemedanalise1->trigger();
  Settle();
  const std::vector<TFormHistograma*> janelas = Janelas<TFormHistograma>();
  ASSERT_EQ(janelas.size(), 1u);
  TFormHistograma* h = janelas[0];
  EXPECT_EQ(h->Owner(), r);
  const TArrayDeHistogramas& curvas = h->Histograma->Histogramas();
  ASSERT_EQ(curvas.size(), 2u);
  // The image's own histogram, then 100 x the fraction-weighted phases.
  EXPECT_DOUBLE_EQ(curvas[0].Valores[10], 16.0 / 256);
  EXPECT_DOUBLE_EQ(curvas[0].Valores[200], 240.0 / 256);
  EXPECT_DOUBLE_EQ(curvas[1].Valores[10], 6.25);
  EXPECT_DOUBLE_EQ(curvas[1].Valores[200], 93.75);
  EXPECT_EQ(curvas[1].Nome, "H_Ajustado");
  // The working file is gone after use.
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(TFormResultado::ArquivoAjustado())));
  EXPECT_TRUE(dialogs->messages.empty());

  // Closing the results window frees its comparison windows.
  r->Close();
  Settle();
  EXPECT_TRUE(Janelas<TFormHistograma>().empty());
  EXPECT_TRUE(Janelas<TFormResultado>().empty());
}

TEST_F(ResultsTest, ComparisonOfARawImageEndsAtTheLoader) {
  const std::string grey = Path("imagens/a.grey");
  {
    QFile f(QString::fromStdString(grey));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const std::string bytes = RawGrey(512 * 128, 10, 200);
    f.write(bytes.data(), qint64(bytes.size()));
  }
  TFormResultado* r = Rodar({grey});
  r->StringGridResultadoMouseDown(r->StringGridResultado->rowViewportPosition(1) + 5);
  r->PopupMenu1Popup();
  r->Compararhistogramasdaimagemedanalise1->trigger();
  Settle();
  EXPECT_EQ(dialogs->Texts(), QStringList{"Unknown picture file extension (.grey)"});
  const std::vector<TFormHistograma*> janelas = Janelas<TFormHistograma>();
  ASSERT_EQ(janelas.size(), 1u);
  EXPECT_TRUE(janelas[0]->Histograma->Histogramas().empty());
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(TFormResultado::ArquivoAjustado())));
}

TEST_F(ResultsTest, HomogeneityButtonWritesTempVolAndOpensTheMosaic) {
  TFormResultado* r = Rodar(Imagens(4));
  r->SpeedBtnHomogeneidade->click();
  Settle();
  EXPECT_TRUE(dialogs->messages.empty());
  const std::vector<TFormresultHomogeneidade*> janelas = Janelas<TFormresultHomogeneidade>();
  ASSERT_EQ(janelas.size(), 1u);
  TFormresultHomogeneidade* h = janelas[0];
  EXPECT_EQ(h->Owner(), principal.get());
  EXPECT_EQ(h->NumImagens, 4);
  EXPECT_EQ(h->NumFases, 2);
  EXPECT_EQ(h->ArquivoVol, Path("temp/temp.vol"));
  EXPECT_EQ(h->ListBox1->count(), 4);
  EXPECT_EQ(h->ImagemMostrada(), 0);

  const std::string vol = TempDir::read(Path("temp/temp.vol"));
  EXPECT_EQ(std::count(vol.begin(), vol.end(), '\n'), 5);  // six lines, the last unended
  EXPECT_TRUE(vol.starts_with("Imagem                 ferrita        perlita          TOTAL"));
  EXPECT_EQ(LerArquivoVol(Path("temp/temp.vol"), 4, 2).imagens[3],
            (std::vector<double>{12.5, 87.5}));

  // Homogeneity windows stay when the results window and its list go.
  lista->Close();
  Settle();
  EXPECT_TRUE(Janelas<TFormResultado>().empty());
  EXPECT_EQ(Janelas<TFormresultHomogeneidade>().size(), 1u);
}

TEST_F(ResultsTest, HomogeneityCountsThatMakeNoMosaicAreRefused) {
  for (int count : {1, 2, 3, 8}) {
    dialogs->messages.clear();
    TFormResultado* r = Rodar(Imagens(count));
    r->SpeedBtnHomogeneidade->click();
    Settle();
    EXPECT_EQ(dialogs->messages.size(), 1u) << count;
    EXPECT_TRUE(Janelas<TFormresultHomogeneidade>().empty()) << count;
    EXPECT_FALSE(QFileInfo::exists(folder.File("temp/temp.vol"))) << count;
  }
}

TEST_F(ResultsTest, TempVolThatCannotBeWrittenIsReported) {
  TFormResultado* r = Rodar(Imagens(4));
  QDir(folder.File("temp")).removeRecursively();
  r->SpeedBtnHomogeneidade->click();
  Settle();
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Error);
  EXPECT_EQ(dialogs->messages[0].text, "Invalid filename");
}

TEST_F(ResultsTest, ClosingTheListWindowFreesItsResultsWindows) {
  Rodar(Imagens(1));
  Rodar(Imagens(2));
  EXPECT_EQ(Janelas<TFormResultado>().size(), 2u);
  lista->Close();
  Settle();
  EXPECT_TRUE(Janelas<TFormResultado>().empty());
}

TEST_F(ResultsTest, CellsFollowTheUserDecimalSeparator) {
  SeparatorScope comma(',');
  TFormResultado* r = Rodar(Imagens(2));
  EXPECT_EQ(Row(r->StringGridResultado, 3), (QStringList{"Média", "4,688", "95,313", ""}));
  // The comparison reads the cells back with the same separator.
  r->StringGridResultadoMouseDown(r->StringGridResultado->rowViewportPosition(1) + 5);
  r->PopupMenu1Popup();
  r->Compararhistogramasdaimagemedanalise1->trigger();
  Settle();
  ASSERT_EQ(Janelas<TFormHistograma>().size(), 1u);
  EXPECT_DOUBLE_EQ(Janelas<TFormHistograma>()[0]->Histograma->Histogramas()[1].Valores[10], 3.125);
}

}  // namespace
}  // namespace vandrel::testing

namespace vandrel::testing {
namespace {

// The list window's "Analisar" button: images and pattern chosen through its dialogs, and the
// method dialog never opened, so the run uses SVD.
TEST_F(ResultsTest, AnalisarButtonOfTheListRunsTheBatch) {
  const std::vector<std::string> paths = Imagens(4);
  EncherLista(paths);
  lista->BAnalisar->click();
  lista->BAnalisar->click();
  Settle();
  EXPECT_TRUE(dialogs->messages.empty()) << dialogs->Texts().join("|").toStdString();
  const std::vector<TFormResultado*> janelas = Janelas<TFormResultado>();
  ASSERT_EQ(janelas.size(), 2u);
  for (TFormResultado* r : janelas) {
    EXPECT_EQ(r->Caption(), "Resultado da Análise - SVD");
    EXPECT_EQ(r->Owner(), lista);
    EXPECT_EQ(Row(r->StringGridResultado, 5), (QStringList{"Média", "7.813", "92.188", ""}));
  }
  // The results keep their images when the list changes.
  lista->ListaDeImagens->item(0)->setSelected(true);
  lista->ExcluirImagens->setEnabled(true);
  lista->ExcluirImagens->click();
  EXPECT_EQ(janelas[0]->CaminhosImagens, paths);
}

}  // namespace
}  // namespace vandrel::testing
