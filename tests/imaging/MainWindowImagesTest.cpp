// The main window's image commands with the real windows: the open dialog and its failure
// paths, the recent-image entries, the zoom commands and their shared Zoom Out state, the
// window list, the active-image checks and the count that switches the commands off.
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTimer>
#include <memory>

#include "app/settings/model/URecursos.h"
#include "app/shell/ui/UnitPrincipal.h"
#include "tests/imaging/ImagingFixture.h"

namespace vandrel::testing {
namespace {

// A child window that is not an image window.
class OutraJanela : public TForm {
 public:
  QString ClassName() const override { return "TFormHistograma"; }
};

const char* const kFiltro =
    "Bitmap do Windows (*.bmp)|*.bmp|Imagens TIFF (*.tif,*.tiff)|*.tif;*.tiff|CompuServe "
    "imagens (*.gif)|*.gif|Imagem Grey (*.grey)|*.grey|Todas as imagens(*.bmp,*.tif,*.tiff,*gif,"
    "*.grey)|*.bmp;*.tif;*.tiff;*gif;*.grey";

class MainWindowImages : public ImagingTest {
 protected:
  void SetUp() override {
    ImagingTest::SetUp();
    REQUIRE_BMP_READER();
    principal = std::make_unique<TFormPrincipal>(TFormPrincipal::Options{folder.Path(), ""});
    principal->show();  // composition mode: the image commands start switched off
    // The one-second timer would switch the image commands on at a moment of its own.
    principal->Timer1->stop();
    Settle();
  }
  void TearDown() override {
    principal.reset();
    ImagingTest::TearDown();
  }

  // Queues the answer of the next open dialog.
  void Choose(const QStringList& files, int filterIndex = 5) {
    dialogs->files.push_back(FileDialogResult{files, filterIndex});
  }
  std::vector<TFormImagem*> ImageWindows() const {
    std::vector<TFormImagem*> out;
    for (TForm* f : principal->Filhas())
      if (auto* i = dynamic_cast<TFormImagem*>(f)) out.push_back(i);
    return out;
  }
  QStringList Captions() const {
    QStringList out;
    for (TFormImagem* w : ImageWindows()) out << w->Caption();
    return out;
  }
  QString Recent(int k) const {
    return QString::fromStdString(LerConfig("imagens_abertas", "ima" + std::to_string(k)));
  }
  static QString Failure(const QString& path) {
    return "O arquivo " + path + " não pode ser aberto!\r\nVerifique se este arquivo existe.";
  }
  void Activate(TForm* form) {
    form->Show();
    Settle();
    ASSERT_EQ(principal->FilhaAtiva(), form);
  }

