// vdecode FILE...: loads each file through the picture loader and prints, tab-separated,
// the path, width, height, bits per pixel, the 64-bit FNV-1a hash of the picture as R, G,
// B, 255 per pixel with rows top-down, and the decode time in milliseconds; or the path,
// ERROR and the message.
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <exception>

#include "codecs/tiff/TiffImage.h"
#include "platform/PictureLoader.h"
#if __has_include("codecs/gif/GifImage.h")
#include "codecs/gif/GifImage.h"
#define VDECODE_HAS_GIF 1
#endif

namespace {

uint64_t HashPicture(const vandrel::Bitmap& bitmap) {
  uint64_t h = 0xcbf29ce484222325ull;
  auto add = [&h](uint8_t b) {
    h ^= b;
    h *= 0x100000001b3ull;
  };
  for (int y = 0; y < bitmap.height(); ++y)
    for (int x = 0; x < bitmap.width(); ++x) {
      const vandrel::PaletteEntry c = bitmap.pixelColor(x, y);
      add(c.red);
      add(c.green);
      add(c.blue);
      add(255);
    }
  return h;
}

}  // namespace

int main(int argc, char** argv) {
  vandrel::RegisterTiffFormat();
#ifdef VDECODE_HAS_GIF
  vandrel::RegisterGifFormat();
#endif
  int failures = 0;
  for (int i = 1; i < argc; ++i) {
    const char* path = argv[i];
    try {
      const auto start = std::chrono::steady_clock::now();
      const vandrel::Bitmap bitmap = vandrel::LoadPicture(path);
      const auto stop = std::chrono::steady_clock::now();
      const double ms = std::chrono::duration<double, std::milli>(stop - start).count();
      std::printf("%s\t%d\t%d\t%d\t%016" PRIx64 "\t%.3f\n", path, bitmap.width(), bitmap.height(),
                  bitmap.bitsPerPixel(), HashPicture(bitmap), ms);
    } catch (const std::exception& e) {
      std::printf("%s\tERROR\t%s\n", path, e.what());
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
