// Row loops of the per-pixel operations. The plain versions are written so that the
// compiler can keep them in registers (row pointers, no aliasing questions, whole words
// where bytes would cost a load each); the AVX2 versions work on 32 pixels at a time.
//
// 24-bit rows in AVX2: the two 128-bit halves of a register each take 16 pixels (48 bytes),
// the low half from bytes 0..47 of a group of 32 pixels and the high half from bytes
// 48..95, so that one set of in-lane byte shuffles (vpshufb) serves both halves.
#include "app/imaging/model/PixelRows.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VANDREL_X86 1
#endif

namespace vandrel::pixels {

namespace {

// ---- plain loops ---------------------------------------------------------------------------

void GreyPlain(const uint8_t* __restrict bgr, uint8_t* __restrict grey, size_t width) {
  for (size_t x = 0; x < width; ++x)
    grey[x] = uint8_t((unsigned(bgr[3 * x]) + bgr[3 * x + 1] + bgr[3 * x + 2] + 1) / 3);
}

void ChannelPlain(const uint8_t* __restrict bgr, size_t byte, uint8_t* __restrict out,
                  size_t width) {
  const uint8_t* src = bgr + byte;
  for (size_t x = 0; x < width; ++x) out[x] = src[3 * x];
}

// The offset kept inside -255..255 gives the same bytes as a saturating add or subtract of
// one byte value: 16 bytes at a time with SSE2, which every x86-64 processor has.
void AddPlain(const uint8_t* src, uint8_t* dst, size_t n, int offset) {
  const bool up = offset >= 0;
  const unsigned o = unsigned(std::min(up ? offset : -offset, 255));
  size_t i = 0;
#ifdef __SSE2__
  const __m128i v = _mm_set1_epi8(char(o));
  for (; i + 16 <= n; i += 16) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i),
                     up ? _mm_adds_epu8(p, v) : _mm_subs_epu8(p, v));
  }
#endif
  for (; i < n; ++i)
    dst[i] = uint8_t(up ? std::min(255u, src[i] + o) : (src[i] > o ? src[i] - o : 0u));
}

// Eight bytes in one word, eight look-ups, one word out.
void TablePlain(const uint8_t* src, uint8_t* dst, size_t n, const uint8_t* table) {
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t in;
    std::memcpy(&in, src + i, 8);
    uint64_t out = 0;
    for (int k = 0; k < 8; ++k) out |= uint64_t(table[(in >> (8 * k)) & 0xFF]) << (8 * k);
    std::memcpy(dst + i, &out, 8);
  }
  for (; i < n; ++i) dst[i] = table[src[i]];
}

// Eight pixels at a time: their colours packed into three 64-bit words, so each group of
// eight costs eight table reads and three stores. The words are assembled low byte first,
// which is how they reach memory on the machines we build for.
void ExpandPlain(const uint8_t* __restrict src, uint8_t* __restrict dst, size_t width,
                 const uint32_t* __restrict colours) {
  static_assert(std::endian::native == std::endian::little);
  size_t x = 0;
  for (; x + 8 <= width; x += 8) {
    uint64_t in;
    std::memcpy(&in, src + x, 8);
    const uint64_t a = colours[in & 0xFF], b = colours[(in >> 8) & 0xFF];
    const uint64_t c = colours[(in >> 16) & 0xFF], d = colours[(in >> 24) & 0xFF];
    const uint64_t e = colours[(in >> 32) & 0xFF], f = colours[(in >> 40) & 0xFF];
    const uint64_t g = colours[(in >> 48) & 0xFF], h = colours[in >> 56];
    const uint64_t w[3] = {
        (a & 0xFFFFFF) | (b & 0xFFFFFF) << 24 | c << 48,
        (c & 0xFFFFFF) >> 16 | (d & 0xFFFFFF) << 8 | (e & 0xFFFFFF) << 32 | f << 56,
        (f & 0xFFFFFF) >> 8 | (g & 0xFFFFFF) << 16 | h << 40};
    std::memcpy(dst + 3 * x, w, sizeof w);
  }
  for (; x < width; ++x) {
    const uint32_t v = colours[src[x]];
    uint8_t* p = dst + 3 * x;
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
  }
}

inline uint32_t Key3(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16); }
inline uint32_t Key4(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v & 0xFFFFFF;
}

