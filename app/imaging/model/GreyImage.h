#pragma once
// The raw ".grey" image: a 4808-byte header that is skipped, then 512 rows of 512 bytes,
// top row first, each byte a grey level. Bytes after the pixels are ignored.
#include <cstddef>
#include <string>

#include "platform/Bitmap.h"

namespace vandrel {

inline constexpr int kGreySide = 512;
inline constexpr size_t kGreyHeaderSize = 4808;
inline constexpr size_t kGreyFileSize = kGreyHeaderSize + size_t(kGreySide) * kGreySide;

// Reads a ".grey" file into `image`: 512 x 512, 8-bit palette-indexed, with `palette`.
// A missing file raises EInOutError "File not found"; a file shorter than header plus
// pixels raises EInOutError "Read beyond end of file". `image` is left unchanged on error.
void ReadGrey(const std::string& path, const Palette& palette, Bitmap& image);

}  // namespace vandrel
