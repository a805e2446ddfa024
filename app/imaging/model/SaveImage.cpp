#include "app/imaging/model/SaveImage.h"

#include "codecs/gif/GifEncoder.h"
#include "codecs/tiff/TiffEncoder.h"
#include "platform/Bmp.h"
#include "platform/FileNames.h"
#include "platform/ImageToSave.h"

namespace vandrel {

std::string SaveFileName(const std::string& name, int filterIndex) {
  const char* ext = filterIndex == kSaveBmp    ? ".bmp"
                    : filterIndex == kSaveTiff ? ".tif"
                    : filterIndex == kSaveGif  ? ".gif"
                                               : nullptr;
  if (!ext) return {};
  return FileExtension(name) == ext ? name : name + ext;
}

std::vector<uint8_t> EncodeForSave(const Bitmap& picture, int filterIndex) {
  // Refused before any format work, so no writer ever hands back a file of no image.
  RefuseEmptyImage(picture);
  std::vector<uint8_t> stream;
  switch (filterIndex) {
    case kSaveBmp:
      return EncodeBmp(picture);
    case kSaveTiff: {
      TTIFFEncoder encoder(&stream);
      encoder.Encode(picture, 0, "", "", "");  // choice 0: uncompressed
      return stream;
    }
    case kSaveGif: {
      // GIF holds 8 bits: a picture of another format is stored as its 8-bit copy.
      Bitmap eight;
      if (picture.format() != PixelFormat::pf8bit) {
        eight = picture;
        eight.setPixelFormat(PixelFormat::pf8bit);
      }
      const Bitmap& stored = eight.empty() ? picture : eight;
      TGIFEncoder encoder(&stream);
      encoder.WriteHeader(uint16_t(stored.width()), uint16_t(stored.height()), 0, 0, nullptr, "");
      encoder.AddFrame(&stored, &stored.palette(), 0, 0, 0, 0, false, 0, "");
      return stream;
    }
  }
  return {};
}

}  // namespace vandrel
