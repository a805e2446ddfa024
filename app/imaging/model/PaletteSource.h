#pragma once
// The bitmap files delivered with the program whose palettes new 8-bit images receive:
// "paleta.plt" (greyscale and raw images) and "system/plt8.bmp" (channel images). Each is a
// Windows bitmap whatever its extension says; only its palette is used.
#include <string>

#include "platform/Bitmap.h"

namespace vandrel {

// The palette of a bitmap file. A missing or unreadable file raises the loader's
// input/output error, a damaged one the BMP reader's error.
Palette PaletaDoArquivo(const std::string& path);

// The palettes of "paleta.plt" and "system/plt8.bmp" in the program folder.
Palette PaletaCinza();
Palette PaletaCanais();

}  // namespace vandrel
