#include "codecs/gif/GifImage.h"

#include "platform/PictureLoader.h"

namespace vandrel {

void TGIF::LoadFromStream(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return;
  gif::GifReadStream stream(bytes);
  TGIFDecoder decoder(stream);
  decoder.ScanImages(true);
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
