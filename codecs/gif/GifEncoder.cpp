#include "codecs/gif/GifEncoder.h"

#include <algorithm>
#include <array>

#include "codecs/common/ImageCommon.h"
#include "codecs/gif/GifLzwEncoder.h"
#include "codecs/gif/GifStream.h"
#include "platform/ImageToSave.h"

namespace vandrel {

namespace {

// The system's default palette, for a palette that has no entries.
constexpr std::array<PaletteEntry, 20> kSystemPalette = {{
    {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
    {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
    {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
    {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
}};

// All characters spaces or control characters.
bool Blank(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return uint8_t(c) <= 32; });
}

}  // namespace

TGIFEncoder::TGIFEncoder(std::vector<uint8_t>* stream)
    : stream_(stream), position_(stream ? stream->size() : 0) {}

TGIFEncoder::~TGIFEncoder() {
  if (!stream_ || Blank(comment_)) return;
  try {
    WriteComment(comment_);
    WriteByte(0x3B);
  } catch (...) {
    // Out of memory while freeing the writer: the stream keeps its last complete file.
  }
}

void TGIFEncoder::Write(const void* data, size_t count) {
  if (!stream_) return;
  gif::GifWriteStream out(*stream_);
  out.setPosition(position_);
  out.write(data, count);
  position_ = out.position();
}

void TGIFEncoder::WriteWord(uint16_t value) {
  const uint8_t b[2] = {uint8_t(value & 0xFF), uint8_t(value >> 8)};
  Write(b, 2);
}

void TGIFEncoder::WriteColorTable(const Palette& palette) {
  // 256 entries: the palette's, black beyond its end, or the system's default palette
  // when it has none.
  uint8_t table[256 * 3] = {};
  const PaletteEntry* entries = palette.empty() ? kSystemPalette.data() : palette.data();
  const size_t count =
      std::min<size_t>(palette.empty() ? kSystemPalette.size() : palette.size(), 256);
  for (size_t i = 0; i < count; ++i) {
    table[3 * i] = entries[i].red;
    table[3 * i + 1] = entries[i].green;
    table[3 * i + 2] = entries[i].blue;
  }
  Write(table, sizeof table);
}

void TGIFEncoder::WriteComment(const std::string& comment) {
  const size_t n = std::min<size_t>(comment.size(), 255);
  const uint8_t lead[3] = {0x21, 0xFE, uint8_t(n)};
  Write(lead, 3);
  Write(comment.data(), n);
  WriteByte(0);
}

void TGIFEncoder::WriteHeader(uint16_t width, uint16_t height, uint16_t loopCount,
                              uint8_t backgroundIndex, const Palette* palette,
                              const std::string& comment) {
  comment_ = comment;
  palette_.reset();
  if (palette) palette_ = *palette;
  Write("GIF89a", 6);
  WriteWord(width);
  WriteWord(height);
  WriteByte(palette_ ? 0x87 : 0x07);
  WriteByte(backgroundIndex);
  WriteByte(0);
  if (palette_) WriteColorTable(*palette_);
  if (loopCount > 0) {
    Write("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16);
    WriteWord(loopCount);
    WriteByte(0);
  }
}

void TGIFEncoder::AddFrame(const Bitmap* bitmap, const Palette* palette, uint16_t left,
                           uint16_t top, uint16_t delay, uint8_t disposal, bool transparent,
                           uint8_t transparentIndex, const std::string& comment) {
  if (!stream_ || !bitmap) return;
  RefuseEmptyImage(*bitmap);
  bitmap_ = bitmap;
  if (!Blank(comment)) WriteComment(comment);
  const uint8_t packed = uint8_t(uint8_t(disposal * 4) + (transparent ? 1 : 0));
  const uint8_t control[4] = {0x21, 0xF9, 0x04, packed};
  Write(control, 4);
  WriteWord(delay);
  WriteByte(transparentIndex);
  WriteByte(0);
  WriteImage(*bitmap, palette, left, top);
  WriteByte(0x3B);
  --position_;  // back onto the trailer
  bitmap_ = nullptr;
}

void TGIFEncoder::WriteImage(const Bitmap& bitmap, const Palette* palette, uint16_t left,
                             uint16_t top) {
  if (bitmap.format() != PixelFormat::pf8bit)
    throw EInvalidImage("The Pixel Format must be 8bit !");
  // The descriptor holds 16-bit sizes; a wider bitmap would be written as a wrong one.
  if (bitmap.width() > 0xFFFF || bitmap.height() > 0xFFFF)
    throw EInvalidImage("Image too large for GIF (" + std::to_string(bitmap.width()) + " x " +
                        std::to_string(bitmap.height()) + ")");
  WriteByte(0x2C);
  WriteWord(left);
  WriteWord(top);
  WriteWord(uint16_t(bitmap.width()));
  WriteWord(uint16_t(bitmap.height()));
  WriteByte(palette ? 0x87 : 0x07);
  if (palette) WriteColorTable(*palette);
  gif::GifWriteStream out(*stream_);
  out.setPosition(position_);
  gif::WriteLzwImageData(bitmap, out);
  position_ = out.position();
}

}  // namespace vandrel