// Branch-free: which pixels are marked follows the picture, not a pattern. Each pixel but
// the row's last is written as four bytes, the fourth of which the next pixel overwrites.
void RecolourPlain(const uint8_t* __restrict bgr, uint8_t* __restrict dst, size_t width,
                   const Recolouring& r) {
  if (width == 0) return;
  const uint64_t* bits = r.bits;
  const uint32_t keep = r.keep ? 0xFFFFFFFFu : 0;
  const uint32_t colour = r.colour & 0xFFFFFF, background = r.background & 0xFFFFFF;
  auto recolour = [&](uint32_t k) {
    const uint32_t marked = 0 - uint32_t((bits[k >> 6] >> (k & 63)) & 1);
    return (marked & ((k & keep) | (colour & ~keep))) | (background & ~marked);
  };
  for (size_t x = 0; x + 1 < width; ++x) {
    const uint32_t v = recolour(Key4(bgr + 3 * x));
    std::memcpy(dst + 3 * x, &v, 4);
  }
  const uint32_t v = recolour(Key3(bgr + 3 * (width - 1)));
  uint8_t* p = dst + 3 * (width - 1);
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
}

constexpr RowKernels kPlain{"plain",    GreyPlain,   ChannelPlain, AddPlain,
                            TablePlain, ExpandPlain, RecolourPlain};

// ---- AVX2 ----------------------------------------------------------------------------------

#ifdef VANDREL_X86

using Mask = std::array<uint8_t, 16>;
constexpr uint8_t kZero = 0x80;  // a vpshufb index that gives 0

// The shuffle that takes, from source vector `v` (bytes 16v..16v+15 of 48), byte `k` of
// pixels first..first+7 into the low bytes of eight 16-bit lanes.
constexpr Mask WordMask(int first, int k, int v) {
  Mask m{};
  for (int i = 0; i < 8; ++i) {
    const int q = 3 * (first + i) + k;
    m[size_t(2 * i)] = q / 16 == v ? uint8_t(q % 16) : kZero;
    m[size_t(2 * i + 1)] = kZero;
  }
  return m;
}

// The shuffle that takes, from source vector `v`, byte `k` of each of 16 pixels.
constexpr Mask ByteMask(int k, int v) {
  Mask m{};
  for (int i = 0; i < 16; ++i) {
    const int q = 3 * i + k;
    m[size_t(i)] = q / 16 == v ? uint8_t(q % 16) : kZero;
  }
  return m;
}

__attribute__((target("avx2"))) inline __m256i Both(const Mask& m) {
  return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(m.data())));
}

__attribute__((target("avx2"))) inline __m256i Load2(const uint8_t* lo, const uint8_t* hi) {
  return _mm256_inserti128_si256(
      _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(lo))),
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(hi)), 1);
}

// The three registers of 32 pixels: a holds bytes 0..15 of each half, b 16..31, c 32..47.
struct Pixels32 {
  __m256i a, b, c;
};
__attribute__((target("avx2"))) inline Pixels32 Load32(const uint8_t* p) {
  return {Load2(p, p + 48), Load2(p + 16, p + 64), Load2(p + 32, p + 80)};
}

__attribute__((target("avx2"))) void GreyAvx2(const uint8_t* bgr, uint8_t* grey, size_t width) {
  static constexpr std::array<Mask, 12> kMasks = [] {
    std::array<Mask, 12> m{};
    for (int k = 0; k < 3; ++k) {
      m[size_t(k)] = WordMask(0, k, 0);      // pixels 0..7 from a
      m[size_t(3 + k)] = WordMask(0, k, 1);  // pixels 0..7 from b
      m[size_t(6 + k)] = WordMask(8, k, 1);  // pixels 8..15 from b
      m[size_t(9 + k)] = WordMask(8, k, 2);  // pixels 8..15 from c
    }
    return m;
  }();
  __m256i masks[12];
  for (size_t i = 0; i < 12; ++i) masks[i] = Both(kMasks[i]);
  const __m256i one = _mm256_set1_epi16(1);
  // (s + 1) div 3 for s + 1 <= 766 is the high half of (s + 1) x 21846.
  const __m256i third = _mm256_set1_epi16(21846);
  size_t x = 0;
  for (; x + 32 <= width; x += 32) {
    const Pixels32 p = Load32(bgr + 3 * x);
    __m256i lo = one, hi = one;
    for (size_t k = 0; k < 3; ++k) {
      lo = _mm256_add_epi16(lo, _mm256_shuffle_epi8(p.a, masks[k]));
      lo = _mm256_add_epi16(lo, _mm256_shuffle_epi8(p.b, masks[3 + k]));
      hi = _mm256_add_epi16(hi, _mm256_shuffle_epi8(p.b, masks[6 + k]));
      hi = _mm256_add_epi16(hi, _mm256_shuffle_epi8(p.c, masks[9 + k]));
    }
    lo = _mm256_mulhi_epu16(lo, third);
    hi = _mm256_mulhi_epu16(hi, third);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(grey + x), _mm256_packus_epi16(lo, hi));
  }
  GreyPlain(bgr + 3 * x, grey + x, width - x);
}

