// Pictures cut, replaced or grown by another process while the loader reads them: each
// load gives the whole picture or the reader's error, never a death by signal. The cuts
// happen at points set by the bytes the reader has taken from the file so far (a source
// that pauses there until the other process has done its work), at seeded places.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "codecs/common/ImageCommon.h"
#include "codecs/gif/GifImage.h"
#include "codecs/tiff/TiffImage.h"
#include "platform/Bmp.h"
#include "platform/ByteSource.h"
#include "platform/Errors.h"
#include "platform/Jpeg.h"
#include "platform/PictureLoader.h"
#include "tests/file_reading/Pictures.h"
#include "tests/support/TempDir.h"

namespace vandrel::testing {
namespace {

enum class Change : int { kTruncate, kRewriteSmaller, kRenameOver, kGrow };
const char* const kChangeNames[] = {"truncate", "rewrite with a smaller file", "rename over",
                                    "grow"};

struct Command {
  Change change;
  uint64_t length;  // kTruncate: the new length; kRewriteSmaller: bytes of the other file
};

bool WriteAll(int fd, const void* data, size_t size) {
  const auto* p = static_cast<const uint8_t*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= size_t(n);
  }
  return true;
}

bool ReadAll(int fd, void* data, size_t size) {
  auto* p = static_cast<uint8_t*>(data);
  while (size > 0) {
    const ssize_t n = ::read(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= size_t(n);
  }
  return true;
}

// Another process that changes the file when asked and answers once it is done.
class Cutter {
 public:
  Cutter(const std::string& path, const std::vector<uint8_t>& other) {
    int toChild[2], fromChild[2];
    if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0) ADD_FAILURE() << "no pipes";
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(toChild[1]);
      ::close(fromChild[0]);
      Serve(toChild[0], fromChild[1], path, other);
      ::_exit(0);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    commands_ = toChild[1];
    answers_ = fromChild[0];
  }
  ~Cutter() {
    ::close(commands_);
    ::close(answers_);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  Cutter(const Cutter&) = delete;
  Cutter& operator=(const Cutter&) = delete;

  // Has the change made, and returns once it is.
  void Make(Command command) {
    char done = 0;
    if (!WriteAll(commands_, &command, sizeof command) || !ReadAll(answers_, &done, 1))
      ADD_FAILURE() << "the cutting process is gone";
  }

 private:
  static void Serve(int commands, int answers, const std::string& path,
                    const std::vector<uint8_t>& other) {
    Command c{};
    while (ReadAll(commands, &c, sizeof c)) {
      switch (c.change) {
        case Change::kTruncate:
          (void)::truncate(path.c_str(), off_t(c.length));
          break;
        case Change::kRewriteSmaller: {
          // What cp does: the same file, emptied and written again.
          const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
          if (fd >= 0) {
            (void)WriteAll(fd, other.data(), size_t(std::min<uint64_t>(c.length, other.size())));
            ::close(fd);
          }
          break;
        }
        case Change::kRenameOver: {
          const std::string temp = path + ".new";
          const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
          if (fd >= 0) {
            (void)WriteAll(fd, other.data(), other.size());
            ::close(fd);
          }
          (void)::rename(temp.c_str(), path.c_str());
          break;
        }
        case Change::kGrow: {
          const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND);
          if (fd >= 0) {
            const std::vector<uint8_t> more(1 << 16, 0x5A);
            (void)WriteAll(fd, more.data(), more.size());
            ::close(fd);
          }
          break;
        }
      }
      const char done = 1;
      if (!WriteAll(answers, &done, 1)) break;
    }
  }

  pid_t pid_ = -1;
  int commands_ = -1, answers_ = -1;
};

// Hands the reader the file's bytes as the loader's source does, and once the bytes taken
// reach `mark`, has the file changed before it goes on.
class PausingSource final : public ByteSource {
 public:
  PausingSource(ByteSource& inner, uint64_t mark, std::function<void()> atMark)
      : inner_(inner), mark_(mark), atMark_(std::move(atMark)) {}
  uint64_t size() const override { return inner_.size(); }
  bool fired() const { return fired_; }

