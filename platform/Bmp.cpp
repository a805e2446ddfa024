// BMP reader and writer. The reader checks every header field against the file before it
// allocates anything: all sizes are validated in one place (Header::check), and pixel
// data is only read through bounds-checked offsets.
#include "platform/Bmp.h"

#include <array>
#include <bit>
#include <cstring>
#include <string_view>

#include "platform/AtomicFile.h"
#include "platform/ByteSource.h"
#include "platform/Errors.h"
#include "platform/ImageToSave.h"

namespace vandrel {

namespace {

[[noreturn]] void fail(const std::string& what) { throw Exception("BMP: " + what); }

// Little-endian reads inside the file; a field beyond the end is an error of the caller's
// choosing, so these only serve offsets already checked.
uint16_t get16(std::span<const uint8_t> b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }
uint32_t get32(std::span<const uint8_t> b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
         uint32_t(b[at + 3]) << 24;
}

enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3, kAlphaBitfields = 6 };

constexpr size_t kFileHeader = 14;
constexpr uint32_t kCoreHeader = 12;  // OS/2 1.x
constexpr uint32_t kInfoHeader = 40;  // Windows 3 and later, extended up to 124 bytes
// The headers, the colour masks and the largest palette lie within the first bytes.
constexpr size_t kHeadBytes = kFileHeader + 124 + 16 + 256 * 4;

// One colour channel described by a bit mask of a 16- or 32-bit pixel.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t max = 0;  // largest value after shifting; 0 for an absent channel

  static Channel from(uint32_t mask) {
    Channel c;
    c.mask = mask;
    if (!mask) return c;
    c.shift = std::countr_zero(mask);
    c.max = mask >> c.shift;
    if ((c.max & (c.max + 1)) != 0) fail("the colour masks are not contiguous");
    return c;
  }
  // The channel's value scaled to 0..255.
  uint8_t value(uint32_t pixel) const {
    if (!max) return 0;
    const uint64_t v = (pixel & mask) >> shift;
    return uint8_t((v * 255 + max / 2) / max);
  }
};

struct Header {
  uint32_t headerSize = 0;
  int64_t width = 0, height = 0;  // height as stored: negative for top-down rows
  int bits = 0;
  uint32_t compression = kRgb;
  uint32_t colorsUsed = 0;
  uint32_t offBits = 0;
  bool os2 = false;  // OS/2 header (1.x or 2.x): compression values 3 and 4 mean other things
  std::array<uint32_t, 4> masks{};  // red, green, blue, alpha
  size_t paletteStart = 0;
  size_t paletteEntrySize = 4;
  size_t paletteCount = 0;

  bool topDown() const { return height < 0; }
  int64_t rows() const { return height < 0 ? -height : height; }

  // Reads the headers from the first bytes of the file, `b` (all of them up to kHeadBytes),
  // and checks them against the file's size; afterwards every offset and size used to
  // decode the pixels lies inside the file.
  void read(std::span<const uint8_t> b, uint64_t fileSize) {
    if (b.size() < kFileHeader + 4) fail("the file is too short for a bitmap header");
    if (b[0] != 'B' || b[1] != 'M') fail("not a bitmap file (no BM signature)");
    offBits = get32(b, 10);
    headerSize = get32(b, 14);
    const bool core = headerSize == kCoreHeader;
    if (!core && (headerSize < 16 || headerSize > 124))
      fail("unsupported header size " + std::to_string(headerSize));
    if (b.size() < kFileHeader + headerSize) fail("the file ends inside the bitmap header");
    const size_t h = kFileHeader;
    // Fields that a short OS/2 2.x header leaves out read as 0.
    auto field32 = [&](size_t at) { return at + 4 <= headerSize ? get32(b, h + at) : 0u; };
    if (core) {
      width = get16(b, h + 4);
      height = get16(b, h + 6);
      bits = get16(b, h + 10);
      os2 = true;
      paletteEntrySize = 3;
    } else {
      width = int32_t(get32(b, h + 4));
      height = int32_t(get32(b, h + 8));
      bits = get16(b, h + 14);
      compression = field32(16);
      colorsUsed = field32(32);
      os2 = headerSize < kInfoHeader || headerSize == 64;
    }
    paletteStart = h + headerSize;
    if (!os2 && (compression == kBitfields || compression == kAlphaBitfields)) {
      const size_t count = compression == kAlphaBitfields ? 4 : 3;
      if (headerSize >= 52) {
        // The masks are part of the longer headers (alpha from 56 bytes on).
        for (size_t i = 0; i < 4; ++i)
          if (40 + 4 * i + 4 <= headerSize) masks[i] = get32(b, h + 40 + 4 * i);
      } else {
        if (b.size() < paletteStart + 4 * count) fail("the file ends inside the colour masks");
        for (size_t i = 0; i < count; ++i) masks[i] = get32(b, paletteStart + 4 * i);
        paletteStart += 4 * count;
      }
    }
    check(fileSize);
  }