__attribute__((target("avx2"))) void ChannelAvx2(const uint8_t* bgr, size_t byte, uint8_t* out,
                                                 size_t width) {
  static constexpr std::array<Mask, 9> kMasks = [] {
    std::array<Mask, 9> m{};
    for (int k = 0; k < 3; ++k)
      for (int v = 0; v < 3; ++v) m[size_t(3 * k + v)] = ByteMask(k, v);
    return m;
  }();
  const size_t k = std::min<size_t>(byte, 2);
  const __m256i ma = Both(kMasks[3 * k]), mb = Both(kMasks[3 * k + 1]),
                mc = Both(kMasks[3 * k + 2]);
  size_t x = 0;
  for (; x + 32 <= width; x += 32) {
    const Pixels32 p = Load32(bgr + 3 * x);
    const __m256i v =
        _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(p.a, ma), _mm256_shuffle_epi8(p.b, mb)),
                        _mm256_shuffle_epi8(p.c, mc));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), v);
  }
  ChannelPlain(bgr + 3 * x, k, out + x, width - x);
}

__attribute__((target("avx2"))) void AddAvx2(const uint8_t* src, uint8_t* dst, size_t n,
                                             int offset) {
  const bool up = offset >= 0;
  const __m256i o = _mm256_set1_epi8(char(std::min(up ? offset : -offset, 255)));
  size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i),
                        up ? _mm256_adds_epu8(v, o) : _mm256_subs_epu8(v, o));
  }
  AddPlain(src + i, dst + i, n - i, offset);
}

// The table as 16 rows of 16 entries: each byte looks up its low nibble in every row
// (vpshufb), then four rounds of byte blends keep the row of its high nibble, bit by bit
// (vpblendvb reads the top bit of each byte: the nibble's bits are shifted there in turn).
__attribute__((target("avx2"))) void TableAvx2(const uint8_t* src, uint8_t* dst, size_t n,
                                               const uint8_t* table) {
  __m256i rows[16];
  for (size_t r = 0; r < 16; ++r)
    rows[r] = _mm256_broadcastsi128_si256(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(table + 16 * r)));
  const __m256i nibble = _mm256_set1_epi8(0x0F);
  size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    const __m256i lo = _mm256_and_si256(v, nibble);
    __m256i t[16];
    for (size_t r = 0; r < 16; ++r) t[r] = _mm256_shuffle_epi8(rows[r], lo);
    const __m256i bit4 = _mm256_slli_epi16(v, 3), bit5 = _mm256_slli_epi16(v, 2),
                  bit6 = _mm256_slli_epi16(v, 1);
    for (size_t r = 0; r < 8; ++r) t[r] = _mm256_blendv_epi8(t[2 * r], t[2 * r + 1], bit4);
    for (size_t r = 0; r < 4; ++r) t[r] = _mm256_blendv_epi8(t[2 * r], t[2 * r + 1], bit5);
    for (size_t r = 0; r < 2; ++r) t[r] = _mm256_blendv_epi8(t[2 * r], t[2 * r + 1], bit6);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_blendv_epi8(t[0], t[1], v));
  }
  TablePlain(src + i, dst + i, n - i, table);
}

