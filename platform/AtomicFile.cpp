#include "platform/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>

#include "platform/Bitmap.h"
#include "platform/IoError.h"
#include "platform/RegularFile.h"

namespace vandrel {

namespace {

constexpr const char* kCreating = "Cannot create file";
constexpr const char* kWriting = "Cannot write file";

// The checks before a file is created or replaced; `mode` receives the permissions of the
// file being replaced, and stays empty for a new one.
int Replaceable(const std::string& path, std::optional<mode_t>& mode) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return EISDIR;
    // A rename would replace a read-only file all the same; it is refused as a write to it.
    if (::access(path.c_str(), W_OK) != 0) return errno;
    mode = st.st_mode & 07777;
  } else if (errno != ENOENT) {
    return errno;
  }
  if (path.empty() || path.back() == '/') return ENOTDIR;
  const std::string folder = FolderOf(path);
  if (::stat(folder.c_str(), &st) != 0) return errno == ENOENT ? ENOTDIR : errno;
  if (!S_ISDIR(st.st_mode)) return ENOTDIR;
  if (::access(folder.c_str(), W_OK | X_OK) != 0) return errno;
  return 0;
}

// The file that `path` names once its symbolic links are followed, so that a save through a
// link replaces the file it points at and keeps the link. A link whose target does not exist
// yet gives that target, which the save creates, as writing through the link would. 0, or
// ELOOP for a chain of links that does not end.
int FollowLinks(const std::string& path, std::string& target) {
  target = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return 0;
    std::string link(size_t(st.st_size > 0 ? st.st_size : 0) + 256, '\0');
    const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
    if (n < 0) return errno;
    if (size_t(n) >= link.size()) return ENAMETOOLONG;
    link.resize(size_t(n));
    if (link.empty()) return ENOENT;
    if (link.front() != '/') {
      const size_t slash = target.rfind('/');
      link = (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + link;
    }
    target = link;
  }
  return ELOOP;
}

// Temporary files are named ".<target>.vandrel-<pid>-<8 hex digits>.tmp" beside their
// target. The writer's process number in the name, and a lock the writer holds on the file
// for as long as it works on it, let a later write tell a temporary file that a killed
// writer left behind from one that is being written.
constexpr std::string_view kTag = ".vandrel-";
constexpr std::string_view kSuffix = ".tmp";

// Files are written in pieces of this size, so that a large one does not hold a single
// system call for the whole of its length.
constexpr size_t kPiece = size_t(1) << 18;

std::atomic<bool> unnamedTemporaries{true};
std::atomic<WriteStepHook> stepHook{nullptr};

void Reached(WriteStep step, size_t written = 0) {
  if (const WriteStepHook hook = stepHook.load()) hook(step, written);
}

std::string FolderPart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// A fresh name in the folder of `path`, so that the rename stays on one file system. The
// name is hidden and short enough for the file system's limit whatever the target's length.
std::string TemporaryName(const std::string& path) {
  thread_local std::mt19937 random = [] {
    std::random_device device;
    return std::mt19937(device());
  }();
  const std::string folder = FolderPart(path);
  const std::string name = path.substr(folder.size());
  char tail[32];
  std::snprintf(tail, sizeof tail, "%ld-%08x", long(::getpid()), unsigned(random()));
  return folder + "." + name.substr(0, 200) + std::string(kTag) + tail + std::string(kSuffix);
}

// The process number in a name of TemporaryName's form, or 0 for any other name.
pid_t WriterOf(std::string_view name) {
  if (name.size() < 2 || name[0] != '.' || name.size() < kSuffix.size() ||
      name.substr(name.size() - kSuffix.size()) != kSuffix)
    return 0;
  name.remove_suffix(kSuffix.size());
  const size_t tag = name.rfind(kTag);
  if (tag == std::string_view::npos || tag == 0) return 0;
  const std::string_view rest = name.substr(tag + kTag.size());
  const size_t dash = rest.find('-');
  if (dash == std::string_view::npos || dash == 0 || dash > 9 || rest.size() - dash - 1 != 8)
    return 0;
  long pid = 0;
  for (char c : rest.substr(0, dash)) {
    if (c < '0' || c > '9') return 0;
    pid = pid * 10 + (c - '0');
  }
  for (char c : rest.substr(dash + 1))
    if (!std::isxdigit(static_cast<unsigned char>(c))) return 0;
  return pid > 0 ? pid_t(pid) : 0;
}