  void check(uint64_t fileSize) {
    if (width <= 0) fail("invalid width " + std::to_string(width));
    if (height == 0) fail("invalid height 0");
    if (width > Bitmap::kMaxSide || rows() > Bitmap::kMaxSide ||
        width * rows() > Bitmap::kMaxPixels)
      fail("the image is too large (" + std::to_string(width) + " x " + std::to_string(rows()) +
           ")");
    switch (bits) {
      case 1:
      case 4:
      case 8:
      case 16:
      case 24:
      case 32:
        break;
      default:
        fail("unsupported bit count " + std::to_string(bits));
    }
    const bool ok = compression == kRgb || (compression == kRle8 && bits == 8) ||
                    (compression == kRle4 && bits == 4) ||
                    (!os2 && (compression == kBitfields || compression == kAlphaBitfields) &&
                     (bits == 16 || bits == 32));
    if (!ok)
      fail("unsupported compression " + std::to_string(compression) + " for " +
           std::to_string(bits) + " bits per pixel");
    // Nothing is allocated for a picture beyond what the program holds.
    if (uint64_t(Bitmap::strideFor(int(width), format())) * uint64_t(rows()) > DecodedImageBudget())
      fail("the image is too large (" + std::to_string(width) + " x " + std::to_string(rows()) +
           ")");
    if (topDown() && compression != kRgb && compression != kBitfields &&
        compression != kAlphaBitfields)
      fail("a top-down bitmap cannot be compressed");
    if (offBits > fileSize) fail("the pixel data offset lies beyond the end of the file");
    if (offBits < paletteStart) fail("the pixel data offset points into the header");

    if (bits <= 8) {
      // The palette lies between the headers and the pixels; it may hold fewer entries
      // than the depth allows, and never more are taken.
      const size_t full = size_t(1) << bits;
      size_t count = core() ? full : (colorsUsed && colorsUsed < full ? colorsUsed : full);
      count = std::min(count, (offBits - paletteStart) / paletteEntrySize);
      paletteCount = count;
    }

    const uint64_t available = fileSize - offBits;
    if (compression == kRgb || compression == kBitfields || compression == kAlphaBitfields) {
      const uint64_t rowBytes = (uint64_t(width) * uint64_t(bits) + 7) / 8;
      const uint64_t needed = stride() * uint64_t(rows() - 1) + rowBytes;
      if (available < needed)
        fail("the file is truncated (the pixels need " + std::to_string(needed) +
             " bytes, the file holds " + std::to_string(available) + ")");
    } else {
      // Run-length data: two bytes give at most 255 pixels, and rows or the rest of the
      // image can be skipped; an image far larger than the data is taken as a lie.
      const uint64_t bound = uint64_t(available) * 256 + (uint64_t(1) << 20);
      if (uint64_t(width) * uint64_t(rows()) > bound)
        fail("the run-length data is too short for an image of " + std::to_string(width) + " x " +
             std::to_string(rows()));
    }
  }

  bool core() const { return headerSize == kCoreHeader; }
  uint64_t stride() const { return ((uint64_t(width) * uint64_t(bits) + 31) / 32) * 4; }

  PixelFormat format() const {
    switch (bits) {
      case 1:
        return PixelFormat::pf1bit;
      case 4:
        return PixelFormat::pf4bit;
      case 8:
        return PixelFormat::pf8bit;
      case 32:
        return PixelFormat::pf32bit;
      default:
        return PixelFormat::pf24bit;
    }
  }
};

