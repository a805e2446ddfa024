#include "app/imaging/model/GreyImage.h"

#include <cstdio>
#include <memory>

#include "platform/Errors.h"

namespace vandrel {

namespace {
struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
}  // namespace

void ReadGrey(const std::string& path, const Palette& palette, Bitmap& image) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) throw EInOutError("File not found");

  // One seek past the header, then each row read straight into its place in the bitmap.
  // The rows go into a fresh bitmap so that a short file leaves the window's image alone.
  Bitmap result(kGreySide, kGreySide, PixelFormat::pf8bit);
  result.setPalette(palette);
  if (std::fseek(file.get(), long(kGreyHeaderSize), SEEK_SET) != 0)
    throw EInOutError("Read beyond end of file");
  for (int r = 0; r < kGreySide; ++r) {
    if (std::fread(result.scanLine(r), 1, kGreySide, file.get()) != size_t(kGreySide)) {
      if (std::ferror(file.get())) throw EInOutError("I/O error");
      throw EInOutError("Read beyond end of file");
    }
  }
  image = std::move(result);
}

}  // namespace vandrel
