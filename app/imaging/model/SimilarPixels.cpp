// Similar-pixel recolouring. The colour list is a frequency list kept sorted by moving a
// raised entry up past the entries it now outnumbers; lookups of a colour's place in the
// list go through a table (palette images) or a hash table (24-bit images) instead of a
// linear search, which gives the same list. Marking tests each pixel against a bit set of
// the chosen colours; palette images are recoloured through a 256-entry table.
#include "app/imaging/model/SimilarPixels.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace vandrel {

namespace {

constexpr uint32_t kVazio = 0xFFFFFFFFu;

inline int32_t CorDoPixel(const uint8_t* p) { return p[2] | (p[1] << 8) | (p[0] << 16); }

inline void EscreverCor(uint8_t* p, int32_t c) {
  p[0] = uint8_t(c >> 16);
  p[1] = uint8_t((c >> 8) & 0xFF);
  p[2] = uint8_t(c & 0xFF);
}

// The colour integer of each palette index; black beyond the palette.
std::array<int32_t, 256> CoresDaPaleta(const Palette& palette) {
  std::array<int32_t, 256> cores{};
  for (size_t i = 0; i < palette.size() && i < 256; ++i)
    cores[i] = palette[i].red | (palette[i].green << 8) | (palette[i].blue << 16);
  return cores;
}

// Place in the list of each key, for palette images: keys are palette indices (one per
// distinct colour), so a plain table holds them.
class LugaresPequenos {
 public:
  LugaresPequenos() { lugar_.fill(-1); }
  int32_t& operator[](uint32_t chave) { return lugar_[chave]; }

 private:
  std::array<int32_t, 256> lugar_;
};

// Place in the list of each colour, for 24-bit images: open addressing with linear probing,
// kept at most half full, key and place side by side. An absent key reads as -1 (and is
// then stored).
class LugaresHash {
 public:
  LugaresHash() { Redimensionar(256); }
  int32_t& operator[](uint32_t chave) {
    if (2 * (usados_ + 1) > tabela_.size()) Redimensionar(2 * tabela_.size());
    size_t i = Posicao(chave);
    while (tabela_[i].chave != chave) {
      if (tabela_[i].chave == kVazio) {
        tabela_[i] = {chave, -1};
        ++usados_;
        break;
      }
      i = (i + 1) & mascara_;
    }
    return tabela_[i].lugar;
  }

 private:
  struct Entrada {
    uint32_t chave = kVazio;
    int32_t lugar = -1;
  };
  size_t Posicao(uint32_t chave) const {
    return size_t((uint64_t(chave) * 0x9E3779B97F4A7C15ull) >> 32) & mascara_;
  }
  void Redimensionar(size_t capacidade) {
    std::vector<Entrada> antiga = std::move(tabela_);
    tabela_.assign(capacidade, Entrada{});
    mascara_ = capacidade - 1;
    for (const Entrada& e : antiga) {
      if (e.chave == kVazio) continue;
      size_t i = Posicao(e.chave);
      while (tabela_[i].chave != kVazio) i = (i + 1) & mascara_;
      tabela_[i] = e;
    }
  }

  std::vector<Entrada> tabela_;
  size_t mascara_ = 0;
  size_t usados_ = 0;
};

// The frequency list with the key of each entry, so that an exchange can update the places.
template <class Lugares>
class Contagem {
 public:
  void Adicionar(uint32_t chave, int32_t cor) {
    int32_t& lugar = lugares_[chave];
    if (lugar < 0) {
      lugar = int32_t(lista.size());
      lista.push_back({cor, 1});
      chaves_.push_back(chave);
      return;
    }
    const size_t i = size_t(lugar);
    const int32_t nova = ++lista[i].contagem;
    if (i == 0 || lista[i - 1].contagem >= nova) return;
    // The entries above i have counts of at least nova - 1 and the list is sorted, so those
    // smaller than the new count form one run ending at i - 1: find where it begins.
    const auto inicio =
        std::partition_point(lista.begin(), lista.begin() + std::ptrdiff_t(i),
                             [nova](const FrequenciaCor& e) { return e.contagem >= nova; });
    const size_t j = size_t(inicio - lista.begin());
    std::swap(lista[i], lista[j]);
    std::swap(chaves_[i], chaves_[j]);
    lugares_[chaves_[i]] = int32_t(i);
    lugares_[chaves_[j]] = int32_t(j);
  }

  std::vector<FrequenciaCor> lista;