Palette readPalette(std::span<const uint8_t> b, const Header& h) {
  Palette p(h.paletteCount);
  for (size_t i = 0; i < h.paletteCount; ++i) {
    const uint8_t* e = &b[h.paletteStart + i * h.paletteEntrySize];
    p[i] = {e[2], e[1], e[0]};
  }
  return p;
}

[[noreturn]] void truncated(uint64_t needed, uint64_t held) {
  fail("the file is truncated (the pixels need " + std::to_string(needed) +
       " bytes, the file holds " + std::to_string(held) + ")");
}

// Bytes of the pixel rows, which the header check found in the file.
uint64_t pixelBytes(const Header& h) {
  const uint64_t rowBytes = (uint64_t(h.width) * uint64_t(h.bits) + 7) / 8;
  return h.stride() * uint64_t(h.rows() - 1) + rowBytes;
}

// Rows stored as they are in the bitmap (1, 4, 8, 24 and plain 32 bits): read straight into
// the bitmap's rows, which have the file's padding, in one pass over the file. The bits
// after the last pixel of a 1- or 4-bit row and the padding are cleared.
void copyRows(ByteSource& source, const Header& h, Bitmap& out) {
  const size_t rowBytes = (size_t(h.width) * size_t(h.bits) + 7) / 8;
  const size_t stride = size_t(h.stride());
  const size_t unusedBits = rowBytes * 8 - size_t(h.width) * size_t(h.bits);
  const uint8_t lastMask = uint8_t(0xFF << unusedBits);
  const int rows = int(h.rows());
  std::vector<std::span<uint8_t>> pieces(static_cast<size_t>(rows));
  for (int y = 0; y < rows; ++y)
    pieces[size_t(y)] = {out.scanLine(h.topDown() ? y : rows - 1 - y),
                         y == rows - 1 ? rowBytes : stride};
  const uint64_t needed = pixelBytes(h);
  const size_t got = source.readInto(h.offBits, pieces);
  if (got < needed) truncated(needed, got);  // the file was cut while it was read
  for (int y = 0; y < rows; ++y) {
    uint8_t* dst = out.scanLine(y);
    dst[rowBytes - 1] &= lastMask;
    std::memset(dst + rowBytes, 0, stride - rowBytes);
  }
}

// Hands out the file's pixel rows one after the other: in place for bytes in memory, else
// read in pieces of about a megabyte, so that no second picture is held.
class RowReader {
 public:
  RowReader(ByteSource& source, const Header& h)
      : source_(source), h_(h), stride_(size_t(h.stride())), memory_(source.inMemory()) {
    if (memory_.empty()) buffer_.resize(std::max<size_t>(1, (size_t(1) << 20) / stride_) * stride_);
  }
  // File row y (rows come in order).
  const uint8_t* row(int y) {
    const uint64_t at = h_.offBits + uint64_t(y) * stride_;
    if (!memory_.empty()) return memory_.data() + at;
    if (y < first_ || y >= first_ + held_) {
      const size_t want = std::min<uint64_t>(buffer_.size(), pixelBytes(h_) - (at - h_.offBits));
      const size_t got = source_.readAt(at, buffer_.data(), want);
      if (got < want) truncated(pixelBytes(h_), at - h_.offBits + got);
      first_ = y;
      held_ = int((got + stride_ - 1) / stride_);
    }
    return buffer_.data() + size_t(y - first_) * stride_;
  }

 private:
  ByteSource& source_;
  const Header& h_;
  size_t stride_;
  std::span<const uint8_t> memory_;
  std::vector<uint8_t> buffer_;
  int first_ = 0, held_ = 0;
};

