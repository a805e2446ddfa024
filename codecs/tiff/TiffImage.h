#pragma once
// The TIFF picture: a bitmap that loads the first page of a TIFF held in memory, and its
// registration with the picture loader for the extensions "TIF" and "TIFF".
#include <cstdint>
#include <span>

#include "platform/Bitmap.h"
#include "platform/ByteSource.h"

namespace vandrel {

class TTIFF : public Bitmap {
 public:
  // Decodes page 0 into this bitmap. Every failure raises: EInvalidImage for read errors
  // (an empty buffer among them), Exception otherwise.
  void LoadFromStream(std::span<const uint8_t> bytes);
  // The same from a source, which hands the reader the bytes it asks for (a file is read,
  // never mapped).
  void LoadFromSource(ByteSource& source);
};

// Page 0 of a TIFF as a new bitmap.
Bitmap DecodeTiff(std::span<const uint8_t> bytes);
Bitmap DecodeTiff(ByteSource& source);

// Registers "TIF" and "TIFF" ("TIFF - Tag Image File Format") with the picture loader, and
// removes them again.
void RegisterTiffFormat();
void UnregisterTiffFormat();

}  // namespace vandrel
