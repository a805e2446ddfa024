// The picture loader's registry of readers and the whole-file read it feeds them from.
#include "platform/PictureLoader.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <mutex>

#include "platform/Bmp.h"
#include "platform/Errors.h"
#include "platform/IoError.h"
#include "platform/Jpeg.h"

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
      {"BMP", "Bitmaps", DecodeBmp},
      {"JPG", "JPEG Image File", DecodeJpeg},
      {"JPEG", "JPEG Image File", DecodeJpeg},
  };

  // Reader of an extension, or an empty function.
  PictureReader find(const std::string& extension) {
    std::lock_guard lock(mutex);
    for (const PictureFormat& f : formats)
      if (sameExtension(f.extension, extension)) return f.reader;
    return {};
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

class FileHandle {
 public:
  explicit FileHandle(int fd) : fd_(fd) {}
  ~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Reads a whole file into a byte vector of the given kind.
template <class Bytes>
Bytes readFile(const std::string& path) {
  FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) throw OpenError(errno, path);
  struct stat st {};
  if (::fstat(file.get(), &st) != 0) throw InOutError(errno);
  if (S_ISDIR(st.st_mode)) throw InOutError(EISDIR);
  // A regular file is read into a buffer one byte larger than its size, so the end shows
  // without growing it; anything else (a pipe) grows as it comes.
  Bytes bytes(S_ISREG(st.st_mode) ? size_t(st.st_size) + 1 : size_t(1) << 16);
  size_t used = 0;
  for (;;) {
    if (used == bytes.size()) bytes.resize(bytes.size() * 2);
    const ssize_t n = ::read(file.get(), bytes.data() + used, bytes.size() - used);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw InOutError(errno);
    }
    if (n == 0) break;
    used += size_t(n);
  }
  bytes.resize(used);
  return bytes;
}

// The bytes of a file to decode: a regular file is mapped, so that its bytes are read once,
// by the decoder, without a copy in between, and takes no memory beyond the page cache;
// anything else (a pipe, a file that cannot be mapped) is read into memory. The pages of a
// file that a picture can come from are mapped in one go, which costs less than
// faulting them in one by one as the decoder reaches them; a larger file (no reader
// accepts its picture) gets only the pages its reader looks at.
class FileBytes {
 public:
  explicit FileBytes(const std::string& path) {
    FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) throw OpenError(errno, path);
    struct stat st {};
    if (::fstat(file.get(), &st) != 0) throw InOutError(errno);
    if (S_ISDIR(st.st_mode)) throw InOutError(EISDIR);
    if (S_ISREG(st.st_mode) && st.st_size > 0) {
      const int populate = uint64_t(st.st_size) <= DecodedImageBudget() ? MAP_POPULATE : 0;
      void* p =
          ::mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_PRIVATE | populate, file.get(), 0);
      if (p != MAP_FAILED) {
        mapped_ = std::span<const uint8_t>(static_cast<const uint8_t*>(p), size_t(st.st_size));
        return;
      }
    }
    read_ = readFile<ZeroedBytes>(path);
  }
  ~FileBytes() {
    if (!mapped_.empty()) ::munmap(const_cast<uint8_t*>(mapped_.data()), mapped_.size());
  }
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

  std::span<const uint8_t> bytes() const {
    return mapped_.empty() ? std::span<const uint8_t>(read_) : mapped_;
  }

 private:
  std::span<const uint8_t> mapped_;
  ZeroedBytes read_;
};

}  // namespace

void RegisterPictureFormat(const std::string& extension, const std::string& description,
                           PictureReader reader) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  for (PictureFormat& f : r.formats)
    if (sameExtension(f.extension, extension)) {
      // A second registration replaces the reader where the first one stood.
      f = {extension, description, std::move(reader)};
      return;
    }
  r.formats.push_back({extension, description, std::move(reader)});
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
  PictureReader reader = registry().find(extension);
  if (!reader) throw Exception("Unknown picture file extension (." + extension + ")");
  return reader(bytes);
}

Bitmap LoadPicture(const std::string& path) {
  // The extension decides before the file is touched, as the reader must exist.
  const std::string extension = extensionOf(path);
  PictureReader reader = registry().find(extension);
  if (!reader) throw Exception("Unknown picture file extension (." + extension + ")");
  const FileBytes file(path);
  return reader(file.bytes());
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  return readFile<std::vector<uint8_t>>(path);
}

}  // namespace vandrel