// 16- and 32-bit pixels described by masks.
void maskedRows(ByteSource& source, const Header& h, Bitmap& out) {
  std::array<uint32_t, 4> m = h.masks;
  if (h.compression == kRgb)
    m = h.bits == 16 ? std::array<uint32_t, 4>{0x7C00, 0x03E0, 0x001F, 0}
                     : std::array<uint32_t, 4>{0xFF0000, 0xFF00, 0xFF, 0};
  if (h.bits == 16)
    for (uint32_t& v : m) v &= 0xFFFF;
  const Channel r = Channel::from(m[0]), g = Channel::from(m[1]), bl = Channel::from(m[2]),
                a = Channel::from(m[3]);
  const int rows = int(h.rows()), w = int(h.width);
  RowReader reader(source, h);
  if (h.bits == 16) {
    // Every 16-bit value once, then one lookup per pixel.
    std::vector<std::array<uint8_t, 3>> lut(65536);
    for (uint32_t v = 0; v < 65536; ++v) lut[v] = {bl.value(v), g.value(v), r.value(v)};
    for (int y = 0; y < rows; ++y) {
      const uint8_t* src = reader.row(y);
      uint8_t* dst = out.scanLine(h.topDown() ? y : rows - 1 - y);
      for (int x = 0; x < w; ++x, src += 2, dst += 3) {
        const auto& c = lut[size_t(src[0] | src[1] << 8)];
        dst[0] = c[0];
        dst[1] = c[1];
        dst[2] = c[2];
      }
    }
    return;
  }
  for (int y = 0; y < rows; ++y) {
    const uint8_t* src = reader.row(y);
    uint8_t* dst = out.scanLine(h.topDown() ? y : rows - 1 - y);
    for (int x = 0; x < w; ++x, src += 4, dst += 4) {
      const uint32_t v = uint32_t(src[0]) | uint32_t(src[1]) << 8 | uint32_t(src[2]) << 16 |
                         uint32_t(src[3]) << 24;
      dst[0] = bl.value(v);
      dst[1] = g.value(v);
      dst[2] = r.value(v);
      dst[3] = a.value(v);
    }
  }
}

// RLE8 and RLE4: pairs (count, value) give runs, (0, 0) ends a row, (0, 1) ends the image,
// (0, 2, dx, dy) moves the position, (0, n >= 3) starts n literal pixels padded to 16 bits.
// Pixels not written stay at index 0.
void runLengthRows(std::span<const uint8_t> b, const Header& h, Bitmap& out) {
  // `b` holds the data from the pixel offset on.
  const bool four = h.compression == kRle4;
  const int rows = int(h.rows()), w = int(h.width);
  const size_t end = b.size();
  size_t pos = 0;
  int x = 0, y = 0;  // y counts rows in file order, from the bottom
  auto put = [&](int px, uint8_t v) {
    uint8_t* row = out.scanLine(rows - 1 - y);
    if (!four) {
      row[px] = v;
    } else {
      uint8_t& byte = row[px >> 1];
      byte = (px & 1) ? uint8_t((byte & 0xF0) | v) : uint8_t((byte & 0x0F) | v << 4);
    }
  };
  auto checkRun = [&](int count) {
    if (y >= rows) fail("run-length data continues past the end of the image");
    if (count > w - x) fail("a run-length run passes the end of a row");
  };
  for (;;) {
    if (end - pos < 2) {
      // The data may end without the end-of-image code once the last row is written.
      if (y >= rows || (y == rows - 1 && x == w)) return;
      fail("the run-length data ends before the end of the image");
    }
    const int count = b[pos], value = b[pos + 1];
    pos += 2;
    if (count > 0) {
      checkRun(count);
      if (!four) {
        std::memset(out.scanLine(rows - 1 - y) + x, value, size_t(count));
      } else {
        for (int i = 0; i < count; ++i) put(x + i, uint8_t(i & 1 ? value & 0x0F : value >> 4));
      }
      x += count;
      continue;
    }
    if (value == 0) {  // end of row
      x = 0;
      if (y < rows) ++y;
    } else if (value == 1) {  // end of image
      return;
    } else if (value == 2) {  // move
      if (end - pos < 2) fail("the run-length data ends inside a move");
      x += b[pos];
      y += b[pos + 1];
      pos += 2;
      if (x > w || y > rows || (y == rows && x > 0)) fail("a run-length move leaves the image");
    } else {  // literal pixels
      const size_t bytes = four ? size_t(value + 1) / 2 : size_t(value);
      checkRun(value);
      if (end - pos < bytes) fail("the run-length data ends inside literal pixels");
      const uint8_t* src = &b[pos];
      if (!four) {
        std::memcpy(out.scanLine(rows - 1 - y) + x, src, size_t(value));
      } else {
        for (int i = 0; i < value; ++i)
          put(x + i, uint8_t(i & 1 ? src[i >> 1] & 0x0F : src[i >> 1] >> 4));
      }
      x += value;
      pos += std::min(end - pos, bytes + (bytes & 1));
    }
  }
}