 private:
  Lugares lugares_;
  std::vector<uint32_t> chaves_;
};

// Palette images of 1 and 4 bits are read as 8-bit (same indices, same palette) and 32-bit
// images as 24-bit, so only two pixel layouts remain.
const Bitmap& Normalizada(const Bitmap& image, Bitmap& scratch) {
  if (image.format() == PixelFormat::pf1bit || image.format() == PixelFormat::pf4bit) {
    scratch = image;
    scratch.setPixelFormat(PixelFormat::pf8bit);
    return scratch;
  }
  if (image.format() == PixelFormat::pf32bit) {
    scratch = image;
    scratch.setPixelFormat(PixelFormat::pf24bit);
    return scratch;
  }
  return image;
}

// The selection clamped into the image: false when it holds no pixel.
bool Recorte(const Bitmap& image, Point& inicio, Point& fim) {
  if (image.width() <= 0 || image.height() <= 0) return false;
  inicio.x = std::clamp(inicio.x, 0, image.width() - 1);
  inicio.y = std::clamp(inicio.y, 0, image.height() - 1);
  fim.x = std::clamp(fim.x, 0, image.width() - 1);
  fim.y = std::clamp(fim.y, 0, image.height() - 1);
  return fim.x >= inicio.x && fim.y >= inicio.y;
}

std::vector<FrequenciaCor> Listar(const Bitmap& img, Point inicio, Point fim) {
  if (!Recorte(img, inicio, fim)) return {};
  if (img.format() == PixelFormat::pf8bit) {
    const std::array<int32_t, 256> cores = CoresDaPaleta(img.palette());
    // Indices of one colour share one key: the first index of that colour.
    std::array<uint8_t, 256> chave{};
    for (int k = 0; k < 256; ++k) {
      chave[size_t(k)] = uint8_t(k);
      for (int m = 0; m < k; ++m)
        if (cores[size_t(m)] == cores[size_t(k)]) {
          chave[size_t(k)] = uint8_t(m);
          break;
        }
    }
    Contagem<LugaresPequenos> contagem;
    for (int y = inicio.y; y <= fim.y; ++y) {
      const uint8_t* row = img.scanLine(y);
      for (int x = inicio.x; x <= fim.x; ++x) contagem.Adicionar(chave[row[x]], cores[row[x]]);
    }
    return std::move(contagem.lista);
  }
  Contagem<LugaresHash> contagem;
  for (int y = inicio.y; y <= fim.y; ++y) {
    const uint8_t* row = img.scanLine(y);
    for (int x = inicio.x; x <= fim.x; ++x) {
      const int32_t cor = CorDoPixel(row + 3 * x);
      contagem.Adicionar(uint32_t(cor), cor);
    }
  }
  return std::move(contagem.lista);
}

// A set of 24-bit colours as one bit per colour (2 MB).
class ConjuntoCores {
 public:
  ConjuntoCores() : bits_(size_t(1) << 18) {}
  void Inserir(int32_t cor) { bits_[size_t(cor) >> 6] |= uint64_t(1) << (cor & 63); }
  bool Contem(int32_t cor) const { return (bits_[size_t(cor) >> 6] >> (cor & 63)) & 1; }

 private:
  std::vector<uint64_t, ZeroedAllocator<uint64_t>> bits_;
};

}  // namespace

std::vector<FrequenciaCor> CoresDaSelecao(const Bitmap& image, Point inicio, Point fim) {
  Bitmap scratch;
  return Listar(Normalizada(image, scratch), inicio, fim);
}

std::optional<int> MediaVermelho(const std::vector<FrequenciaCor>& lista) {
  if (lista.empty()) return std::nullopt;
  int64_t soma = 0;
  for (const FrequenciaCor& e : lista) soma += e.cor & 0xFF;
  return int(soma / int64_t(lista.size()));
}

Bitmap RecolorirSimilares(const Bitmap& image, Point inicio, Point fim, const OpcoesSimilares& o) {
  Bitmap scratch;
  const Bitmap& img = Normalizada(image, scratch);
  const std::vector<FrequenciaCor> lista = Listar(img, inicio, fim);

  ConjuntoCores marcadas;
  switch (o.escolha) {
    case EscolhaSimilares::MaisFrequentes: {
      const size_t k = size_t(std::clamp<int64_t>(o.quantidade, 0, int64_t(lista.size())));
      for (size_t i = 0; i < k; ++i) marcadas.Inserir(lista[i].cor);
      break;
    }
    case EscolhaSimilares::Todos:
      for (const FrequenciaCor& e : lista) marcadas.Inserir(e.cor);
      break;
    case EscolhaSimilares::ValorMedio:
      if (image.format() == PixelFormat::pf24bit) break;
      if (const std::optional<int> m = MediaVermelho(lista))
        for (int32_t gb = 0; gb < 65536; ++gb) marcadas.Inserir(*m | (gb << 8));
      break;
  }

  const int w = img.width(), h = img.height();
  Bitmap out(w, h, PixelFormat::pf24bit);
  if (img.format() == PixelFormat::pf8bit) {
    // Each index's result colour, then one table look-up per pixel.
    const std::array<int32_t, 256> cores = CoresDaPaleta(img.palette());
    std::array<std::array<uint8_t, 3>, 256> tabela;
    for (size_t k = 0; k < 256; ++k) {
      const int32_t c = marcadas.Contem(cores[k]) ? o.novaCor.value_or(cores[k]) : o.corFundo;
      EscreverCor(tabela[k].data(), c);
    }
    for (int y = 0; y < h; ++y) {
      const uint8_t* src = img.scanLine(y);
      uint8_t* dst = out.scanLine(y);
      for (int x = 0; x < w; ++x) {
        const std::array<uint8_t, 3>& t = tabela[src[x]];
        dst[3 * x] = t[0];
        dst[3 * x + 1] = t[1];
        dst[3 * x + 2] = t[2];
      }
    }
    return out;
  }

  std::array<uint8_t, 3> fundo, nova;
  EscreverCor(fundo.data(), o.corFundo);
  EscreverCor(nova.data(), o.novaCor.value_or(0));
  const bool manter = !o.novaCor;
  for (int y = 0; y < h; ++y) {
    const uint8_t* src = img.scanLine(y);
    uint8_t* dst = out.scanLine(y);
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = src + 3 * x;
      const bool marcado = marcadas.Contem(CorDoPixel(p));
      const uint8_t* c = marcado ? (manter ? p : nova.data()) : fundo.data();
      dst[3 * x] = c[0];
      dst[3 * x + 1] = c[1];
      dst[3 * x + 2] = c[2];
    }
  }
  return out;
}

}  // namespace vandrel
