// Pixel format conversions of the bitmap. Every loop works on row pointers; colours go
// through lookup tables, and the colour reduction works on a histogram of the image.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/Bitmap.h"

namespace vandrel {

namespace {

int bitsOf(PixelFormat f) { return static_cast<int>(f); }
bool isIndexed(PixelFormat f) { return f <= PixelFormat::pf8bit; }

// Unpacks the indices of one indexed row into one byte per pixel.
void unpackIndices(const uint8_t* row, int width, int bits, uint8_t* out) {
  if (width <= 0) return;
  switch (bits) {
    case 8:
      std::memcpy(out, row, size_t(width));
      break;
    case 4:
      for (int x = 0; x + 1 < width; x += 2) {
        const uint8_t b = row[x >> 1];
        out[x] = b >> 4;
        out[x + 1] = b & 0x0F;
      }
      if (width & 1) out[width - 1] = row[width >> 1] >> 4;
      break;
    case 1:
      for (int x = 0; x < width; ++x) out[x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
      break;
  }
}

// Packs one byte per pixel into an indexed row; the padding bits stay zero.
void packIndices(const uint8_t* in, int width, int bits, uint8_t* row) {
  if (width <= 0) return;
  switch (bits) {
    case 8:
      std::memcpy(row, in, size_t(width));
      break;
    case 4:
      for (int x = 0; x + 1 < width; x += 2) row[x >> 1] = uint8_t(in[x] << 4 | in[x + 1]);
      if (width & 1) row[width >> 1] = uint8_t(in[width - 1] << 4);
      break;
    case 1:
      for (int x = 0; x < width; x += 8) {
        uint8_t b = 0;
        const int n = std::min(8, width - x);
        for (int i = 0; i < n; ++i) b |= uint8_t(in[x + i] << (7 - i));
        row[x >> 3] = b;
      }
      break;
  }
}

// Indexed to 24 or 32 bits through the palette.
void indexedToDirect(const Bitmap& src, Bitmap& dst) {
  std::array<uint8_t, 256 * 4> lut{};  // blue, green, red, 0 per index
  const Palette& pal = src.palette();
  for (size_t i = 0; i < pal.size() && i < 256; ++i) {
    lut[4 * i] = pal[i].blue;
    lut[4 * i + 1] = pal[i].green;
    lut[4 * i + 2] = pal[i].red;
  }
  const int w = src.width(), bits = src.bitsPerPixel(), bpp = dst.bitsPerPixel() / 8;
  std::vector<uint8_t> indices(static_cast<size_t>(w));
  for (int y = 0; y < src.height(); ++y) {
    const uint8_t* idx = src.scanLine(y);
    if (bits != 8) {
      unpackIndices(idx, w, bits, indices.data());
      idx = indices.data();
    }
    uint8_t* out = dst.scanLine(y);
    if (bpp == 4) {
      for (int x = 0; x < w; ++x) std::memcpy(out + 4 * x, &lut[4 * idx[x]], 4);
    } else {
      for (int x = 0; x < w; ++x) {
        const uint8_t* c = &lut[4 * idx[x]];
        out[3 * x] = c[0];
        out[3 * x + 1] = c[1];
        out[3 * x + 2] = c[2];
      }
    }
  }
}

// 24 to 32 bits (fourth byte 0) or 32 to 24 bits (fourth byte dropped).
void directToDirect(const Bitmap& src, Bitmap& dst) {
  const int w = src.width();
  const bool widen = src.format() == PixelFormat::pf24bit;
  for (int y = 0; y < src.height(); ++y) {
    const uint8_t* in = src.scanLine(y);
    uint8_t* out = dst.scanLine(y);
    if (widen) {
      for (int x = 0; x < w; ++x) {
        out[4 * x] = in[3 * x];
        out[4 * x + 1] = in[3 * x + 1];
        out[4 * x + 2] = in[3 * x + 2];
      }
    } else {
      for (int x = 0; x < w; ++x) {
        out[3 * x] = in[4 * x];
        out[3 * x + 1] = in[4 * x + 1];
        out[3 * x + 2] = in[4 * x + 2];
      }
    }
  }
}

// Largest index used by an indexed bitmap.
int maxIndex(const Bitmap& src) {
  const int w = src.width(), bits = src.bitsPerPixel();
  std::vector<uint8_t> indices(static_cast<size_t>(w));
  int m = 0;
  for (int y = 0; y < src.height() && m < 255; ++y) {
    const uint8_t* idx = src.scanLine(y);
    if (bits != 8) {
      unpackIndices(idx, w, bits, indices.data());
      idx = indices.data();
    }
    for (int x = 0; x < w; ++x) m = std::max(m, int(idx[x]));
  }
  return m;
}

// Indexed to another indexed depth, keeping indices and palette (every index fits).
void repackIndexed(const Bitmap& src, Bitmap& dst) {
  const int w = src.width();
  std::vector<uint8_t> indices(static_cast<size_t>(w));
  for (int y = 0; y < src.height(); ++y) {
    unpackIndices(src.scanLine(y), w, src.bitsPerPixel(), indices.data());
    packIndices(indices.data(), w, dst.bitsPerPixel(), dst.scanLine(y));
  }
  Palette pal = src.palette();
  if (pal.size() > (size_t(1) << dst.bitsPerPixel())) pal.resize(size_t(1) << dst.bitsPerPixel());
  dst.setPalette(std::move(pal));
}

// Blue, green, red of a 24- or 32-bit pixel as one number 0xRRGGBB.
inline uint32_t colourAt(const uint8_t* p) {
  return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

bool allGrey(const Bitmap& src) {
  const int w = src.width(), bpp = src.bitsPerPixel() / 8;
  for (int y = 0; y < src.height(); ++y) {
    const uint8_t* p = src.scanLine(y);
    unsigned diff = 0;
    for (int x = 0; x < w; ++x, p += bpp) diff |= unsigned(p[0] ^ p[1]) | unsigned(p[1] ^ p[2]);
    if (diff) return false;
  }
  return true;
}

void greyToIndexed(const Bitmap& src, Bitmap& dst) {
  const int w = src.width(), bpp = src.bitsPerPixel() / 8;
  for (int y = 0; y < src.height(); ++y) {
    const uint8_t* p = src.scanLine(y);
    uint8_t* out = dst.scanLine(y);
    for (int x = 0; x < w; ++x) out[x] = p[bpp * x];
  }
  dst.setPalette(GreyRamp());
}

// Writes one index per pixel for images of at most `limit` distinct colours; returns false
// (leaving dst half written) as soon as one colour more appears.
bool exactPalette(const Bitmap& src, Bitmap& dst, size_t limit) {
  // Open-addressing table of the colours met so far: key 0 is free, colours are stored
  // with bit 24 set so that black is a key too.
  constexpr uint32_t kSlots = 1024;
  std::array<uint32_t, kSlots> keys{};
  std::array<uint8_t, kSlots> values{};
  Palette pal;
  const int w = src.width(), bpp = src.bitsPerPixel() / 8, bits = dst.bitsPerPixel();
  std::vector<uint8_t> indices(static_cast<size_t>(w));
  uint32_t lastKey = 0;
  uint8_t lastIndex = 0;
  for (int y = 0; y < src.height(); ++y) {
    const uint8_t* p = src.scanLine(y);
    uint8_t* out = bits == 8 ? dst.scanLine(y) : indices.data();
    for (int x = 0; x < w; ++x, p += bpp) {
      const uint32_t key = colourAt(p) | 0x1000000u;
      if (key != lastKey) {
        uint32_t slot = (key * 2654435761u) >> 22;
        while (keys[slot] != 0 && keys[slot] != key) slot = (slot + 1) & (kSlots - 1);
        if (keys[slot] == 0) {
          if (pal.size() == limit) return false;
          keys[slot] = key;
          values[slot] = uint8_t(pal.size());
          pal.push_back({p[2], p[1], p[0]});
        }
        lastKey = key;
        lastIndex = values[slot];
      }
      out[x] = lastIndex;
    }
    if (bits != 8) packIndices(indices.data(), w, bits, dst.scanLine(y));
  }
  dst.setPalette(std::move(pal));
  return true;
}

// Colour reduction by median cut (P. Heckbert, "Color image quantization for frame buffer
// display", SIGGRAPH 1982) on a histogram of 6 bits per channel. The box with the largest
// squared error is split at the median of its widest spread axis until there are as many
// boxes as colours allowed; each box gives the mean of the pixels in it. Pixels are then
// mapped to their nearest palette colour (squared RGB distance, exact per pixel) through
// candidate lists per histogram cell, as in the locally sorted search of the same paper.
class MedianCut {
 public:
  static constexpr int kShift = 2;  // 8 - 6 bits per channel
  static constexpr int kSide = 64;
  static constexpr int kCells = kSide * kSide * kSide;

  static int cellOf(uint32_t rgb) {
    return int((rgb >> (16 + kShift)) << 12 | ((rgb >> (8 + kShift)) & 63) << 6 |
               ((rgb & 0xFF) >> kShift));
  }

  explicit MedianCut(const Bitmap& src) : count_(kCells), sums_(size_t(kCells) * 3) {
    const int w = src.width(), bpp = src.bitsPerPixel() / 8;
    for (int y = 0; y < src.height(); ++y) {
      const uint8_t* p = src.scanLine(y);
      for (int x = 0; x < w; ++x, p += bpp) {
        const int c = cellOf(colourAt(p));
        ++count_[c];
        uint64_t* s = &sums_[size_t(c) * 3];
        s[0] += p[2];
        s[1] += p[1];
        s[2] += p[0];
      }
    }
  }

  Palette palette(size_t colours) {
    std::vector<Box> boxes;
    Box all{{0, 0, 0}, {kSide - 1, kSide - 1, kSide - 1}};
    if (!measure(all)) return {};
    boxes.push_back(all);
    while (boxes.size() < colours) {
      Box* worst = nullptr;
      for (Box& b : boxes)
        if (b.splittable && (!worst || b.error > worst->error)) worst = &b;
      if (!worst) break;
      Box other = split(*worst);
      boxes.push_back(other);
    }
    Palette pal;
    for (const Box& b : boxes) {
      auto mean = [&](int ch) { return uint8_t((b.sum[ch] + b.count / 2) / b.count); };
      pal.push_back({mean(0), mean(1), mean(2)});
    }
    return pal;
  }

  // Index of the nearest palette colour for every pixel.
  void map(const Bitmap& src, const Palette& pal, Bitmap& dst) {
    buildCandidates(pal);
    const int w = src.width(), bpp = src.bitsPerPixel() / 8, bits = dst.bitsPerPixel();
    std::vector<uint8_t> indices(static_cast<size_t>(w));
    for (int y = 0; y < src.height(); ++y) {
      const uint8_t* p = src.scanLine(y);
      uint8_t* out = bits == 8 ? dst.scanLine(y) : indices.data();
      for (int x = 0; x < w; ++x, p += bpp) {
        const uint32_t rgb = colourAt(p);
        const int c = cellOf(rgb);
        uint32_t i = ranges_[size_t(c)].start;
        const uint32_t end = i + ranges_[size_t(c)].size;
        uint8_t best = candidates_[i];
        if (end - i > 1) {
          const int r = p[2], g = p[1], b = p[0];
          int bestDist = 1 << 30;
          for (; i < end; ++i) {
            const PaletteEntry& e = pal[candidates_[i]];
            const int dr = r - e.red, dg = g - e.green, db = b - e.blue;
            const int d = dr * dr + dg * dg + db * db;
            if (d < bestDist) {
              bestDist = d;
              best = candidates_[i];
            }
          }
        }
        out[x] = best;
      }
      if (bits != 8) packIndices(indices.data(), w, bits, dst.scanLine(y));
    }
  }

 private:
  struct Box {
    std::array<int, 3> lo, hi;  // cell coordinates, both ends included
    uint64_t count = 0;
    std::array<uint64_t, 3> sum{};
    double error = 0;         // squared deviation from the mean, in cell units
    int axis = 0;             // axis of the widest spread
    bool splittable = false;  // more than one occupied cell
  };

  static int index(int r, int g, int b) { return r << 12 | g << 6 | b; }

  // Shrinks a box to its occupied cells and fills its statistics; false when it is empty.
  bool measure(Box& box) const {
    std::array<int, 3> lo{kSide, kSide, kSide}, hi{-1, -1, -1};
    std::array<double, 3> s1{}, s2{};
    box.count = 0;
    box.sum = {};
    int cells = 0;
    for (int r = box.lo[0]; r <= box.hi[0]; ++r)
      for (int g = box.lo[1]; g <= box.hi[1]; ++g) {
        const int base = index(r, g, 0);
        for (int b = box.lo[2]; b <= box.hi[2]; ++b) {
          const uint32_t n = count_[base + b];
          if (!n) continue;
          ++cells;
          const std::array<int, 3> at{r, g, b};
          for (int ch = 0; ch < 3; ++ch) {
            lo[ch] = std::min(lo[ch], at[ch]);
            hi[ch] = std::max(hi[ch], at[ch]);
            s1[ch] += double(n) * at[ch];
            s2[ch] += double(n) * at[ch] * at[ch];
            box.sum[ch] += sums_[size_t(base + b) * 3 + ch];
          }
          box.count += n;
        }
      }
    if (!box.count) return false;
    box.lo = lo;
    box.hi = hi;
    box.error = 0;
    double widest = -1;
    for (int ch = 0; ch < 3; ++ch) {
      const double var = s2[ch] - s1[ch] * s1[ch] / double(box.count);
      box.error += var;
      if (var > widest && hi[ch] > lo[ch]) {
        widest = var;
        box.axis = ch;
      }
    }
    box.splittable = cells > 1;
    return true;
  }

  // Splits a box at the median of its axis; the box keeps the lower part.
  Box split(Box& box) const {
    const int ax = box.axis;
    std::vector<uint64_t> marginal(size_t(box.hi[ax] - box.lo[ax] + 1));
    for (int r = box.lo[0]; r <= box.hi[0]; ++r)
      for (int g = box.lo[1]; g <= box.hi[1]; ++g)
        for (int b = box.lo[2]; b <= box.hi[2]; ++b) {
          const std::array<int, 3> at{r, g, b};
          marginal[size_t(at[ax] - box.lo[ax])] += count_[index(r, g, b)];
        }
    // Smallest cut with at least half the pixels below it; the upper end is occupied (the
    // box is tight), so cutting below it leaves both halves non-empty.
    uint64_t below = 0;
    int cut = box.lo[ax];
    for (; cut < box.hi[ax] - 1; ++cut) {
      below += marginal[size_t(cut - box.lo[ax])];
      if (2 * below >= box.count) break;
    }
    Box upper = box;
    box.hi[ax] = cut;
    upper.lo[ax] = cut + 1;
    measure(box);
    measure(upper);
    return upper;
  }

  // For every occupied cell, the palette entries that can be the nearest colour of some
  // point of the cell: those whose smallest distance to the cell is at most the smallest
  // largest distance of any entry. Regions of 4 x 4 x 4 cells are pruned first the same
  // way, so each cell only tests the candidates of its region. Lists keep palette order,
  // so that ties go to the lowest index.
  void buildCandidates(const Palette& pal) {
    ranges_.assign(size_t(kCells), Range{});
    candidates_.clear();
    std::vector<uint8_t> all(pal.size());
    for (size_t i = 0; i < pal.size(); ++i) all[i] = uint8_t(i);
    std::vector<uint8_t> region, cell;
    constexpr int kRegion = 4;  // cells per region side
    constexpr int kCellValues = 1 << kShift;
    for (int r0 = 0; r0 < kSide; r0 += kRegion)
      for (int g0 = 0; g0 < kSide; g0 += kRegion)
        for (int b0 = 0; b0 < kSide; b0 += kRegion) {
          bool occupied = false;
          for (int r = r0; r < r0 + kRegion && !occupied; ++r)
            for (int g = g0; g < g0 + kRegion && !occupied; ++g)
              for (int b = b0; b < b0 + kRegion && !occupied; ++b)
                occupied = count_[index(r, g, b)] != 0;
          if (!occupied) continue;
          prune(pal, all, {r0 * kCellValues, g0 * kCellValues, b0 * kCellValues},
                kRegion * kCellValues, region);
          for (int r = r0; r < r0 + kRegion; ++r)
            for (int g = g0; g < g0 + kRegion; ++g)
              for (int b = b0; b < b0 + kRegion; ++b) {
                const int c = index(r, g, b);
                if (!count_[c]) continue;
                prune(pal, region, {r * kCellValues, g * kCellValues, b * kCellValues}, kCellValues,
                      cell);
                ranges_[size_t(c)] = {uint32_t(candidates_.size()), uint32_t(cell.size())};
                candidates_.insert(candidates_.end(), cell.begin(), cell.end());
              }
        }
  }

  // Keeps the entries of `from` that can be nearest to some point of the cube of `size`
  // values per side starting at `lo`.
  void prune(const Palette& pal, const std::vector<uint8_t>& from, std::array<int, 3> lo, int size,
             std::vector<uint8_t>& out) {
    out.clear();
    int minMax = 1 << 30;
    minDist_.resize(from.size());
    for (size_t i = 0; i < from.size(); ++i) {
      const PaletteEntry& e = pal[from[i]];
      const std::array<int, 3> c{e.red, e.green, e.blue};
      int dmin = 0, dmax = 0;
      for (int ch = 0; ch < 3; ++ch) {
        const int a = lo[ch], b = lo[ch] + size - 1;
        const int near = c[ch] < a ? a - c[ch] : c[ch] > b ? c[ch] - b : 0;
        const int far = std::max(c[ch] - a, b - c[ch]);
        dmin += near * near;
        dmax += far * far;
      }
      minDist_[i] = dmin;
      minMax = std::min(minMax, dmax);
    }
    for (size_t i = 0; i < from.size(); ++i)
      if (minDist_[i] <= minMax) out.push_back(from[i]);
  }

  struct Range {
    uint32_t start = 0, size = 0;
  };

  std::vector<uint32_t> count_;
  std::vector<uint64_t> sums_;  // red, green, blue per cell
  std::vector<Range> ranges_;
  std::vector<uint8_t> candidates_;
  std::vector<int> minDist_;
};

void directToIndexed(const Bitmap& src, Bitmap& dst) {
  const size_t colours = size_t(1) << dst.bitsPerPixel();
  if (dst.format() == PixelFormat::pf8bit && allGrey(src)) return greyToIndexed(src, dst);
  if (exactPalette(src, dst, colours)) return;
  MedianCut cut(src);
  const Palette pal = cut.palette(colours);
  cut.map(src, pal, dst);
  dst.setPalette(pal);
}

}  // namespace

void Bitmap::setPixelFormat(PixelFormat format) {
  if (format == format_) return;
  Bitmap out(width_, height_, format);
  const bool fromIndexed = isIndexed(format_), toIndexed = isIndexed(format);
  if (fromIndexed && !toIndexed) {
    indexedToDirect(*this, out);
  } else if (!fromIndexed && !toIndexed) {
    directToDirect(*this, out);
  } else if (!fromIndexed) {
    directToIndexed(*this, out);
  } else if (maxIndex(*this) < (1 << bitsOf(format))) {
    repackIndexed(*this, out);
  } else {
    // Some index does not fit the new depth: reduce the colours the pixels show.
    Bitmap colour(width_, height_, PixelFormat::pf24bit);
    indexedToDirect(*this, colour);
    directToIndexed(colour, out);
  }
  *this = std::move(out);
}

}  // namespace vandrel
