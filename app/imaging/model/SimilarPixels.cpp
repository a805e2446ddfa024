// Similar-pixel recolouring. The colour list is a frequency list kept sorted by exchanging a
// raised entry with the first entry of its old count, which is what scanning up from the
// raised entry finds. Instead of a linear search, each colour's place and count are found
// through a table (palette images) or a hash table (24-bit images), and the first place of
// each count comes from a running tally of the entries above it, so a pixel costs a few
// look-ups whatever the number of colours, and the list comes out the same. Marking tests
// each pixel against the chosen colours (a bit set, or the few keys themselves); palette
// images are recoloured through a 256-entry table.
#include "app/imaging/model/SimilarPixels.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

#include "app/imaging/model/PixelRows.h"

namespace vandrel {

namespace {

constexpr uint32_t kVazio = 0xFFFFFFFFu;

// The three bytes of a 24-bit pixel as they lie in memory (blue lowest): the key of its colour.
inline uint32_t ChaveDoPixel(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16); }
// The same from a four-byte read, where the pixel is not the last of its row.
inline uint32_t ChaveDoPixel4(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v & 0xFFFFFF;
}
// A key as a colour integer (red lowest) and back: the two orders are each other's reverse.
inline int32_t CorDaChave(uint32_t k) {
  return int32_t(((k & 0xFF) << 16) | (k & 0xFF00) | ((k >> 16) & 0xFF));
}
inline uint32_t ChaveDaCor(int32_t c) { return uint32_t(CorDaChave(uint32_t(c))); }

// The colour integer of each palette index; black beyond the palette.
std::array<int32_t, 256> CoresDaPaleta(const Palette& palette) {
  std::array<int32_t, 256> cores{};
  for (size_t i = 0; i < palette.size() && i < 256; ++i)
    cores[i] = palette[i].red | (palette[i].green << 8) | (palette[i].blue << 16);
  return cores;
}

// The state of one colour in the list being built: its place and its count.
struct Estado {
  uint32_t lugar = kVazio;  // kVazio: not seen yet
  uint32_t contagem = 0;
};

// The frequency list as it is built. The list holds references to the colours' states, kept
// by `Lugares` (a table by palette index, or the slots of a hash table), so that raising a
// colour reads its place and count in one spot, and an exchange rewrites two places and two
// references. acima_[c] is the number of colours whose count exceeds c, which is also the
// place of the first colour of count c: raising a colour of count c exchanges it with that
// place and adds one to acima_[c], and no other tally changes. Tallies are kept for counts
// below `limite_`; a colour with a larger count is one of at most pixels / limite_ at the
// head of the list, where its neighbour or a binary search gives the place.
template <class Lugares>
class Frequencias {
 public:
  Frequencias(uint64_t pixels, Lugares& lugares)
      : limite_(uint32_t(std::min<uint64_t>(pixels, uint64_t(1) << 20)) + 1),
        acima_(limite_),
        lugares_(lugares) {}

  // One more pixel of the colour whose state is `e`, reached as lugares[ref].
  void Contar(Estado& e, uint32_t ref) {
    if (e.lugar == kVazio) {  // a new colour: count 0 at the end
      e.lugar = uint32_t(refs_.size());
      refs_.push_back(ref);
    }
    const uint32_t i = e.lugar;
    const uint32_t c = e.contagem;
    const uint32_t j = c < limite_ ? acima_[c]++ : PrimeiroDaContagem(i, c);
    // The exchange. With many colours, whether a colour stands first among its count follows
    // the picture, and a branch would be mispredicted: the exchange is then made also when
    // j = i (writing what is there). A palette's few colours seldom share a count once the
    // counts are large, and skipping the writes keeps the next look-ups from waiting on them.
    if (Lugares::kPoucasCores && j == i) {
      e.contagem = c + 1;
      return;
    }
    const uint32_t outra = refs_[j];
    refs_[i] = outra;
    refs_[j] = ref;
    lugares_[outra].lugar = i;
    e.lugar = j;
    e.contagem = c + 1;
  }

  // After the references changed (a hash table that grew): the colour at `lugar` is `ref`.
  void Referir(uint32_t lugar, uint32_t ref) { refs_[lugar] = ref; }

  // The list, with the colour of each reference.
  template <class Cor>
  std::vector<FrequenciaCor> Lista(Cor cor) const {
    std::vector<FrequenciaCor> lista(refs_.size());
    for (size_t k = 0; k < lista.size(); ++k)
      lista[k] = {cor(refs_[k]), int32_t(lugares_[refs_[k]].contagem)};
    return lista;
  }

 private:
  uint32_t ContagemEm(uint32_t lugar) const { return lugares_[refs_[lugar]].contagem; }

