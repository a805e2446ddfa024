#include "platform/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <random>

#include "platform/Format.h"

namespace vandrel {

namespace {

constexpr int kCtrlZ = 26;
constexpr size_t kBufferSize = 1 << 16;
// Longer tokens are not numbers; the bound keeps a file without separators from being
// collected into one huge token.
constexpr size_t kMaxToken = 4096;

[[noreturn]] void InvalidInput() { throw EInOutError("Invalid numeric input"); }

std::string Folder(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A missing file in an existing folder is "File not found"; a missing folder on the way is
// the runtime's "path not found", reported as "Invalid filename".
[[noreturn]] void OpenFailed(int err, const std::string& path) {
  if (err == ENOENT && !IsDirectory(Folder(path))) err = ENOTDIR;
  throw InOutError(err);
}

// A strict decimal real: [sign] digits [. digits] [(E|e) [sign] digits], with digits before
// or after the point. Returns false for anything else or a value beyond the double range;
// a value too small for a double reads as 0.
bool ParseReal(std::string_view t, double& value) {
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  const size_t mantissa = i;
  size_t digits = 0;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t exponentDigits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  if (i != t.size()) return false;
  // from_chars takes no leading '+'; the sign is put back afterwards.
  const bool negative = t[0] == '-';
  const char* begin = t.data() + mantissa;
  const auto res = std::from_chars(begin, t.data() + t.size(), value, std::chars_format::general);
  if (res.ec == std::errc::result_out_of_range) {
    // Tell underflow from overflow by the decimal exponent of the first non-zero digit:
    // the mantissa is 0.d... x 10^position.
    long position = 0;
    bool seen = false, point = false;
    size_t k = mantissa;
    for (; k < t.size() && t[k] != 'e' && t[k] != 'E'; ++k) {
      if (t[k] == '.') {
        point = true;
        continue;
      }
      if (!seen) {
        if (t[k] == '0') {
          if (point) --position;
          continue;
        }
        seen = true;
      }
      if (!point) ++position;
    }
    long exponent = 0;
    if (k < t.size()) {
      bool negativeExponent = false;
      size_t e = k + 1;
      if (t[e] == '+' || t[e] == '-') negativeExponent = t[e++] == '-';
      for (; e < t.size(); ++e) exponent = std::min(exponent * 10 + (t[e] - '0'), 100000L);
      if (negativeExponent) exponent = -exponent;
    }
    if (position + exponent > 0) return false;
    value = 0.0;
  } else if (res.ec != std::errc() || res.ptr != t.data() + t.size()) {
    return false;
  }
  if (negative) value = -value;
  return true;
}

}  // namespace

EInOutError InOutError(int err) {
  switch (err) {
    case ENOENT:
      return EInOutError("File not found");
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
      return EInOutError("Invalid filename");
    case EMFILE:
    case ENFILE:
      return EInOutError("Too many open files");
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
      return EInOutError("File access denied");
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return EInOutError("Disk full");
    default:
      return EInOutError("I/O error " + std::to_string(err));
  }
}

// ---- reading ---------------------------------------------------------------------------

TextReader::TextReader(const std::string& path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) OpenFailed(errno, path);
  struct stat st;
  if (::fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode)) {
    const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
    ::close(fd_);
    fd_ = -1;
    throw InOutError(err);
  }
  fileSize_ = S_ISREG(st.st_mode) ? int64_t(st.st_size) : 0;
  buffer_.resize(kBufferSize);
}

TextReader::~TextReader() { Close(); }

void TextReader::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  atEnd_ = true;
  pos_ = size_ = 0;
}

int64_t TextReader::BytesLeft() const {
  if (atEnd_) return 0;
  return std::max<int64_t>(0, fileSize_ - consumed_ - int64_t(pos_));
}

bool TextReader::fill() {
  if (atEnd_) return false;
  consumed_ += int64_t(size_);
  pos_ = size_ = 0;
  for (;;) {
    const ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
    if (n > 0) {
      size_ = size_t(n);
      return true;
    }
    if (n == 0) {
      atEnd_ = true;
      return false;
    }
    if (errno != EINTR) throw InOutError(errno);
  }
}

int TextReader::peek() {
  if (pos_ >= size_ && !fill()) return -1;
  const int c = static_cast<unsigned char>(buffer_[pos_]);
  if (c == kCtrlZ) {
    // Ctrl-Z ends the file for every later read.
    atEnd_ = true;
    pos_ = size_ = 0;
    return -1;
  }
  return c;
}

