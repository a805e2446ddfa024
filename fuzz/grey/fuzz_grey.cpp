// Feeds arbitrary bytes to the reader of the raw ".grey" image: a file either gives the
// 512 x 512 image of the bytes after the header or raises an Exception, leaving the image
// it was to replace as it was.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/imaging/model/GreyImage.h"
#include "fuzz/support/FuzzFiles.h"
#include "platform/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = vandrel::fuzz::Folder().Write(
      "x.grey", std::string_view(reinterpret_cast<const char*>(data), size));
  vandrel::Bitmap image(3, 2, vandrel::PixelFormat::pf8bit);
  try {
    vandrel::ReadGrey(path, vandrel::Palette{}, image);
    if (size < vandrel::kGreyFileSize || image.width() != vandrel::kGreySide ||
        image.height() != vandrel::kGreySide)
      std::abort();
    for (int y = 0; y < vandrel::kGreySide; ++y)
      if (std::memcmp(image.scanLine(y),
                      data + vandrel::kGreyHeaderSize + size_t(y) * vandrel::kGreySide,
                      vandrel::kGreySide) != 0)
        std::abort();
  } catch (const vandrel::Exception&) {
    if (size >= vandrel::kGreyFileSize || image.width() != 3) std::abort();
  }
  return 0;
}
