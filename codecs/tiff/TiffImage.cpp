#include "codecs/tiff/TiffImage.h"

#include "codecs/tiff/TiffDecoder.h"

namespace vandrel {

void TTIFF::LoadFromStream(std::span<const uint8_t> bytes) {
  TiffStream stream(bytes);
  TTIFFDecoder decoder(stream);
  decoder.ScanIFDs(true);
  TiffTexts texts;  // not kept
  decoder.DecodePage(0, this, texts);
}

Bitmap DecodeTiff(std::span<const uint8_t> bytes) {
  TTIFF picture;
  picture.LoadFromStream(bytes);
  return std::move(static_cast<Bitmap&>(picture));
}

}  // namespace vandrel
