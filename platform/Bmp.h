#pragma once
// Windows and OS/2 bitmap files (BMP).
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/Bitmap.h"

namespace vandrel {

class ByteSource;

// Decodes a BMP file held in memory: 1, 4, 8, 16, 24 and 32 bits per pixel, RLE8, RLE4 and
// bit fields, bottom-up and top-down rows, the Windows headers and the OS/2 1.x and 2.x
// ones. 1, 4 and 8 bits give an indexed bitmap with the file's palette (which may be
// shorter than the depth allows), 16 and 24 bits a 24-bit bitmap, 32 bits a 32-bit one.
// A damaged or unsupported file raises Exception with a text that names the problem.
Bitmap DecodeBmp(std::span<const uint8_t> bytes);
// The same from a source: rows stored as the bitmap holds them are read straight into its
// rows. A file that ends before its pixels (also one cut while it is read) raises the
// truncated-file error.
Bitmap DecodeBmp(ByteSource& source);

// The bitmap as a BMP file in its own pixel format, with its palette, rows bottom-up.
std::vector<uint8_t> EncodeBmp(const Bitmap& bitmap);

// Writes EncodeBmp's bytes to a file through a temporary file in the same folder and a
// rename, so that a failure leaves any earlier file of that name as it was. File system
// errors raise EInOutError.
void SaveBmp(const Bitmap& bitmap, const std::string& path);

}  // namespace vandrel
