#include "codecs/tiff/TiffCompress.h"

#include "codecs/common/LzwTable.h"

namespace vandrel {

namespace {

// Codes packed most significant bit first; each byte goes out once its 8 bits are there.
class BitPacker {
 public:
  explicit BitPacker(std::vector<uint8_t>& out) : out_(out) {}
  __attribute__((always_inline)) void Put(uint32_t code, int width) {
    bits_ = (bits_ << width) | code;
    count_ += width;
    while (count_ >= 8) {
      count_ -= 8;
      out_.push_back(uint8_t(bits_ >> count_));
    }
  }
  // The last partial byte, completed with zero bits.
  void Finish() {
    if (count_ > 0) out_.push_back(uint8_t(bits_ << (8 - count_)));
    count_ = 0;
  }

 private:
  std::vector<uint8_t>& out_;
  uint64_t bits_ = 0;
  int count_ = 0;
};

constexpr int kClear = 256;
constexpr int kEndOfInformation = 257;
constexpr int kFirstFree = 258;

}  // namespace

void CompressLZW(const uint8_t* data, size_t count, std::vector<uint8_t>& out) {
  TLZWTable table(true);
  BitPacker bits(out);
  int width = 9;
  int next = kFirstFree;  // counts every code written
  auto reset = [&] {
    width = 9;
    next = kFirstFree;
    table.Clear(kFirstFree);
  };
  auto put = [&](int code) __attribute__((always_inline)) {
    bits.Put(uint32_t(code), width);
    ++next;
    if (width < 12) {
      if (next == 1 << width) ++width;
    } else if (next == 4095) {
      bits.Put(kClear, 12);
      reset();
    }
  };

  reset();
  put(kClear);
  reset();
  if (count > 0) {
    // Strings are kept as internal codes (code + 1): a single byte b is b + 1.
    int string = data[0] + 1;
    for (size_t i = 1; i < count; ++i) {
      const uint8_t c = data[i];
      const int longer = table.FindOrAdd(string, c);
      if (longer >= 0) {
        string = longer;
        continue;
      }
      put(string - 1);
      string = c + 1;
    }
    put(string - 1);
  }
  put(kEndOfInformation);
  bits.Finish();
}

void PackBitsRow(const uint8_t* row, size_t count, std::vector<uint8_t>& out) {
  if (count == 0) return;
  enum class Open { kNothing, kLiteral, kRun };
  Open open = Open::kLiteral;
  uint8_t literal[128];
  size_t literalLength = 1;
  size_t runLength = 0;
  literal[0] = row[0];
  uint8_t previous = row[0];

  auto writeLiteral = [&](size_t n) {
    out.push_back(uint8_t(n - 1));
    out.insert(out.end(), literal, literal + n);
  };
  auto writeRun = [&] {
    out.push_back(uint8_t(1 - int(runLength)));
    out.push_back(previous);
  };

  for (size_t i = 1; i < count; ++i) {
    const uint8_t b = row[i];
    if (b == previous && open != Open::kNothing) {
      if (open == Open::kLiteral) {
        // The literal's last byte and this one start a run; the bytes before stay a literal.
        if (literalLength >= 2) writeLiteral(literalLength - 1);
        open = Open::kRun;
        runLength = 2;
      } else if (++runLength == 128) {
        writeRun();
        open = Open::kNothing;
      }
    } else {
      if (open == Open::kRun) {
        writeRun();
        open = Open::kNothing;
      }
      if (open == Open::kLiteral) {
        literal[literalLength++] = b;
      } else {
        literal[0] = b;
        literalLength = 1;
        open = Open::kLiteral;
      }
      if (literalLength == 128) {
        writeLiteral(128);
        open = Open::kNothing;
      }
    }
    previous = b;
  }
  if (open == Open::kRun) writeRun();
  if (open == Open::kLiteral) writeLiteral(literalLength);
}

}  // namespace vandrel
