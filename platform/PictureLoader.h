#pragma once
// The picture loader: reads a file and hands its bytes to the reader registered for the
// file's extension (letter case ignored). BMP and JPEG are built in; the codec modules
// register theirs at start.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/ByteSource.h"

namespace vandrel {

// A reader decodes a whole file held in memory, or throws.
using PictureReader = std::function<Bitmap(std::span<const uint8_t> bytes)>;
// A reader that takes the bytes it needs from a source as it goes (a file's rows straight
// into the bitmap), or throws.
using PictureSourceReader = std::function<Bitmap(ByteSource& source)>;

struct PictureFormat {
  std::string extension;    // without the dot, e.g. "TIF"
  std::string description;  // e.g. "TIFF - Tag Image File Format"
  PictureReader reader;
  PictureSourceReader sourceReader;  // empty for a reader of bytes in memory
};

// Registers (or replaces) the reader of an extension.
void RegisterPictureFormat(const std::string& extension, const std::string& description,
                           PictureReader reader);
void RegisterPictureFormat(const std::string& extension, const std::string& description,
                           PictureSourceReader reader);
// Removes the reader of an extension.
void UnregisterPictureFormat(const std::string& extension);
// The registered formats, in order of registration.
std::vector<PictureFormat> PictureFormats();

// Loads a picture file: "Unknown picture file extension (.%s)" for an extension without a
// reader, the runtime's input/output errors when the file cannot be opened or read (a
// path that is not a regular file among them), and whatever the reader raises. A reader
// of bytes in memory gets the file's first DecodedImageBudget() bytes at most.
Bitmap LoadPicture(const std::string& path);
// Decodes bytes with the reader of an extension.
Bitmap DecodePicture(const std::string& extension, std::span<const uint8_t> bytes);

// Reads a whole regular file, at most DecodedImageBudget() bytes ("File not found" and the
// like as EInOutError).
std::vector<uint8_t> ReadWholeFile(const std::string& path);

}  // namespace vandrel
