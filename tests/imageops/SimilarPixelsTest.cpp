// The colour list of a selection and the recolouring of similar pixels, on small fixed
// images, and against the list built by a plain linear search.
#include <gtest/gtest.h>

#include <random>

#include "app/imaging/model/SimilarPixels.h"
#include "tests/imageops/ImageOpsTestUtil.h"

namespace vandrel::testing {
namespace {

using Lista = std::vector<FrequenciaCor>;

// Colour integers and their pixel bytes.
constexpr int32_t kA = 0x010203, kB = 0x0A0B0C, kC = 0x302010, kBranco = 0xFFFFFF;
constexpr int32_t kVermelho = 0x0000FF;
Bytes3 Px(int32_t c) { return {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)}; }

// The list as the tool describes it: a linear search of the first n entries, the count
// raised, then an exchange with the smallest j whose entries j..i-1 all have smaller counts.
Lista ListaLinear(const Bitmap& image, Point a, Point b) {
  Bitmap b24 = image;
  b24.setPixelFormat(PixelFormat::pf24bit);
  Lista lista;
  for (int y = a.y; y <= b.y; ++y)
    for (int x = a.x; x <= b.x; ++x) {
      const uint8_t* p = b24.scanLine(y) + 3 * x;
      const int32_t cor = p[2] + 256 * p[1] + 65536 * p[0];
      size_t i = 0;
      while (i < lista.size() && lista[i].cor != cor) ++i;
      if (i == lista.size()) {
        lista.push_back({cor, 1});
        continue;
      }
      const int32_t nova = ++lista[i].contagem;
      size_t j = i;
      while (j > 0 && lista[j - 1].contagem < nova) --j;
      std::swap(lista[i], lista[j]);
    }
  return lista;
}

TEST(CoresDaSelecao, SortedByDecreasingCountInScanOrder) {
  // A, B / B, C in scan order lists B (2), A (1), C (1).
  const Bitmap b = Rgb({{Px(kA), Px(kB)}, {Px(kB), Px(kC)}});
  EXPECT_EQ(CoresDaSelecao(b, {0, 0}, {1, 1}), (Lista{{kB, 2}, {kA, 1}, {kC, 1}}));
}

TEST(CoresDaSelecao, RaisedEntryIsExchangedWithTheFirstItOutnumbers) {
  // A B C C B A B: C jumps to the head, swapping A down behind B; B then overtakes C.
  const Bitmap b = Rgb({{Px(kA), Px(kB), Px(kC), Px(kC), Px(kB), Px(kA), Px(kB)}});
  EXPECT_EQ(CoresDaSelecao(b, {0, 0}, {6, 0}), (Lista{{kB, 3}, {kC, 2}, {kA, 2}}));
}

TEST(CoresDaSelecao, OnlyTheRectangleCountsAndItsCornersAreClamped) {
  const Bitmap b =
      Rgb({{Px(kA), Px(kA), Px(kA)}, {Px(kA), Px(kB), Px(kC)}, {Px(kA), Px(kC), Px(kC)}});
  EXPECT_EQ(CoresDaSelecao(b, {1, 1}, {2, 2}), (Lista{{kC, 3}, {kB, 1}}));
  EXPECT_EQ(CoresDaSelecao(b, {1, 1}, {40, 40}), (Lista{{kC, 3}, {kB, 1}}));
  EXPECT_EQ(CoresDaSelecao(b, {-5, -5}, {0, 0}), (Lista{{kA, 1}}));
  // An end before the start selects nothing.
  EXPECT_TRUE(CoresDaSelecao(b, {2, 2}, {1, 2}).empty());
  EXPECT_TRUE(CoresDaSelecao(b, {0, 2}, {2, 1}).empty());
  EXPECT_TRUE(CoresDaSelecao(Bitmap(0, 0, PixelFormat::pf24bit), {0, 0}, {-1, -1}).empty());
}

TEST(CoresDaSelecao, PaletteImagesListPaletteColoursAndIndicesOfOneColourCountOnce) {
  Palette p = GreyRamp();
  p[7] = p[3];  // indices 3 and 7 are one colour
  const Bitmap b = Grey({{3, 7, 9}, {7, 200, 9}}, p);
  EXPECT_EQ(CoresDaSelecao(b, {0, 0}, {2, 1}),
            (Lista{{0x030303, 3}, {0x090909, 2}, {200 * 0x010101, 1}}));
  // Beyond the palette the colour is black.
  const Bitmap curta = Grey({{1, 2, 250}}, Palette(3, PaletteEntry{5, 6, 7}));
  EXPECT_EQ(CoresDaSelecao(curta, {0, 0}, {2, 0}), (Lista{{0x070605, 2}, {0, 1}}));
}

TEST(CoresDaSelecao, SameListAsTheLinearSearchOnRandomImages) {
  std::mt19937 random(3);
  for (int rodada = 0; rodada < 40; ++rodada) {
    SCOPED_TRACE(rodada);
    const int w = 1 + int(random() % 40), h = 1 + int(random() % 30);
    const int cores = 1 + int(random() % (rodada % 2 ? 6 : 300));
    const bool paleta = rodada % 3 == 0;
    Bitmap b(w, h, paleta ? PixelFormat::pf8bit : PixelFormat::pf24bit);
    if (paleta) {
      Palette p(256);
      for (auto& e : p) e = {uint8_t(random() % 4), 0, uint8_t(random() % 3)};  // repeats
      b.setPalette(p);
    }
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint32_t v = uint32_t(random()) % uint32_t(cores);
        if (paleta) {
          b.scanLine(y)[x] = uint8_t(v);
        } else {
          uint8_t* q = b.scanLine(y) + 3 * x;
          q[0] = uint8_t(v * 37);
          q[1] = uint8_t(v >> 2);
          q[2] = uint8_t(v * 11);
        }
      }
    const Point a{int(random() % uint32_t(w)), int(random() % uint32_t(h))};
    const Point e{a.x + int(random() % uint32_t(w - a.x)), a.y + int(random() % uint32_t(h - a.y))};
    EXPECT_EQ(CoresDaSelecao(b, a, e), ListaLinear(b, a, e));
  }
}