// When process `pid` started, in seconds since the epoch; false when that cannot be read.
bool StartOf(pid_t pid, time_t& started) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return false;
  // The command name in parentheses may hold blanks; the fields after it do not.
  const size_t close = line.rfind(')');
  if (close == std::string::npos) return false;
  std::istringstream fields(line.substr(close + 1));
  std::string field;
  unsigned long long ticks = 0;
  for (int k = 3; k <= 22 && fields >> field; ++k)
    if (k == 22) ticks = std::strtoull(field.c_str(), nullptr, 10);
  if (ticks == 0) return false;
  std::ifstream system("/proc/stat");
  long long boot = -1;
  while (std::getline(system, line))
    if (line.rfind("btime ", 0) == 0) boot = std::atoll(line.c_str() + 6);
  const long perSecond = ::sysconf(_SC_CLK_TCK);
  if (boot < 0 || perSecond <= 0) return false;
  started = time_t(boot + (long long)(ticks / (unsigned long long)perSecond));
  return true;
}

// Whether the writer that named a temporary file is gone: no process has its number, or the
// process that has it now started after the file was last written (its number was given
// again, as after a restart of the machine).
bool WriterGone(pid_t pid, time_t written) {
  if (::kill(pid, 0) != 0 && errno == ESRCH) return true;
  time_t started = 0;
  return StartOf(pid, started) && started > written + 1;
}

// Removes the temporary files that writers killed part-way left in `folder`: only names
// of TemporaryName's form, whose writer is gone and which nobody holds locked. Nothing
// here fails a save.
void RemoveLeftTemporaries(const std::string& folder) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    const pid_t pid = WriterOf(entry->d_name);
    if (pid == 0) continue;
    const std::string path = folder + entry->d_name;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat opened {};
    struct stat named {};
    if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0 && WriterGone(pid, opened.st_mtime) &&
        ::lstat(path.c_str(), &named) == 0 && named.st_ino == opened.st_ino &&
        named.st_dev == opened.st_dev)
      ::unlink(path.c_str());
    ::close(fd);
  }
  ::closedir(dir);
}

// Writes all of `bytes` to `fd`; 0, or the errno of the write that failed.
int WriteAll(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, std::min(bytes.size() - done, kPiece));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += size_t(n);
    Reached(WriteStep::kPieceWritten, done);
  }
  // Some file systems cannot sync (EINVAL, EROFS); the data is written all the same.
  if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) return errno;
  Reached(WriteStep::kWritten, done);
  return 0;
}

// How far a write through an unnamed temporary file came.
enum class Unnamed { kDone, kFailed, kUnavailable };

// Writes `bytes` into a file without a name in the folder of `path` and names it only once
// it is complete, so that a writer killed before the end leaves nothing behind. The file
// gets its temporary name just before the rename. kUnavailable when the file system or the
// system offers no such files, or the file cannot be given a name; the caller then writes
// through a named temporary file, which also reports any error the way it always has.
Unnamed ReplaceThroughUnnamed(const std::string& path, std::string_view bytes,
                              std::optional<mode_t> mode, const char*& step, int& err) {
  const std::string folder = FolderPart(path);
  const int fd =
      ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) return Unnamed::kUnavailable;
  ::flock(fd, LOCK_EX);
  if (mode) (void)::fchmod(fd, *mode);
  Reached(WriteStep::kOpened);
  step = kWriting;
  if ((err = WriteAll(fd, bytes)) != 0) {
    ::close(fd);
    return Unnamed::kFailed;
  }
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  std::string temp;
  bool named = false;
  for (int attempt = 0; attempt < 100 && !named; ++attempt) {
    temp = TemporaryName(path);
    named = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
            (errno == ENOENT && ::linkat(fd, "", AT_FDCWD, temp.c_str(), AT_EMPTY_PATH) == 0);
    if (!named && errno != EEXIST) break;
  }
  if (!named) {
    ::close(fd);
    return Unnamed::kUnavailable;
  }
  Reached(WriteStep::kNamed, bytes.size());
  const int closed = ::close(fd);
  err = closed != 0 ? errno : 0;
  if (err == 0) {
    step = kCreating;
    if (::rename(temp.c_str(), path.c_str()) != 0) err = errno;
  }
  if (err != 0) {
    ::unlink(temp.c_str());
    return Unnamed::kFailed;
  }
  Reached(WriteStep::kReplaced, bytes.size());
  return Unnamed::kDone;
}

