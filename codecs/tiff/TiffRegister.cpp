// Registration of the TIFF reader with the picture loader (kept apart so that code using
// only the decoder does not pull in the loader).
#include "codecs/tiff/TiffImage.h"
#include "platform/PictureLoader.h"

namespace vandrel {

namespace {
const char* const kDescription = "TIFF - Tag Image File Format";
}

void RegisterTiffFormat() {
  const PictureSourceReader reader = [](ByteSource& source) { return DecodeTiff(source); };
  RegisterPictureFormat("TIF", kDescription, reader);
  RegisterPictureFormat("TIFF", kDescription, reader);
}

void UnregisterTiffFormat() {
  UnregisterPictureFormat("TIF");
  UnregisterPictureFormat("TIFF");
}

}  // namespace vandrel
