#include "codecs/gif/GifLzwEncoder.h"

#include <cstdint>
#include <memory>

#include "codecs/common/LzwTable.h"

namespace vandrel::gif {

namespace {

constexpr int kClear = 256;
constexpr int kEnd = 257;
constexpr int kFirstFree = 258;

// Packs codes least significant bit first and sends every 255 complete bytes out as one
// sub-block, in a single write.
class CodePacker {
 public:
  explicit CodePacker(GifWriteStream& out) : out_(out) {}

  void Put(unsigned code, int width) {
    bits_ |= uint64_t(code) << count_;
    count_ += width;
    while (count_ >= 8) {
      block_[++filled_] = uint8_t(bits_);
      bits_ >>= 8;
      count_ -= 8;
      if (filled_ == 255) Flush();
    }
  }

  // The last byte, partly filled (its high bits zero), the last sub-block and the
  // terminator.
  void Finish() {
    if (count_ > 0) {
      block_[++filled_] = uint8_t(bits_);
      bits_ = 0;
      count_ = 0;
      if (filled_ == 255) Flush();
    }
    if (filled_ > 0) Flush();
    out_.writeByte(0);
  }

 private:
  void Flush() {
    block_[0] = uint8_t(filled_);
    out_.write(block_, size_t(filled_) + 1);
    filled_ = 0;
  }

  GifWriteStream& out_;
  uint64_t bits_ = 0;
  int count_ = 0;
  int filled_ = 0;
  uint8_t block_[258];  // size byte, then the bytes of the sub-block
};

// The code width and the count of codes written since the last clear.
class CodeWriter {
 public:
  explicit CodeWriter(CodePacker& packer) : packer_(packer) {}

  // Writes a code and lets the width follow the count: 10 bits from 256 codes on, 11 from
  // 768, 12 from 1792 (2^width - 256); at 3840 a clear code of 12 bits starts over, and
  // tells the caller to empty its table.
  bool Write(unsigned code) {
    packer_.Put(code, width_);
    ++count_;
    if (count_ == (1 << width_) - 256) {
      if (width_ < 12) {
        ++width_;
      } else {
        packer_.Put(kClear, 12);
        width_ = 9;
        count_ = 1;
        return true;
      }
    }
    return false;
  }

 private:
  CodePacker& packer_;
  int width_ = 9;
  int count_ = 1;  // the clear code that starts the data counts
};

}  // namespace

void WriteLzwImageData(const Bitmap& bitmap, GifWriteStream& out) {
  out.writeByte(8);
  CodePacker packer(out);
  packer.Put(kClear, 9);
  CodeWriter writer(packer);
  auto table = std::make_unique<TLZWTable>(true);
  bool empty = true;

  // w is the current string as a table index (code + 1), 0 before the first pixel.
  int w = 0;
  for (int y = 0; y < bitmap.height(); ++y) {
    const uint8_t* row = bitmap.scanLine(y);
    for (int x = 0; x < bitmap.width(); ++x) {
      const int c = row[x];
      if (empty) {
        table->Clear(kFirstFree);
        empty = false;
      }
      if (w == 0) {
        w = c + 1;
        continue;
      }
      // On a miss the new entry goes with the table as it is: when the code written for w
      // ends with a clear, that entry goes with the table the clear empties.
      const int found = table->FindOrAdd(w, uint8_t(c));
      if (found >= 0) {
        w = found;
        continue;
      }
      empty = writer.Write(unsigned(w - 1));
      w = c + 1;
    }
  }
  if (w != 0) writer.Write(unsigned(w - 1));
  writer.Write(kEnd);
  packer.Finish();
}

}  // namespace vandrel::gif
