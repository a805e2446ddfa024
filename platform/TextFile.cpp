#include "platform/TextFile.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/AtomicFile.h"
#include "platform/Format.h"
#include "platform/RegularFile.h"

namespace vandrel {

namespace {

constexpr int kCtrlZ = 26;
constexpr size_t kBufferSize = 1 << 16;
// Longer tokens are not numbers; the bound keeps a file without separators from being
// collected into one huge token.
constexpr size_t kMaxToken = 4096;

[[noreturn]] void InvalidInput() { throw EInOutError("Invalid numeric input"); }

// The digits of a decimal mantissa without the point and without leading and trailing
// zeros, and the power of ten of its first digit: the mantissa is 0.d1 d2 ... x 10^position.
// `mantissa` holds digits and at most one point.
struct DecimalDigits {
  std::string digits;
  long position = 0;
};

DecimalDigits SignificantDigits(std::string_view mantissa) {
  DecimalDigits d;
  bool point = false;
  for (const char c : mantissa) {
    if (c == '.') {
      point = true;
      continue;
    }
    if (d.digits.empty() && c == '0') {
      if (point) --d.position;
      continue;
    }
    d.digits.push_back(c);
    if (!point) ++d.position;
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

// The largest double as the 23-character form writes it: 15 digits, rounded up, so beyond
// the double range. Such a file still reads back, as the largest double.
constexpr std::string_view kLargestWrittenDigits = "179769313486232";
constexpr long kLargestWrittenPosition = 309;

// A strict decimal real: [sign] digits [. digits] [(E|e) [sign] digits], with digits before
// or after the point, or one of the three texts the 23-character form gives a value that
// is not finite ("+Inf", "-Inf", "Nan", in exactly those letters). Returns false for
// anything else or a value beyond the double range; a value too small for a double reads
// as 0, and one beyond the largest double by no more than the rounding to 15 digits reads
// as the largest double.
bool ParseReal(std::string_view t, double& value) {
  if (t == "+Inf" || t == "-Inf") {
    value = t[0] == '-' ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    return true;
  }
  if (t == "Nan") {
    value = std::numeric_limits<double>::quiet_NaN();
    return true;
  }
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
  const size_t mantissaEnd = i;
  long exponent = 0;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    bool negativeExponent = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negativeExponent = t[i++] == '-';
    size_t exponentDigits = 0;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i, ++exponentDigits)
      exponent = std::min(exponent * 10 + (t[i] - '0'), 100000L);
    if (exponentDigits == 0) return false;
    if (negativeExponent) exponent = -exponent;
  }
  if (i != t.size()) return false;
  // from_chars takes no leading '+'; the sign is put back afterwards.
  const bool negative = t[0] == '-';
  const char* begin = t.data() + mantissa;
  const auto res = std::from_chars(begin, t.data() + t.size(), value, std::chars_format::general);
  if (res.ec == std::errc::result_out_of_range) {
    // Tell underflow from overflow by the decimal exponent of the first non-zero digit.
    const DecimalDigits d = SignificantDigits(t.substr(mantissa, mantissaEnd - mantissa));
    const long position = d.position + exponent;
    if (position <= 0) {
      value = 0.0;
    } else if (position == kLargestWrittenPosition && d.digits <= kLargestWrittenDigits) {
      // Compared as digit strings of the same position: a longer string with the same
      // first 15 digits has more non-zero digits after them, so it is the larger value.
      value = std::numeric_limits<double>::max();
    } else {
      return false;
    }
  } else if (res.ec != std::errc() || res.ptr != t.data() + t.size()) {
    return false;
  }
  if (negative) value = -value;
  return true;
}

}  // namespace

// ---- reading ---------------------------------------------------------------------------

TextReader::TextReader(const std::string& path) {
  // Only plain files are read, opened without waiting: a pipe with no writer cannot hold
  // the program here, and a ".his" linked to /dev/zero cannot go on for ever.
  OpenedFile file = OpenFileForReading(path);
  fileSize_ = int64_t(file.size);
  fd_ = file.fd.release();
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
  // Nothing beyond the size the file had when it was opened: a file that keeps growing
  // while it is read ends where it ended then.
  const int64_t left = fileSize_ - consumed_;
  if (left <= 0) {
    atEnd_ = true;
    return false;
  }
  for (;;) {
    const ssize_t n =
        ::read(fd_, buffer_.data(), size_t(std::min<int64_t>(int64_t(buffer_.size()), left)));
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
  if (const int err = ReplaceFileErrno(path)) throw InOutError(err);
}

void TextWriter::Write(std::string_view text) {
  if (!open_) throw EInOutError("File not open for output");
  text_.append(text);
}

void TextWriter::WriteInteger(int64_t value) { Write(std::to_string(value)); }

void TextWriter::WriteReal(double value) { Write(RealText(value)); }

void TextWriter::WriteLine(std::string_view text) {
  Write(text);
  Write("\r\n");
}

void TextWriter::Close() {
  if (!open_) return;
  open_ = false;
  std::string text;
  text.swap(text_);
  WriteFileAtomically(path_, text, WriteErrors::kRuntimeText);
}

}  // namespace vandrel
