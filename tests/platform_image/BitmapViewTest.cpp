// QImage views of bitmaps and bitmaps from QImages.
#include "platform/qt/BitmapView.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <vector>

#include "BitmapTestUtil.h"

namespace vandrel {
namespace {

QRgb Rgb(PaletteEntry e) { return qRgb(e.red, e.green, e.blue); }

Bitmap Sample(PixelFormat f, int w, int h, int paletteSize) {
  if (f >= PixelFormat::pf24bit) return test::RandomColour(w, h, f, 5);
  Bitmap b = test::RandomIndexed(w, h, f, (1u << static_cast<int>(f)) - 1, 5);
  b.setPalette(test::DistinctPalette(paletteSize));
  return b;
}

struct ViewCase {
  PixelFormat format;
  QImage::Format qt;
  bool shared;  // the view uses the bitmap's own memory
  int paletteSize;
};

class BitmapViewTest : public ::testing::TestWithParam<ViewCase> {};

TEST_P(BitmapViewTest, ShowsEveryPixelInItsColour) {
  const ViewCase c = GetParam();
  const Bitmap b = Sample(c.format, 19, 7, c.paletteSize);
  const QImage view = BitmapView(b);
  ASSERT_EQ(view.format(), c.qt);
  ASSERT_EQ(view.size(), QSize(19, 7));
  EXPECT_EQ(view.constBits() == b.bits(), c.shared);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 19; ++x)
      ASSERT_EQ(view.pixel(x, y) | 0xFF000000u, Rgb(b.pixelColor(x, y))) << x << "," << y;
}

TEST_P(BitmapViewTest, PaintsOpaqueAndStretched) {
  // The image window paints the view stretched onto its widget's surface, which has an
  // alpha channel: every pixel must arrive opaque, whatever a 32-bit fourth byte holds.
  const ViewCase c = GetParam();
  const Bitmap b = Sample(c.format, 8, 4, c.paletteSize);
  QImage canvas(16, 8, QImage::Format_ARGB32_Premultiplied);
  canvas.fill(Qt::transparent);
  {
    QPainter p(&canvas);
    p.drawImage(QRect(0, 0, 16, 8), BitmapView(b));
  }
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x)
      ASSERT_EQ(canvas.pixel(x, y), Rgb(b.pixelColor(x / 2, y / 2))) << x << "," << y;
}

TEST_P(BitmapViewTest, ComesBackAsTheSameBitmap) {
  const ViewCase c = GetParam();
  const Bitmap b = Sample(c.format, 13, 5, c.paletteSize);
  const Bitmap back = BitmapFromQImage(BitmapView(b));
  if (c.format == PixelFormat::pf4bit) {
    // Through Indexed8: the same indices, the palette padded to 16 entries.
    ASSERT_EQ(back.format(), PixelFormat::pf8bit);
    EXPECT_EQ(back.palette().size(), 16u);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 13; ++x) EXPECT_EQ(test::GetIndex(back, x, y), test::GetIndex(b, x, y));
    return;
  }
  Bitmap expected = b;
  if (c.format == PixelFormat::pf32bit)  // the view made the fourth bytes opaque
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 13; ++x) expected.scanLine(y)[4 * x + 3] = 0xFF;
  if (b.indexed()) {
    Palette padded = b.palette();
    padded.resize(size_t(1) << b.bitsPerPixel());
    expected.setPalette(padded);
  }
  EXPECT_EQ(back, expected);
}

INSTANTIATE_TEST_SUITE_P(
    EveryFormat, BitmapViewTest,
    ::testing::Values(ViewCase{PixelFormat::pf1bit, QImage::Format_Mono, true, 2},
                      ViewCase{PixelFormat::pf4bit, QImage::Format_Indexed8, false, 16},
                      ViewCase{PixelFormat::pf4bit, QImage::Format_Indexed8, false, 3},
                      ViewCase{PixelFormat::pf8bit, QImage::Format_Indexed8, true, 256},
                      ViewCase{PixelFormat::pf8bit, QImage::Format_Indexed8, true, 40},
                      ViewCase{PixelFormat::pf24bit, QImage::Format_BGR888, true, 0},
                      // Random fourth bytes: painted from an opaque copy.
                      ViewCase{PixelFormat::pf32bit, QImage::Format_RGB32, false, 0}));

