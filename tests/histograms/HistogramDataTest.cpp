// The histogram control's data operations: single and overlay modes, counts, the overlay
// list and the default colours of its curves.
#include "app/histograms/model/HistogramData.h"

#include <gtest/gtest.h>

#include "HistogramTestUtil.h"

namespace vandrel {
namespace {

using testing::Falling;
using testing::Filled;
using testing::GreyBitmap;
using testing::Ramp;

class HistogramDataTest : public ::testing::Test {
 protected:
  HistogramDataTest() {
    d.Aviso = [this](const std::string& text) { messages.push_back(text); };
  }
  HistogramData d;
  std::vector<std::string> messages;
};

TEST_F(HistogramDataTest, CalcularDeBitmap) {
  ASSERT_TRUE(d.CalcularDeBitmap(GreyBitmap(10, 4, [](int, int) { return 0; })));
  EXPECT_EQ(d.Valores()[0], 1.0);
  EXPECT_EQ(d.ContagemAcumulada()[0], 40);

  ASSERT_TRUE(d.CalcularDeBitmap(GreyBitmap(4, 2, [](int x, int) { return uint8_t(x * 10); })));
  EXPECT_EQ(d.Valores()[30], 0.25);
  EXPECT_EQ(d.Valores()[0], 0.25);
  EXPECT_EQ(d.ContagemAcumulada()[10], 2);

  // An empty 8-bit bitmap: every value 0.
  ASSERT_TRUE(d.CalcularDeBitmap(Bitmap(0, 0, PixelFormat::pf8bit)));
  EXPECT_EQ(d.Valores(), GreyHistogram{});
  EXPECT_TRUE(messages.empty());
}

TEST_F(HistogramDataTest, CalcularDeBitmapRefusesOtherFormatsAndChangesNothing) {
  d.AdicionarValores(Ramp());  // overlay mode
  for (PixelFormat f :
       {PixelFormat::pf1bit, PixelFormat::pf4bit, PixelFormat::pf24bit, PixelFormat::pf32bit}) {
    EXPECT_FALSE(d.CalcularDeBitmap(Bitmap(3, 3, f)));
    EXPECT_TRUE(d.Sobreposicao());
    EXPECT_EQ(d.Histogramas().size(), 1u);
  }
  EXPECT_EQ(messages, std::vector<std::string>(4, "Essa não é uma imagem de 8 bits"));
}

TEST_F(HistogramDataTest, CountsAccumulateAndReplace) {
  GreyCounts zeros{};
  d.AdicionarContagem(zeros);
  EXPECT_EQ(d.Valores(), GreyHistogram{});

  GreyCounts c{};
  c[10] = 3;
  c[20] = 1;
  d.AdicionarContagem(c);
  d.AdicionarContagem(c);
  EXPECT_EQ(d.ContagemAcumulada()[10], 6);
  EXPECT_EQ(d.Valores()[10], 0.75);
  EXPECT_EQ(d.Valores()[20], 0.25);

  GreyCounts e{};
  e[5] = 2;
  d.DefinirContagem(e);
  EXPECT_EQ(d.ContagemAcumulada()[10], 0);
  EXPECT_EQ(d.Valores()[5], 1.0);

  // A negative increment (an undone selection) takes counts back.
  GreyCounts undo{};
  undo[5] = -2;
  d.AdicionarContagem(undo);
  EXPECT_EQ(d.Valores(), GreyHistogram{});
}

TEST_F(HistogramDataTest, CountOperationsLeaveOverlayMode) {
  GreyCounts c{};
  c[1] = 1;
  for (int op = 0; op < 3; ++op) {
    d.AdicionarValores(Ramp());
    ASSERT_TRUE(d.Sobreposicao());
    if (op == 0) d.AdicionarContagem(c);
    if (op == 1) d.DefinirContagem(c);
    if (op == 2) d.DefinirValores(Ramp());
    EXPECT_FALSE(d.Sobreposicao()) << op;
    EXPECT_FALSE(d.Histogramas().empty()) << "the list is kept";
  }
}

TEST_F(HistogramDataTest, DefinirValoresTouchesNeitherListNorCounts) {
  GreyCounts c{};
  c[4] = 7;
  d.DefinirContagem(c);
  d.DefinirValores(Ramp());
  EXPECT_EQ(d.ContagemAcumulada()[4], 7);
  EXPECT_EQ(d.Valores(), Ramp());
}

TEST_F(HistogramDataTest, OverlayOnStartsFromTheSingleHistogram) {
  d.DefinirValores(Ramp());
  d.DefinirSobreposicao(true);
  ASSERT_EQ(d.Histogramas().size(), 1u);
  const THistoCompleto& first = d.Histogramas()[0];
  EXPECT_EQ(first.Valores, Ramp());
  EXPECT_EQ(first.Cor, 0xFF0000);
  EXPECT_EQ(first.Espessura, 1);
  EXPECT_EQ(first.Nome, "");

  // Again from a longer list: cut to one entry that keeps its name.
  d.DefinirNome(0, "primeira");
  d.AdicionarValores(Falling());
  d.DefinirLinha(0, "primeira", 5, 0x123456);
  d.DefinirValores(Falling());
  d.DefinirSobreposicao(true);
  ASSERT_EQ(d.Histogramas().size(), 1u);
  EXPECT_EQ(d.Histogramas()[0].Nome, "primeira");
  EXPECT_EQ(d.Histogramas()[0].Valores, Falling());
  EXPECT_EQ(d.Histogramas()[0].Cor, 0xFF0000);
  EXPECT_EQ(d.Histogramas()[0].Espessura, 1);
}

TEST_F(HistogramDataTest, OverlayOffClearsTheSingleHistogramAndKeepsTheList) {
  GreyCounts c{};
  c[9] = 9;
  d.DefinirContagem(c);
  d.DefinirSobreposicao(true);
  d.AdicionarValores(Ramp());
  d.DefinirSobreposicao(false);
  EXPECT_FALSE(d.Sobreposicao());
  EXPECT_EQ(d.Valores(), GreyHistogram{});
  EXPECT_EQ(d.ContagemAcumulada(), GreyCounts{});
  EXPECT_EQ(d.Histogramas().size(), 2u);
}

TEST_F(HistogramDataTest, LimparInOverlayBringsBackTheSingleHistogram) {
  d.DefinirValores(Ramp());
  d.AdicionarArquivo(testing::DataFile("uniform.his"));
  d.AdicionarValores(Falling());
  ASSERT_TRUE(d.Sobreposicao());
  d.Limpar();
  EXPECT_FALSE(d.Sobreposicao());
  EXPECT_TRUE(d.Histogramas().empty());
  EXPECT_EQ(d.Valores()[0], 1.0 / 256);  // the single histogram the overlay began from

  d.Limpar();  // single mode: zeroes values and counts
  EXPECT_EQ(d.Valores(), GreyHistogram{});
}

TEST_F(HistogramDataTest, AdicionarValores) {
  d.DefinirValores(Ramp());
  d.AdicionarValores(Falling());  // single mode: a list of that one entry
  ASSERT_EQ(d.Histogramas().size(), 1u);
  EXPECT_EQ(d.Histogramas()[0].Valores, Falling());
  EXPECT_EQ(d.Histogramas()[0].Cor, CorDaFase(0));
  for (int i = 1; i < 5; ++i) d.AdicionarValores(Filled(i));
  ASSERT_EQ(d.Histogramas().size(), 5u);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(d.Histogramas()[size_t(i)].Cor, CorDaFase(uint8_t(i)));
    EXPECT_EQ(d.Histogramas()[size_t(i)].Espessura, 1);
    EXPECT_EQ(d.Histogramas()[size_t(i)].Nome, "");
  }
}

TEST_F(HistogramDataTest, RemoverHistogramaShiftsLaterEntriesWithTheirLooks) {
  for (int i = 0; i < 4; ++i) d.AdicionarValores(Filled(i));
  d.DefinirLinha(2, "dois", 3, 0x00AA00);
  d.RemoverHistograma(1);
  ASSERT_EQ(d.Histogramas().size(), 3u);
  EXPECT_EQ(d.Histogramas()[1].Nome, "dois");
  EXPECT_EQ(d.Histogramas()[1].Espessura, 3);
  EXPECT_EQ(d.Histogramas()[1].Cor, 0x00AA00);
  EXPECT_EQ(d.Histogramas()[2].Cor, CorDaFase(3));
  EXPECT_EQ(d.Histogramas()[2].Valores, Filled(3));
  // Down to nothing: still overlay mode.
  for (int i = 0; i < 3; ++i) d.RemoverHistograma(0);
  EXPECT_TRUE(d.Histogramas().empty());
  EXPECT_TRUE(d.Sobreposicao());
}

TEST_F(HistogramDataTest, IndicesOutsideTheListAreIgnored) {
  d.AdicionarValores(Ramp());
  for (int index : {-1, 1, 1000}) {
    d.DefinirLinha(index, "x", 2, 1);
    d.DefinirNome(index, "x");
    d.RemoverHistograma(index);
  }
  ASSERT_EQ(d.Histogramas().size(), 1u);
  EXPECT_EQ(d.Histogramas()[0].Nome, "");
}

TEST(CorDaFase, TableAndFormula) {
  const int32_t table[15] = {0xFF0000, 0x0000FF, 0x000000, 0x008000, 0x800000,
                             0xFF00FF, 0x800080, 0x000080, 0x008080, 0x808080,
                             0x00FF00, 0x00FFFF, 0x808000, 0x0080FF, 0x8000FF};
  for (int k = 0; k < 15; ++k) EXPECT_EQ(CorDaFase(uint8_t(k)), table[k]) << k;
  // From 15 on: RGB(k * 20, k * 50, ((k * k) and 255) + 30), each byte truncated.
  EXPECT_EQ(CorDaFase(15), Rgb(44, 238, 255));
  EXPECT_EQ(CorDaFase(16), Rgb(64, 32, 30));
  EXPECT_EQ(CorDaFase(17), Rgb(84, 82, 63));
  EXPECT_EQ(CorDaFase(255), Rgb(236, 206, 31));
}

}  // namespace
}  // namespace vandrel
