// The image window on its own: loading and its failures, putting a bitmap and a name in,
// the zoom to both bounds, centring, the window count and painting.
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <memory>

#include "platform/Errors.h"
#include "tests/imaging/ImagingFixture.h"
#include "tests/support/HeapPeak.h"

namespace vandrel::testing {
namespace {

class ImageWindow : public ImagingTest {
 protected:
  std::unique_ptr<TFormImagem> NewWindow() { return std::make_unique<TFormImagem>(nullptr); }
};

// ---- Loading ----

TEST_F(ImageWindow, LoadsBmpThroughThePictureLoader) {
  REQUIRE_BMP_READER();
  const QString path = WriteBmp24("paisagem.bmp", 37, 21);
  auto w = NewWindow();
  ASSERT_TRUE(w->CarregarImagem(path));
  EXPECT_EQ(w->BitmapImagem, Gradient24(37, 21));
  EXPECT_EQ(w->CopiaExibida(), w->BitmapImagem);
  EXPECT_EQ(w->Imagezoom->size(), QSize(37, 21));
  EXPECT_EQ(w->Nome, "paisagem.bmp");
  EXPECT_EQ(w->Caption(), "paisagem.bmp 100%");
  EXPECT_EQ(w->Zoom, 1.0);
}

// A large picture is held once: the display copy is the window's bitmap until something is
// drawn on it, and only then does it take a copy of its own.
TEST_F(ImageWindow, ALoadedPictureIsHeldOnceUntilTheDisplayIsDrawnOn) {
  REQUIRE_BMP_READER();
  if (!CanMeasureHeap()) GTEST_SKIP() << "needs the address sanitizer";
  const QString path = WriteBmp24("grande.bmp", 1200, 1000);
  const int64_t bytes = int64_t(Gradient24(1200, 1000).byteSize());
  auto w = NewWindow();
  w->show();
  EXPECT_LE(PeakHeapGrowth([&] { ASSERT_TRUE(w->CarregarImagem(path)); }), bytes + bytes / 2);
  EXPECT_EQ(w->CopiaExibida(), w->BitmapImagem);
  Drag(*w, {10, 10}, {21, 21});
  w->MarcarSelecao();  // draws on the display copy, never on the image
  EXPECT_EQ(w->BitmapImagem, Gradient24(1200, 1000));
  EXPECT_NE(w->CopiaExibida(), w->BitmapImagem);
  w->ZoomNormal();
  EXPECT_EQ(w->CopiaExibida(), w->BitmapImagem);
}

// Every spelling of ".grey" goes to the raw reader: these files would fail in the picture
// loader, which has no reader for the extension.
TEST_F(ImageWindow, GreyInAnyLetterCaseUsesTheRawReaderAndThePaletteFile) {
  for (const char* name : {"a.grey", "B.GREY", "c.Grey"}) {
    SCOPED_TRACE(name);
    const QString path = WriteGrey(name, 4808 + 512 * 512 + 3);
    auto w = NewWindow();
    if (!HasBmpReader()) {
      // The palette file is a BMP; without its reader the raw reader cannot start.
      EXPECT_THROW(w->CarregarImagem(path), Exception);
      continue;
    }
    ASSERT_TRUE(w->CarregarImagem(path));
    const Bitmap& b = w->BitmapImagem;
    ASSERT_EQ(b.width(), 512);
    ASSERT_EQ(b.height(), 512);
    EXPECT_EQ(b.format(), PixelFormat::pf8bit);
    EXPECT_EQ(b.scanLine(0)[0], 0);
    EXPECT_EQ(b.scanLine(0)[511], 511 & 255);
    EXPECT_EQ(b.scanLine(2)[10], 16);
    ASSERT_EQ(b.palette().size(), 256u);
    for (int i : {0, 1, 128, 255}) {
      const auto [r, g, bl] = PaletaEntry(i);
      EXPECT_EQ(b.palette()[size_t(i)], (PaletteEntry{uint8_t(r), uint8_t(g), uint8_t(bl)}));
    }
    EXPECT_EQ(w->Caption(), QString(name) + " 100%");
    EXPECT_EQ(w->Imagezoom->size(), QSize(512, 512));
  }
}

TEST_F(ImageWindow, MissingFileReturnsFalseAndChangesNothing) {
  auto w = NewWindow();
  w->DefinirNome("antes");
  EXPECT_FALSE(w->CarregarImagem(folder.File("imagens/nada.bmp")));
  EXPECT_FALSE(w->CarregarImagem(folder.File("imagens")));  // a folder is no file
  EXPECT_EQ(w->Caption(), "antes");
  EXPECT_TRUE(w->BitmapImagem.empty());
}

struct BadFile {
  const char* name;
  std::vector<uint8_t> bytes;
  const char* message;  // null: any text
  bool needsBmp;
};

class ImageWindowBadInput : public ImageWindow, public ::testing::WithParamInterface<BadFile> {};

// A file that exists but cannot be read raises the reader's error; the window keeps the
// file name as caption and no image.
TEST_P(ImageWindowBadInput, RaisesTheReadersErrorAndLeavesTheWindowEmpty) {
  const BadFile& c = GetParam();
  if (c.needsBmp) {
    REQUIRE_BMP_READER();
  }
  const QString path = Write(c.name, c.bytes);
  auto w = NewWindow();
  try {
    w->CarregarImagem(path);
    FAIL() << "no error";
  } catch (const Exception& e) {
    if (c.message) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
  EXPECT_EQ(w->Caption(), c.name);
  EXPECT_TRUE(w->BitmapImagem.empty());
  EXPECT_TRUE(w->CopiaExibida().empty());
}

std::vector<uint8_t> Truncated(std::vector<uint8_t> bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, ImageWindowBadInput,
    ::testing::Values(
        BadFile{"curto.grey", GreyBytes(4808 + 512 * 512 - 1), "Read beyond end of file", true},
        BadFile{"so_cabecalho.grey", GreyBytes(4808), "Read beyond end of file", true},
        BadFile{"desconhecido.xyz", {1, 2, 3}, "Unknown picture file extension (.xyz)", false},
        BadFile{"sem_extensao", {1, 2, 3}, "Unknown picture file extension (.)", false},
        BadFile{"danificado.bmp", Truncated(Bmp24(40, 40, 1), 70), nullptr, true},
        BadFile{"lixo.bmp", std::vector<uint8_t>(100, 0x5A), nullptr, true},
        BadFile{"vazio.jpg", {0xFF, 0xD8, 0xFF}, nullptr, false}),
    [](const auto& info) {
      std::string n = info.param.name;
      for (char& ch : n)
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return n;
    });

TEST_F(ImageWindow, MissingPaletteFileIsAnError) {
  QFile::remove(folder.File("paleta.plt"));
  const QString path = WriteGrey("a.grey");
  auto w = NewWindow();
  try {
    w->CarregarImagem(path);
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_STREQ(e.what(), "File not found");
  }
  EXPECT_TRUE(w->BitmapImagem.empty());
}

// ---- Bitmap and name ----

TEST_F(ImageWindow, DefinirBitmapShowsACopyAtNaturalSizeAndKeepsTheZoom) {
  auto w = NewWindow();
  w->DefinirNome("origem - Brilho");
  w->DefinirBitmap(Gradient24(10, 8));
  ASSERT_TRUE(w->AlterarZoom(0.2));
  Bitmap b = Gradient24(20, 6);
  w->DefinirBitmap(b);
  b.scanLine(0)[0] = 200;  // the window holds its own copy
  EXPECT_EQ(w->BitmapImagem, Gradient24(20, 6));
  EXPECT_EQ(w->CopiaExibida(), Gradient24(20, 6));
  EXPECT_EQ(w->Imagezoom->size(), QSize(20, 6));
  EXPECT_DOUBLE_EQ(w->Zoom, 1.2);
  EXPECT_EQ(w->Caption(), "origem - Brilho");
}

// A result moved into an output window becomes its image as it is: the same pixels, and
// no copy of them is made on the way.
TEST_F(ImageWindow, AMovedBitmapBecomesTheImageWithoutACopy) {
  auto w = NewWindow();
  w->show();
  Bitmap b = Gradient24(900, 700);
  const uint8_t* pixels = b.bits();
  const int64_t growth = PeakHeapGrowth([&] { w->DefinirBitmap(std::move(b)); });
  EXPECT_EQ(w->BitmapImagem.bits(), pixels);
  EXPECT_EQ(w->BitmapImagem, Gradient24(900, 700));
  EXPECT_EQ(w->CopiaExibida(), w->BitmapImagem);
  EXPECT_EQ(w->Imagezoom->size(), QSize(900, 700));
  if (CanMeasureHeap()) {
    EXPECT_LT(growth, int64_t(w->BitmapImagem.byteSize()) / 2);
  }
}

TEST_F(ImageWindow, NameSetsTheCaption) {
  auto w = NewWindow();
  EXPECT_EQ(w->Caption(), "");
  w->DefinirNome("x.bmp");
  EXPECT_EQ(w->Nome, "x.bmp");
  EXPECT_EQ(w->Caption(), "x.bmp");
}

// ---- Zoom ----

TEST_F(ImageWindow, ZoomRunsFrom20To600PercentAndRefusesBeyond) {
  auto w = NewWindow();
  w->DefinirNome("z.bmp");
  w->DefinirBitmap(Gradient24(50, 30));
  const char* down[] = {"z.bmp 80%", "z.bmp 60%", "z.bmp 40%", "z.bmp 20%"};
  for (const char* caption : down) {
    ASSERT_TRUE(w->AlterarZoom(-kZoomStep));
    EXPECT_EQ(w->Caption(), caption);
  }
  EXPECT_EQ(w->Imagezoom->size(), QSize(10, 6));
  EXPECT_FALSE(w->AlterarZoom(-kZoomStep));  // the fifth
  EXPECT_EQ(w->Caption(), "z.bmp 20%");
  EXPECT_EQ(w->Imagezoom->size(), QSize(10, 6));
  EXPECT_EQ(w->size(), QSize(40, 36));  // re-sized to the image plus 30 even when refused

  w->ZoomNormal();
  EXPECT_EQ(w->Caption(), "z.bmp 100%");
  for (int i = 1; i <= 25; ++i) ASSERT_TRUE(w->AlterarZoom(kZoomStep)) << i;
  EXPECT_EQ(w->Caption(), "z.bmp 600%");
  EXPECT_EQ(w->Imagezoom->size(), QSize(300, 180));
  EXPECT_FALSE(w->AlterarZoom(kZoomStep));  // the 26th
  EXPECT_EQ(w->Caption(), "z.bmp 600%");
  EXPECT_EQ(w->Imagezoom->size(), QSize(300, 180));
  EXPECT_EQ(w->size(), QSize(330, 210));
}

TEST_F(ImageWindow, FirstZoomOfAnUnnamedWindowTakesItsCaptionAsName) {
  auto w = NewWindow();
  w->DefinirBitmap(Gradient24(10, 10));
  w->SetCaption("fonte - Média");
  ASSERT_TRUE(w->AlterarZoom(kZoomStep));
  EXPECT_EQ(w->Nome, "fonte - Média");
  EXPECT_EQ(w->Caption(), "fonte - Média 120%");
}

TEST_F(ImageWindow, ZoomNormalRestoresTheDisplayCopyAndHidesTheBand) {
  auto w = NewWindow();
  w->DefinirNome("n");
  w->DefinirBitmap(Gradient24(40, 40));
  w->show();
  ASSERT_TRUE(w->AlterarZoom(kZoomStep * 5));  // 200 %
  Drag(*w, {10, 10}, {21, 21});
  w->MarcarSelecao();
  ASSERT_NE(w->CopiaExibida(), w->BitmapImagem);
  w->ZoomNormal();
  EXPECT_EQ(w->Zoom, 1.0);
  EXPECT_EQ(w->CopiaExibida(), w->BitmapImagem);
  EXPECT_EQ(w->Imagezoom->size(), QSize(40, 40));
  EXPECT_FALSE(w->Shapezoom->isVisible());
  EXPECT_EQ(w->Caption(), "n 100%");
  // The selection still covers the same image pixels.
  EXPECT_EQ(w->InicioSelecao(), (Point{5, 5}));
  EXPECT_EQ(w->FimSelecao(), (Point{10, 10}));
}

// ---- Centring ----

TEST_F(ImageWindow, CentresASmallImageAndPinsALargeOneToTheCorner) {
  auto w = NewWindow();
  w->DefinirBitmap(Gradient24(50, 41));
  w->show();
  w->resize(101, 100);                             // a resize centres
  EXPECT_EQ(w->Imagezoom->pos(), QPoint(26, 30));  // 25.5 -> 26, 29.5 -> 30
  w->resize(103, 40);
  EXPECT_EQ(w->Imagezoom->pos(), QPoint(26, 0));  // 26.5 -> 26; taller than the window
}

TEST_F(ImageWindow, APictureLargerThanTheWindowScrollsInsideIt) {
  auto w = NewWindow();
  w->DefinirBitmap(Gradient24(300, 200));
  w->show();
  w->resize(120, 90);
  Settle();
  QScrollArea* area = w->AreaDaImagem();
  ASSERT_TRUE(area);
  EXPECT_EQ(area->geometry(), w->rect());
  // The whole picture can be brought into view, and it starts at its top left corner.
  EXPECT_EQ(w->Imagezoom->pos(), QPoint(0, 0));
  EXPECT_EQ(area->horizontalScrollBar()->maximum(), 300 - area->viewport()->width());
  EXPECT_EQ(area->verticalScrollBar()->maximum(), 200 - area->viewport()->height());
  area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
  EXPECT_EQ(w->Imagezoom->mapTo(area->viewport(), QPoint(300, 0)).x(), area->viewport()->width());

  // Taller only: centred across what the vertical scroll bar leaves, pinned to the top.
  w->DefinirBitmap(Gradient24(50, 41));
  w->resize(103, 40);
  Settle();
  const int client = area->viewport()->width();
  EXPECT_LT(client, 103);
  EXPECT_EQ(w->Imagezoom->pos(), QPoint(CentredOffset(client, 50), 0));
  EXPECT_FALSE(area->horizontalScrollBar()->isVisible());

  // Back to a window that holds it: no scroll bars, centred in the whole window.
  w->resize(101, 100);
  Settle();
  EXPECT_EQ(area->viewport()->size(), QSize(101, 100));
  EXPECT_EQ(w->Imagezoom->pos(), QPoint(26, 30));
}

// ---- Window count ----

TEST_F(ImageWindow, CountFollowsTheWindowsThatExist) {
  EXPECT_EQ(TFormImagem::ContadorDeImagens, 0);
  auto a = NewWindow();
  auto* b = new TFormImagem(nullptr);
  auto* c = new TFormImagem(nullptr);
  auto* saida = TFormImagemSaida::CreateComOrigem(a.get(), a.get());
  EXPECT_EQ(TFormImagem::ContadorDeImagens, 4);
  EXPECT_TRUE(b->Close());
  EXPECT_EQ(TFormImagem::ContadorDeImagens, 3);
  Settle();
  EXPECT_EQ(TFormImagem::ContadorDeImagens, 3);  // the close counted it already
  c->Release();
  EXPECT_EQ(TFormImagem::ContadorDeImagens, 2);
  // An output window goes with its owner, the source window.
  QPointer<TFormImagemSaida> guard(saida);
  a.reset();
  EXPECT_TRUE(guard.isNull());
  EXPECT_EQ(TFormImagem::ContadorDeImagens, 0);
}

TEST_F(ImageWindow, ClassNames) {
  auto a = NewWindow();
  std::unique_ptr<TFormImagemSaida> s(TFormImagemSaida::CreateComOrigem(nullptr, a.get()));
  EXPECT_EQ(a->ClassName(), "TFormImagem");
  EXPECT_EQ(s->ClassName(), "TFormImagemSaida");
  EXPECT_EQ(s->Origem, a.get());
}

// ---- Painting ----

TEST_F(ImageWindow, PaintsTheImageStretchedToTheZoom) {
  auto w = NewWindow();
  Bitmap b(4, 3, PixelFormat::pf8bit);
  Palette p(256);
  for (int i = 0; i < 256; ++i) p[size_t(i)] = {uint8_t(i), uint8_t(255 - i), 7};
  b.setPalette(p);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) b.scanLine(y)[x] = uint8_t(10 * x + 100 * y);
  w->DefinirBitmap(b);
  ASSERT_TRUE(w->AlterarZoom(kZoomStep * 5));  // 200 %
  const QImage shot = w->Imagezoom->grab().toImage();
  ASSERT_EQ(shot.size(), QSize(8, 6));
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) {
      const int index = 10 * (x / 2) + 100 * (y / 2);
      EXPECT_EQ(shot.pixel(x, y), qRgb(index, 255 - index, 7)) << x << "," << y;
    }
}

}  // namespace
}  // namespace vandrel::testing
