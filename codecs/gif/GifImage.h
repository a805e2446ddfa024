#pragma once
// The GIF module: the bitmap class the picture loader uses for ".gif" files, the reader's
// and the writer's classes, and the module's registration with the picture loader.
#include <cstdint>
#include <span>

#include "codecs/gif/GifDecoder.h"
#include "codecs/gif/GifEncoder.h"
#include "platform/Bitmap.h"

namespace vandrel {

// A bitmap that reads itself from the bytes of a GIF file: the first image of the file,
// 8 bits per pixel with its colour table as palette.
class TGIF : public Bitmap {
 public:
  // Empty bytes, or a file without an image, raise EInvalidImage and leave the bitmap as
  // it was.
  void LoadFromStream(std::span<const uint8_t> bytes);
};

// Registers "GIF" with the picture loader ("GIF - Graphics Interchange Format"), and
// removes it again. main() registers before any window exists.
void RegisterGifFormat();
void UnregisterGifFormat();

}  // namespace vandrel
