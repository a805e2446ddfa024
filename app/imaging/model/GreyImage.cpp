#include "app/imaging/model/GreyImage.h"

#include <span>
#include <vector>

#include "platform/Errors.h"
#include "platform/RegularFile.h"

namespace vandrel {

void ReadGrey(const std::string& path, const Palette& palette, Bitmap& image) {
  const OpenedFile file = OpenFileForReading(path);

  // Each row read straight into its place in the bitmap, in one pass after the header. The
  // rows go into a fresh bitmap so that a short file leaves the window's image alone.
  Bitmap result(kGreySide, kGreySide, PixelFormat::pf8bit);
  result.setPalette(palette);
  std::vector<std::span<uint8_t>> rows(kGreySide);
  for (int r = 0; r < kGreySide; ++r) rows[size_t(r)] = {result.scanLine(r), size_t(kGreySide)};
  if (ReadFileInto(file.fd.get(), kGreyHeaderSize, rows) != size_t(kGreySide) * kGreySide)
    throw EInOutError("Read beyond end of file");
  image = std::move(result);
}

}  // namespace vandrel
