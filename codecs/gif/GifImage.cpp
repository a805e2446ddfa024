#include "codecs/gif/GifImage.h"

#include "codecs/common/ImageCommon.h"
#include "platform/PictureLoader.h"

namespace vandrel {

void TGIF::LoadFromStream(std::span<const uint8_t> bytes) {
  // A file without an image (no bytes at all, or blocks that end before one) is refused
  // rather than shown as an empty picture.
  if (bytes.empty())
    throw EInvalidImage("GIF read error at 00000000H (13 byte(s) expected, but 0 read)");
  gif::GifReadStream stream(bytes);
  TGIFDecoder decoder(stream);
  decoder.ScanImages(true);
  if (decoder.imageCount() == 0) throw EInvalidImage("GIF file holds no image");
  TGIFInfo info;
  decoder.DecodeImage(0, this, info);
}

void RegisterGifFormat() {
  RegisterPictureFormat("GIF", "GIF - Graphics Interchange Format",
                        [](std::span<const uint8_t> bytes) {
                          TGIF picture;
                          picture.LoadFromStream(bytes);
                          return Bitmap(std::move(picture));
                        });
}

void UnregisterGifFormat() { UnregisterPictureFormat("GIF"); }

}  // namespace vandrel