TEST(CoresDaSelecao, ManyDistinctColoursOfA24BitImage) {
  // Every pixel a colour of its own, then each seen again in reverse: the hash table grows
  // many times and the entries trade places across the whole list.
  Bitmap b(300, 2, PixelFormat::pf24bit);
  for (int x = 0; x < 300; ++x) {
    const int32_t c = x * 40503;
    std::copy_n(Px(c).begin(), 3, b.scanLine(0) + 3 * x);
    std::copy_n(Px(c).begin(), 3, b.scanLine(1) + 3 * (299 - x));
  }
  EXPECT_EQ(CoresDaSelecao(b, {0, 0}, {299, 1}), ListaLinear(b, {0, 0}, {299, 1}));
}

TEST(MediaVermelho, UnweightedMeanOfTheRedComponentsTruncated) {
  EXPECT_EQ(MediaVermelho({{10, 5}, {20, 1}, {40, 9}}), 23);
  EXPECT_EQ(MediaVermelho({{0x0000FF, 1}, {0xFFFF00, 7}}), 127);
  EXPECT_EQ(MediaVermelho({}), std::nullopt);
}

// ---- Recolouring ---------------------------------------------------------------------------

OpcoesSimilares Os(int n, std::optional<int32_t> nova = {}, int32_t fundo = kBranco) {
  return {EscolhaSimilares::MaisFrequentes, n, nova, fundo};
}

std::vector<std::vector<int32_t>> Cores(const Bitmap& b) {
  EXPECT_EQ(b.format(), PixelFormat::pf24bit);
  std::vector<std::vector<int32_t>> out(size_t(b.height()));
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) {
      const Bytes3 p = PixelBytes(b, x, y);
      out[size_t(y)].push_back(p[2] | (p[1] << 8) | (p[0] << 16));
    }
  return out;
}

TEST(RecolorirSimilares, MostFrequentColoursKeepTheirColourAndTheRestTakeTheBackground) {
  const Bitmap b = Rgb({{Px(kA), Px(kB), Px(kC)}, {Px(kB), Px(kC), Px(kA)}});
  // Selection A, B / B, C: B (2) heads the list.
  EXPECT_EQ(Cores(RecolorirSimilares(b, {0, 0}, {1, 1}, Os(1, {}, 0))),
            (std::vector<std::vector<int32_t>>{{0, kB, 0}, {kB, 0, 0}}));
  EXPECT_EQ(Cores(RecolorirSimilares(b, {0, 0}, {1, 1}, Os(2, {}, 0))),
            (std::vector<std::vector<int32_t>>{{kA, kB, 0}, {kB, 0, kA}}));
}