  std::unique_ptr<TFormPrincipal> principal;
};

TEST_F(MainWindowImages, OpensSeveralFilesOneCentredWindowEachAtNaturalSize) {
  ASSERT_FALSE(principal->SalvarImagem->isEnabled());
  ASSERT_FALSE(principal->ZoomIn->isEnabled());
  const QString a = WriteBmp24("a.bmp", 30, 20), b = WriteGrey("b.grey"),
                c = WriteBmp24("c.bmp", 61, 33);
  // A client area with room for the 512 x 512 image (a smaller one bounds the window).
  principal->resize(1000, 800);
  Settle();
  Choose({a, b, c});
  principal->Abrir_Imagem->trigger();
  Settle();

  ASSERT_EQ(dialogs->fileDialogs.size(), 1u);
  const FileDialogSpec& spec = dialogs->fileDialogs[0];
  EXPECT_EQ(spec.filter, kFiltro);
  EXPECT_TRUE(spec.multiSelect);
  EXPECT_EQ(spec.initialDir, folder.Path() + "imagens");

  EXPECT_EQ(Captions(), (QStringList{"a.bmp", "b.grey", "c.bmp"}));
  const std::vector<TFormImagem*> w = ImageWindows();
  ASSERT_EQ(w.size(), 3u);
  const QSize natural[] = {{30, 20}, {512, 512}, {61, 33}};
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(w[i]->Imagezoom->size(), natural[i]);
    EXPECT_EQ(w[i]->Zoom, 1.0);
    EXPECT_EQ(w[i]->Imagezoom->pos(), QPoint(CentredOffset(w[i]->width(), natural[i].width()),
                                             CentredOffset(w[i]->height(), natural[i].height())));
    // The window fits the image.
    EXPECT_GE(w[i]->width(), natural[i].width());
    EXPECT_GE(w[i]->height(), natural[i].height());
    EXPECT_TRUE(w[i]->SubWindow()->isVisible());
  }
  EXPECT_EQ(TFormImagem::ContadorDeImagens, 3);
  EXPECT_EQ(Recent(0), c);
  EXPECT_EQ(Recent(1), b);
  EXPECT_EQ(Recent(2), a);
  EXPECT_TRUE(principal->SalvarImagem->isEnabled());
  EXPECT_TRUE(principal->ZoomIn->isEnabled());
  EXPECT_TRUE(dialogs->messages.empty()) << dialogs->Texts().join("|").toStdString();
}

TEST_F(MainWindowImages, CancelChangesNothing) {
  principal->Abrir_Imagem->trigger();
  EXPECT_EQ(dialogs->fileDialogs.size(), 1u);
  EXPECT_TRUE(ImageWindows().empty());
  EXPECT_FALSE(principal->SalvarImagem->isEnabled());
  EXPECT_EQ(Recent(0), "");
}

TEST_F(MainWindowImages, TheDialogKeepsTheFilterChosen) {
  const QString a = WriteBmp24("a.bmp", 3, 3);
  Choose({a}, 2);
  principal->Abrir_Imagem->trigger();
  principal->Abrir_Imagem->trigger();  // cancelled
  ASSERT_EQ(dialogs->fileDialogs.size(), 2u);
  EXPECT_EQ(dialogs->fileDialogs[1].filterIndex, 2);
  Choose({a}, 5);  // back to the first choice for the tests that follow
  principal->Abrir_Imagem->trigger();
  EXPECT_EQ(dialogs->fileDialogs[2].filterIndex, 2);
}

// A missing file: its window is released, the message names it, a new dialog opens inside
// the loop, and the remaining files are opened after it. The missing file still enters the
// recent list.
TEST_F(MainWindowImages, MissingFileShowsTheMessageAndTheDialogAgain) {
  const QString falta = folder.File("imagens/sumiu.bmp");
  const QString a = WriteBmp24("a.bmp", 8, 8), b = WriteBmp24("b.bmp", 9, 9);
  Choose({falta, a});
  Choose({b});
  principal->Abrir_Imagem->trigger();
  Settle();
  EXPECT_EQ(dialogs->fileDialogs.size(), 2u);
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].text, Failure(falta));
  EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Error);
  EXPECT_EQ(dialogs->messages[0].buttons, mbOK);
  EXPECT_EQ(Captions(), (QStringList{"b.bmp", "a.bmp"}));
  EXPECT_EQ(TFormImagem::ContadorDeImagens, 2);  // the released window is not counted
  EXPECT_EQ(Recent(0), a);
  EXPECT_EQ(Recent(1), falta);
  EXPECT_EQ(Recent(2), b);
}