// Writes through a named temporary file, for file systems without unnamed ones.
int ReplaceThroughNamed(const std::string& path, std::string_view bytes, std::optional<mode_t> mode,
                        const char*& step) {
  step = kCreating;
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = TemporaryName(path);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return OpenErrno(errno, path);
  ::flock(fd, LOCK_EX);
  if (mode) (void)::fchmod(fd, *mode);
  Reached(WriteStep::kOpened);

  step = kWriting;
  auto abandon = [&](int err) {
    if (fd >= 0) ::close(fd);
    ::unlink(temp.c_str());
    return err;
  };
  if (const int err = WriteAll(fd, bytes)) return abandon(err);
  const int closed = ::close(fd);
  fd = -1;
  if (closed != 0) return abandon(errno);

  step = kCreating;
  Reached(WriteStep::kNamed, bytes.size());
  if (::rename(temp.c_str(), path.c_str()) != 0) return abandon(errno);
  Reached(WriteStep::kReplaced, bytes.size());
  return 0;
}

// Writes through a temporary file; 0, or the errno of the step that failed, with `step`
// saying which one it was.
int Replace(const std::string& named, std::string_view bytes, const char*& step) {
  step = kCreating;
  std::string path;
  if (const int err = FollowLinks(named, path)) return err;
  std::optional<mode_t> mode;
  if (const int err = Replaceable(path, mode)) return err;
  Reached(WriteStep::kStarting);
  RemoveLeftTemporaries(FolderPart(path));
  if (unnamedTemporaries) {
    int err = 0;
    switch (ReplaceThroughUnnamed(path, bytes, mode, step, err)) {
      case Unnamed::kDone:
        return 0;
      case Unnamed::kFailed:
        return err;
      case Unnamed::kUnavailable:
        break;
    }
  }
  return ReplaceThroughNamed(path, bytes, mode, step);
}

}  // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes, WriteErrors errors) {
  const char* step = kCreating;
  const int err = Replace(path, bytes, step);
  if (err == 0) return;
  if (errors == WriteErrors::kRuntimeText) throw InOutError(err);
  throw FileError(step, path, err);
}

int ReplaceFileErrno(const std::string& named) {
  std::string path;
  if (const int err = FollowLinks(named, path)) return err;
  std::optional<mode_t> mode;
  return Replaceable(path, mode);
}

void UseUnnamedTemporaryFiles(bool use) { unnamedTemporaries = use; }

void SetWriteStepHook(WriteStepHook hook) { stepHook = hook; }

int ReadTextFileErrno(const std::string& path, std::string& out) {
  OpenedFile file;
  if (const int err = TryOpenFileForReading(path, file)) return err;
  std::string text(size_t(std::min(file.size, DecodedImageBudget())), '\0');
  try {
    text.resize(ReadFileAt(file.fd.get(), 0, text.data(), text.size()));
  } catch (const EInOutError&) {
    return EIO;
  }
  out = std::move(text);
  return 0;
}

bool ReadTextFile(const std::string& path, std::string& out) {
  return ReadTextFileErrno(path, out) == 0;
}

}  // namespace vandrel