TEST(RecolorirSimilares, MoreColoursAskedThanListedMarksOnlyTheListedOnes) {
  // One colour selected, "Os" 3: white pixels elsewhere are not in the selection and take
  // the background like every other pixel.
  const Bitmap b = Rgb({{Px(kA), Px(kBranco), Px(kC)}, {Px(kA), Px(kA), Px(kBranco)}});
  EXPECT_EQ(Cores(RecolorirSimilares(b, {0, 0}, {0, 1}, Os(3, {}, 0))),
            (std::vector<std::vector<int32_t>>{{kA, 0, 0}, {kA, kA, 0}}));
  EXPECT_EQ(Cores(RecolorirSimilares(b, {0, 0}, {0, 1}, Os(1000, {}, 0x123456))),
            (std::vector<std::vector<int32_t>>{{kA, 0x123456, 0x123456}, {kA, kA, 0x123456}}));
}

TEST(RecolorirSimilares, NothingMarkedGivesTheBackgroundEverywhere) {
  const Bitmap b = Rgb({{Px(kA), Px(kB)}});
  const std::vector<std::vector<int32_t>> preto{{0, 0}};
  EXPECT_EQ(Cores(RecolorirSimilares(b, {0, 0}, {1, 0}, Os(0, {}, 0))), preto);
  for (EscolhaSimilares e :
       {EscolhaSimilares::MaisFrequentes, EscolhaSimilares::Todos, EscolhaSimilares::ValorMedio})
    EXPECT_EQ(Cores(RecolorirSimilares(b, {1, 0}, {0, 0}, {e, 3, {}, 0})), preto) << int(e);
}

TEST(RecolorirSimilares, AllValuesOfTheSelectionWithANewColour) {
  const Bitmap b = Rgb({{Px(kA), Px(kB), Px(kC), Px(kA)}});
  EXPECT_EQ(Cores(RecolorirSimilares(b, {0, 0}, {1, 0},
                                     {EscolhaSimilares::Todos, 0, kVermelho, kBranco})),
            (std::vector<std::vector<int32_t>>{{kVermelho, kVermelho, kBranco, kVermelho}}));
  // Pure red is written as the bytes 0, 0, 255.
  EXPECT_EQ(PixelBytes(RecolorirSimilares(b, {0, 0}, {0, 0}, Os(1, kVermelho)), 0, 0),
            (Bytes3{0, 0, 255}));
}

TEST(RecolorirSimilares, GreyImageKeepsTheSelectedLevelsOnBlack) {
  const Bitmap g = Grey({{10, 20, 30}, {20, 10, 99}});
  // Selection: the first row's 10 and 20.
  const Bitmap r = RecolorirSimilares(g, {0, 0}, {1, 0}, {EscolhaSimilares::Todos, 0, {}, 0});
  EXPECT_EQ(r.width(), 3);
  EXPECT_EQ(r.height(), 2);
  EXPECT_EQ(Cores(r),
            (std::vector<std::vector<int32_t>>{{0x0A0A0A, 0x141414, 0}, {0x141414, 0x0A0A0A, 0}}));
  EXPECT_EQ(
      Cores(RecolorirSimilares(g, {0, 0}, {1, 0}, Os(5, kVermelho, 0))),
      (std::vector<std::vector<int32_t>>{{kVermelho, kVermelho, 0}, {kVermelho, kVermelho, 0}}));
}

TEST(RecolorirSimilares, MeanOptionMarksTheLevelOfTheMeanOfTheDistinctLevels) {
  // Levels 10, 20 and 40 in the selection (any frequencies): m = 70 / 3 = 23.
  const Bitmap g = Grey({{10, 10, 10, 20, 40}, {23, 22, 24, 10, 23}});
  const OpcoesSimilares media{EscolhaSimilares::ValorMedio, 0, {}, 0};
  EXPECT_EQ(Cores(RecolorirSimilares(g, {0, 0}, {4, 0}, media)),
            (std::vector<std::vector<int32_t>>{{0, 0, 0, 0, 0}, {0x171717, 0, 0, 0, 0x171717}}));
  // A palette colour is marked by its red component alone.
  Palette p = GreyRamp();
  p[50] = {23, 200, 100};
  const Bitmap c = Grey({{10, 20, 40, 50}}, p);
  EXPECT_EQ(Cores(RecolorirSimilares(c, {0, 0}, {2, 0}, media)),
            (std::vector<std::vector<int32_t>>{{0, 0, 0, 23 | (200 << 8) | (100 << 16)}}));
}

