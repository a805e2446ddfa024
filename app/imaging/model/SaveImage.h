#pragma once
// Saving what an image window shows: the file name for the format chosen in the save
// dialog, and the bytes of the file.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Bitmap.h"

namespace vandrel {

// Filter indices of the save dialog.
enum SaveFilter : int { kSaveBmp = 1, kSaveTiff = 2, kSaveGif = 3 };

// The name written for `name` chosen under `filterIndex`: the name itself when its extension
// (from the last dot, compared case-sensitively) is the format's, otherwise the name with the
// extension appended; empty for an index that is not one of the three.
std::string SaveFileName(const std::string& name, int filterIndex);

// The file's bytes: BMP in the bitmap's own format with its palette; TIFF uncompressed; GIF
// as the picture's 8-bit copy (the picture itself when it has 8 bits per pixel).
std::vector<uint8_t> EncodeForSave(const Bitmap& picture, int filterIndex);

}  // namespace vandrel
