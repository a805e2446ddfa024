// Registration of the TIFF reader with the picture loader (kept apart so that code using
// only the decoder does not pull in the loader).
#include "codecs/tiff/TiffImage.h"
#include "platform/PictureLoader.h"

namespace vandrel {

namespace {
const char* const kDescription = "TIFF - Tag Image File Format";
}

void RegisterTiffFormat() {
  RegisterPictureFormat("TIF", kDescription, DecodeTiff);
  RegisterPictureFormat("TIFF", kDescription, DecodeTiff);
}

void UnregisterTiffFormat() {
  UnregisterPictureFormat("TIF");
  UnregisterPictureFormat("TIFF");
}

}  // namespace vandrel