TEST(RecolorirSimilares, MeanOptionMarksNothingOnA24BitImage) {
  const Bitmap b = Rgb({{Px(0x171717), Px(0x0A0A0A), Px(0x282828)}});
  EXPECT_EQ(Cores(RecolorirSimilares(b, {1, 0}, {2, 0}, {EscolhaSimilares::ValorMedio, 0, {}, 5})),
            (std::vector<std::vector<int32_t>>{{5, 5, 5}}));
}

TEST(RecolorirSimilares, PaletteAnd24BitImagesOfTheSameColoursGiveTheSameResult) {
  std::mt19937 random(11);
  Palette p(256);
  for (auto& e : p) e = {uint8_t(random() % 3 * 100), uint8_t(random() % 2), 7};
  Bitmap g(23, 17, PixelFormat::pf8bit);
  g.setPalette(p);
  for (size_t i = 0; i < g.byteSize(); ++i) g.bits()[i] = uint8_t(random() % 40);
  Bitmap b24 = g;
  b24.setPixelFormat(PixelFormat::pf24bit);
  Bitmap b32 = g;
  b32.setPixelFormat(PixelFormat::pf32bit);
  const OpcoesSimilares casos[] = {
      Os(1), Os(2, 0x00FF00, 0), Os(4, {}, 0x445566), {EscolhaSimilares::Todos, 0, {}, 0}};
  for (const OpcoesSimilares& o : casos) {
    const Bitmap r = RecolorirSimilares(g, {3, 2}, {9, 8}, o);
    EXPECT_EQ(Cores(r), Cores(RecolorirSimilares(b24, {3, 2}, {9, 8}, o)));
    EXPECT_EQ(Cores(r), Cores(RecolorirSimilares(b32, {3, 2}, {9, 8}, o)));
  }
}

TEST(RecolorirSimilares, FourBitImagesAreReadThroughTheirPalette) {
  Bitmap b(3, 1, PixelFormat::pf4bit);
  b.setPalette({{1, 1, 1}, {2, 2, 2}, {3, 3, 3}});
  b.scanLine(0)[0] = 0x12;  // indices 1, 2
  b.scanLine(0)[1] = 0x10;  // index 1
  EXPECT_EQ(Cores(RecolorirSimilares(b, {0, 0}, {0, 0}, Os(1, {}, 0))),
            (std::vector<std::vector<int32_t>>{{0x020202, 0, 0x020202}}));
}

TEST(RecolorirSimilares, EmptyImageGivesAnEmpty24BitImage) {
  const Bitmap r = RecolorirSimilares(Bitmap(0, 0, PixelFormat::pf8bit), {0, 0}, {-1, -1}, Os(3));
  EXPECT_TRUE(r.empty());
  EXPECT_EQ(r.format(), PixelFormat::pf24bit);
}

// ---- Against the procedure, step by step -------------------------------------------------