  // The first place of count c, given a colour of that count at place i: the colours above
  // it all have counts of at least c, and large counts are seldom shared.
  uint32_t PrimeiroDaContagem(uint32_t i, uint32_t c) const {
    if (i == 0 || ContagemEm(i - 1) != c) return i;
    uint32_t lo = 0, hi = i - 1;  // the answer lies in lo..hi
    while (lo < hi) {
      const uint32_t m = lo + (hi - lo) / 2;
      if (ContagemEm(m) > c)
        lo = m + 1;
      else
        hi = m;
    }
    return lo;
  }

  uint32_t limite_;
  std::vector<uint32_t, ZeroedAllocator<uint32_t>> acima_;  // pages only where counts go
  std::vector<uint32_t> refs_;
  Lugares& lugares_;
};

// The states of palette colours, by the first palette index of each colour.
struct LugaresDaPaleta {
  static constexpr bool kPoucasCores = true;
  std::array<Estado, 256> estado{};
  Estado& operator[](uint32_t ref) { return estado[ref]; }
  const Estado& operator[](uint32_t ref) const { return estado[ref]; }
};

// The states of 24-bit keys: open addressing with linear probing, kept at most half full,
// the keys in one array (what the probes read) and the states in another; the slot is the
// reference.
class LugaresHash {
 public:
  static constexpr bool kPoucasCores = false;
  LugaresHash() { Redimensionar(1024); }

  // Room for `novas` more keys without growing. Growing moves every slot; `referir(lugar,
  // slot)` is told where each listed colour went.
  template <class Referir>
  void Reservar(size_t novas, Referir referir) {
    if (2 * (usados_ + novas) <= chaves_.size()) return;
    std::vector<uint32_t> chaves = std::move(chaves_);
    std::vector<Estado> estados = std::move(estados_);
    size_t capacidade = chaves.size();
    while (2 * (usados_ + novas) > capacidade) capacidade *= 2;
    Redimensionar(capacidade);
    for (size_t k = 0; k < chaves.size(); ++k) {
      if (chaves[k] == kVazio) continue;
      const uint32_t i = Procurar(chaves[k]);
      chaves_[i] = chaves[k];
      estados_[i] = estados[k];
      if (estados[k].lugar != kVazio) referir(estados[k].lugar, i);
    }
  }

  // The slot of `chave`, a new one when it is not there (room reserved beforehand).
  uint32_t Slot(uint32_t chave) {
    const uint32_t i = Procurar(chave);
    if (chaves_[i] == kVazio) {
      chaves_[i] = chave;
      ++usados_;
    }
    return i;
  }
  Estado& operator[](uint32_t slot) { return estados_[slot]; }
  const Estado& operator[](uint32_t slot) const { return estados_[slot]; }
  uint32_t Chave(uint32_t slot) const { return chaves_[slot]; }

 private:
  void Redimensionar(size_t capacidade) {
    chaves_.assign(capacidade, kVazio);
    estados_.assign(capacidade, Estado{});
    mascara_ = capacidade - 1;
  }
  // The slot holding `chave`, or the empty slot where it belongs.
  uint32_t Procurar(uint32_t chave) const {
    size_t i = size_t((uint64_t(chave) * 0x9E3779B97F4A7C15ull) >> 32) & mascara_;
    while (chaves_[i] != chave && chaves_[i] != kVazio) i = (i + 1) & mascara_;
    return uint32_t(i);
  }

