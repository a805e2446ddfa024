// What other programs get when they paste a selection: a Windows bitmap and a PNG, made
// only when asked, holding exactly the selected image pixels; never a QImage that Qt would
// have to encode as compressed PNG for them.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <functional>
#include <ostream>
#include <span>

#include "platform/qt/Clipboard.h"
#include "tests/imaging/ImagingFixture.h"

namespace vandrel::testing {
namespace {

class ClipboardTest : public ImagingTest {
 protected:
  static const QMimeData* Offered() { return QGuiApplication::clipboard()->mimeData(); }
  static Bitmap FromBmp(const QByteArray& bytes) {
    return DecodePicture("bmp", std::span(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                          size_t(bytes.size())));
  }
};

struct PasteCase {
  const char* name;
  std::function<Bitmap()> image;
  int percent;
  QPoint from, to;  // display points of the drag
  QRect pixels;     // the image pixels selected
};

void PrintTo(const PasteCase& c, std::ostream* os) { *os << c.name; }

class PasteCases : public ClipboardTest, public ::testing::WithParamInterface<PasteCase> {};

TEST_P(PasteCases, BothFormatsHoldTheSelectedPixels) {
  const PasteCase& c = GetParam();
  const Bitmap image = c.image();
  auto w = std::make_unique<TFormImagem>(nullptr);
  w->DefinirBitmap(image);
  for (int p = 100; p < c.percent; p += 20) ASSERT_TRUE(w->AlterarZoom(kZoomStep));
  w->show();
  Drag(*w, c.from, c.to);
  const QMimeData* offered = Offered();
  ASSERT_TRUE(offered);
  // Only formats made from the bitmap itself; an "application/x-qt-image" here would make
  // Qt offer its own compressed PNG, encoded when a program pastes.
  EXPECT_EQ(offered->formats(), (QStringList{"image/bmp", "image/png"}));

  const Bitmap bmp = FromBmp(offered->data("image/bmp"));
  const QImage png = QImage::fromData(offered->data("image/png"), "png");
  ASSERT_EQ(bmp.width(), c.pixels.width());
  ASSERT_EQ(bmp.height(), c.pixels.height());
  ASSERT_EQ(png.size(), c.pixels.size());
  for (int y = 0; y < c.pixels.height(); ++y)
    for (int x = 0; x < c.pixels.width(); ++x) {
      const PaletteEntry e = image.pixelColor(c.pixels.x() + x, c.pixels.y() + y);
      ASSERT_EQ(bmp.pixelColor(x, y), e) << x << "," << y;
      ASSERT_EQ(png.pixel(x, y), qRgb(e.red, e.green, e.blue)) << x << "," << y;
    }
  // This program's own paste still gets an image.
  EXPECT_EQ(QGuiApplication::clipboard()->image().size(), c.pixels.size());
}

Bitmap Indexed(int w, int h) {
  Bitmap b(w, h, PixelFormat::pf8bit);
  Palette p(256);
  for (int i = 0; i < 256; ++i) p[size_t(i)] = {uint8_t(i), uint8_t(255 - i), uint8_t(i / 3)};
  b.setPalette(p);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.scanLine(y)[x] = uint8_t(7 * x + 3 * y);
  return b;
}

INSTANTIATE_TEST_SUITE_P(Cases, PasteCases,
                         ::testing::Values(PasteCase{"Colour",
                                                     [] { return Gradient24(41, 23); },
                                                     100,
                                                     {3, 4},
                                                     {20, 15},
                                                     QRect(QPoint(3, 4), QPoint(20, 15))},
                                           PasteCase{"ColourAt200",
                                                     [] { return Gradient24(41, 23); },
                                                     200,
                                                     {10, 10},
                                                     {21, 21},
                                                     QRect(QPoint(5, 5), QPoint(10, 10))},
                                           PasteCase{"OddWidthRows",
                                                     [] { return Gradient24(41, 23); },
                                                     100,
                                                     {0, 0},
                                                     {4, 22},
                                                     QRect(QPoint(0, 0), QPoint(4, 22))},
                                           PasteCase{"Indexed",
                                                     [] { return Indexed(30, 20); },
                                                     100,
                                                     {29, 19},
                                                     {11, 2},
                                                     QRect(QPoint(11, 2), QPoint(29, 19))}),
                         [](const auto& info) { return std::string(info.param.name); });

// The bitmap is made at each request from the copy taken at the release: a later change of
// the window does not reach what was copied.
TEST_F(ClipboardTest, CopyIsTakenAtTheRelease) {
  auto w = std::make_unique<TFormImagem>(nullptr);
  w->DefinirBitmap(Gradient24(10, 10));
  w->show();
  Drag(*w, {1, 1}, {4, 4});
  w->MarcarSelecao();  // paints the display copy blue
  w.reset();
  const Bitmap bmp = FromBmp(Offered()->data("image/bmp"));
  ASSERT_EQ(bmp.width(), 4);
  EXPECT_EQ(bmp.pixelColor(0, 0), (PaletteEntry{9, 1, 1}));
}

}  // namespace
}  // namespace vandrel::testing