  size_t readAt(uint64_t offset, void* buffer, size_t count) override {
    auto* out = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    if (!fired_ && taken_ + count > mark_) {
      const size_t first = size_t(mark_ - taken_);
      done = inner_.readAt(offset, out, first);
      taken_ += done;
      Fire();
      if (done < first) return done;
    }
    const size_t n = inner_.readAt(offset + done, out + done, count - done);
    taken_ += n;
    return done + n;
  }

  size_t readInto(uint64_t offset, std::span<const std::span<uint8_t>> pieces) override {
    size_t wanted = 0;
    for (const std::span<uint8_t> p : pieces) wanted += p.size();
    if (fired_ || taken_ + wanted <= mark_) {
      const size_t n = inner_.readInto(offset, pieces);
      taken_ += n;
      return n;
    }
    // The pieces up to the mark, the change, then the rest.
    std::vector<std::span<uint8_t>> before, after;
    size_t left = size_t(mark_ - taken_);
    for (const std::span<uint8_t> p : pieces) {
      const size_t n = std::min(left, p.size());
      if (n > 0) before.push_back(p.first(n));
      if (n < p.size()) after.push_back(p.subspan(n));
      left -= n;
    }
    const size_t first = size_t(mark_ - taken_);
    const size_t done = inner_.readInto(offset, before);
    taken_ += done;
    Fire();
    if (done < first) return done;
    const size_t n = inner_.readInto(offset + done, after);
    taken_ += n;
    return done + n;
  }

