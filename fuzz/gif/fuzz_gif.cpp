// Feeds arbitrary bytes to the GIF reader: the first image as the picture loader reads
// it, then every image of the frame list. Errors of the reader are expected; anything
// else (a crash, a sanitizer report, a hang) is a finding. A first image that decodes is
// written again with the GIF writer and must read back pixel for pixel (up to a megapixel).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "codecs/gif/GifImage.h"
#include "platform/Bitmap.h"
#include "platform/Errors.h"

namespace {

void RoundTrip(const vandrel::Bitmap& picture) {
  std::vector<uint8_t> stream;
  {
    vandrel::TGIFEncoder encoder(&stream);
    encoder.WriteHeader(uint16_t(picture.width()), uint16_t(picture.height()), 0, 0, nullptr, "");
    encoder.AddFrame(&picture, &picture.palette(), 0, 0, 0, 0, false, 0, "");
  }
  vandrel::TGIF again;
  again.LoadFromStream(stream);
  if (again.width() != picture.width() || again.height() != picture.height()) __builtin_trap();
  for (int y = 0; y < picture.height(); ++y)
    if (std::memcmp(again.scanLine(y), picture.scanLine(y), size_t(picture.width())) != 0)
      __builtin_trap();
}

}  // namespace

// Pictures are held to what the fuzzing limits leave room for (-malloc_limit_mb=512): a
// larger one ends in the reader's error, as it would beyond the program's own budget.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vandrel::SetDecodedImageBudget(uint64_t(256) << 20);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  try {
    vandrel::TGIF picture;
    picture.LoadFromStream(bytes);
    // Large pictures (a few bytes of codes can fill millions of pixels) only cost time.
    if (!picture.empty() && int64_t(picture.width()) * picture.height() <= (1 << 20))
      RoundTrip(picture);
  } catch (const vandrel::Exception&) {
  }
  try {
    vandrel::gif::GifReadStream stream(bytes);
    vandrel::TGIFDecoder decoder(stream);
    decoder.ScanImages(false);
    for (int i = 0; i < decoder.imageCount() && i < 8; ++i) {
      vandrel::Bitmap bitmap;
      vandrel::TGIFInfo info;
      try {
        decoder.DecodeImage(i, &bitmap, info);
      } catch (const vandrel::Exception&) {
      }
    }
  } catch (const vandrel::Exception&) {
  }
  return 0;
}
