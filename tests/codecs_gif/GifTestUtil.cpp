#include "GifTestUtil.h"

#include <gif_lib.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>

namespace giftest {

Bytes PackCodes(const std::vector<std::pair<int, int>>& codesAndWidths) {
  Bytes out;
  uint32_t acc = 0;
  int bits = 0;
  for (auto [code, width] : codesAndWidths) {
    acc |= uint32_t(code) << bits;
    bits += width;
    while (bits >= 8) {
      out.push_back(uint8_t(acc & 0xFF));
      acc >>= 8;
      bits -= 8;
    }
  }
  if (bits > 0) out.push_back(uint8_t(acc));
  return out;
}

Bytes SubBlocks(const Bytes& data, size_t blockSize) {
  Bytes out;
  for (size_t at = 0; at < data.size(); at += blockSize) {
    const size_t n = std::min(blockSize, data.size() - at);
    out.push_back(uint8_t(n));
    out.insert(out.end(), data.begin() + long(at), data.begin() + long(at + n));
  }
  out.push_back(0);
  return out;
}

vandrel::PaletteEntry DefaultColor(int i) { return {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)}; }

vandrel::Palette DefaultPalette(int colors) {
  vandrel::Palette p;
  for (int i = 0; i < colors; ++i) p.push_back(DefaultColor(i));
  return p;
}

static int Log2Size(int colors) {
  int n = 0;
  while ((2 << n) < colors) ++n;
  return n;
}

GifBuilder& GifBuilder::Header(const std::string& version, int width, int height, int globalColors,
                               uint8_t background) {
  Raw(Bytes(version.begin(), version.end()));
  Word(uint16_t(width));
  Word(uint16_t(height));
  Byte(globalColors > 0 ? uint8_t(0x80 | Log2Size(globalColors)) : 0);
  Byte(background);
  Byte(0);
  return *this;
}

GifBuilder& GifBuilder::ColorTable(int colors, const std::vector<vandrel::PaletteEntry>& entries) {
  for (int i = 0; i < colors; ++i) {
    const auto c = size_t(i) < entries.size() ? entries[size_t(i)] : DefaultColor(i);
    Byte(c.red);
    Byte(c.green);
    Byte(c.blue);
  }
  return *this;
}

GifBuilder& GifBuilder::GraphicControl(uint8_t packed, uint16_t delay, uint8_t transparentIndex) {
  Raw({0x21, 0xF9, 0x04, packed});
  Word(delay);
  Byte(transparentIndex);
  return Byte(0);
}

GifBuilder& GifBuilder::Comment(const std::vector<std::string>& subBlocks) {
  Raw({0x21, 0xFE});
  for (const auto& s : subBlocks) {
    Byte(uint8_t(s.size()));
    Raw(Bytes(s.begin(), s.end()));
  }
  return Byte(0);
}

GifBuilder& GifBuilder::Application(const std::string& identifier,
                                    const std::vector<Bytes>& subBlocks) {
  Raw({0x21, 0xFF, 0x0B});
  Raw(Bytes(identifier.begin(), identifier.end()));
  for (const auto& b : subBlocks) {
    Byte(uint8_t(b.size()));
    Raw(b);
  }
  return Byte(0);
}

GifBuilder& GifBuilder::Descriptor(int left, int top, int width, int height, uint8_t packed) {
  Byte(0x2C);
  Word(uint16_t(left));
  Word(uint16_t(top));
  Word(uint16_t(width));
  Word(uint16_t(height));
  return Byte(packed);
}

GifBuilder& GifBuilder::ImageData(int codeSize, const Bytes& data) {
  Byte(uint8_t(codeSize));
  return Raw(SubBlocks(data));
}

GifBuilder& GifBuilder::Raw(const Bytes& bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}

GifBuilder& GifBuilder::Byte(uint8_t b) {
  bytes_.push_back(b);
  return *this;
}

GifBuilder& GifBuilder::Word(uint16_t w) {
  Byte(uint8_t(w & 0xFF));
  return Byte(uint8_t(w >> 8));
}

GifBuilder& GifBuilder::Trailer() { return Byte(0x3B); }

Bytes EncodeLzw(const Bytes& pixels, int codeSize, bool clearWhenFull) {
  const int clear = 1 << codeSize, end = clear + 1;
  std::vector<std::pair<int, int>> codes;
  std::map<std::pair<int, int>, int> table;
  int next = end + 1, width = codeSize + 1;
  auto emit = [&](int code) { codes.push_back({code, width}); };
  auto reset = [&] {
    table.clear();
    next = end + 1;
    width = codeSize + 1;
  };
  emit(clear);
  int w = -1;
  for (uint8_t p : pixels) {
    if (w < 0) {
      w = p;
      continue;
    }
    auto it = table.find({w, p});
    if (it != table.end()) {
      w = it->second;
      continue;
    }
    emit(w);
    if (next < 4096) {
      table[{w, p}] = next++;
      // The decoder widens once its next code reaches 2^width; it is one entry behind.
      if (next > (1 << width) && width < 12) ++width;
    } else if (clearWhenFull) {
      emit(clear);
      reset();
    }
    w = p;
  }
  if (w >= 0) emit(w);
  // The decoder would add an entry for the last code too.
  if (next < 4096 && w >= 0 && next + 1 > (1 << width) && width < 12) ++width;
  emit(end);
  return PackCodes(codes);
}

Bytes Indices(const vandrel::Bitmap& bitmap) {
  Bytes out;
  out.reserve(size_t(bitmap.width()) * size_t(bitmap.height()));
  for (int y = 0; y < bitmap.height(); ++y) {
    const uint8_t* row = bitmap.scanLine(y);
    out.insert(out.end(), row, row + bitmap.width());
  }
  return out;
}

uint64_t Fnv1a(const Bytes& bytes) {
  uint64_t h = 0xcbf29ce484222325ULL;
  for (uint8_t b : bytes) {
    h ^= b;
    h *= 0x100000001b3ULL;
  }
  return h;
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {

struct MemoryInput {
  const Bytes* bytes;
  size_t at = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* target, int count) {
  auto* in = static_cast<MemoryInput*>(gif->UserData);
  const size_t n = std::min(size_t(count), in->bytes->size() - in->at);
  std::memcpy(target, in->bytes->data() + in->at, n);
  in->at += n;
  return int(n);
}

}  // namespace

GiflibImage GiflibDecode(const Bytes& file) {
  GiflibImage result;
  MemoryInput input{&file};
  int error = 0;
  GifFileType* gif = DGifOpen(&input, ReadFromMemory, &error);
  if (!gif) return result;
  if (DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0) {
    const SavedImage& image = gif->SavedImages[0];
    result.ok = true;
    result.width = image.ImageDesc.Width;
    result.height = image.ImageDesc.Height;
    const size_t n = size_t(result.width) * size_t(result.height);
    result.indices.assign(image.RasterBits, image.RasterBits + n);
    const ColorMapObject* map =
        image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    if (map)
      for (int i = 0; i < map->ColorCount; ++i)
        result.palette.push_back({map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue});
  }
  DGifCloseFile(gif, &error);
  return result;
}

}  // namespace giftest
