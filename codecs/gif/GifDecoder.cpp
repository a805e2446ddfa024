#include "codecs/gif/GifDecoder.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <span>

#include "codecs/common/ImageCommon.h"
#include "codecs/gif/GifLzwDecoder.h"

namespace vandrel {

namespace {

constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailer = 0x3B;
constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr uint8_t kCommentLabel = 0xFE;
constexpr uint8_t kApplicationLabel = 0xFF;

// Appends the data of the sub-blocks that start `bytes` to `data`, up to a size 0 or the
// end of the bytes, and gives the count of bytes passed.
size_t GatherSubBlocks(std::span<const uint8_t> bytes, std::vector<uint8_t>& data) {
  size_t total = 0, at = 0;
  while (at < bytes.size()) {
    const size_t size = bytes[at++];
    if (size == 0) break;
    const size_t n = std::min(size, bytes.size() - at);
    total += n;
    at += n;
  }
  data.reserve(data.size() + total);
  at = 0;
  while (at < bytes.size()) {
    const size_t size = bytes[at++];
    if (size == 0) break;
    const size_t n = std::min(size, bytes.size() - at);
    data.insert(data.end(), bytes.begin() + ptrdiff_t(at), bytes.begin() + ptrdiff_t(at + n));
    at += n;
  }
  return at;
}

std::string SizeText(int width, int height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

}  // namespace

TGIFDecoder::TGIFDecoder(gif::GifReadStream& stream) : stream_(stream) {}

void TGIFDecoder::SkipSubBlocks() {
  while (!stream_.atEnd()) {
    const uint8_t size = stream_.readByte();
    if (size == 0) return;
    stream_.skip(size);
  }
}

void TGIFDecoder::ReadColorTable(int colors) { stream_.readExact(colorTable_, size_t(colors) * 3); }

Palette TGIFDecoder::PaletteFromTable(int colors) const {
  Palette palette(static_cast<size_t>(colors));
  for (int i = 0; i < colors; ++i)
    palette[size_t(i)] = {colorTable_[3 * i], colorTable_[3 * i + 1], colorTable_[3 * i + 2]};
  return palette;
}

void TGIFDecoder::ReadApplicationExtension() {
  stream_.readByte();  // block size, 11 in every file; the identifier is read as 11 bytes
  char identifier[11];
  stream_.readExact(identifier, sizeof identifier);
  const uint8_t size = stream_.readByte();
  if (size == 0) return;
  if (std::memcmp(identifier, "NETSCAPE2.0", 11) == 0 && size == 3) {
    if (stream_.readByte() == 1)
      loopCount_ = stream_.readWord();
    else
      stream_.skip(2);
  } else {
    stream_.skip(size);
  }
  SkipSubBlocks();
}

void TGIFDecoder::ReadExtension() {
  const uint8_t label = stream_.readByte();
  switch (label) {
    case kGraphicControlLabel: {
      // Block size, packed, delay, transparent index, terminator, as they come.
      uint8_t block[6];
      stream_.readExact(block, sizeof block);
      info_.disposal = uint8_t((block[1] >> 2) & 7);
      info_.transparent = (block[1] & 1) != 0;
      info_.delay = uint16_t(block[2] | (block[3] << 8));
      info_.transparentIndex = block[4];
      break;
    }
    case kCommentLabel: {
      const uint8_t size = stream_.readByte();
      if (size > 0) {
        std::string text(size, '\0');
        stream_.readExact(text.data(), size);
        info_.comment = std::move(text);
        SkipSubBlocks();
      }
      break;
    }
    case kApplicationLabel:
      ReadApplicationExtension();
      break;
    default:
      SkipSubBlocks();
      break;
  }
}

void TGIFDecoder::ScanImages(bool firstOnly) {
  imageCount_ = 0;
  loopCount_ = 0;
  comment_.clear();
  info_ = {};
  frames_.clear();
  if (stream_.size() == 0) return;
  stream_.setPosition(0);

  uint8_t header[13];
  stream_.readExact(header, sizeof header);
  if (std::memcmp(header, "GIF", 3) != 0 ||
      (std::memcmp(header + 3, "87a", 3) != 0 && std::memcmp(header + 3, "89a", 3) != 0))
    throw EUnsupportedImage("Unsupported file format !");
  screenWidth_ = header[6] | (header[7] << 8);
  screenHeight_ = header[8] | (header[9] << 8);
  const uint8_t packed = header[10];
  backgroundIndex_ = header[11];
  globalColors_ = (packed & 0x80) ? 2 << (packed & 7) : 0;
  globalPalette_.clear();
  backgroundColor_ = {};
  if (globalColors_ > 0) {
    ReadColorTable(globalColors_);
    globalPalette_ = PaletteFromTable(globalColors_);
    // The table buffer holds 256 entries, so any index reads inside it.
    const uint8_t* c = colorTable_ + 3 * backgroundIndex_;
    backgroundColor_ = {c[0], c[1], c[2]};
  }

  bool more = true;
  while (more && !stream_.atEnd()) {
    switch (stream_.readByte()) {
      case kExtensionIntroducer:
        ReadExtension();
        break;
      case kImageSeparator: {
        uint8_t d[9];
        stream_.readExact(d, sizeof d);
        info_.left = d[0] | (d[1] << 8);
        info_.top = d[2] | (d[3] << 8);
        info_.width = d[4] | (d[5] << 8);
        info_.height = d[6] | (d[7] << 8);
        info_.interlaced = (d[8] & 0x40) != 0;
        info_.localColors = uint16_t((d[8] & 0x80) ? 2 << (d[8] & 7) : 0);
        frames_.push_back({stream_.position(), info_});
        if (!firstOnly) {
          stream_.skip(int64_t(info_.localColors) * 3 + 1);  // local table, code size
          SkipSubBlocks();
        }
        info_ = {};
        if (firstOnly) more = false;
        break;
      }
      case kTrailer:
        comment_ = info_.comment;
        more = false;
        break;
      default:
        // A stray byte between the blocks: passed over, as the readers of most programs
        // do, so that the blocks after it (the image itself) are still found.
        break;
    }
  }
  imageCount_ = int(frames_.size());
}

void TGIFDecoder::DecodeImage(int index, Bitmap* bitmap, TGIFInfo& info) {
  if (index < 0 || index >= imageCount_ || bitmap == nullptr) return;
  const TGIFFrame1& frame = frames_[size_t(index)];
  info = frame.info;
  const int width = info.width, height = info.height;

  stream_.setPosition(frame.position);
  Palette palette = globalPalette_;
  if (info.localColors > 0) {
    ReadColorTable(info.localColors);
    palette = PaletteFromTable(info.localColors);
  }

  // Gather the sub-blocks; one cut short by the end of the file gives the bytes present.
  // With code size 0 nothing is decoded: the image stays blank.
  const int codeSize = stream_.readByte();
  std::vector<uint8_t> data;
  if (codeSize > 0) stream_.skip(int64_t(GatherSubBlocks(stream_.rest(), data)));

  // An image without pixels has nothing a bitmap could show: refused, rather than shown
  // as an empty picture.
  if (width == 0 || height == 0)
    throw EInvalidImage("GIF image has an invalid size (" + SizeText(width, height) + ")");
  if (codeSize > TGIFLZWDecoder::kMaxCodeSize)
    throw EInvalidImage("Invalid GIF LZW code size (" + std::to_string(codeSize) + ")");

  // The header's size is trusted only as far as the data can fill it (a blank image
  // excepted), and no further than the program holds.
  const uint64_t pixels = uint64_t(width) * uint64_t(height);
  if (pixels > uint64_t(Bitmap::kMaxPixels) ||
      uint64_t(Bitmap::strideFor(width, PixelFormat::pf8bit)) * uint64_t(height) >
          DecodedImageBudget())
    throw EInvalidImage("GIF image too large (" + SizeText(width, height) + ")");
  if (codeSize > 0 && pixels > TGIFLZWDecoder::MaxPixels(data.size(), codeSize))
    throw EInvalidImage("GIF image data too short for " + SizeText(width, height) + " pixels");

  bitmap_ = bitmap;
  *bitmap = Bitmap(width, height, PixelFormat::pf8bit);
  bitmap->setPalette(std::move(palette));
  std::unique_ptr<TGIFLZWDecoder> decoder;
  if (info.interlaced)
    decoder = std::make_unique<TGIFLZWDecoder_Interleaved>(*bitmap);
  else
    decoder = std::make_unique<TGIFLZWDecoder_NotInterleaved>(*bitmap);
  decoder->Decode(data, codeSize);
  bitmap_ = nullptr;
}

}  // namespace vandrel