  std::vector<uint32_t> chaves_;
  std::vector<Estado> estados_;
  size_t mascara_ = 0;
  size_t usados_ = 0;
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
  const uint64_t pixels = uint64_t(fim.x - inicio.x + 1) * uint64_t(fim.y - inicio.y + 1);
  if (img.format() == PixelFormat::pf8bit) {
    // Indices of one colour share one place: that of the first index of the colour.
    const std::array<int32_t, 256> cores = CoresDaPaleta(img.palette());
    std::array<uint8_t, 256> primeiro{};
    for (size_t k = 0; k < 256; ++k) {
      primeiro[k] = uint8_t(k);
      for (size_t m = 0; m < k; ++m)
        if (cores[m] == cores[k]) {
          primeiro[k] = uint8_t(m);
          break;
        }
    }
    LugaresDaPaleta lugares;
    Frequencias f(pixels, lugares);
    for (int y = inicio.y; y <= fim.y; ++y) {
      const uint8_t* row = img.scanLine(y);
      for (int x = inicio.x; x <= fim.x; ++x) {
        const uint8_t ref = primeiro[row[x]];
        f.Contar(lugares[ref], ref);
      }
    }
    return f.Lista([&](uint32_t ref) { return cores[ref]; });
  }
  LugaresHash lugares;
  Frequencias f(pixels, lugares);
  auto referir = [&f](uint32_t lugar, uint32_t slot) { f.Referir(lugar, slot); };
  // In runs of pixels: first the slots of the run (independent look-ups, which the
  // processor overlaps), then the counting, with the state of a later pixel fetched ahead.
  constexpr int kTrecho = 256;
  constexpr int kAdiante = 8;
  std::array<uint32_t, kTrecho + kAdiante> slots{};
  for (int y = inicio.y; y <= fim.y; ++y) {
    const uint8_t* row = img.scanLine(y);
    for (int x0 = inicio.x; x0 <= fim.x; x0 += kTrecho) {
      const int n = std::min(kTrecho, fim.x - x0 + 1);
      lugares.Reservar(size_t(n), referir);
      // Four-byte reads but for the row's last pixel, which is read byte by byte.
      const int quatro = std::min(n, img.width() - 1 - x0);
      const uint8_t* p = row + 3 * x0;
      int k = 0;
      for (; k < quatro; ++k) slots[size_t(k)] = lugares.Slot(ChaveDoPixel4(p + 3 * k));
      for (; k < n; ++k) slots[size_t(k)] = lugares.Slot(ChaveDoPixel(p + 3 * k));
      for (k = 0; k < n; ++k) {
        __builtin_prefetch(&lugares[slots[size_t(k + kAdiante)]]);
        f.Contar(lugares[slots[size_t(k)]], slots[size_t(k)]);
      }
    }
  }
  return f.Lista([&](uint32_t slot) { return CorDaChave(lugares.Chave(slot)); });
}

// A set of 24-bit keys as one bit per key (2 MB).
class ConjuntoCores {
 public:
  ConjuntoCores() : bits_(size_t(1) << 18) {}
  void Inserir(uint32_t chave) { bits_[chave >> 6] |= uint64_t(1) << (chave & 63); }
  uint32_t Contem(uint32_t chave) const { return uint32_t(bits_[chave >> 6] >> (chave & 63)) & 1; }
  const uint64_t* Bits() const { return bits_.data(); }

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
  std::vector<uint32_t> chaves;  // the marked keys themselves, when they are few
  bool poucas = false;
  std::optional<int> media;  // the red level of the mean option
  switch (o.escolha) {
    case EscolhaSimilares::MaisFrequentes:
    case EscolhaSimilares::Todos: {
      const size_t k = o.escolha == EscolhaSimilares::Todos
                           ? lista.size()
                           : size_t(std::clamp<int64_t>(o.quantidade, 0, int64_t(lista.size())));
      for (size_t i = 0; i < k; ++i) marcadas.Inserir(ChaveDaCor(lista[i].cor));
      poucas = k <= pixels::Recolouring::kFewKeys;
      if (poucas)
        for (size_t i = 0; i < k; ++i) chaves.push_back(ChaveDaCor(lista[i].cor));
      break;
    }
    case EscolhaSimilares::ValorMedio:
      if (image.format() != PixelFormat::pf24bit) media = MediaVermelho(lista);
      break;
  }

  const int w = img.width(), h = img.height();
  Bitmap out(w, h, PixelFormat::pf24bit);
  const uint32_t fundo = ChaveDaCor(o.corFundo);
  if (img.format() == PixelFormat::pf8bit) {
    // Each index's result as a key, then one table look-up per pixel.
    const std::array<int32_t, 256> cores = CoresDaPaleta(img.palette());
    std::array<uint32_t, 256> tabela;
    for (size_t k = 0; k < 256; ++k) {
      const bool marcado = o.escolha == EscolhaSimilares::ValorMedio
                               ? media && (cores[k] & 0xFF) == *media
                               : marcadas.Contem(ChaveDaCor(cores[k]));
      tabela[k] = marcado ? ChaveDaCor(o.novaCor.value_or(cores[k])) : fundo;
    }
    const auto expandir = pixels::Kernels().expand;
    for (int y = 0; y < h; ++y)
      expandir(img.scanLine(y), out.scanLine(y), size_t(w), tabela.data());
    return out;
  }

  // A 32-bit source (read as 24-bit) takes the mean option: its red byte is the key's top.
  if (media)
    for (uint32_t gb = 0; gb < 65536; ++gb) marcadas.Inserir(uint32_t(*media) << 16 | gb);
  pixels::Recolouring r;
  r.bits = marcadas.Bits();
  if (poucas) {
    r.few = chaves.data();
    r.fewCount = chaves.size();
  }
  r.keep = !o.novaCor;
  r.colour = ChaveDaCor(o.novaCor.value_or(0));
  r.background = fundo;
  const auto recolorir = pixels::Kernels().recolour;
  for (int y = 0; y < h; ++y) recolorir(img.scanLine(y), out.scanLine(y), size_t(w), r);
  return out;
}

}  // namespace vandrel
