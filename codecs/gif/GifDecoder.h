#pragma once
// The GIF file walker: reads the header and the colour tables, every extension and the
// list of images, and decodes one chosen image into an 8-bit palette-indexed bitmap.
#include <cstdint>
#include <string>
#include <vector>

#include "codecs/gif/GifStream.h"
#include "platform/Bitmap.h"

namespace vandrel {

// What the file says about one image.
struct TGIFInfo {
  bool interlaced = false;   // bit 6 of the descriptor's packed byte
  bool transparent = false;  // bit 0 of the graphic control packed byte
  uint8_t disposal = 0;      // bits 2-4 of that byte
  uint8_t transparentIndex = 0;
  int32_t height = 0;
  int32_t width = 0;
  std::string comment;  // first sub-block of the last comment before the image
  int32_t left = 0;     // position on the logical screen
  int32_t top = 0;
  uint16_t delay = 0;
  uint16_t localColors = 0;  // entries of the local colour table, 0 without one

  bool operator==(const TGIFInfo&) const = default;
};

// One entry of the frame list: where the image continues after its descriptor.
struct TGIFFrame1 {
  int64_t position = 0;
  TGIFInfo info;
};

class TGIFDecoder {
 public:
  // The stream is not owned and must outlive the decoder.
  explicit TGIFDecoder(gif::GifReadStream& stream);

  // Walks the file from its start and builds the frame list; with `firstOnly` it stops at
  // the first image.
  void ScanImages(bool firstOnly);
  // Decodes image `index` of the frame list into `bitmap` and gives its information. An
  // index outside the list or no bitmap does nothing.
  void DecodeImage(int index, Bitmap* bitmap, TGIFInfo& info);

  int imageCount() const { return imageCount_; }
  const std::vector<TGIFFrame1>& frames() const { return frames_; }
  int screenWidth() const { return screenWidth_; }
  int screenHeight() const { return screenHeight_; }
  int globalColors() const { return globalColors_; }
  // Made from the global colour table; empty without one.
  const Palette& globalPalette() const { return globalPalette_; }
  uint8_t backgroundIndex() const { return backgroundIndex_; }
  PaletteEntry backgroundColor() const { return backgroundColor_; }
  // A comment found after the last image, before the trailer.
  const std::string& comment() const { return comment_; }
  uint16_t loopCount() const { return loopCount_; }

 private:
  void ReadColorTable(int colors);
  Palette PaletteFromTable(int colors) const;
  void SkipSubBlocks();
  void ReadExtension();
  void ReadApplicationExtension();

  Bitmap* bitmap_ = nullptr;
  TGIFInfo info_;
  uint8_t colorTable_[256 * 3] = {};  // R, G, B of the table read last
  std::vector<TGIFFrame1> frames_;
  gif::GifReadStream& stream_;
  uint8_t backgroundIndex_ = 0;
  Palette globalPalette_;
  int imageCount_ = 0;
  int globalColors_ = 0;
  int screenHeight_ = 0;
  int screenWidth_ = 0;
  std::string comment_;
  PaletteEntry backgroundColor_;
  uint16_t loopCount_ = 0;
};

}  // namespace vandrel
