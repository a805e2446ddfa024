#include "platform/IoError.h"

#include <sys/stat.h>

#include <cerrno>

namespace vandrel {

std::string InOutErrorText(int err) {
  switch (err) {
    case ENOENT:
      return "File not found";
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
      return "Invalid filename";
    case EMFILE:
    case ENFILE:
      return "Too many open files";
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
      return "File access denied";
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return "Disk full";
    default:
      return "I/O error " + std::to_string(err);
  }
}

EInOutError InOutError(int err) { return EInOutError(InOutErrorText(err)); }

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

int OpenErrno(int err, const std::string& path) {
  if (err != ENOENT) return err;
  struct stat st {};
  const bool folderExists = ::stat(FolderOf(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  return folderExists ? ENOENT : ENOTDIR;
}

EInOutError OpenError(int err, const std::string& path) { return InOutError(OpenErrno(err, path)); }

EInOutError FileError(std::string_view what, const std::string& path, int err) {
  std::string text(what);
  text += " \"" + path + "\". " + InOutErrorText(err);
  return EInOutError(text);
}

}  // namespace vandrel
