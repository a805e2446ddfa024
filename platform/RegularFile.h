#pragma once
// Opening the files the program reads: only regular files, opened without waiting. A
// named pipe with no writer would hold the program in open() or read() for ever, a device
// (/dev/zero behind a link named x.bmp) would never end, and a folder or a socket holds no
// bytes to read; each is refused with a message that names what the path is. Every reader
// of a file goes through here, so that none of them can be made to block or to read
// without end.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/Errors.h"

namespace vandrel {

// An open file descriptor, closed with the object.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor();
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Gives the descriptor up to the caller, who closes it.
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_ = -1;
};

// A regular file open for reading, with its size when it was opened.
struct OpenedFile {
  FileDescriptor fd;
  uint64_t size = 0;
};

// What a path that is not a regular file is, for the message ("a folder", "a named pipe",
// "a device", "a socket"); empty for a regular file or a path that does not exist.
std::string NonFileKind(const std::string& path);

// The error for a path that is not a regular file:
//   Cannot open file "<path>". It is a folder, not a file
EInOutError NotAFileError(const std::string& path, const std::string& kind);

// Opens a regular file for reading. The path is looked at before it is opened (so that no
// device is opened at all), opened with O_NONBLOCK (so that a pipe put in its place
// meanwhile cannot block) and looked at again through the descriptor; then the descriptor
// blocks again, as a regular file's reads never wait anyway. Raises OpenError's texts
// ("File not found", ...) or NotAFileError.
OpenedFile OpenFileForReading(const std::string& path);

// The same without raising: 0 and the file, or the errno value of the failure (EISDIR
// stands for anything that is not a regular file).
int TryOpenFileForReading(const std::string& path, OpenedFile& out);

// Reads up to `count` bytes at `offset` (pread, again after EINTR and short reads); the
// bytes read, fewer only at the end of the file. A read error raises EInOutError.
size_t ReadFileAt(int fd, uint64_t offset, void* buffer, size_t count);

// Reads pieces of memory from consecutive bytes of a file, starting at `offset` (preadv):
// the bytes read in all, fewer than the pieces hold only at the end of the file.
size_t ReadFileInto(int fd, uint64_t offset, std::span<const std::span<uint8_t>> pieces);

// The bytes of a regular file, at most `limit` of them and never more than the file held
// when it was opened, so that a file that keeps growing cannot keep the reader going.
std::vector<uint8_t> ReadRegularFile(const std::string& path, uint64_t limit);

}  // namespace vandrel