// A reader's error reaches the default error report and takes the window made for the file
// with it: no empty window is left, however often it is tried. The files after it are not
// opened, the recent list does not get it and the commands are not switched on.
TEST_F(MainWindowImages, ReaderErrorEndsTheCommandAtTheReportAndLeavesNoWindow) {
  const QString bad = Write("ruim.bmp", std::vector<uint8_t>(64, 0x42));
  const QString curto = WriteGrey("curto.grey", 5000);
  const QString good = WriteBmp24("bom.bmp", 5, 5);
  std::vector<uint8_t> truncated = Bmp24(40, 30, 9);
  truncated.resize(truncated.size() / 2);
  const QString cortado = Write("cortado.bmp", truncated);
  Choose({good, bad, good});
  principal->Abrir_Imagem->trigger();
  Settle();
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Error);
  EXPECT_EQ(Captions(), QStringList{"bom.bmp"});
  EXPECT_EQ(TFormImagem::ContadorDeImagens, 1);
  EXPECT_EQ(Recent(0), good);
  EXPECT_EQ(Recent(1), "");
  EXPECT_FALSE(principal->SalvarImagem->isEnabled());

  const struct {
    QString file;
    const char* message;  // empty: any text
  } cases[] = {{curto, "Read beyond end of file"}, {cortado, ""}, {cortado, ""}, {bad, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file.toStdString());
    const size_t before = dialogs->messages.size();
    Choose({c.file});
    principal->Abrir_Imagem->trigger();
    Settle();
    ASSERT_EQ(dialogs->messages.size(), before + 1);
    if (*c.message) {
      EXPECT_EQ(dialogs->messages.back().text, c.message);
    } else {
      EXPECT_FALSE(dialogs->messages.back().text.isEmpty());
    }
    EXPECT_EQ(Captions(), QStringList{"bom.bmp"});
    EXPECT_EQ(principal->findChildren<QMdiSubWindow*>().size(), 1);
    EXPECT_EQ(TFormImagem::ContadorDeImagens, 1);
    EXPECT_EQ(Recent(0), good);
  }
  EXPECT_EQ(dialogs->fileDialogs.size(), 5u);  // a reader's error does not bring the dialog back
}

// A recent entry whose file has gone bad: the reader's report, no window, the list as it was.
TEST_F(MainWindowImages, RecentEntryOfADamagedFileLeavesNoWindow) {
  std::vector<uint8_t> truncated = Bmp24(40, 30, 9);
  truncated.resize(truncated.size() / 2);
  const QString cortado = Write("cortado.bmp", truncated);
  GravarConfig("imagens_abertas", "ima0", cortado.toStdString());
  emit principal->Arquivo1->aboutToShow();
  for (int attempt = 0; attempt < 2; ++attempt) {
    SCOPED_TRACE(attempt);
    principal->ima[0]->trigger();
    Settle();
    ASSERT_EQ(dialogs->messages.size(), size_t(attempt) + 1);
    EXPECT_EQ(dialogs->messages.back().kind, MsgKind::Error);
    EXPECT_TRUE(ImageWindows().empty());
    EXPECT_TRUE(principal->findChildren<QMdiSubWindow*>().empty());
    EXPECT_EQ(TFormImagem::ContadorDeImagens, 0);
  }
  EXPECT_TRUE(dialogs->fileDialogs.empty());
  EXPECT_EQ(Recent(0), cortado);
  EXPECT_EQ(Recent(1), "");
}

TEST_F(MainWindowImages, UnknownExtensionIsReported) {
  Choose({Write("nota.txt", {1, 2, 3})});
  principal->Abrir_Imagem->trigger();
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].text, "Unknown picture file extension (.txt)");
}

TEST_F(MainWindowImages, RecentEntriesOpenTheirFile) {
  const QString a = WriteBmp24("recente.bmp", 7, 4);
  GravarConfig("imagens_abertas", "ima2", a.toStdString());
  emit principal->Arquivo1->aboutToShow();  // the user opens the menu
  principal->imaClick(2);
  EXPECT_EQ(Captions(), (QStringList{"recente.bmp"}));
  // An empty entry does nothing; the entries never change the list.
  principal->imaClick(3);
  EXPECT_EQ(ImageWindows().size(), 1u);
  EXPECT_EQ(Recent(0), "");
  EXPECT_TRUE(dialogs->fileDialogs.empty());
}

// After six images opened one by one, the recent items show the last five, newest first,
// and each opens the file it shows, even when the list has changed on disk since (another
// instance adding an image).
TEST_F(MainWindowImages, RecentItemsOpenWhatTheyShow) {
  REQUIRE_BMP_READER();
  const QStringList names = {"g3.bmp", "g4.bmp", "g5.bmp", "g6.bmp", "g7.bmp", "g8b.bmp"};
  for (const QString& name : names) {
    Choose({WriteBmp24(name, 3 + int(name.size()), 4)});
    principal->Abrir_Imagem->trigger();
    Settle();
  }
  const QStringList shown = {"g8b.bmp", "g7.bmp", "g6.bmp", "g5.bmp", "g4.bmp"};
  GravarConfig("imagens_abertas", "ima0", WriteBmp24("outra.bmp", 5, 5).toStdString());
  for (int k = 0; k < 5; ++k) {
    SCOPED_TRACE(k);
    QAction* item = principal->ima[size_t(k)];
    EXPECT_TRUE(item->isVisible());
    EXPECT_EQ(item->text(), shown[k]);
    const size_t before = ImageWindows().size();
    item->trigger();
    Settle();
    ASSERT_EQ(ImageWindows().size(), before + 1);
    EXPECT_EQ(ImageWindows().back()->Caption(), item->text());
  }
  // Opening the menu shows the list as it is now.
  emit principal->Arquivo1->aboutToShow();
  EXPECT_EQ(principal->ima[0]->text(), "outra.bmp");
  EXPECT_TRUE(dialogs->messages.empty()) << dialogs->Texts().join("|").toStdString();
}

