#include "app/imaging/model/PaletteSource.h"

#include "app/settings/model/URecursos.h"
#include "platform/Bmp.h"
#include "platform/PictureLoader.h"

namespace vandrel {

Palette PaletaDoArquivo(const std::string& path) {
  // Decoded as BMP by content: "paleta.plt" has no reader of its own extension.
  return DecodeBmp(ReadWholeFile(path)).palette();
}

Palette PaletaCinza() { return PaletaDoArquivo(PastaPrograma() + "paleta.plt"); }

Palette PaletaCanais() { return PaletaDoArquivo(PastaPrograma() + "system/plt8.bmp"); }

}  // namespace vandrel
