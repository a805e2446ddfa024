#include "app/histograms/model/UndoClass.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Errors.h"
#include "platform/FileNames.h"
#include "platform/TextFile.h"

namespace vandrel {

namespace {

[[noreturn]] void Fail(const char* what, const std::string& path, int err) {
  throw EInOutError(std::string(what) + " \"" + path + "\". " + InOutError(err).what());
}

// Sums in 32 bits with the wrap-around of the counts' type: a record changed behind the
// log's back gives wrong counts, never undefined arithmetic.
int32_t Wrap(int64_t v) { return int32_t(uint32_t(uint64_t(v))); }

GreyCounts Todos(int32_t value) {
  GreyCounts out;
  out.fill(value);
  return out;
}

}  // namespace

TUndoClass::TUndoClass(const std::string& fileName) : nome_(fileName), path_(fileName) { Abrir(); }

TUndoClass::~TUndoClass() {
  if (fd_ < 0) return;
  if (proprio_) ::unlink(path_.c_str());
  ::close(fd_);  // and with it the lock
}

void TUndoClass::Remover() {
  if (fd_ < 0) return;
  // The file is this log's own while its lock is held: another instance never loses its
  // records to it.
  ::unlink(path_.c_str());
  ::close(fd_);
  fd_ = -1;
  path_ = nome_;
  proprio_ = false;
  numDesfazer_ = numRefazer_ = 0;
  podeDesfazer_ = podeRefazer_ = false;
  posicao_ = 0;
}

std::string TUndoClass::NomeDaInstancia(const std::string& fileName, int n) {
  const size_t dot = ExtensionStart(fileName);
  std::string tag = "." + std::to_string(::getpid());
  if (n > 1) tag += "-" + std::to_string(n);
  return fileName.substr(0, dot) + tag + fileName.substr(dot);
}

bool TUndoClass::Abrir() {
  for (int n = 0; n < 100; ++n) {
    const std::string path = n == 0 ? nome_ : NomeDaInstancia(nome_, n);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    // Held by another log (another instance of the program): its records stay untouched and
    // this log takes the next name. A file system without locks gives no answer: the file is
    // used as it is.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
      ::close(fd);
      continue;
    }
    if (::ftruncate(fd, 0) != 0) {
      const int err = errno;
      ::close(fd);
      errno = err;
      return false;
    }
    fd_ = fd;
    path_ = path;
    proprio_ = n > 0;
    return true;
  }
  errno = EBUSY;
  return false;
}

std::array<uint8_t, TUndoClass::kRecordSize> TUndoClass::Codificar(const GreyCounts& counts) {
  std::array<uint8_t, kRecordSize> bytes;
  for (size_t g = 0; g < 256; ++g) {
    const uint32_t v = uint32_t(counts[g]);
    bytes[4 * g] = uint8_t(v);
    bytes[4 * g + 1] = uint8_t(v >> 8);
    bytes[4 * g + 2] = uint8_t(v >> 16);
    bytes[4 * g + 3] = uint8_t(v >> 24);
  }
  return bytes;
}

GreyCounts TUndoClass::Decodificar(const std::array<uint8_t, kRecordSize>& bytes) {
  GreyCounts counts;
  for (size_t g = 0; g < 256; ++g)
    counts[g] = int32_t(uint32_t(bytes[4 * g]) | uint32_t(bytes[4 * g + 1]) << 8 |
                        uint32_t(bytes[4 * g + 2]) << 16 | uint32_t(bytes[4 * g + 3]) << 24);
  return counts;
}

void TUndoClass::Adicionar(const GreyCounts& counts) {
  // The file could not be created with the log: nothing is recorded yet, so creating it
  // now is the same as having created it then.
  if (fd_ < 0 && !Abrir()) Fail("Cannot create file", path_, errno);
  const std::array<uint8_t, kRecordSize> bytes = Codificar(counts);
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n =
        ::pwrite(fd_, bytes.data() + done, bytes.size() - done, off_t(posicao_ + int64_t(done)));
    if (n <= 0) {
      if (n < 0 && errno == EINTR) continue;
      const int err = n < 0 ? errno : ENOSPC;
      // Part of the record may now lie over the first record of the redo tail, which can
      // then no longer be redone.
      if (done > 0) DescartarRefazer();
      Fail("Cannot write file", path_, err);
    }
    done += size_t(n);
  }
  // Only a record that is wholly on disk is taken into the log.
  posicao_ += kRecordSize;
  ++numDesfazer_;
  DescartarRefazer();
  podeDesfazer_ = true;
}

void TUndoClass::DescartarRefazer() {
  numRefazer_ = 0;
  podeRefazer_ = false;
}

std::array<uint8_t, TUndoClass::kRecordSize> TUndoClass::LerRegistro(int64_t at) const {
  std::array<uint8_t, kRecordSize> bytes;
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n =
        ::pread(fd_, bytes.data() + done, bytes.size() - done, off_t(at + int64_t(done)));
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("Cannot read file", path_, errno);
    }
    // The file was cut short behind the log's back.
    if (n == 0) throw EInOutError("Cannot read file \"" + path_ + "\". Read beyond end of file");
    done += size_t(n);
  }
  return bytes;
}

GreyCounts TUndoClass::Desfazer(const GreyCounts& current) {
  if (!podeDesfazer_) return Todos(-1);
  const GreyCounts record = Decodificar(LerRegistro(posicao_ - kRecordSize));
  GreyCounts out;
  for (size_t g = 0; g < 256; ++g) out[g] = Wrap(int64_t(current[g]) - record[g]);
  posicao_ -= kRecordSize;
  ++numRefazer_;
  --numDesfazer_;
  podeRefazer_ = true;
  if (numDesfazer_ == 0) podeDesfazer_ = false;
  return out;
}

GreyCounts TUndoClass::Refazer(const GreyCounts& current) {
  if (!podeRefazer_) return Todos(-1);
  const GreyCounts record = Decodificar(LerRegistro(posicao_));
  GreyCounts out;
  for (size_t g = 0; g < 256; ++g) out[g] = Wrap(int64_t(current[g]) + record[g]);
  posicao_ += kRecordSize;
  ++numDesfazer_;
  --numRefazer_;
  podeDesfazer_ = true;
  if (numRefazer_ == 0) podeRefazer_ = false;
  return out;
}

}  // namespace vandrel