TEST_F(MainWindowImages, RecentEntryOfADeletedFileShowsTheMessageAndTheDialog) {
  const QString falta = folder.File("imagens/apagado.bmp");
  GravarConfig("imagens_abertas", "ima0", falta.toStdString());
  emit principal->Arquivo1->aboutToShow();
  principal->imaClick(0);
  Settle();
  EXPECT_EQ(dialogs->Texts(), QStringList{Failure(falta)});
  EXPECT_EQ(dialogs->fileDialogs.size(), 1u);
  EXPECT_TRUE(ImageWindows().empty());
}

TEST_F(MainWindowImages, ZoomCommandsNeedAnImageWindow) {
  principal->ZoomInClick();
  principal->ZoomOutClick();
  principal->ZoomNormal1Click();
  auto* outra = new OutraJanela;
  principal->AdicionarFilha(outra);
  Activate(outra);
  principal->ZoomInClick();
  EXPECT_EQ(dialogs->Texts(), QStringList(4, "Você deve primeiro selecionar uma imagem"));
  EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Information);
}

// Zoom Out is one menu item for every window: a refused zoom-out disables it everywhere
// until Zoom In is used in any window, or the image commands are switched on.
TEST_F(MainWindowImages, ZoomOutStateIsSharedByAllWindows) {
  Choose({WriteBmp24("a.bmp", 50, 50), WriteBmp24("b.bmp", 50, 50)});
  principal->Abrir_Imagem->trigger();
  Settle();
  auto w = ImageWindows();
  ASSERT_EQ(w.size(), 2u);
  Activate(w[0]);
  for (int i = 0; i < 5; ++i) principal->ZoomOut->trigger();
  EXPECT_EQ(w[0]->Caption(), "a.bmp 20%");
  EXPECT_FALSE(principal->ZoomOut->isEnabled());

  Activate(w[1]);
  principal->ZoomOut->trigger();  // disabled: nothing happens
  EXPECT_EQ(w[1]->Caption(), "b.bmp");
  principal->ZoomIn->trigger();
  EXPECT_EQ(w[1]->Caption(), "b.bmp 120%");
  EXPECT_TRUE(principal->ZoomOut->isEnabled());

  Activate(w[0]);
  principal->ZoomOut->trigger();  // refused again at 20 %
  EXPECT_FALSE(principal->ZoomOut->isEnabled());
  principal->CompoComImagem->trigger();
  EXPECT_TRUE(principal->ZoomOut->isEnabled());

  principal->ZoomNormal1->trigger();
  EXPECT_EQ(w[0]->Caption(), "a.bmp 100%");
  EXPECT_EQ(w[0]->Zoom, 1.0);
  for (int i = 0; i < 26; ++i) principal->ZoomIn->trigger();
  EXPECT_EQ(w[0]->Caption(), "a.bmp 600%");
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(MainWindowImages, WindowListShowsOnlyImageWindows) {
  Choose({WriteBmp24("um.bmp", 5, 5), WriteBmp24("dois & tres.bmp", 5, 5)});
  principal->Abrir_Imagem->trigger();
  auto* outra = new OutraJanela;
  principal->AdicionarFilha(outra);
  outra->SetCaption("histograma");
  auto* saida = TFormImagemSaida::CreateComOrigem(ImageWindows()[0], ImageWindows()[0]);
  saida->SetCaption("um.bmp - Brilho");
  Settle();
  auto w = ImageWindows();
  ASSERT_EQ(w.size(), 3u);
  Activate(w[1]);

  principal->Janela1Click();
  principal->Janela1Click();  // rebuilt, not appended
  const QList<QAction*> items = principal->Janela1->actions();
  ASSERT_EQ(items.size(), 7);
  EXPECT_EQ(items[4]->text(), "um.bmp");
  EXPECT_EQ(items[5]->text(), "dois && tres.bmp");
  EXPECT_EQ(items[6]->text(), "um.bmp - Brilho");
  EXPECT_EQ(items[4]->data().toInt(), 4);
  EXPECT_EQ(items[6]->data().toInt(), 6);
  EXPECT_FALSE(items[4]->isChecked());
  EXPECT_TRUE(items[5]->isChecked());
  ASSERT_EQ(principal->JanelasDoMenu.size(), 3u);
  EXPECT_EQ(principal->JanelasDoMenu[2], saida);

  items[6]->trigger();
  Settle();
  EXPECT_EQ(principal->FilhaAtiva(), saida);
  EXPECT_TRUE(items[6]->isChecked());
}

TEST_F(MainWindowImages, ActiveImageChecks) {
  EXPECT_EQ(principal->ImagemAtiva(false), nullptr);
  Choose({WriteBmp24("cor.bmp", 4, 4), WriteGrey("cinza.grey")});
  principal->Abrir_Imagem->trigger();
  auto w = ImageWindows();
  ASSERT_EQ(w.size(), 2u);
  Activate(w[0]);
  EXPECT_EQ(principal->ImagemAtiva(false), w[0]);
  EXPECT_EQ(principal->ImagemAtiva(true), nullptr);
  Activate(w[1]);
  EXPECT_EQ(principal->ImagemAtiva(true), w[1]);
  auto* saida = TFormImagemSaida::CreateComOrigem(w[1], w[1]);
  saida->DefinirBitmap(w[1]->BitmapImagem);
  Activate(saida);
  EXPECT_EQ(principal->ImagemAtiva(true), saida);
  auto* outra = new OutraJanela;
  principal->AdicionarFilha(outra);
  Activate(outra);
  EXPECT_EQ(principal->ImagemAtiva(false), nullptr);
  EXPECT_EQ(dialogs->Texts(), (QStringList{"Você deve primeiro selecionar uma imagem",
                                           "Essa não é uma imagem de 8 bits",
                                           "Você deve primeiro selecionar uma imagem"}));
  EXPECT_TRUE(IsImageWindow(saida));
  EXPECT_FALSE(IsImageWindow(outra));
}

TEST_F(MainWindowImages, ClosingTheLastImageWindowSwitchesTheCommandsOff) {
  Choose({folder.File("imagens/nao.bmp"), WriteBmp24("a.bmp", 5, 5), WriteBmp24("b.bmp", 5, 5)});
  principal->Abrir_Imagem->trigger();  // the nested dialog is cancelled
  Settle();
  auto w = ImageWindows();
  ASSERT_EQ(w.size(), 2u);
  ASSERT_TRUE(principal->ZoomIn->isEnabled());
  EXPECT_EQ(TFormImagem::ContadorDeImagens, 2);
  EXPECT_TRUE(w[0]->Close());
  Settle();
  EXPECT_TRUE(principal->ZoomIn->isEnabled());
  EXPECT_TRUE(w[1]->Close());
  Settle();
  EXPECT_EQ(TFormImagem::ContadorDeImagens, 0);
  EXPECT_FALSE(principal->ZoomIn->isEnabled());
  EXPECT_FALSE(principal->SalvarImagem->isEnabled());
}

TEST_F(MainWindowImages, CompositionModeReleasesTheWindowsAndTheCount) {
  Choose({WriteBmp24("a.bmp", 5, 5), WriteBmp24("b.bmp", 5, 5)});
  principal->Abrir_Imagem->trigger();
  principal->Analise->trigger();
  principal->Composicao->trigger();
  Settle();
  EXPECT_TRUE(ImageWindows().empty());
  EXPECT_EQ(TFormImagem::ContadorDeImagens, 0);
}

}  // namespace
}  // namespace vandrel::testing
