#include "codecs/tiff/TiffImage.h"

#include "codecs/common/ImageCommon.h"
#include "codecs/tiff/TiffDecoder.h"

namespace vandrel {

void TTIFF::LoadFromStream(std::span<const uint8_t> bytes) {
  MemorySource source(bytes);
  LoadFromSource(source);
}

void TTIFF::LoadFromSource(ByteSource& source) {
  // A file of no bytes is no picture: it ends where its header should be, rather than
  // opening as an empty one.
  if (source.size() == 0)
    throw EInvalidImage("TIFF read error at 00000000H (8 byte(s) expected, but 0 read)");
  TiffStream stream(source);
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

Bitmap DecodeTiff(ByteSource& source) {
  TTIFF picture;
  picture.LoadFromSource(source);
  return std::move(static_cast<Bitmap&>(picture));
}

}  // namespace vandrel