void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

}  // namespace

Bitmap DecodeBmp(ByteSource& source) {
  std::array<uint8_t, kHeadBytes> head{};
  const size_t wanted = size_t(std::min<uint64_t>(source.size(), kHeadBytes));
  const size_t got = source.readAt(0, head.data(), wanted);
  // A file cut before its head was read is as short as what was read.
  Header h;
  h.read(std::span<const uint8_t>(head.data(), got), got < wanted ? got : source.size());
  Bitmap out(int(h.width), int(h.rows()), h.format());
  if (h.bits <= 8) out.setPalette(readPalette(head, h));
  if (h.compression == kRle8 || h.compression == kRle4) {
    // Run-length data is read whole (within the readers' budget), as a run may reach
    // anywhere in the picture.
    std::span<const uint8_t> data = source.inMemory();
    ZeroedBytes read;
    if (data.empty()) {
      const uint64_t length = std::min<uint64_t>(source.size() - h.offBits, DecodedImageBudget());
      read.resize(size_t(length));
      read.resize(source.readAt(h.offBits, read.data(), read.size()));
      data = read;
    } else {
      data = data.subspan(h.offBits);
    }
    runLengthRows(data, h, out);
  } else if (h.bits == 16 || (h.bits == 32 && h.compression != kRgb)) {
    maskedRows(source, h, out);
  } else {
    copyRows(source, h, out);
  }
  return out;
}

Bitmap DecodeBmp(std::span<const uint8_t> bytes) {
  MemorySource source(bytes);
  return DecodeBmp(source);
}

std::vector<uint8_t> EncodeBmp(const Bitmap& bitmap) {
  RefuseEmptyImage(bitmap);
  const int bits = bitmap.bitsPerPixel();
  size_t colours = 0;
  if (bitmap.indexed()) {
    // An indexed bitmap without a palette shows black, and is stored so.
    const size_t full = size_t(1) << bits;
    colours = bitmap.palette().empty() ? full : std::min(bitmap.palette().size(), full);
  }
  const uint64_t pixelBytes = uint64_t(bitmap.stride()) * uint64_t(bitmap.height());
  const uint64_t offBits = kFileHeader + kInfoHeader + 4 * colours;
  if (offBits + pixelBytes > UINT32_MAX)
    throw Exception("BMP: the image is too large for a bitmap file");

  std::vector<uint8_t> out;
  out.reserve(size_t(offBits + pixelBytes));
  out.push_back('B');
  out.push_back('M');
  put32(out, uint32_t(offBits + pixelBytes));
  put32(out, 0);
  put32(out, uint32_t(offBits));
  put32(out, kInfoHeader);
  put32(out, uint32_t(bitmap.width()));
  put32(out, uint32_t(bitmap.height()));  // positive: bottom-up rows
  put16(out, 1);
  put16(out, uint32_t(bits));
  put32(out, kRgb);
  put32(out, uint32_t(pixelBytes));
  put32(out, 0);
  put32(out, 0);
  put32(out, uint32_t(colours));
  put32(out, 0);
  for (size_t i = 0; i < colours; ++i) {
    const PaletteEntry e = i < bitmap.palette().size() ? bitmap.palette()[i] : PaletteEntry{};
    out.push_back(e.blue);
    out.push_back(e.green);
    out.push_back(e.red);
    out.push_back(0);
  }
  // The bitmap's rows already have the file's layout and padding.
  for (int y = bitmap.height() - 1; y >= 0; --y)
    out.insert(out.end(), bitmap.scanLine(y), bitmap.scanLine(y) + bitmap.stride());
  return out;
}

void SaveBmp(const Bitmap& bitmap, const std::string& path) {
  const std::vector<uint8_t> bytes = EncodeBmp(bitmap);
  WriteFileAtomically(path,
                      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace vandrel
