#include "codecs/tiff/TiffDecoder.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>

#include "codecs/common/ImageCommon.h"
#include "codecs/tiff/TiffByteSwap.h"
#include "codecs/tiff/TiffPixels.h"
#include "codecs/tiff/TiffStripDecoders.h"

namespace vandrel {

namespace {

constexpr int kCompressionNone = 0;
constexpr int kCompressionLZW = 4;
constexpr int kCompressionPackBits = 6;

// Compression tag value to the kind kept by the decoder.
int CompressionKind(uint32_t value) {
  switch (value) {
    case 1:
      return 0;
    case 2:
      return 1;
    case 3:
      return 2;
    case 4:
      return 3;
    case 5:
      return 4;
    case 6:
      return 5;
    case 32773:
      return 6;
    default:
      return 7;
  }
}

std::string ReadErrorText(uint64_t position, int64_t expected, int64_t read) {
  char text[128];
  std::snprintf(text, sizeof text, "TIFF read error at %.8llXH (%d byte(s) expected, but %d read)",
                static_cast<unsigned long long>(position), int32_t(expected), int32_t(read));
  return text;
}

[[noreturn]] void Fail(const char* message) { throw Exception(message); }

// A double as single precision without leaving the float range (beyond it: infinity).
float ToSingle(double value) {
  if (value > double(FLT_MAX)) return HUGE_VALF;
  if (value < -double(FLT_MAX)) return -HUGE_VALF;
  return float(value);
}

}  // namespace

TTIFFDecoder::TTIFFDecoder(TiffStream& stream) : stream_(stream) {}

uint16_t TTIFFDecoder::Read16(const uint8_t* p) const {
  const uint16_t v = LoadLE16(p);
  return littleEndian_ ? v : ByteSwap16(v);
}

uint32_t TTIFFDecoder::Read32(const uint8_t* p) const {
  const uint32_t v = LoadLE32(p);
  return littleEndian_ ? v : ByteSwap32Routine(v);
}

void TTIFFDecoder::ReadBuffer(void* buffer, size_t count) {
  const size_t read = stream_.read(buffer, count);
  if (read < count)
    throw EInvalidImage(ReadErrorText(stream_.position() - read, int64_t(count), int64_t(read)));
}

void TTIFFDecoder::SeekFromBase(int64_t offset, int origin) {
  if (origin == 0)
    stream_.setPosition(base_ + uint64_t(offset));
  else
    stream_.setPosition(uint64_t(int64_t(stream_.position()) + offset));
}

void TTIFFDecoder::ReadHeader() {
  uint8_t header[8];
  ReadBuffer(header, 8);
  const uint16_t mark = LoadLE16(header);
  littleEndian_ = mark == 0x4949;
  const uint16_t version = Read16(header + 2);
  const uint32_t first = Read32(header + 4);
  if ((mark != 0x4949 && mark != 0x4D4D) || version != 42 || first < 8)
    Fail("Unsupported file format !");
  directoryOffsets_.push_back(first);
}

void TTIFFDecoder::ScanIFDs(bool firstOnly) {
  directoryOffsets_.clear();
  if (stream_.position() >= stream_.size()) return;
  base_ = stream_.position();
  ReadHeader();
  if (firstOnly) return;
  // Every directory needs bytes of its own, so a chain that does not loop ends within the
  // file; one that returns to a directory already collected ends there.
  std::set<uint32_t> seen(directoryOffsets_.begin(), directoryOffsets_.end());
  for (;;) {
    SeekFromBase(directoryOffsets_.back(), 0);
    uint8_t bytes[4];
    ReadBuffer(bytes, 2);
    SeekFromBase(int64_t(Read16(bytes)) * 12, 1);
    if (stream_.position() >= stream_.size()) break;
    ReadBuffer(bytes, 4);
    const uint32_t next = Read32(bytes);
    if (next == 0 || next > stream_.size()) break;
    if (!seen.insert(next).second) break;
    directoryOffsets_.push_back(next);
  }
}

void TTIFFDecoder::DecodePage(int page, Bitmap* bitmap, TiffTexts& texts) {
  bitmap_ = bitmap;
  if (bitmap == nullptr || page < 0 || page >= PageCount()) return;
  stripByteCounts_.clear();
  stripOffsets_.clear();
  SeekFromBase(directoryOffsets_[size_t(page)], 0);
  ReadIFD();
  DecodeStrips();
  texts = texts_;
}

uint32_t TTIFFDecoder::ScalarValue(const Entry& entry) const {
  switch (entry.type) {
    case 1:
    case 2:
    case 6:
    case 7:  // BYTE, ASCII, SBYTE, UNDEFINED
      return entry.field[0];
    case 3:
    case 8:  // SHORT, SSHORT
      return Read16(entry.field);
    default:
      return entry.value;
  }
}

void TTIFFDecoder::ReadValues(uint32_t offset, uint64_t count, int size,
                              std::vector<uint32_t>& list) {
  const uint64_t saved = stream_.position();
  SeekFromBase(offset, 0);
  // A list the file does not hold whole is refused before any of it is read: the read
  // error names the first value that is not there.
  const uint64_t present = std::min<uint64_t>(count, stream_.available() / uint64_t(size));
  if (present < count) {
    const uint64_t at = stream_.position() + present * uint64_t(size);
    const uint64_t read = stream_.available() - present * uint64_t(size);
    stream_.setPosition(saved);
    throw EInvalidImage(ReadErrorText(at, size, int64_t(read)));
  }
  list.reserve(list.size() + size_t(count) * (size == 8 ? 2 : 1));
  const std::span<const uint8_t> bytes = stream_.peek(count * uint64_t(size));
  for (uint64_t i = 0; i < count; ++i) {
    const uint8_t* p = bytes.data() + i * uint64_t(size);
    if (size == 2) {
      list.push_back(Read16(p));
    } else {
      list.push_back(Read32(p));
      if (size == 8) list.push_back(Read32(p + 4));
    }
  }
  stream_.setPosition(saved);
}

void TTIFFDecoder::ReadValueList(const Entry& entry, std::vector<uint32_t>& list,
                                 uint64_t maxItems) {
  list.clear();
  const uint64_t items = uint64_t(entry.count) * (entry.type == 5 ? 2 : 1);
  if (items > maxItems) {
    // More items than the checks after the directory take: they refuse the list by its
    // length alone, so its values are not read. It stands as one item too many.
    list.assign(size_t(maxItems) + 1, 0);
    return;
  }
  if (entry.count == 1) {
    list.push_back(ScalarValue(entry));
  } else if (entry.count == 2 && entry.type == 3) {
    list.push_back(Read16(entry.field));
    list.push_back(Read16(entry.field + 2));
  } else {
    ReadValues(entry.value, entry.count, entry.type == 3 ? 2 : entry.type == 4 ? 4 : 8, list);
  }
}

std::string TTIFFDecoder::ReadText(const Entry& entry) {
  if (entry.count == 0) return std::string();
  std::string text;
  if (entry.count <= 4) {
    text.assign(reinterpret_cast<const char*>(entry.field), entry.count);
  } else {
    const uint64_t saved = stream_.position();
    SeekFromBase(entry.value, 0);
    if (stream_.available() < entry.count) {
      // Nothing is allocated for a text the file does not hold.
      const uint64_t at = stream_.position(), read = stream_.available();
      stream_.setPosition(saved);
      throw EInvalidImage(ReadErrorText(at, entry.count, int64_t(read)));
    }
    const std::span<const uint8_t> bytes = stream_.peek(entry.count);
    text.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    stream_.setPosition(saved);
  }
  text.pop_back();  // the terminating zero
  return text;
}

void TTIFFDecoder::ReadColorMap(const Entry& entry) {
  // Red values, then green, then blue, count / 3 of each. Only the first 256 of each
  // channel fit the palette; the channels are read where they lie in a longer map.
  const uint64_t perChannel = entry.count / 3;
  const uint64_t used = std::min<uint64_t>(perChannel, 256);
  std::vector<uint32_t> values[3];
  for (int c = 0; c < 3; ++c)
    ReadValues(uint32_t(std::min<uint64_t>(entry.value + uint64_t(c) * perChannel * 2, UINT32_MAX)),
               used, 2, values[c]);
  paletteEntries_ = int(used);
  auto level = [](uint32_t v) {
    const uint8_t high = uint8_t(v >> 8);
    return high != 0 ? high : uint8_t(v);  // maps written with 8-bit values are accepted
  };
  for (size_t i = 0; i < used; ++i)
    palette_[i] = {level(values[0][i]), level(values[1][i]), level(values[2][i])};
}

void TTIFFDecoder::MakeGreyPalette() {
  const int n = paletteEntries_;
  for (int i = 0; i < n; ++i) {
    const int level = n == 1              ? 0
                      : photometric_ == 0 ? 255 * (n - 1 - i) / (n - 1)
                                          : 255 * i / (n - 1);
    palette_[size_t(i)] = {uint8_t(level), uint8_t(level), uint8_t(level)};
  }
}

void TTIFFDecoder::ReadIFD() {
  uint8_t bytes[12];
  ReadBuffer(bytes, 2);
  const uint16_t entries = Read16(bytes);
  texts_ = TiffTexts();
  predictor_ = false;
  subsamplingH_ = subsamplingV_ = 2;
  totalBits_ = 1;
  uint32_t fillOrder = 1, threshholding = 1;
  orientation_ = 1;
  planar_ = 1;
  lumaRed_ = 0.299;
  lumaGreen_ = 0.587;
  lumaBlue_ = 0.114;
  photometric_ = 0;
  width_ = height_ = 0;
  rowsPerStrip_ = 0;
  rowsPerStripGiven_ = false;
  paletteEntries_ = 0;
  std::vector<uint32_t> bitsPerSample, coefficients, subsampling, referenceBlackWhite;
  bool tiled = false;

  // The entries whose values lie elsewhere in the file are read after the loop, and only
  // the last entry of each tag, the one that counts: a directory that repeats a tag costs
  // one read of its values, not one per entry.
  enum Deferred {
    kBitsPerSample,
    kStripOffsets,
    kStripByteCounts,
    kCoefficients,
    kSubsampling,
    kReference,
    kDescription,
    kSoftware,
    kArtist,
    kColorMap,
    kDeferredCount
  };
  struct Pending {
    bool given = false;
    uint32_t index = 0;  // of the entry in the directory
    Entry entry;
  };
  Pending pending[kDeferredCount];
  auto defer = [&](Deferred slot, uint32_t index, const Entry& e) {
    pending[slot] = {true, index, e};
  };
  // The list tags take SHORT, LONG or RATIONAL values; any other type is refused at once.
  auto deferList = [&](Deferred slot, uint32_t index, const Entry& e, const char* message) {
    if (e.type != 3 && e.type != 4 && e.type != 5) Fail(message);
    defer(slot, index, e);
  };

  for (uint16_t i = 0; i < entries; ++i) {
    ReadBuffer(bytes, 12);
    Entry e;
    e.tag = Read16(bytes);
    e.type = Read16(bytes + 2);
    e.count = Read32(bytes + 4);
    e.value = Read32(bytes + 8);
    std::copy(bytes + 8, bytes + 12, e.field);
    const uint32_t value = ScalarValue(e);
    switch (e.tag) {
      case 256:
        width_ = value;
        break;
      case 257:
        height_ = value;
        break;
      case 258:
        deferList(kBitsPerSample, i, e, "TIFF: Unsupported \"BitsPerSample\" !");
        break;
      case 259:
        compression_ = CompressionKind(value);
        break;
      case 262:
        photometric_ = uint16_t(value);
        break;
      case 263:
        threshholding = value;
        break;
      case 266:
        fillOrder = value;
        break;
      case 270:
        defer(kDescription, i, e);
        break;
      case 273:
        deferList(kStripOffsets, i, e, "TIFF: Unsupported \"StripOffsets\" !");
        break;
      case 274:
        orientation_ = uint16_t(value);
        break;
      case 278:
        rowsPerStrip_ = value;
        rowsPerStripGiven_ = true;
        break;
      case 279:
        deferList(kStripByteCounts, i, e, "TIFF: Unsupported \"StripByteCounts\" !");
        break;
      case 284:
        planar_ = uint16_t(value);
        break;
      case 305:
        defer(kSoftware, i, e);
        break;
      case 315:
        defer(kArtist, i, e);
        break;
      case 317:
        predictor_ = value == 2;
        break;
      case 320:
        defer(kColorMap, i, e);
        break;
      case 322:  // TileWidth
      case 323:  // TileLength
      case 324:  // TileOffsets
      case 325:  // TileByteCounts
        tiled = true;
        break;
      case 529:
        deferList(kCoefficients, i, e, "TIFF: Unsupported \"YCbCrCoefficients\" !");
        break;
      case 530:
        deferList(kSubsampling, i, e, "TIFF: Unsupported \"YCbCrSubSampling\" !");
        break;
      case 532:
        deferList(kReference, i, e, "TIFF: Unsupported \"ReferenceBlackWhite\" !");
        break;
      default:
        break;
    }
  }

  // The deferred values in the order of their entries. The strip lists hold what the file
  // holds (each value takes bytes of it); the other lists are refused beyond the items
  // their checks take (4 samples, 3 rationals, 2 factors, 6 rationals), unread.
  std::vector<int> order;
  for (int k = 0; k < kDeferredCount; ++k)
    if (pending[k].given) order.push_back(k);
  std::sort(order.begin(), order.end(),
            [&](int a, int b) { return pending[a].index < pending[b].index; });
  constexpr uint64_t kWhole = UINT64_MAX;
  for (const int k : order) {
    const Entry& e = pending[k].entry;
    switch (Deferred(k)) {
      case kBitsPerSample:
        ReadValueList(e, bitsPerSample, 4);
        break;
      case kStripOffsets:
        ReadValueList(e, stripOffsets_, kWhole);
        break;
      case kStripByteCounts:
        ReadValueList(e, stripByteCounts_, kWhole);
        break;
      case kCoefficients:
        ReadValueList(e, coefficients, 6);
        break;
      case kSubsampling:
        ReadValueList(e, subsampling, 2);
        break;
      case kReference:
        ReadValueList(e, referenceBlackWhite, 12);
        break;
      case kDescription:
        texts_.imageDescription = ReadText(e);
        break;
      case kSoftware:
        texts_.software = ReadText(e);
        break;
      case kArtist:
        texts_.artist = ReadText(e);
        break;
      case kColorMap:
        ReadColorMap(e);
        break;
      case kDeferredCount:
        break;
    }
  }
  const bool coefficientsGiven = pending[kCoefficients].given;
  const bool subsamplingGiven = pending[kSubsampling].given;
  const bool referenceGiven = pending[kReference].given;

  // 1. Total bits.
  if (!bitsPerSample.empty()) {
    totalBits_ = 0;
    for (uint32_t b : bitsPerSample) totalBits_ += b;
    if (bitsPerSample.size() > 4 || (bitsPerSample.size() >= 2 && totalBits_ <= 8))
      Fail("TIFF: Unsupported Pixel Format !");
  }
  // 2. Pixel format of the bitmap.
  switch (totalBits_) {
    case 1:
      format_ = PixelFormat::pf1bit;
      break;
    case 4:
      format_ = PixelFormat::pf4bit;
      break;
    case 8:
      format_ = PixelFormat::pf8bit;
      break;
    case 24:
      format_ = PixelFormat::pf24bit;
      break;
    case 32:
      format_ = photometric_ == 5 ? PixelFormat::pf24bit : PixelFormat::pf32bit;
      break;
    default:
      format_ = bitmap_->format();
      break;
  }
  // 3. Largest sample value.
  maxSampleValue_ = totalBits_ <= 8 ? int((1u << std::max<int64_t>(totalBits_, 0)) - 1) : 255;
  // 4. Reference black and white by default.
  for (int c = 0; c < 3; ++c) {
    if (photometric_ == 6) {
      black_[c] = c == 0 ? 0.0f : 128.0f;
      scale_[c] = 1.0f;
    } else {
      black_[c] = 0.0f;
      scale_[c] = float(maxSampleValue_);
    }
  }
  // 5. YCbCr subsampling.
  if (subsamplingGiven) {
    auto valid = [](uint32_t f) { return f == 1 || f == 2 || f == 4; };
    if (subsampling.size() != 2 || !valid(subsampling[0]) || !valid(subsampling[1]))
      Fail("TIFF: Unsupported \"YCbCrSubSampling\" !");
    subsamplingH_ = uint16_t(subsampling[0]);
    subsamplingV_ = uint16_t(subsampling[1]);
  }
  // 6. YCbCr coefficients: three rationals; a zero denominator keeps the default.
  if (coefficientsGiven) {
    if (coefficients.size() != 6) Fail("TIFF: Unsupported \"YCbCr Coefficients\" !");
    if (coefficients[1] != 0) lumaRed_ = double(coefficients[0]) / coefficients[1];
    if (coefficients[3] != 0) {
      lumaGreen_ = double(coefficients[2]) / coefficients[3];
      if (lumaGreen_ == 0) lumaGreen_ = 1.0;
    }
    if (coefficients[5] != 0) lumaBlue_ = double(coefficients[4]) / coefficients[5];
  }
  // 7. Reference black and white: black and white of Y, Cb and Cr as six rationals.
  if (referenceGiven) {
    if (referenceBlackWhite.size() != 12) Fail("TIFF: Unsupported \"ReferenceBlackWhite\" !");
    auto rational = [&](int k) {
      return double(referenceBlackWhite[size_t(2 * k)]) / referenceBlackWhite[size_t(2 * k + 1)];
    };
    auto present = [&](int k) { return referenceBlackWhite[size_t(2 * k + 1)] != 0; };
    for (int c = 0; c < 3; ++c) {
      if (present(2 * c)) black_[c] = ToSingle(rational(2 * c));
      if (present(2 * c + 1)) {
        const double range = c == 0 ? maxSampleValue_ : 127.0;
        scale_[c] = ToSingle(range / (rational(2 * c + 1) - double(black_[c])));
      }
    }
  }
  // 8. Grey palette when the file has no colour map.
  if (paletteEntries_ == 0 && totalBits_ <= 8) {
    paletteEntries_ = 1 << std::max<int64_t>(totalBits_, 0);
    MakeGreyPalette();
  }
  // 9. One plane below 8 bits.
  if (totalBits_ <= 8) planar_ = 1;
  // 10. One strip of the whole image when the file gives no byte counts.
  if (stripByteCounts_.empty()) {
    const uint64_t rowBytes =
        (uint64_t(width_) * uint64_t(std::max<int64_t>(totalBits_, 0)) + 7) / 8;
    stripByteCounts_.push_back(uint32_t(std::min<uint64_t>(rowBytes * height_, UINT32_MAX)));
  }
  // Tiles are not strips, also where a file keeps their offsets in the strip tags: read as
  // strips they would give stripes of noise. A tiled file has no strip tags of its own, so
  // it is told apart before the strip lists are checked, which would call it damaged.
  if (tiled) Fail("TIFF: Unsupported \"TileWidth|TileLength\" !");
  // 11.-15.
  if (stripByteCounts_.size() != stripOffsets_.size())
    Fail("TIFF: Invalid \"StripOffsets|StripByteCounts\" !");
  if (compression_ == kCompressionPackBits && photometric_ == 6)
    Fail("TIFF: Invalid \"Compression|PhotometricInterpretation\" !");
  if (fillOrder != 1) Fail("TIFF: Unsupported \"FillOrder\" !");
  if (compression_ != kCompressionNone && compression_ != kCompressionLZW &&
      compression_ != kCompressionPackBits)
    Fail("TIFF: Unsupported \"Compression\" !");
  if (threshholding != 1) Fail("TIFF: Unsupported \"Threshholding\" !");
  // 16. Pixel format and photometric interpretation together.
  const char* kPhotometric = "TIFF: Unsupported \"PixelFormat|PhotometricInterpretation\" !";
  switch (totalBits_) {
    case 1:
      if (photometric_ != 0 && photometric_ != 1 && photometric_ != 3) Fail(kPhotometric);
      if (predictor_) Fail("TIFF: Unsupported \"PixelFormat|Predictor\" !");
      break;
    case 4:
    case 8:
      if (photometric_ != 0 && photometric_ != 1 && photometric_ != 3) Fail(kPhotometric);
      break;
    case 24:
      if (photometric_ != 2 && photometric_ != 6 && photometric_ != 8) Fail(kPhotometric);
      if (predictor_ && photometric_ == 6)
        Fail("TIFF: Unsupported \"PhotometricInterpretation|Predictor\" !");
      if (planar_ == 2 && photometric_ == 6)
        Fail("TIFF: Unsupported \"PhotometricInterpretation|PlanarConfiguration\" !");
      break;
    case 32:
      if (photometric_ != 2 && photometric_ != 5) Fail(kPhotometric);
      break;
    default:
      Fail("TIFF: Unsupported Pixel Format !");
  }
  CheckImageSize();
  // 17.-19. Palette, size: the bitmap is the upright picture, which the strips fill as they
  // are decoded.
  const TiffOrientation turn = Orientation();
  Bitmap target(turn.UprightWidth(), turn.UprightHeight(), turn.UprightFormat());
  if (paletteEntries_ > 0 && target.indexed()) target.setPalette(StoredPalette());
  *bitmap_ = std::move(target);
}

Palette TTIFFDecoder::StoredPalette() const {
  return Palette(palette_.begin(), palette_.begin() + paletteEntries_);
}

TiffOrientation TTIFFDecoder::Orientation() const {
  return TiffOrientation(int(width_), int(height_), int(format_), StoredPalette(), orientation_);
}

void TTIFFDecoder::CheckImageSize() const {
  // Nothing is allocated for an image that the file cannot hold: the pixel data of the
  // page against the file's bytes times the most that a byte of the file can stand for (an
  // LZW code of 9 bits or more gives at most 4096 bytes; strips may also share their data
  // or end short, which leaves rows empty).
  const char* kTooLarge = "TIFF: Invalid \"ImageWidth|ImageLength\" !";
  // A page of no columns or no rows holds no picture: it is a damaged file, not an empty
  // picture to show without a word.
  if (width_ == 0 || height_ == 0) Fail(kTooLarge);
  if (width_ > uint32_t(Bitmap::kMaxSide) || height_ > uint32_t(Bitmap::kMaxSide) ||
      uint64_t(width_) * height_ > uint64_t(Bitmap::kMaxPixels))
    Fail(kTooLarge);
  uint64_t bytes;
  if (photometric_ == 6) {
    const uint64_t units = (uint64_t(width_) + subsamplingH_ - 1) / subsamplingH_ *
                           ((uint64_t(height_) + subsamplingV_ - 1) / subsamplingV_);
    bytes = units * uint64_t(subsamplingH_ * subsamplingV_ + 2);
  } else {
    bytes = (uint64_t(width_) * uint64_t(totalBits_) + 7) / 8 * height_;
  }
  constexpr uint64_t kExpansion = 4096;
  if (bytes > stream_.size() * kExpansion) Fail(kTooLarge);
  // And none for a picture beyond what the program holds, counted as it ends up: turned,
  // and widened to 24 bits when it has fewer than 8 and is not stored upright.
  if (Orientation().UprightBytes() > DecodedImageBudget())
    Fail("TIFF: Unsupported \"ImageWidth|ImageLength\" !");
}

void TTIFFDecoder::CheckCompressedStrips() {
  // Strips may share their data, but a compressed strip is decoded from its first byte
  // whatever the strips before it held: many strips over the same long stretch would make
  // the reader go over it again and again (codes that give nothing cost time too). No
  // writer needs more than the file's bytes plus twice the picture's (a PackBits literal
  // of one byte takes two, an LZW code of 12 bits at least one); beyond that the strips are
  // refused before any is decoded.
  const uint64_t planes = planar_ == 2 ? uint64_t(std::max<int64_t>(totalBits_ / 8, 1)) : 1;
  const uint64_t picture =
      (uint64_t(width_) * uint64_t(std::max<int64_t>(totalBits_, 0)) / planes + 7) / 8 * height_ *
      planes;
  const uint64_t budget = stream_.size() + 2 * picture + 16 * uint64_t(stripOffsets_.size());
  uint64_t total = 0;
  for (size_t i = 0; i < stripOffsets_.size(); ++i) {
    const uint64_t at = base_ + stripOffsets_[i];
    const uint64_t present = at < stream_.size() ? stream_.size() - at : 0;
    total += std::min<uint64_t>(stripByteCounts_[i], present);
    if (total > budget) Fail("TIFF: Invalid \"StripOffsets|StripByteCounts\" !");
  }
}

std::span<const uint8_t> TTIFFDecoder::StageStrip(uint32_t byteCount) {
  const std::span<const uint8_t> bytes = stream_.peek(byteCount);
  if (bytes.size() < byteCount)
    throw EInvalidImage(
        ReadErrorText(stream_.position(), int64_t(byteCount), int64_t(bytes.size())));
  stream_.skip(bytes.size());
  return bytes;
}

void TTIFFDecoder::DecodeStrips() {
  Bitmap& bitmap = *bitmap_;
  TiffDecoderSetup setup;
  setup.width = int(width_);
  setup.height = int(height_);
  setup.format = format_;
  setup.orientation = orientation_;
  setup.palette = StoredPalette();
  setup.routines = ChooseRowRoutines(predictor_, int(totalBits_));
  setup.predictor = predictor_ && totalBits_ >= 4;
  setup.photometric = photometric_;
  setup.rowsPerStrip = rowsPerStripGiven_ ? rowsPerStrip_ : UINT32_MAX;
  setup.subsamplingH = subsamplingH_;
  setup.subsamplingV = subsamplingV_;
  setup.ycbcr.lumaRed = lumaRed_;
  setup.ycbcr.lumaGreen = lumaGreen_;
  setup.ycbcr.lumaBlue = lumaBlue_;
  for (int c = 0; c < 3; ++c) {
    setup.ycbcr.black[c] = black_[c];
    setup.ycbcr.scale[c] = scale_[c];
  }

  const int bits = int(format_);
  const bool deep = bits == 24 || bits == 32;
  TiffRowLayout layout;
  if (planar_ == 2 && deep) {
    // The inks of a planar CMYK image are taken off a white picture.
    if (photometric_ == 5 && bitmap.byteSize() > 0)
      std::memset(bitmap.bits(), 0xFF, bitmap.byteSize());
    layout = TiffRowLayout::k24bPlanar2;
  } else if (photometric_ == 5) {
    layout = TiffRowLayout::kCMYK;
  } else if (photometric_ == 6) {
    layout = TiffRowLayout::kYCbCr;
  } else if (photometric_ == 8) {
    layout = TiffRowLayout::kCIELab;
  } else if (!deep) {
    layout = predictor_ ? TiffRowLayout::k08bHorDiff : TiffRowLayout::k08b;
  } else {
    layout = TiffRowLayout::k24b;
  }
  const TiffCompression compression = compression_ == kCompressionLZW ? TiffCompression::kLZW
                                      : compression_ == kCompressionPackBits
                                          ? TiffCompression::kPackBits
                                          : TiffCompression::kNone;
  if (compression != TiffCompression::kNone) CheckCompressedStrips();
  std::unique_ptr<TTIFFImageDecoder> decoder =
      CreateStripDecoder(compression, layout, bitmap, setup);

  // Strip s of plane p holds the rows from s * RowsPerStrip of that plane, however many
  // bytes the strips before it held (writers pad the last strip of a plane to whole
  // strips, and a damaged strip may end short). A list of another length than the rows and
  // planes need has no such places: its strips follow one another.
  const uint64_t planes = layout != TiffRowLayout::k24bPlanar2 ? 1
                          : photometric_ == 5                  ? 4
                                                               : uint64_t(bits / 8);
  const uint64_t rowsPerStrip =
      rowsPerStripGiven_ && rowsPerStrip_ > 0 ? std::min(rowsPerStrip_, height_) : height_;
  const uint64_t stripsPerPlane = (uint64_t(height_) + rowsPerStrip - 1) / rowsPerStrip;
  const bool placed = stripOffsets_.size() == stripsPerPlane * planes;

  for (size_t i = 0; i < stripOffsets_.size(); ++i) {
    SeekFromBase(stripOffsets_[i], 0);
    if (placed) {
      const uint64_t first = i % stripsPerPlane * rowsPerStrip;
      decoder->BeginStrip(uint32_t(i / stripsPerPlane), uint32_t(first),
                          uint32_t(std::min<uint64_t>(rowsPerStrip, height_ - first)));
    }
    if (compression == TiffCompression::kNone) {
      if (!decoder->Done()) decoder->DecodeStrip(stream_, stripByteCounts_[i]);
      continue;
    }
    // A compressed strip must lie within the file, also once the image is complete.
    const std::span<const uint8_t> strip = StageStrip(stripByteCounts_[i]);
    if (decoder->Done()) continue;
    TiffStream staged(strip);
    decoder->DecodeStrip(staged, stripByteCounts_[i]);
  }
  decoder->Finish();
  decoder.reset();

  if (planar_ == 2 && deep && photometric_ == 8) PlanarLabToRGB(bitmap);
}

}  // namespace vandrel
