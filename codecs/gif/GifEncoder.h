#pragma once
// The GIF writer: GIF89a streams of 8-bit palette-indexed bitmaps, written into a byte
// buffer that the caller owns and saves.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Bitmap.h"

namespace vandrel {

class TGIFEncoder {
 public:
  // Writes into `stream` from its end on (not owned; may be null, then nothing is
  // written).
  explicit TGIFEncoder(std::vector<uint8_t>* stream);
  // Writes the header's comment, if not blank, and a trailer after the last frame.
  ~TGIFEncoder();
  TGIFEncoder(const TGIFEncoder&) = delete;
  TGIFEncoder& operator=(const TGIFEncoder&) = delete;

  // Header, logical screen, the global colour table when `palette` is given, and the
  // looping block for a loop count above 0. The comment is kept for the destructor.
  void WriteHeader(uint16_t width, uint16_t height, uint16_t loopCount, uint8_t backgroundIndex,
                   const Palette* palette, const std::string& comment);
  // One frame: its comment (if not blank), the graphic control extension, the image with
  // a local colour table when `palette` is given, then the trailer, on which the stream
  // stays so that the next frame or the destructor writes over it. A missing bitmap does
  // nothing; an empty one is refused before anything is written (RefuseEmptyImage); one that
  // is not 8 bits raises EInvalidImage.
  void AddFrame(const Bitmap* bitmap, const Palette* palette, uint16_t left, uint16_t top,
                uint16_t delay, uint8_t disposal, bool transparent, uint8_t transparentIndex,
                const std::string& comment);

  int bitsPerPixel() const { return bitsPerPixel_; }
  // Where the next block goes (on the trailer after a frame).
  size_t position() const { return position_; }

 private:
  void Write(const void* data, size_t count);
  void WriteByte(uint8_t value) { Write(&value, 1); }
  void WriteWord(uint16_t value);
  void WriteColorTable(const Palette& palette);
  void WriteComment(const std::string& comment);
  void WriteImage(const Bitmap& bitmap, const Palette* palette, uint16_t left, uint16_t top);

  std::optional<Palette> palette_;  // the header's palette
  int bitsPerPixel_ = 8;
  std::string comment_;  // the header's comment
  const Bitmap* bitmap_ = nullptr;
  std::vector<uint8_t>* stream_;
  size_t position_;
};

}  // namespace vandrel
