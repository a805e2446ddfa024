#include "platform/RegularFile.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/IoError.h"

namespace vandrel {

namespace {

// Marks a path that exists but is not a regular file; its kind is in `mode`.
constexpr int kNotAFile = -1;

std::string KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a named pipe";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

int OpenRegular(const std::string& path, OpenedFile& out, mode_t& mode) {
  struct stat named {};
  if (::stat(path.c_str(), &named) != 0) return errno;
  mode = named.st_mode;
  if (!S_ISREG(named.st_mode)) return kNotAFile;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    // Replaced by a socket between the look and the open.
    if (errno == ENXIO || errno == EOPNOTSUPP) {
      mode = S_IFSOCK;
      return kNotAFile;
    }
    return errno;
  }
  FileDescriptor file(fd);
  struct stat opened {};
  if (::fstat(fd, &opened) != 0) return errno;
  mode = opened.st_mode;
  if (!S_ISREG(opened.st_mode)) return kNotAFile;
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) return errno;
  out.fd = std::move(file);
  out.size = uint64_t(std::max<off_t>(opened.st_size, 0));
  return 0;
}

}  // namespace

FileDescriptor::~FileDescriptor() {
  if (fd_ >= 0) ::close(fd_);
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

std::string NonFileKind(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return {};
  return KindOf(st.st_mode);
}

EInOutError NotAFileError(const std::string& path, const std::string& kind) {
  return EInOutError("Cannot open file \"" + path + "\". It is " + kind + ", not a file");
}

OpenedFile OpenFileForReading(const std::string& path) {
  OpenedFile file;
  mode_t mode = 0;
  const int err = OpenRegular(path, file, mode);
  if (err == kNotAFile) throw NotAFileError(path, KindOf(mode));
  if (err != 0) throw OpenError(err, path);
  return file;
}

int TryOpenFileForReading(const std::string& path, OpenedFile& out) {
  mode_t mode = 0;
  const int err = OpenRegular(path, out, mode);
  return err == kNotAFile ? EISDIR : err;
}

size_t ReadFileAt(int fd, uint64_t offset, void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t n =
        ::pread(fd, static_cast<uint8_t*>(buffer) + done, count - done, off_t(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw InOutError(errno);
    }
    if (n == 0) break;
    done += size_t(n);
  }
  return done;
}

size_t ReadFileInto(int fd, uint64_t offset, std::span<const std::span<uint8_t>> pieces) {
  size_t done = 0;
  size_t piece = 0, within = 0;  // where the next byte goes
  iovec batch[IOV_MAX < 256 ? IOV_MAX : 256];
  while (piece < pieces.size()) {
    int count = 0;
    for (size_t p = piece; p < pieces.size() && count < int(std::size(batch)); ++p) {
      const size_t skip = p == piece ? within : 0;
      if (pieces[p].size() == skip) continue;
      batch[count++] = {pieces[p].data() + skip, pieces[p].size() - skip};
    }
    if (count == 0) break;
    const ssize_t n = ::preadv(fd, batch, count, off_t(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw InOutError(errno);
    }
    if (n == 0) break;
    done += size_t(n);
    // Move past the bytes read.
    size_t left = size_t(n);
    while (left > 0 && piece < pieces.size()) {
      const size_t room = pieces[piece].size() - within;
      if (left < room) {
        within += left;
        left = 0;
      } else {
        left -= room;
        ++piece;
        within = 0;
      }
    }
    while (piece < pieces.size() && pieces[piece].size() == within) {
      ++piece;
      within = 0;
    }
  }
  return done;
}

std::vector<uint8_t> ReadRegularFile(const std::string& path, uint64_t limit) {
  const OpenedFile file = OpenFileForReading(path);
  std::vector<uint8_t> bytes(size_t(std::min(file.size, limit)));
  bytes.resize(ReadFileAt(file.fd.get(), 0, bytes.data(), bytes.size()));
  return bytes;
}

}  // namespace vandrel