// The tool's procedure written out plainly: B a 24-bit copy; a list of one slot per image
// pixel, pre-filled with (0xFFFFFF, -1), of which the first n are in use; every selected
// pixel searched linearly among them, its count raised and its entry exchanged with the
// smallest j whose entries j..i-1 all have smaller counts, or appended; the chosen entries
// searched linearly for every pixel of B. As the program has it, "Os" N marks only listed
// colours (the pre-filled slots beyond n mark nothing).
struct PeloProcedimento {
  Lista lista;
  Bitmap resultado;
};
PeloProcedimento Procedimento(const Bitmap& image, Point inicio, Point fim,
                              const OpcoesSimilares& o) {
  Bitmap b = image;
  b.setPixelFormat(PixelFormat::pf24bit);
  const int w = b.width(), h = b.height();
  auto cor = [&](int x, int y) {
    const uint8_t* p = b.scanLine(y) + 3 * x;
    return p[2] + 256 * p[1] + 65536 * p[0];
  };
  Lista slots(size_t(w) * size_t(h), FrequenciaCor{0xFFFFFF, -1});
  size_t n = 0;
  if (w > 0 && h > 0) {
    inicio = {std::clamp(inicio.x, 0, w - 1), std::clamp(inicio.y, 0, h - 1)};
    fim = {std::clamp(fim.x, 0, w - 1), std::clamp(fim.y, 0, h - 1)};
    for (int y = inicio.y; y <= fim.y; ++y)
      for (int x = inicio.x; x <= fim.x; ++x) {
        const int32_t c = cor(x, y);
        size_t i = 0;
        while (i < n && slots[i].cor != c) ++i;
        if (i == n) {
          slots[n++] = {c, 1};
          continue;
        }
        const int32_t nova = ++slots[i].contagem;
        size_t j = i;
        while (j > 0 && slots[j - 1].contagem < nova) --j;
        std::swap(slots[j], slots[i]);
      }
  }
  PeloProcedimento r;
  r.lista.assign(slots.begin(), slots.begin() + std::ptrdiff_t(n));

  Lista escolhidas;
  std::optional<int> media;
  switch (o.escolha) {
    case EscolhaSimilares::MaisFrequentes:
      for (int64_t k = 0; k < o.quantidade && size_t(k) < n; ++k)
        escolhidas.push_back(slots[size_t(k)]);
      break;
    case EscolhaSimilares::Todos:
      escolhidas = r.lista;
      break;
    case EscolhaSimilares::ValorMedio:
      if (image.format() != PixelFormat::pf24bit && n > 0) {
        int soma = 0;
        for (size_t k = 0; k < n; ++k) soma += slots[k].cor & 0xFF;
        media = soma / int(n);
      }
      break;
  }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int32_t c = cor(x, y);
      bool marcado = false;
      if (o.escolha == EscolhaSimilares::ValorMedio)
        marcado = media && (c & 0xFF) == *media;
      else
        for (const FrequenciaCor& e : escolhidas) marcado = marcado || e.cor == c;
      const int32_t v = marcado ? o.novaCor.value_or(c) : o.corFundo;
      uint8_t* p = b.scanLine(y) + 3 * x;
      p[0] = uint8_t(v >> 16);
      p[1] = uint8_t((v >> 8) & 0xFF);
      p[2] = uint8_t(v & 0xFF);
    }
  r.resultado = std::move(b);
  return r;
}

// Seeded random images: `cores` distinct colours (levels for palette images) drawn with a
// skew, so that some colours are frequent and many counts tie.
Bitmap Aleatoria(std::mt19937& random, PixelFormat f, int w, int h, int cores) {
  Bitmap b(w, h, f);
  std::vector<uint32_t> tabela(static_cast<size_t>(cores));
  for (uint32_t& c : tabela) c = uint32_t(random()) & 0xFFFFFF;
  if (f == PixelFormat::pf8bit) {
    Palette p(256);
    for (auto& e : p) e = {uint8_t(random() % 5 * 60), uint8_t(random() % 3), uint8_t(random())};
    if (cores % 2) p = GreyRamp();
    b.setPalette(p);
  }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t r = uint32_t(random());
      const size_t k = (r & 1 ? r >> 1 : (r >> 1) % 4) % size_t(cores);
      uint8_t* p = b.scanLine(y) + x * (b.bitsPerPixel() / 8);
      if (f == PixelFormat::pf8bit) {
        p[0] = uint8_t(k * 7 + 3);
      } else {
        p[0] = uint8_t(tabela[k]);
        p[1] = uint8_t(tabela[k] >> 8);
        p[2] = uint8_t(tabela[k] >> 16);
        if (f == PixelFormat::pf32bit) p[3] = uint8_t(r);
      }
    }
  return b;
}

struct CasoAleatorio {
  const char* nome;
  PixelFormat formato;
  int maxLado;
  int cores;
};

class ProcedimentoAleatorio : public ::testing::TestWithParam<CasoAleatorio> {};

