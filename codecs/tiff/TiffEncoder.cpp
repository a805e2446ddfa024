#include "codecs/tiff/TiffEncoder.h"

#include <algorithm>
#include <cstring>

#include "codecs/tiff/TiffCompress.h"
#include "codecs/tiff/TiffPixels.h"
#include "platform/Errors.h"
#include "platform/ImageToSave.h"

namespace vandrel {

namespace {

constexpr uint16_t kAscii = 2, kShort = 3, kLong = 4;

// The system's default palette: the colours of a bitmap that has none.
constexpr PaletteEntry kDefaultPalette[20] = {
    {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
    {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
    {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
    {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};

// TIFF Compression value of each index.
constexpr uint16_t kCompressionValue[7] = {1, 2, 3, 4, 5, 6, 32773};

bool HasEncoder(uint8_t compression) {
  return compression == 0 || compression == 4 || compression == 6;
}

}  // namespace

TTIFFEncoder::TTIFFEncoder(std::vector<uint8_t>* stream) : stream_(stream) {}

void TTIFFEncoder::Write(const void* data, size_t count) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  stream_->insert(stream_->end(), bytes, bytes + count);
}

void TTIFFEncoder::Write16(uint16_t value) {
  const uint8_t bytes[2] = {uint8_t(value), uint8_t(value >> 8)};
  Write(bytes, 2);
}

void TTIFFEncoder::Write32(uint32_t value) {
  const uint8_t bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16),
                            uint8_t(value >> 24)};
  Write(bytes, 4);
}

void TTIFFEncoder::Patch32(size_t position, uint32_t value) {
  const uint8_t bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16),
                            uint8_t(value >> 24)};
  std::memcpy(stream_->data() + position, bytes, 4);
}

void TTIFFEncoder::WriteEntry(uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
  Write16(tag);
  Write16(type);
  Write32(count);
  Write32(value);
}

