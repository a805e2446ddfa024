// The preview hands its colouring to the source window and takes the window's previous
// image back to colour into next time. Whatever the buffers held before (the source's 8-bit
// image at first, then an older preview), every preview must show exactly the colouring of
// the current thresholds, in the window's image and in its display copy, and closing must
// give the original back.
#include <gtest/gtest.h>

#include <QPushButton>
#include <random>

#include "tests/thresholds/ThresholdsTestUtil.h"

namespace vandrel::testing {
namespace {

// The colouring by the rule itself: a grey level belongs to the phase of the number of
// thresholds strictly below it, and takes that phase's colour of the default palette.
Bitmap Reference(const Bitmap& image, std::vector<int> thresholds) {
  Bitmap out(image.width(), image.height(), PixelFormat::pf24bit);
  const PaletaFases palette = PaletaPadrao();
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const int g = image.scanLine(y)[x];
      size_t phase = 0;
      for (int t : thresholds) phase += t < g;
      for (int c = 0; c < 3; ++c) out.scanLine(y)[3 * x + c] = palette[phase][size_t(c)];
    }
  return out;
}

TEST_F(ThresholdsTest, EveryPreviewShowsTheCurrentColouringWhateverItsBufferHeld) {
  std::mt19937 random(15);
  // Odd sizes, so that rows end in padding and in pixels outside groups of eight.
  for (const auto& [width, height] : {std::pair{37, 23}, std::pair{8, 1}, std::pair{130, 67}}) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    Bitmap original(width, height, PixelFormat::pf8bit);
    original.setPalette(GreyRamp());
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) original.scanLine(y)[x] = uint8_t(random());
    TFormLimiares* w = LimiaresSobre(original, QString("img%1.bmp").arg(width));
    ASSERT_TRUE(w);
    for (int round = 0; round < 8; ++round) {
      // A new level count now and then, and new positions for every level.
      const int wanted = 1 + int(random() % 6);
      while (w->NumNiveis < wanted) w->NovoNivel();
      while (w->NumNiveis > wanted) w->ExcluirNivel();
      std::vector<int> thresholds;
      for (int k = 1; k <= w->NumNiveis; ++k) {
        const int t = int(random() % 256);
        Barra(w, k)->setValue(t);
        thresholds.push_back(t);
      }
      w->Timer1Timer();
      w->NivelChange(w);  // a change after the tick: the preview
      const Bitmap expected = Reference(original, thresholds);
      ASSERT_EQ(imagem->BitmapImagem, expected) << "round " << round;
      ASSERT_EQ(imagem->CopiaExibida(), expected) << "round " << round;
      ASSERT_EQ(w->Imagem, original);
    }
    w->BtCancelar->click();
    Settle();
    EXPECT_EQ(imagem->BitmapImagem, original);
    EXPECT_EQ(imagem->CopiaExibida(), original);
    imagem->Release();
    Settle();
  }
}

}  // namespace
}  // namespace vandrel::testing