TEST_P(ProcedimentoAleatorio, SameListAndSameImageAsTheProcedure) {
  const CasoAleatorio caso = GetParam();
  std::mt19937 random(uint32_t(caso.cores * 131 + caso.maxLado));
  for (int rodada = 0; rodada < 20; ++rodada) {
    SCOPED_TRACE(rodada);
    const int w = 1 + int(random() % uint32_t(caso.maxLado));
    const int h = 1 + int(random() % uint32_t(caso.maxLado / 2 + 1));
    const Bitmap b = Aleatoria(random, caso.formato, w, h, caso.cores);
    // The selection: the whole picture, one pixel, a random rectangle with its corners
    // possibly outside, or an end before its start.
    Point a{0, 0}, e{w - 1, h - 1};
    switch (rodada % 5) {
      case 1:
        a = e = {int(random() % uint32_t(w)), int(random() % uint32_t(h))};
        break;
      case 2:
      case 3:
        a = {int(random() % uint32_t(w + 4)) - 2, int(random() % uint32_t(h + 4)) - 2};
        e = {a.x + int(random() % uint32_t(w + 2)), a.y + int(random() % uint32_t(h + 2))};
        break;
      case 4:
        if (rodada % 10 == 4) std::swap(a, e);
        break;
    }
    const std::optional<int32_t> novas[] = {std::nullopt, 0x0000FF, 0x7F3010};
    const OpcoesSimilares opcoes[] = {
        {EscolhaSimilares::MaisFrequentes, 3, novas[rodada % 3], 0xFFFFFF},
        {EscolhaSimilares::MaisFrequentes, 1 + int(random() % 12), novas[(rodada + 1) % 3], 0},
        {EscolhaSimilares::MaisFrequentes, 0, std::nullopt, 0x123456},
        {EscolhaSimilares::Todos, 0, novas[(rodada + 2) % 3], 0x00FF00},
        {EscolhaSimilares::ValorMedio, 0, novas[rodada % 3], 0},
    };
    for (const OpcoesSimilares& o : opcoes) {
      SCOPED_TRACE(::testing::Message() << "choice " << int(o.escolha) << " N " << o.quantidade);
      const PeloProcedimento esperado = Procedimento(b, a, e, o);
      ASSERT_EQ(CoresDaSelecao(b, a, e), esperado.lista);
      ASSERT_EQ(RecolorirSimilares(b, a, e, o), esperado.resultado);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Imagens, ProcedimentoAleatorio,
    ::testing::Values(CasoAleatorio{"Palette4Levels", PixelFormat::pf8bit, 70, 4},
                      CasoAleatorio{"Palette40", PixelFormat::pf8bit, 90, 40},
                      CasoAleatorio{"Palette256SharedColours", PixelFormat::pf8bit, 120, 36},
                      CasoAleatorio{"Rgb3Colours", PixelFormat::pf24bit, 80, 3},
                      CasoAleatorio{"Rgb9Colours", PixelFormat::pf24bit, 77, 9},
                      CasoAleatorio{"Rgb300Colours", PixelFormat::pf24bit, 101, 300},
                      CasoAleatorio{"Rgb5000Colours", PixelFormat::pf24bit, 180, 5000},
                      CasoAleatorio{"Bgra7Colours", PixelFormat::pf32bit, 50, 7}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST(ProcedimentoGrande, SelectionOfMillionsOfPixelsWithTiedLargeCounts) {
  // Three colours in turn over 3.3 million pixels: the counts pass a million and tie after
  // every third pixel, and then a fourth colour appears.
  const int w = 2048, h = 1620;
  Bitmap b(w, h, PixelFormat::pf8bit);
  b.setPalette(GreyRamp());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.scanLine(y)[x] = uint8_t(10 * ((y * w + x) % 3));
  b.scanLine(h - 1)[w - 1] = 200;
  b.scanLine(h - 1)[w - 3] = 200;
  const OpcoesSimilares o{EscolhaSimilares::MaisFrequentes, 2, std::nullopt, 0xFFFFFF};
  const PeloProcedimento esperado = Procedimento(b, {0, 0}, {w - 1, h - 1}, o);
  EXPECT_EQ(CoresDaSelecao(b, {0, 0}, {w - 1, h - 1}), esperado.lista);
  EXPECT_EQ(RecolorirSimilares(b, {0, 0}, {w - 1, h - 1}, o), esperado.resultado);
}

}  // namespace
}  // namespace vandrel::testing
