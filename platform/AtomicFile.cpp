#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>

#include "platform/IoError.h"

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

// A fresh name in the folder of `path`, so that the rename stays on one file system. The
// name is hidden and short enough for the file system's limit whatever the target's length.
std::string TemporaryName(const std::string& path) {
  thread_local std::mt19937_64 random = [] {
    std::random_device device;
    return std::mt19937_64((uint64_t(device()) << 32) | device());
  }();
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  return folder + "." + name.substr(0, 200) + "." + std::to_string(random() % 1000000000) + ".tmp";
}

// Writes through a temporary file; 0, or the errno of the step that failed, with `step`
// saying which one it was.
int Replace(const std::string& named, std::string_view bytes, const char*& step) {
  step = kCreating;
  std::string path;
  if (const int err = FollowLinks(named, path)) return err;
  std::optional<mode_t> mode;
  if (const int err = Replaceable(path, mode)) return err;
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = TemporaryName(path);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return OpenErrno(errno, path);
  if (mode) (void)::fchmod(fd, *mode);

  step = kWriting;
  auto abandon = [&](int err) {
    if (fd >= 0) ::close(fd);
    ::unlink(temp.c_str());
    return err;
  };
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return abandon(errno);
    }
    done += size_t(n);
  }
  // Some file systems cannot sync (EINVAL, EROFS); the data is written all the same.
  if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) return abandon(errno);
  const int closed = ::close(fd);
  fd = -1;
  if (closed != 0) return abandon(errno);

  step = kCreating;
  if (::rename(temp.c_str(), path.c_str()) != 0) return abandon(errno);
  return 0;
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

bool ReadTextFile(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  if (in.bad()) return false;
  out = ss.str();
  return true;
}

}  // namespace vandrel