// The images of their own that 4 and 32 bits get hold their pixels also when they are
// large, when the bitmap is gone and after their copies are freed.
TEST(BitmapView, ImagesOfTheirOwnOutliveTheBitmapAndTheirCopies) {
  for (PixelFormat f : {PixelFormat::pf4bit, PixelFormat::pf32bit}) {
    const int w = 1501, h = 1400;  // 32 bits: past the size of a mapped block
    QImage view, copy;
    std::vector<QRgb> expected;
    {
      const Bitmap b = Sample(f, w, h, 16);
      view = BitmapView(b);
      copy = view;
      for (int k = 0; k < 64; ++k) expected.push_back(Rgb(b.pixelColor(k * 23 % w, k * 97 % h)));
    }
    ASSERT_EQ(view.size(), QSize(w, h));
    copy = QImage();
    for (int k = 0; k < 64; ++k)
      EXPECT_EQ(view.pixel(k * 23 % w, k * 97 % h) | 0xFF000000u, expected[size_t(k)]) << k;
    // The padding after the last pixel of a row is clear, as a bitmap's is.
    if (f == PixelFormat::pf4bit) {
      for (int y = 0; y < h; y += 7) EXPECT_EQ(view.constScanLine(y)[w], 0) << y;
    }
  }
}

TEST(BitmapView, ThirtyTwoBitsWithOpaqueFourthBytesAreShared) {
  Bitmap b = test::RandomColour(6, 3, PixelFormat::pf32bit);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 6; ++x) b.scanLine(y)[4 * x + 3] = 0xFF;
  const QImage view = BitmapView(b);
  EXPECT_EQ(view.constBits(), b.bits());
  EXPECT_EQ(view.pixel(5, 2), Rgb(b.pixelColor(5, 2)));
}

TEST(BitmapView, ACopyOutlivesTheBitmap) {
  QImage kept;
  {
    Bitmap b(3, 3, PixelFormat::pf24bit);
    test::SetColour(b, 1, 1, {9, 8, 7});
    kept = BitmapView(b).copy();
  }
  EXPECT_EQ(kept.pixel(1, 1), qRgb(9, 8, 7));
}

TEST(BitmapView, EmptyBitmapGivesANullImage) {
  EXPECT_TRUE(BitmapView(Bitmap()).isNull());
  EXPECT_TRUE(BitmapView(Bitmap(0, 3, PixelFormat::pf8bit)).isNull());
  EXPECT_TRUE(BitmapFromQImage(QImage()).empty());
}

TEST(BitmapFromQImage, OtherFormats) {
  QImage argb(5, 2, QImage::Format_ARGB32);
  argb.fill(qRgba(10, 20, 30, 128));
  Bitmap b = BitmapFromQImage(argb);
  EXPECT_EQ(b.format(), PixelFormat::pf24bit);
  EXPECT_EQ(b.pixelColor(4, 1), (PaletteEntry{10, 20, 30}));

  QImage rgb(3, 1, QImage::Format_RGB888);
  rgb.setPixel(0, 0, qRgb(1, 2, 3));
  b = BitmapFromQImage(rgb);
  EXPECT_EQ(b.format(), PixelFormat::pf24bit);
  EXPECT_EQ(b.pixelColor(0, 0), (PaletteEntry{1, 2, 3}));

  QImage grey(4, 2, QImage::Format_Grayscale8);
  grey.fill(77);
  b = BitmapFromQImage(grey);
  EXPECT_EQ(b.format(), PixelFormat::pf8bit);
  EXPECT_EQ(b.palette(), GreyRamp());
  EXPECT_EQ(b.scanLine(1)[3], 77);

  // Least significant bit first, 11 pixels wide: read as the bitmap's order, and the bits
  // after the last pixel stay clear.
  QImage lsb(11, 1, QImage::Format_MonoLSB);
  lsb.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  lsb.fill(0xFF);
  lsb.setPixel(1, 0, 0);
  b = BitmapFromQImage(lsb);
  EXPECT_EQ(b.format(), PixelFormat::pf1bit);
  EXPECT_EQ(b.scanLine(0)[0], 0xBF);
  EXPECT_EQ(b.scanLine(0)[1], 0xE0);
  EXPECT_EQ(b.pixelColor(1, 0), (PaletteEntry{0, 0, 0}));
  EXPECT_EQ(b.pixelColor(10, 0), (PaletteEntry{255, 255, 255}));
}

}  // namespace
}  // namespace vandrel