 private:
  void Fire() {
    fired_ = true;
    atMark_();
  }
  ByteSource& inner_;
  uint64_t mark_;
  std::function<void()> atMark_;
  uint64_t taken_ = 0;
  bool fired_ = false;
};

Bitmap DecodeGifBytes(std::span<const uint8_t> bytes) {
  TGIF picture;
  picture.LoadFromStream(bytes);
  return Bitmap(std::move(picture));
}

struct Format {
  const char* name;
  const char* extension;
  std::vector<uint8_t> file, other;  // the picture, and a smaller one of the same kind
  // Decodes from a source as the loader hands it over.
  std::function<Bitmap(ByteSource&)> decode;
  // Read whole before it is decoded: a cut file is then decoded as the bytes read.
  bool wholeFirst = false;
};

// Readers of bytes in memory get the file read whole first, as the loader reads it.
std::function<Bitmap(ByteSource&)> WholeThen(Bitmap (*decode)(std::span<const uint8_t>)) {
  return [decode](ByteSource& source) {
    const ZeroedBytes bytes = source.readAll(DecodedImageBudget());
    return decode(bytes);
  };
}

std::vector<Format> Formats() {
  const Bitmap colour = ShadedPicture(1200, 900, PixelFormat::pf24bit, 1);
  const Bitmap grey = ShadedPicture(1500, 1000, PixelFormat::pf8bit, 2);
  const Bitmap small = ShadedPicture(300, 200, PixelFormat::pf24bit, 3);
  const Bitmap smallGrey = ShadedPicture(300, 200, PixelFormat::pf8bit, 4);
  auto bmp = [](ByteSource& s) { return DecodeBmp(s); };
  auto tiff = [](ByteSource& s) { return DecodeTiff(s); };
  std::vector<Format> out;
  out.push_back({"BMP", "cbmp", EncodeBmp(colour), EncodeBmp(small), bmp});
  out.push_back({"TIFF uncompressed", "ctif", TiffFile(colour, 0), TiffFile(small, 0), tiff});
  out.push_back({"TIFF LZW", "ctif", TiffFile(colour, 4), TiffFile(small, 4), tiff});
  out.push_back(
      {"JPEG", "cjpg", JpegFile(colour, 95), JpegFile(small, 95), WholeThen(DecodeJpeg), true});
  out.push_back(
      {"GIF", "cgif", GifFile(grey), GifFile(smallGrey), WholeThen(DecodeGifBytes), true});
  return out;
}

TEST(CutWhileRead, EveryLoadGivesTheWholePictureOrTheReadersError) {
  constexpr uint32_t kSeed = 20261211;
  constexpr int kPointsPerChange = 6;
  std::mt19937_64 random(kSeed);
  TempDir dir;
  for (Format& format : Formats()) {
    SCOPED_TRACE(format.name);
    MemorySource inMemory(format.file);
    const Bitmap whole = format.decode(inMemory);
    const std::string path = dir / (std::string("picture.") + format.extension);
    Cutter cutter(path, format.other);
    Command pending{};
    uint64_t mark = 0;
    int unfired = 0;
    RegisterPictureFormat(format.extension, "cut while read", [&](ByteSource& source) {
      PausingSource pausing(source, mark, [&] { cutter.Make(pending); });
      Bitmap b = format.decode(pausing);
      if (!pausing.fired()) ++unfired;
      return b;
    });
    int loads = 0, errors = 0;
    for (int change = 0; change < 4; ++change) {
      for (int point = 0; point < kPointsPerChange; ++point) {
        dir.write(std::string("picture.") + format.extension, format.file);
        const uint64_t size = format.file.size();
        mark = random() % size;
        pending.change = Change(change);
        pending.length = pending.change == Change::kTruncate ? random() % size
                         : pending.change == Change::kRewriteSmaller
                             ? random() % (format.other.size() + 1)
                             : 0;
        SCOPED_TRACE(std::string(kChangeNames[change]) + " at byte " + std::to_string(mark) +
                     " to " + std::to_string(pending.length) + " (seed " + std::to_string(kSeed) +
                     ")");
        ++loads;
        // A reader of the whole file gets the bytes up to the mark and those the cut file
        // still holds after it, and decodes them as it decodes any short file.
        std::optional<Bitmap> short_;
        bool shortFails = false;
        if (format.wholeFirst && pending.change == Change::kTruncate) {
          MemorySource cut(
              std::span<const uint8_t>(format.file).first(size_t(std::max(mark, pending.length))));
          try {
            short_ = format.decode(cut);
          } catch (const Exception&) {
            shortFails = true;
          }
        }
        try {
          const Bitmap b = LoadPicture(path);
          EXPECT_FALSE(shortFails);
          if (short_) {
            EXPECT_TRUE(SamePicture(b, *short_));
            continue;
          }
          // A file that was only grown, or replaced under a new name, still gives the
          // picture that was opened; a rewritten one gives whatever it was read as.
          if (pending.change != Change::kRewriteSmaller) {
            EXPECT_TRUE(SamePicture(b, whole));
          }
        } catch (const Exception&) {
          ++errors;
          EXPECT_FALSE(short_.has_value()) << "the bytes read make a picture";
          EXPECT_TRUE(pending.change == Change::kTruncate ||
                      pending.change == Change::kRewriteSmaller)
              << "a file that kept its bytes failed to load";
        }
      }
    }
    UnregisterPictureFormat(format.extension);
    // The cuts came in the middle of the reading: nearly every load met its change.
    EXPECT_LE(unfired, loads / 4);
    if (!format.wholeFirst) {
      EXPECT_GT(errors, 0);
    }
  }
}

// The same cut kills a reader that decodes from a mapping of the file: what the test above
// does would end the program if the loader mapped its files.
TEST(CutWhileRead, ACutUnderAMappingEndsTheProcess) {
  TempDir dir;
  const Bitmap colour = ShadedPicture(1200, 900, PixelFormat::pf24bit, 1);
  const std::string path = dir.write("mapped.bmp", EncodeBmp(colour));
  Cutter cutter(path, {});
  const pid_t child = ::fork();
  if (child == 0) {
    std::signal(SIGBUS, SIG_DFL);
    const int fd = ::open(path.c_str(), O_RDONLY);
    struct stat st {};
    ::fstat(fd, &st);
    void* p = ::mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (p == MAP_FAILED) ::_exit(3);
    cutter.Make({Change::kTruncate, 4096});
    try {
      (void)DecodeBmp(std::span<const uint8_t>(static_cast<const uint8_t*>(p), size_t(st.st_size)));
    } catch (...) {
    }
    ::_exit(42);  // survived
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGBUS) << status;
}

}  // namespace
}  // namespace vandrel::testing
