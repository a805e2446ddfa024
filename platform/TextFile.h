#pragma once
// Text files with the runtime's rules, shared by every text format of the program.
//
// Reading: numbers are tokens separated by any run of characters with codes up to 32
// (blanks, tabs, line ends); a number read at the end of the file yields 0; a token that
// is not a number of the expected kind raises EInOutError("Invalid numeric input"). Every
// real the writer gives reads back: the largest double, whose 15 digits round up past the
// double range, and the texts of values that are not finite ("+Inf", "-Inf", "Nan"). A
// Ctrl-Z character counts as the end of the file. Lines end with LF, CR LF or a lone CR.
//
// Writing: lines end with CR LF; reals are written in the 23-character form. The text is
// kept until Close, which writes it in one piece with WriteFileAtomically, so a failure
// never leaves a half-written file nor destroys an earlier one.
//
// Errors carry the runtime's texts (see IoError.h): "File not found", "Invalid filename",
// "Too many open files", "File access denied", "Disk full", "Invalid numeric input",
// "I/O error N".
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Errors.h"
#include "platform/IoError.h"

namespace vandrel {

class TextReader {
 public:
  // Opens an existing file for reading.
  explicit TextReader(const std::string& path);
  ~TextReader();
  TextReader(const TextReader&) = delete;
  TextReader& operator=(const TextReader&) = delete;

  // Read(f, integer): a signed 32-bit decimal integer.
  int32_t ReadInteger();
  // Read(f, real): a decimal real with optional sign, fraction and exponent.
  double ReadReal();
  // Readln(f): skips the rest of the current line and its line end.
  void SkipLine();
  // Readln(f, s): the rest of the current line without its line end; the empty string at
  // the end of the file.
  std::string ReadLine();
  // Eof(f): nothing left to read, or the next character is Ctrl-Z.
  bool Eof();
  // Closes the file; later reads behave as at the end of the file.
  void Close();

  // Bytes left between the current position and the end of the file (Ctrl-Z not looked
  // for). Lets readers bound what a header may ask for by what the file can still hold.
  int64_t BytesLeft() const;

 private:
  int peek();  // next byte, or -1 at the end
  void advance() { ++pos_; }
  bool fill();
  std::string token();

  int fd_ = -1;
  bool atEnd_ = false;
  std::vector<char> buffer_;
  size_t pos_ = 0, size_ = 0;
  int64_t fileSize_ = 0, consumed_ = 0;  // consumed_: bytes before buffer_[0]
};

class TextWriter {
 public:
  // Rewrite(f): creates the file, or replaces it at Close. A file that could not be
  // written there (a missing folder, a folder or a read-only file in its place) is an
  // error here already.
  explicit TextWriter(const std::string& path);
  // Without Close the target stays as it was.
  ~TextWriter() = default;
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  void Write(std::string_view text);
  // An integer in decimal, no padding.
  void WriteInteger(int64_t value);
  // A real in the 23-character form (see RealText in Format.h).
  void WriteReal(double value);
  // The text followed by CR LF.
  void WriteLine(std::string_view text = {});
  // Puts the file with the text written in place of the target. After Close, even a
  // failed one, the writer takes no more text.
  void Close();

 private:
  std::string path_;
  bool open_ = true;
  std::string text_;
};

}  // namespace vandrel
