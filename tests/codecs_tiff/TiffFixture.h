#pragma once
// Helpers of the TIFF tests: a small writer of TIFF files tag by tag (either byte order,
// entries in the order given, values out of line where they do not fit), the picture hash
// of the corpus reference and file reading.
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/Bitmap.h"

namespace tifftest {

using Bytes = std::vector<uint8_t>;

enum Type : uint16_t {
  kByte = 1,
  kAscii = 2,
  kShort = 3,
  kLong = 4,
  kRational = 5,
  kUndefined = 7
};

class TiffFixture {
 public:
  explicit TiffFixture(bool bigEndian = false) : big_(bigEndian) {}

  // An entry whose values are encoded by type (RATIONAL takes two values per item).
  TiffFixture& Add(uint16_t tag, uint16_t type, std::vector<uint32_t> values) {
    Field f{tag, type, 0, {}, false, 0};
    const size_t perItem = type == kRational ? 2 : 1;
    f.count = uint32_t(values.size() / perItem);
    for (uint32_t v : values) {
      if (type == kByte || type == kAscii || type == kUndefined)
        f.data.push_back(uint8_t(v));
      else if (type == kShort)
        Put16(f.data, uint16_t(v));
      else
        Put32(f.data, v);
    }
    fields_.push_back(std::move(f));
    return *this;
  }
  TiffFixture& Short(uint16_t tag, uint32_t value) { return Add(tag, kShort, {value}); }
  TiffFixture& Long(uint16_t tag, uint32_t value) { return Add(tag, kLong, {value}); }
  // A text with its terminating zero.
  TiffFixture& Text(uint16_t tag, const std::string& text) {
    std::vector<uint32_t> v(text.begin(), text.end());
    v.push_back(0);
    return Add(tag, kAscii, v);
  }
  // An entry with a value field given as it stands (for counts that do not match the data).
  TiffFixture& Raw(uint16_t tag, uint16_t type, uint32_t count, uint32_t valueField) {
    fields_.push_back(Field{tag, type, count, {}, true, valueField});
    return *this;
  }
  // Strips are placed after the other values; StripOffsets (LONG) and, unless
  // `withCounts` is false, StripByteCounts are added at the end of the directory.
  TiffFixture& Strip(Bytes data) {
    strips_.push_back(std::move(data));
    return *this;
  }
  TiffFixture& WithoutByteCounts() {
    withCounts_ = false;
    return *this;
  }
  // Bytes appended after everything else (their offset is Size() before the call).
  TiffFixture& Trailer(Bytes data) {
    trailer_ = std::move(data);
    return *this;
  }

  Bytes Build() const {
    std::vector<Field> fields = fields_;
    if (!strips_.empty()) {
      fields.push_back(
          Field{273, kLong, uint32_t(strips_.size()), Bytes(4 * strips_.size()), false, 0});
      if (withCounts_) {
        Field counts{279, kLong, uint32_t(strips_.size()), {}, false, 0};
        for (const Bytes& s : strips_) Put32(counts.data, uint32_t(s.size()));
        fields.push_back(counts);
      }
    }
    const uint32_t ifdSize = uint32_t(2 + 12 * fields.size() + 4);
    uint32_t next = 8 + ifdSize;
    std::vector<uint32_t> at(fields.size(), 0);
    for (size_t i = 0; i < fields.size(); ++i)
      if (!fields[i].raw && fields[i].data.size() > 4) {
        at[i] = next;
        next += uint32_t(fields[i].data.size());
      }
    std::vector<uint32_t> stripAt;
    for (const Bytes& s : strips_) {
      stripAt.push_back(next);
      next += uint32_t(s.size());
    }
    if (!strips_.empty()) {
      Field& offsets = fields[fields_.size()];
      offsets.data.clear();
      for (uint32_t o : stripAt) Put32(offsets.data, o);
    }
    Bytes out;
    out.push_back(big_ ? 'M' : 'I');
    out.push_back(big_ ? 'M' : 'I');
    Put16(out, 42);
    Put32(out, 8);
    Put16(out, uint16_t(fields.size()));
    for (size_t i = 0; i < fields.size(); ++i) {
      const Field& f = fields[i];
      Put16(out, f.tag);
      Put16(out, f.type);
      Put32(out, f.count);
      if (f.raw) {
        Put32(out, f.rawValue);
      } else if (f.data.size() > 4) {
        Put32(out, at[i]);
      } else {
        Bytes field = f.data;
        field.resize(4, 0);
        out.insert(out.end(), field.begin(), field.end());
      }
    }
    Put32(out, 0);
    for (size_t i = 0; i < fields.size(); ++i)
      if (!fields[i].raw && fields[i].data.size() > 4)
        out.insert(out.end(), fields[i].data.begin(), fields[i].data.end());
    for (const Bytes& s : strips_) out.insert(out.end(), s.begin(), s.end());
    out.insert(out.end(), trailer_.begin(), trailer_.end());
    return out;
  }