bool TextReader::Eof() { return peek() < 0; }

std::string TextReader::token() {
  int c;
  while ((c = peek()) >= 0 && c <= ' ') advance();
  std::string t;
  while ((c = peek()) > ' ') {
    if (t.size() >= kMaxToken) InvalidInput();
    t.push_back(char(c));
    advance();
  }
  return t;
}

int32_t TextReader::ReadInteger() {
  const std::string t = token();
  if (t.empty()) return 0;  // the end of the file
  size_t i = t[0] == '+' || t[0] == '-' ? 1 : 0;
  if (i == t.size()) InvalidInput();
  int64_t value = 0;
  for (; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9') InvalidInput();
    value = value * 10 + (t[i] - '0');
    if (value > int64_t(INT32_MAX) + 1) InvalidInput();
  }
  if (t[0] == '-') value = -value;
  if (value > INT32_MAX) InvalidInput();
  return int32_t(value);
}

double TextReader::ReadReal() {
  const std::string t = token();
  if (t.empty()) return 0.0;
  double value = 0.0;
  if (!ParseReal(t, value)) InvalidInput();
  return value;
}

void TextReader::SkipLine() {
  int c;
  while ((c = peek()) >= 0) {
    advance();
    if (c == '\n') return;
    if (c == '\r') {
      if (peek() == '\n') advance();
      return;
    }
  }
}

std::string TextReader::ReadLine() {
  std::string line;
  int c;
  while ((c = peek()) >= 0 && c != '\n' && c != '\r') {
    // Copy the run of ordinary bytes in one go.
    size_t end = pos_;
    while (end < size_ && buffer_[end] != '\n' && buffer_[end] != '\r' && buffer_[end] != kCtrlZ)
      ++end;
    line.append(buffer_.data() + pos_, end - pos_);
    pos_ = end;
  }
  SkipLine();
  return line;
}

// ---- writing ---------------------------------------------------------------------------

TextWriter::TextWriter(const std::string& path) : path_(path) {
  struct stat st;
  const bool exists = ::stat(path.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) throw InOutError(EISDIR);
  if (exists && ::access(path.c_str(), W_OK) != 0) throw InOutError(errno);
  const std::string folder = Folder(path);
  const std::string name =
      path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
  if (name.empty()) throw InOutError(ENOTDIR);
  std::random_device device;
  std::mt19937_64 random((uint64_t(device()) << 32) | device());
  // The temporary name stays within the length limit of a file name.
  const std::string stem = "/." + name.substr(0, 200) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp_ = folder + stem + std::to_string(random() % 1000000000) + ".tmp";
    fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0 || errno != EEXIST) break;
  }
  if (fd_ < 0) OpenFailed(errno, path);
  // A replaced file keeps its permissions.
  if (exists) (void)::fchmod(fd_, st.st_mode & 07777);
  buffer_.reserve(kBufferSize);
}

TextWriter::~TextWriter() { discard(); }

void TextWriter::discard() noexcept {
  if (fd_ >= 0) {
    ::close(fd_);
    ::unlink(temp_.c_str());
    fd_ = -1;
  }
}

void TextWriter::flush() {
  size_t done = 0;
  while (done < buffer_.size()) {
    const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      discard();
      throw InOutError(err);
    }
    done += size_t(n);
  }
  buffer_.clear();
}

void TextWriter::Write(std::string_view text) {
  if (fd_ < 0) throw EInOutError("File not open for output");
  buffer_.append(text);
  if (buffer_.size() >= kBufferSize) flush();
}

void TextWriter::WriteInteger(int64_t value) { Write(std::to_string(value)); }

void TextWriter::WriteReal(double value) { Write(RealText(value)); }

void TextWriter::WriteLine(std::string_view text) {
  Write(text);
  Write("\r\n");
}

void TextWriter::Close() {
  if (fd_ < 0) return;
  flush();
  if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
    const int err = errno;
    discard();
    throw InOutError(err);
  }
  if (::close(fd_) != 0) {
    const int err = errno;
    fd_ = -1;
    ::unlink(temp_.c_str());
    throw InOutError(err);
  }
  fd_ = -1;
  if (::rename(temp_.c_str(), path_.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp_.c_str());
    throw InOutError(err);
  }
}

}  // namespace vandrel