// Eight look-ups by one gather, packed to 24 bytes; each half is stored as 16 bytes whose
// last 4 the next store overwrites, so the loop stops while 4 bytes of room remain.
__attribute__((target("avx2"))) void ExpandAvx2(const uint8_t* src, uint8_t* dst, size_t width,
                                                const uint32_t* colours) {
  static constexpr Mask kPack{0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, kZero, kZero, kZero, kZero};
  const __m256i pack = Both(kPack);
  const int* table = reinterpret_cast<const int*>(colours);
  size_t x = 0;
  for (; x + 16 + 2 <= width; x += 16) {
    const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x));
    const __m256i i0 = _mm256_cvtepu8_epi32(in);
    const __m256i i1 = _mm256_cvtepu8_epi32(_mm_srli_si128(in, 8));
    const __m256i c0 = _mm256_shuffle_epi8(_mm256_i32gather_epi32(table, i0, 4), pack);
    const __m256i c1 = _mm256_shuffle_epi8(_mm256_i32gather_epi32(table, i1, 4), pack);
    uint8_t* p = dst + 3 * x;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(c0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 12), _mm256_extracti128_si256(c0, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 24), _mm256_castsi256_si128(c1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 36), _mm256_extracti128_si256(c1, 1));
  }
  ExpandPlain(src + x, dst + 3 * x, width - x, colours);
}

// Eight pixels at a time: 32 bytes read, their 24 spread over the two halves (bytes 0..11
// and 12..23) and widened to eight keys; a key is marked when it equals one of the few keys,
// or by a gather of the 32-bit words of the bit set. The 24 result bytes are stored as 32,
// the last 8 of which the next group overwrites, so the loop stops while 8 bytes of room
// remain in the row.
__attribute__((target("avx2"))) void RecolourAvx2(const uint8_t* bgr, uint8_t* dst, size_t width,
                                                  const Recolouring& r) {
  static constexpr Mask kWiden{0, 1, 2, kZero, 3, 4, 5, kZero, 6, 7, 8, kZero, 9, 10, 11, kZero};
  static constexpr Mask kPack{0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, kZero, kZero, kZero, kZero};
  const __m256i spread = _mm256_setr_epi32(0, 1, 2, 3, 3, 4, 5, 6);
  const __m256i join = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7);
  const __m256i widen = Both(kWiden), pack = Both(kPack);
  const __m256i low5 = _mm256_set1_epi32(31);
  const __m256i colour = _mm256_set1_epi32(int(r.colour & 0xFFFFFF));
  const __m256i background = _mm256_set1_epi32(int(r.background & 0xFFFFFF));
  const int* words = reinterpret_cast<const int*>(r.bits);
  const bool few = r.few != nullptr && r.fewCount <= Recolouring::kFewKeys;
  __m256i keys[Recolouring::kFewKeys];
  const size_t nKeys = few ? r.fewCount : 0;
  for (size_t k = 0; k < nKeys; ++k) keys[k] = _mm256_set1_epi32(int(r.few[k]));
  size_t x = 0;
  for (; x + 11 <= width; x += 8) {
    const __m256i in = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bgr + 3 * x));
    const __m256i key = _mm256_shuffle_epi8(_mm256_permutevar8x32_epi32(in, spread), widen);
    __m256i marked;
    if (few) {
      marked = _mm256_setzero_si256();
      for (size_t k = 0; k < nKeys; ++k)
        marked = _mm256_or_si256(marked, _mm256_cmpeq_epi32(key, keys[k]));
    } else {
      const __m256i word = _mm256_i32gather_epi32(words, _mm256_srli_epi32(key, 5), 4);
      const __m256i bit = _mm256_srlv_epi32(word, _mm256_and_si256(key, low5));
      marked = _mm256_srai_epi32(_mm256_slli_epi32(bit, 31), 31);
    }
    const __m256i chosen = r.keep ? key : colour;
    const __m256i v = _mm256_blendv_epi8(background, chosen, marked);
    const __m256i out = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(v, pack), join);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + 3 * x), out);
  }
  RecolourPlain(bgr + 3 * x, dst + 3 * x, width - x, r);
}

constexpr RowKernels kAvx2{"avx2",    GreyAvx2,   ChannelAvx2, AddAvx2,
                           TableAvx2, ExpandAvx2, RecolourAvx2};

bool HasAvx2() { return __builtin_cpu_supports("avx2"); }

#else

bool HasAvx2() { return false; }

#endif

}  // namespace

const RowKernels& Kernels() {
#ifdef VANDREL_X86
  static const RowKernels& best = HasAvx2() ? kAvx2 : kPlain;
  return best;
#else
  return kPlain;
#endif
}

std::vector<const RowKernels*> AvailableKernels() {
  std::vector<const RowKernels*> all{&kPlain};
#ifdef VANDREL_X86
  if (HasAvx2()) all.push_back(&kAvx2);
#endif
  return all;
}

}  // namespace vandrel::pixels
