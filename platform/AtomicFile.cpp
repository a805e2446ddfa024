#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/Errors.h"

namespace vandrel {

namespace {
[[noreturn]] void Fail(const std::string& path, int err) {
  throw EInOutError("Cannot write file " + path + ": " + std::strerror(err));
}
}  // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  std::string temp = path + ".XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) Fail(path, errno);
  // Keep the permissions of the file being replaced; a new file gets the usual ones.
  struct stat st;
  mode_t mode = 0644;
  if (stat(path.c_str(), &st) == 0) mode = st.st_mode & 07777;
  fchmod(fd, mode);
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      close(fd);
      unlink(temp.c_str());
      Fail(path, err);
    }
    done += size_t(n);
  }
  if (fsync(fd) != 0 || close(fd) != 0) {
    int err = errno;
    unlink(temp.c_str());
    Fail(path, err);
  }
  if (rename(temp.c_str(), path.c_str()) != 0) {
    int err = errno;
    unlink(temp.c_str());
    Fail(path, err);
  }
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