  // Size of the file before the trailer.
  size_t Size() const {
    TiffFixture copy = *this;
    copy.trailer_.clear();
    return copy.Build().size();
  }

  void Put16(Bytes& b, uint16_t v) const {
    if (big_) {
      b.push_back(uint8_t(v >> 8));
      b.push_back(uint8_t(v));
    } else {
      b.push_back(uint8_t(v));
      b.push_back(uint8_t(v >> 8));
    }
  }
  void Put32(Bytes& b, uint32_t v) const {
    if (big_) {
      Put16(b, uint16_t(v >> 16));
      Put16(b, uint16_t(v));
    } else {
      Put16(b, uint16_t(v));
      Put16(b, uint16_t(v >> 16));
    }
  }

 private:
  struct Field {
    uint16_t tag, type;
    uint32_t count;
    Bytes data;
    bool raw;
    uint32_t rawValue;
  };
  bool big_;
  bool withCounts_ = true;
  std::vector<Field> fields_;
  std::vector<Bytes> strips_;
  Bytes trailer_;
};

// The usual tags of a one-strip image.
inline TiffFixture Image(uint32_t width, uint32_t height, std::vector<uint32_t> bits,
                         uint32_t photometric, bool big = false) {
  TiffFixture f(big);
  f.Long(256, width).Long(257, height).Add(258, kShort, bits).Short(262, photometric);
  return f;
}

// 64-bit FNV-1a of the picture as R, G, B, 255 per pixel, rows top-down.
inline uint64_t PictureHash(const vandrel::Bitmap& bitmap) {
  uint64_t h = 0xcbf29ce484222325ull;
  auto add = [&h](uint8_t b) {
    h ^= b;
    h *= 0x100000001b3ull;
  };
  for (int y = 0; y < bitmap.height(); ++y)
    for (int x = 0; x < bitmap.width(); ++x) {
      const vandrel::PaletteEntry c = bitmap.pixelColor(x, y);
      add(c.red);
      add(c.green);
      add(c.blue);
      add(255);
    }
  return h;
}

inline Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Bits of a row as bytes, most significant bit first, for writing LZW code fixtures.
class BitWriter {
 public:
  void Put(uint32_t code, int width) {
    for (int i = width - 1; i >= 0; --i) {
      if (bits_ % 8 == 0) bytes_.push_back(0);
      if ((code >> i) & 1) bytes_.back() |= uint8_t(0x80 >> (bits_ % 8));
      ++bits_;
    }
  }
  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
  size_t bits_ = 0;
};

// A plain LZW encoder of one strip: Clear, the codes, End of Information, 9 to 12 bits,
// a Clear when the table is full. By default most significant bit first with the width
// growing one code early, as TIFF writers have it; `oldStyle` packs the codes least
// significant bit first and grows the width when the next code needs it, as LZW strips
// were written before 1992.
inline Bytes EncodeTiffLzw(const Bytes& data, bool oldStyle = false) {
  Bytes out;
  uint64_t bits = 0;
  int count = 0;
  int width = 9;
  auto put = [&](uint32_t code) {
    if (oldStyle) {
      bits |= uint64_t(code) << count;
      count += width;
      for (; count >= 8; count -= 8, bits >>= 8) out.push_back(uint8_t(bits));
    } else {
      bits = (bits << width) | code;
      count += width;
      for (; count >= 8; count -= 8) out.push_back(uint8_t(bits >> (count - 8)));
    }
  };
  std::map<std::pair<int, uint8_t>, int> table;
  int next = 258;
  // The width grows with the code written once the next code (before it is counted)
  // reaches the limit; TIFF readers see that one code early, old-style readers do not.
  auto grow = [&] {
    const int limit = (1 << width) - (oldStyle ? 0 : 1);
    if (next >= limit && width < 12) ++width;
    ++next;
  };
  put(256);
  int w = -1;
  for (uint8_t c : data) {
    if (w < 0) {
      w = c;
      continue;
    }
    const auto found = table.find({w, c});
    if (found != table.end()) {
      w = found->second;
      continue;
    }
    put(uint32_t(w));
    table[{w, c}] = next;
    grow();
    w = c;
    if (next >= 4093) {
      put(256);
      table.clear();
      next = 258;
      width = 9;
    }
  }
  if (w >= 0) {
    put(uint32_t(w));
    grow();
  }
  put(257);
  if (count > 0) out.push_back(uint8_t(oldStyle ? bits : bits << (8 - count)));
  return out;
}

}  // namespace tifftest
