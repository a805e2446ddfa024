// The picture loader's registry of readers and the whole-file read it feeds them from.
#include "platform/PictureLoader.h"

#include <algorithm>
#include <mutex>

#include "platform/Bmp.h"
#include "platform/Errors.h"
#include "platform/Jpeg.h"
#include "platform/RegularFile.h"

namespace vandrel {

namespace {

bool sameExtension(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

struct Registry {
  std::mutex mutex;
  // BMP and JPEG are built in: there from the first use, before any codec registers.
  std::vector<PictureFormat> formats{
      {"BMP", "Bitmaps", [](std::span<const uint8_t> b) { return DecodeBmp(b); },
       [](ByteSource& source) { return DecodeBmp(source); }},
      {"JPG", "JPEG Image File", DecodeJpeg, {}},
      {"JPEG", "JPEG Image File", DecodeJpeg, {}},
  };

  // The format of an extension; its readers are empty when there is none.
  PictureFormat find(const std::string& extension) {
    std::lock_guard lock(mutex);
    for (const PictureFormat& f : formats)
      if (sameExtension(f.extension, extension)) return f;
    return {};
  }

  void add(PictureFormat format) {
    std::lock_guard lock(mutex);
    for (PictureFormat& f : formats)
      if (sameExtension(f.extension, format.extension)) {
        // A second registration replaces the reader where the first one stood.
        f = std::move(format);
        return;
      }
    formats.push_back(std::move(format));
  }
};

Registry& registry() {
  static Registry r;
  return r;
}

// The extension of a path without its dot: the text after the last '.' of the file name,
// empty when the name has none.
std::string extensionOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return path.substr(dot + 1);
}

}  // namespace

void RegisterPictureFormat(const std::string& extension, const std::string& description,
                           PictureReader reader) {
  registry().add({extension, description, std::move(reader), {}});
}

void RegisterPictureFormat(const std::string& extension, const std::string& description,
                           PictureSourceReader reader) {
  PictureReader fromBytes = [reader](std::span<const uint8_t> bytes) {
    MemorySource source(bytes);
    return reader(source);
  };
  registry().add({extension, description, std::move(fromBytes), std::move(reader)});
}

void UnregisterPictureFormat(const std::string& extension) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  std::erase_if(r.formats,
                [&](const PictureFormat& f) { return sameExtension(f.extension, extension); });
}

std::vector<PictureFormat> PictureFormats() {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  return r.formats;
}

Bitmap DecodePicture(const std::string& extension, std::span<const uint8_t> bytes) {
  const PictureFormat format = registry().find(extension);
  if (!format.reader) throw Exception("Unknown picture file extension (." + extension + ")");
  return format.reader(bytes);
}

Bitmap LoadPicture(const std::string& path) {
  // The extension decides before the file is touched, as the reader must exist.
  const std::string extension = extensionOf(path);
  const PictureFormat format = registry().find(extension);
  if (!format.reader) throw Exception("Unknown picture file extension (." + extension + ")");
  FileSource source(path);
  if (format.sourceReader) return format.sourceReader(source);
  const ZeroedBytes bytes = source.readAll(DecodedImageBudget());
  return format.reader(bytes);
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  return ReadRegularFile(path, DecodedImageBudget());
}

}  // namespace vandrel