void TTIFFEncoder::Encode(const Bitmap& bitmap, uint8_t compression,
                          const std::string& imageDescription, const std::string& software,
                          const std::string& artist) {
  if (stream_ == nullptr) return;
  RefuseEmptyImage(bitmap);
  // Indices without an encoder would write strips of no bytes: refused before anything.
  if (compression > 6 || !HasEncoder(compression))
    throw Exception("TIFF: Unsupported \"Compression\" !");

  // Header on the first page; later pages are chained from the previous one.
  if (endOfLastPage_ == 0) {
    const uint32_t start = uint32_t(stream_->size());
    Write("II", 2);
    Write16(42);
    Write32(start + 8);
  } else {
    Patch32(size_t(nextDirectoryField_), uint32_t(endOfLastPage_));
  }

  const int b = bitmap.bitsPerPixel();
  bitsPerPixel_ = b;
  const int samples = std::max(1, b / 8);
  const uint32_t colours = b <= 8 ? 1u << b : 0;
  rowBytes_ = int32_t((int64_t(bitmap.width()) * b + 7) / 8);
  if (b != 1 && b != 4 && b != 8 && b != 24 && b != 32)
    throw Exception("Unsupported Pixel Format !");

  // Strips of about 32 KB: whole rows, one row per strip when a row alone is that long.
  rowsPerStrip_ = rowBytes_ < 32768 ? std::min(32768 / rowBytes_, bitmap.height()) : 1;
  const uint64_t total = uint64_t(bitmap.height()) * uint64_t(rowBytes_);
  const uint64_t stripSize = uint64_t(rowsPerStrip_) * uint64_t(rowBytes_);
  stripSizes_.clear();
  if (total <= stripSize) {
    stripSizes_.push_back(uint32_t(total));
  } else {
    for (uint64_t done = 0; done < total; done += stripSize)
      stripSizes_.push_back(uint32_t(std::min(stripSize, total - done)));
  }
  const uint32_t strips = uint32_t(stripSizes_.size());
  // Room for the page, so that the stream grows once (a little more for compression that
  // does not pay).
  stream_->reserve(stream_->size() + size_t(total + total / 8) + 2048 + 3 * 2 * colours +
                   8 * strips);

  const std::string* texts[3] = {&imageDescription, &software, &artist};
  // A fourth sample is marked as data of no stated meaning (ExtraSamples 0): readers
  // would otherwise take it for opacity, and the bitmap's fourth byte is none.
  const bool extraSample = b == 32;
  uint16_t entries = extraSample ? 11 : 10;
  for (const std::string* t : texts) entries += t->empty() ? 0 : 1;
  Write16(entries);

  // The out-of-line areas follow the directory and its next-directory field.
  uint32_t d = uint32_t(stream_->size()) + 12u * entries + 4u;
  uint32_t bitsAt = 0, textAt[3] = {0, 0, 0}, mapAt = 0, countsAt = 0, offsetsAt = 0;
  if (b > 8) {
    bitsAt = d;
    d += uint32_t(samples) * 2;
  }
  for (int i = 0; i < 3; ++i)
    if (texts[i]->size() > 3) {
      textAt[i] = d;
      d += uint32_t(texts[i]->size()) + 1;
    }
  if (b <= 8) {
    mapAt = d;
    d += 3 * colours * 2;
  }
  if (strips > 1) {
    countsAt = d;
    d += strips * 4;
    offsetsAt = d;
    d += strips * 4;
  }

  // A text of 1 to 3 characters sits in the value field itself.
  auto textEntry = [&](uint16_t tag, int i) {
    const std::string& t = *texts[i];
    if (t.empty()) return;
    uint32_t value = textAt[i];
    if (t.size() <= 3) {
      uint8_t field[4] = {0, 0, 0, 0};
      std::memcpy(field, t.data(), t.size());
      value = uint32_t(field[0]) | uint32_t(field[1]) << 8 | uint32_t(field[2]) << 16;
    }
    WriteEntry(tag, kAscii, uint32_t(t.size()) + 1, value);
  };

  WriteEntry(256, kLong, 1, uint32_t(bitmap.width()));
  WriteEntry(257, kLong, 1, uint32_t(bitmap.height()));
  WriteEntry(258, kShort, uint32_t(samples), b <= 8 ? uint32_t(b) : bitsAt);
  WriteEntry(259, kShort, 1, kCompressionValue[compression]);
  WriteEntry(262, kShort, 1, b <= 8 ? 3 : 2);
  textEntry(270, 0);
  WriteEntry(273, kLong, strips, strips == 1 ? d : offsetsAt);
  offsetCursor_ = int32_t(strips == 1 ? stream_->size() - 4 : offsetsAt);
  WriteEntry(277, kShort, 1, uint32_t(samples));
  WriteEntry(278, kLong, 1, uint32_t(rowsPerStrip_));
  WriteEntry(279, kLong, strips, strips == 1 ? stripSizes_[0] : countsAt);
  byteCountCursor_ = int32_t(strips == 1 ? stream_->size() - 4 : countsAt);
  if (b > 8) WriteEntry(284, kShort, 1, 1);
  textEntry(305, 1);
  textEntry(315, 2);
  if (b <= 8) WriteEntry(320, kShort, 3 * colours, mapAt);
  if (extraSample) WriteEntry(338, kShort, 1, 0);
  nextDirectoryField_ = int32_t(stream_->size());
  Write32(0);

  // The out-of-line values, in the order of their areas.
  if (b > 8)
    for (int i = 0; i < samples; ++i) Write16(8);
  for (int i = 0; i < 3; ++i)
    if (texts[i]->size() > 3) Write(texts[i]->c_str(), texts[i]->size() + 1);
  if (b <= 8) {
    // The bitmap's first 2^b colours (black where it has fewer); a bitmap without any
    // takes black and white for 2 colours and the system's default palette otherwise.
    std::vector<PaletteEntry> map(colours);
    const Palette& palette = bitmap.palette();
    if (!palette.empty()) {
      for (size_t i = 0; i < colours && i < palette.size(); ++i) map[i] = palette[i];
    } else if (colours == 2) {
      map[1] = {255, 255, 255};
    } else {
      for (size_t i = 0; i < colours && i < 20; ++i) map[i] = kDefaultPalette[i];
    }
    // Each 8-bit level spread over the 16-bit range (255 becomes 65535), as readers
    // scale it back; its high byte is the level itself.
    for (const PaletteEntry& e : map) Write16(uint16_t(e.red * 257));
    for (const PaletteEntry& e : map) Write16(uint16_t(e.green * 257));
    for (const PaletteEntry& e : map) Write16(uint16_t(e.blue * 257));
  }
  if (strips > 1) {
    for (uint32_t size : stripSizes_) Write32(size);
    for (uint32_t size : stripSizes_) Write32(size);
  }

  WriteStrips(bitmap, compression);
  endOfLastPage_ = int32_t(stream_->size());
}

void TTIFFEncoder::WriteStrips(const Bitmap& bitmap, uint8_t compression) {
  std::vector<uint8_t> buffer;
  const size_t rowBytes = size_t(rowBytes_);
  const size_t step = size_t(bitsPerPixel_ / 8);
  int row = 0;
  for (uint32_t size : stripSizes_) {
    // Whole rows, top row first; 24- and 32-bit pixels as R, G, B (and the fourth byte).
    buffer.resize(size);
    for (size_t at = 0; at < size; at += rowBytes, ++row) {
      const uint8_t* source = bitmap.scanLine(row);
      if (bitsPerPixel_ >= 24)
        CopySwapRedBlue(buffer.data() + at, source, rowBytes, step);
      else
        std::memcpy(buffer.data() + at, source, rowBytes);
    }
    // The fourth byte is shown by nothing (the picture is opaque), but readers that take
    // a fourth sample of no stated meaning for opacity (libtiff's RGBA images, ImageMagick)
    // would show its value: it goes out as fully opaque.
    if (bitsPerPixel_ == 32)
      for (size_t at = 3; at < size; at += 4) buffer[at] = 0xFF;
    Patch32(size_t(offsetCursor_), uint32_t(stream_->size()));
    offsetCursor_ += 4;
    const size_t before = stream_->size();
    if (compression == 0) {
      Write(buffer.data(), buffer.size());
    } else if (compression == 4) {
      CompressLZW(buffer.data(), buffer.size(), *stream_);
    } else if (compression == 6) {
      for (size_t at = 0; at < size; at += rowBytes)
        PackBitsRow(buffer.data() + at, rowBytes, *stream_);
    }
    Patch32(size_t(byteCountCursor_), uint32_t(stream_->size() - before));
    byteCountCursor_ += 4;
  }
}

}  // namespace vandrel
