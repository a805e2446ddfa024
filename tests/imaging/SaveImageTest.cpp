// Saving what an image window shows (BMP, TIFF, GIF), the save command's messages and the
// image information window.
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <memory>

#include "app/imaging/model/SaveImage.h"
#include "app/imaging/ui/unit_info_imagem.h"
#include "app/shell/ui/UnitPrincipal.h"
#include "codecs/gif/GifImage.h"
#include "codecs/tiff/TiffImage.h"
#include "platform/PictureLoader.h"
#include "platform/qt/ErrorReport.h"
#include "tests/imaging/ImagingFixture.h"
#include "tests/support/FileSizeLimit.h"

namespace vandrel::testing {
namespace {

TEST(SaveFileName, AppendsTheExtensionUnlessTypedExactly) {
  struct Case {
    const char* name;
    int filter;
    const char* written;
  } cases[] = {
      {"/d/a.bmp", kSaveBmp, "/d/a.bmp"},
      {"/d/a.BMP", kSaveBmp, "/d/a.BMP.bmp"},
      {"/d/a", kSaveBmp, "/d/a.bmp"},
      {"/d/a.tif", kSaveTiff, "/d/a.tif"},
      {"/d/a.tiff", kSaveTiff, "/d/a.tiff.tif"},
      {"/d/a.gif", kSaveGif, "/d/a.gif"},
      {"/d/a.bmp", kSaveGif, "/d/a.bmp.gif"},
      {"/d.v/a", kSaveTiff, "/d.v/a.tif"},
      {"/d/a.bmp", 4, ""},
      {"/d/a.bmp", 0, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(SaveFileName(c.name, c.filter), c.written) << c.name;
}

class SaveImage : public ImagingTest {
 protected:
  void SetUp() override {
    ImagingTest::SetUp();
    RegisterTiffFormat();
    RegisterGifFormat();
    principal = std::make_unique<TFormPrincipal>(TFormPrincipal::Options{folder.Path(), ""});
    principal->show();
    principal->Timer1->stop();
    Settle();
  }
  void TearDown() override {
    principal.reset();
    ImagingTest::TearDown();
  }
  TFormImagem* Open(const Bitmap& b, const QString& name = "img") {
    auto* w = new TFormImagem(principal.get());
    w->DefinirNome(name);
    w->DefinirBitmap(b);
    w->Show();
    Settle();
    principal->CompoComImagem->trigger();
    return w;
  }
  // Answers the next save dialog and runs the save command.
  void SaveAs(const QString& name, int filter) {
    dialogs->files.push_back(FileDialogResult{{folder.File(name)}, filter});
    principal->SalvarImagem->trigger();
  }
  std::unique_ptr<TFormPrincipal> principal;
};

TEST_F(SaveImage, EachFormatReadsBackAtTheImagesOwnSize) {
  const Bitmap image = Gradient24(37, 21);
  TFormImagem* w = Open(image);
  ASSERT_TRUE(w->AlterarZoom(kZoomStep * 5));  // 200 %: the file is not scaled
  SaveAs("out", kSaveBmp);
  SaveAs("out", kSaveTiff);
  EXPECT_EQ(LoadPicture(folder.File("out.bmp").toStdString()), image);
  Bitmap tiff = LoadPicture(folder.File("out.tif").toStdString());
  EXPECT_EQ(tiff.width(), 37);
  EXPECT_EQ(tiff.height(), 21);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 37; ++x) ASSERT_EQ(tiff.pixelColor(x, y), image.pixelColor(x, y));
  EXPECT_TRUE(dialogs->messages.empty());
  ASSERT_FALSE(dialogs->fileDialogs.empty());
  EXPECT_EQ(dialogs->fileDialogs[0].filter,
            "Bitmaps (*.bmp)|*.bmp|TIFF images (*.tif)|*.tif|CompuServe images (*.gif)|*.gif");
  EXPECT_EQ(dialogs->fileDialogs[0].filterIndex, kSaveBmp);
  EXPECT_EQ(dialogs->fileDialogs[1].filterIndex, kSaveBmp);  // the first answer chose BMP
  EXPECT_EQ(dialogs->fileDialogs[0].initialDir, folder.File("imagens"));
}

TEST_F(SaveImage, GifTurnsTheDisplayInto8BitsForGood) {
  TFormImagem* w = Open(Gradient24(16, 8));
  SaveAs("g.gif", kSaveGif);
  EXPECT_EQ(w->CopiaExibida().format(), PixelFormat::pf8bit);
  EXPECT_EQ(w->BitmapImagem.format(), PixelFormat::pf24bit);  // the image itself is kept
  const Bitmap gif = LoadPicture(folder.File("g.gif").toStdString());
  ASSERT_EQ(gif.width(), 16);
  ASSERT_EQ(gif.height(), 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x)
      EXPECT_EQ(gif.pixelColor(x, y), w->CopiaExibida().pixelColor(x, y));
}

TEST_F(SaveImage, MarksArePartOfTheFile) {
  Bitmap grey(20, 20, PixelFormat::pf8bit);
  grey.setPalette(GreyRamp());
  TFormImagem* w = Open(grey);
  Drag(*w, {2, 2}, {12, 12});
  w->MarcarSelecao();
  SaveAs("m.bmp", kSaveBmp);
  const Bitmap saved = LoadPicture(folder.File("m.bmp").toStdString());
  EXPECT_EQ(saved, w->CopiaExibida());
  EXPECT_NE(saved, w->BitmapImagem);
}

TEST_F(SaveImage, CancelAndUnknownFilterWriteNothing) {
  Open(Gradient24(4, 4));
  principal->SalvarImagem->trigger();  // no answer queued: cancelled
  SaveAs("x", 4);
  EXPECT_FALSE(QFile::exists(folder.File("x")));
  EXPECT_FALSE(QFile::exists(folder.File("x.bmp")));
}

TEST_F(SaveImage, FailedWriteKeepsTheEarlierFileAndIsReported) {
  Open(Gradient24(64, 64));
  const QString path = folder.File("keep.bmp");
  WriteBytes(path.toStdString(), {'o', 'l', 'd'});
  {
    FileSizeLimit full(100);
    SaveAs("keep.bmp", kSaveBmp);
  }
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Error);
  EXPECT_EQ(folder.ReadFile("keep.bmp"), QByteArray("old"));
}

// A failed load leaves no window. An image window holding no picture (one made before a
// picture was put in) saved over an existing file, in any of the three formats, is refused
// with one message and leaves every byte of the file as it was.
TEST_F(SaveImage, EmptyWindowNeverReplacesAFile) {
  const QString bad = folder.File("imagens/ruim.tif");
  WriteBytes(bad.toStdString(), std::vector<uint8_t>(64, 0x42));
  dialogs->files.push_back(FileDialogResult{{bad}, 1});
  principal->Abrir_Imagem->trigger();
  Settle();
  EXPECT_EQ(principal->FilhaAtiva(), nullptr);
  auto* w = new TFormImagem(principal.get());
  Settle();
  ASSERT_EQ(principal->FilhaAtiva(), w);
  ASSERT_TRUE(w->BitmapImagem.empty());
  principal->Timer1Timer();  // the timer's second: the save command is on again
  const struct {
    int filter;
    const char* name;
  } cases[] = {{kSaveBmp, "keep.bmp"}, {kSaveTiff, "keep.tif"}, {kSaveGif, "keep.gif"}};
  for (const auto& c : cases) {
    const std::vector<uint8_t> old = {'o', 'l', 'd', uint8_t(c.filter)};
    WriteBytes(folder.File(c.name).toStdString(), old);
    dialogs->messages.clear();
    SaveAs(c.name, c.filter);
    EXPECT_EQ(dialogs->Texts(), QStringList{"The image is empty: nothing to save"}) << c.name;
    EXPECT_EQ(folder.ReadFile(c.name), QByteArray(reinterpret_cast<const char*>(old.data()), 4))
        << c.name;
  }
}

TEST_F(SaveImage, CommandMessages) {
  principal->SalvarImagem->setEnabled(true);
  principal->SalvarImagem->trigger();
  EXPECT_EQ(dialogs->Texts(), QStringList{"Não existem imagens a serem salvas"});
  EXPECT_FALSE(principal->SalvarImagem->isEnabled());
  dialogs->messages.clear();
  Open(Gradient24(4, 4));
  auto* info = new TForminfo_imagem(principal.get());
  info->Show();
  Settle();
  principal->SalvarImagem->setEnabled(true);
  principal->SalvarImagem->trigger();
  EXPECT_EQ(dialogs->Texts(), QStringList{"Selecione a imagem que deseja salvar"});
  principal->SalvarImagem1Click();  // no messages from the unbound handler
  EXPECT_EQ(dialogs->messages.size(), 1u);
}

TEST_F(SaveImage, InformationOfTheActiveImage) {
  struct Case {
    PixelFormat format;
    int w, h;
    QStringList texts;
  } cases[] = {
      {PixelFormat::pf24bit,
       1000,
       1000,
       {"Tipo: 24 bits", "Largura: 1000 pixels", "Altura: 1000 pixels",
        "Memória real exigida: 3000000 Bytes", ""}},
      {PixelFormat::pf8bit,
       30,
       7,
       {"Tipo: 8 bits", "Largura: 30 pixels", "Altura: 7 pixels", "Memória real exigida: 210 Bytes",
        ""}},
      {PixelFormat::pf32bit,
       10,
       10,
       {"Tipo: Desconhecido", "Largura: 10 pixels", "Altura: 10 pixels",
        "Memória real exigida: 300 Bytes", ""}},
  };
  for (const Case& c : cases) {
    Open(Bitmap(c.w, c.h, c.format));
    principal->InformaesdaImagem1->trigger();
    TForminfo_imagem* info = nullptr;
    for (TForm* f : principal->Filhas())
      if (auto* i = dynamic_cast<TForminfo_imagem*>(f)) info = i;
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->Caption(), "Informações da imagem");
    const QStringList shown = {info->Label1->text(), info->Label2->text(), info->Label3->text(),
                               info->Label4->text(), info->Label5->text()};
    EXPECT_EQ(shown, c.texts);
    info->SpeedButton1->click();
    Settle();
  }
}

TEST_F(SaveImage, InformationOnlyForPlainImageWindows) {
  TFormImagem* source = Open(Gradient24(4, 4));
  auto* saida = new TFormImagemSaida(source, source);
  saida->DefinirBitmap(Gradient24(4, 4));
  saida->Show();
  Settle();
  principal->InformaesdaImagem1->trigger();
  for (TForm* f : principal->Filhas()) EXPECT_EQ(dynamic_cast<TForminfo_imagem*>(f), nullptr);
  EXPECT_TRUE(dialogs->messages.empty());
}

// A save shows the busy cursor while it works and never leaves it behind: neither after a
// file is written nor after a failure reported to the user.
TEST_F(SaveImage, NoBusyCursorIsLeftAfterASave) {
  Open(Gradient24(64, 48));
  const struct {
    const char* name;
    int filter;
  } cases[] = {{"sub/none/x", kSaveGif}, {"ok", kSaveGif}, {"ok", kSaveTiff}, {"ok", kSaveBmp}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    vandrel::Guarded([&] { SaveAs(c.name, c.filter); });
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  }
  ASSERT_EQ(dialogs->messages.size(), 1u);  // the folder that does not exist
  EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Error);
  EXPECT_TRUE(QFileInfo::exists(folder.File("ok.gif")));
}

}  // namespace
}  // namespace vandrel::testing
