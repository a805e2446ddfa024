#include "codecs/tiff/TiffStripDecoders.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <type_traits>
#include <vector>

#include "codecs/common/ImageCommon.h"
#include "codecs/common/LzwDecoder.h"

namespace vandrel {

size_t UnpackPackBitsRow(std::span<const uint8_t>& data, uint8_t* row, size_t count) {
  const uint8_t* p = data.data();
  const uint8_t* end = p + data.size();
  size_t done = 0;
  // While a longest packet fits both the data and the row, every packet is one copy or fill
  // of a fixed 128 bytes (a few vector moves); the bytes past the packet are written again
  // by the packets that follow, or cleared below when the data ends first.
  size_t written = 0;
  while (count - done >= 128 && end - p > 128) {
    const int n = int8_t(*p++);
    if (n >= 0) {
      std::memcpy(row + done, p, 128);
      p += n + 1;
      done += size_t(n) + 1;
    } else if (n != -128) {
      std::memset(row + done, *p++, 128);
      done += size_t(1 - n);
    }
    written = done + 128;
  }
  while (done < count && p < end) {
    const int n = int8_t(*p++);
    if (n >= 0) {
      // A literal of n + 1 bytes; what passes the row's end is consumed and dropped.
      const size_t length = size_t(n) + 1;
      const size_t present = std::min<size_t>(length, size_t(end - p));
      std::memcpy(row + done, p, std::min(present, count - done));
      p += present;
      done += present == length ? length : std::min(present, count - done);
      if (present < length) break;
    } else if (n != -128) {
      // One byte repeated 1 - n times, cut at the row's end.
      if (p == end) break;
      const size_t length = size_t(1 - n);
      std::memset(row + done, *p++, std::min(length, count - done));
      done += length;
    }
    // -128: no operation, the next header follows.
  }
  if (written > done && done < count) std::memset(row + done, 0, std::min(written, count) - done);
  data = data.subspan(size_t(p - data.data()));
  return std::min(done, count);
}

namespace {

// ---------------------------------------------------------------------------------------
// Row layouts. Each exposes the unit the decoders fill (a row, a plane row, a row buffer or
// a YCbCr data unit) and what happens when it is complete.

// Where the layouts write the rows of the stored picture: straight into the bitmap's rows
// when it is stored upright, else into a row buffer from which every complete row goes to
// its upright place (turned, mirrored or widened on the way). `slots` rows are held at once
// (a band of YCbCr data units); `readBack` fills a row from the bitmap before it is written
// again (the planes of a planar image come one after the other). Rows that become columns
// are held a band at a time and put together, so that each upright row gets a run of
// pixels instead of one pixel per stored row; rows then come in order.
class RowTarget {
 public:
  RowTarget(Bitmap& bitmap, const TiffDecoderSetup& setup, int slots, bool readBack)
      : bitmap_(bitmap),
        turn_(setup.width, setup.height, int(setup.format), setup.palette, setup.orientation),
        height_(setup.height),
        readBack_(readBack) {
    if (!turn_.Moves()) return;
    rowBytes_ = Bitmap::strideFor(setup.width, setup.format);
    banded_ = turn_.Transposes() && !readBack;
    // A band is a multiple of 8 rows, so a band of data units (1, 2 or 4 rows) never
    // straddles two of them.
    slots_ = banded_ ? std::max(slots, TiffOrientation::BandRows(rowBytes_)) : slots;
    buffer_.assign(rowBytes_ * size_t(slots_), 0);
  }
  uint8_t* Row(int y) {
    if (slots_ == 0) return bitmap_.scanLine(y);
    uint8_t* row = Slot(y);
    if (readBack_) turn_.Get(bitmap_, row, y);
    return row;
  }
  // Row y is complete (or left as it is): it goes to its place and its slot starts empty.
  void Put(int y) {
    if (slots_ == 0) return;
    placed_ = y + 1;
    if (banded_) {
      if (placed_ % slots_ == 0 || placed_ >= height_) PutBand(y / slots_ * slots_);
      return;
    }
    uint8_t* row = Slot(y);
    turn_.Put(bitmap_, row, y);
    if (rowBytes_ > 0) std::memset(row, 0, rowBytes_);
  }
  // The rows never completed go to their places as they are: a partial row with what it
  // got, the others empty, as they would stand in an upright bitmap. Empty rows are zero
  // in the fresh bitmap already unless they are widened (index 0 has a colour).
  void Finish() {
    if (slots_ == 0 || readBack_) return;
    const int from = placed_;
    if (banded_) {
      // Every band before the one of row `from` is in place.
      if (from >= height_) return;
      for (int first = from / slots_ * slots_;
           first < height_ && (turn_.Widens() || first < from + slots_); first += slots_)
        PutBand(first);
      return;
    }
    for (int y = from; y < height_ && (turn_.Widens() || y < from + slots_); ++y) Put(y);
  }

 private:
  uint8_t* Slot(int y) { return buffer_.data() + size_t(y % slots_) * rowBytes_; }
  // The band of rows from `first` (a multiple of the band's rows) goes to its place.
  void PutBand(int first) {
    const int count = std::min(slots_, height_ - first);
    turn_.PutBand(bitmap_, buffer_.data(), rowBytes_, first, count);
    std::memset(buffer_.data(), 0, rowBytes_ * size_t(count));
  }

  Bitmap& bitmap_;
  const TiffOrientation turn_;
  const int height_;
  const bool readBack_;
  bool banded_ = false;
  int slots_ = 0;  // 0: rows written in place
  size_t rowBytes_ = 0;
  std::vector<uint8_t> buffer_;
  int placed_ = 0;
};

class LayoutBase {
 public:
  LayoutBase(Bitmap& bitmap, const TiffDecoderSetup& setup, int slots = 1, bool readBack = false)
      : target_(bitmap, setup, slots, readBack),
        routines_(setup.routines),
        width_(setup.width),
        height_(setup.height),
        bits_(int(setup.format)),
        rowBytes_((size_t(width_) * size_t(bits_) + 7) / 8),
        bytesPerPixel_(size_t(bits_ / 8)),
        done_(width_ == 0 || height_ == 0) {}

  // True once the image is complete, or the current strip has all its rows.
  bool Done() const { return done_ || stripLeft_ == 0; }
  // Where the layout stands: plane * height + row.
  uint64_t Position() const { return uint64_t(row_); }
  void LimitStrip(uint64_t rows) { stripLeft_ = rows; }
  void Finish() { target_.Finish(); }
  // Rows left in the current plane (the PackBits decoders clamp a strip's rows to it).
  uint32_t RowsLeft() const {
    return uint32_t(std::min<uint64_t>(uint64_t(height_ - row_), stripLeft_));
  }
  // LZW strips start at the beginning of a row: nothing carries over from the last strip,
  // whose partial row stays where it was written.
  size_t CarriedBytes(uint8_t*) const { return 0; }
  template <class Self>
  static void KeepPartial(Self& self, const uint8_t* data, size_t count) {
    std::memcpy(self.Target(), data, count);
  }
  // A row the strip did not reach: left as it is.
  void Skip() { Advance(); }

 protected:
  void Advance() {
    target_.Put(row_);
    --stripLeft_;
    if (++row_ >= height_) done_ = true;
  }
  uint8_t* Row() { return target_.Row(row_); }

  RowTarget target_;
  const TiffRowRoutines routines_;
  const int width_, height_, bits_;
  const size_t rowBytes_;
  const size_t bytesPerPixel_;
  int row_ = 0;
  bool done_;
  uint64_t stripLeft_ = UINT64_MAX;  // rows the current strip may still fill
};

// _08b and _08b_HorDiff: up to 8 bits per pixel, the bytes go straight into the row.
template <bool kHorDiff>
class Layout08b : public LayoutBase {
 public:
  static constexpr bool kBuffered = false;
  using LayoutBase::LayoutBase;
  static bool Suits(int bits) { return bits <= 8; }
  uint8_t* Target() { return Row(); }
  size_t UnitBytes() const { return rowBytes_; }
  void Complete() {
    if constexpr (kHorDiff) routines_.DifferencingRoutine(Row(), rowBytes_, 1);
    Advance();
  }
};

// _24b: chunky RGB of 24 or 32 bits; red and blue exchanged in the row.
class Layout24b : public LayoutBase {
 public:
  static constexpr bool kBuffered = false;
  using LayoutBase::LayoutBase;
  static bool Suits(int bits) { return bits >= 24; }
  uint8_t* Target() { return Row(); }
  size_t UnitBytes() const { return rowBytes_; }
  void Complete() {
    routines_.RGBRowRoutine(Row(), rowBytes_, bytesPerPixel_);
    Advance();
  }
  // A whole row from elsewhere: copied and swapped in one pass when there is no predictor.
  void PutUnit(const uint8_t* data) {
    if (routines_.RGBRowRoutine == SwapRedBlue) {
      CopySwapRedBlue(Row(), data, rowBytes_, bytesPerPixel_);
      Advance();
      return;
    }
    std::memcpy(Row(), data, rowBytes_);
    Complete();
  }
};

// _24b_Planar2: one plane after the other, each plane row scattered into the plane's byte
// of every pixel. The planes land so that every conversion finds its samples where it
// reads them: R, G, B (and a fourth sample) as blue, green, red, fourth byte for RGB; L, a,
// b in file order from byte 0 for the L*a*b* pass. The four inks of a CMYK image go
// straight into a 24-bit bitmap that starts white: C, M and Y leave 255 minus the ink in
// red, green and blue, and K takes itself off all three, down to 0, which is the CMYK
// conversion without a 32-bit bitmap in between.
class Layout24bPlanar2 : public LayoutBase {
 public:
  static constexpr bool kBuffered = true;
  Layout24bPlanar2(Bitmap& bitmap, const TiffDecoderSetup& setup)
      : LayoutBase(bitmap, setup, 1, true),
        planeRow_(size_t(width_)),
        cmyk_(setup.photometric == 5),
        predictor_(setup.predictor) {
    planes_ = cmyk_ ? 4 : int(bytesPerPixel_);
    for (int p = 0; p < planes_; ++p) {
      if (setup.photometric == 8)
        planeByte_[p] = p;
      else
        planeByte_[p] = p < 3 ? 2 - p : p;
    }
  }
  static bool Suits(int bits) { return bits >= 24; }
  uint8_t* Target() { return planeRow_.data(); }
  size_t UnitBytes() const { return size_t(width_); }
  void Complete() {
    uint8_t* row = target_.Row(row_);
    if (cmyk_) {
      PutInk(row);
    } else {
      const size_t start = (size_t(width_) - 1) * bytesPerPixel_ + size_t(planeByte_[plane_]);
      routines_.PlaneRowRoutine(planeRow_.data(), row, size_t(width_), bytesPerPixel_, start);
    }
    target_.Put(row_);
    Advance();
  }
  void Skip() { Advance(); }
  uint64_t Position() const { return uint64_t(plane_) * uint64_t(height_) + uint64_t(row_); }

 private:
  void PutInk(uint8_t* row) {
    uint8_t* ink = planeRow_.data();
    if (predictor_) UndoDifferencingBytes(ink, size_t(width_), 1);
    if (plane_ < 3) {
      uint8_t* to = row + planeByte_[plane_];
      for (int x = 0; x < width_; ++x) to[3 * x] = uint8_t(255 - ink[x]);
      return;
    }
    for (int x = 0; x < width_; ++x)
      for (int c = 0; c < 3; ++c) {
        uint8_t& v = row[3 * x + c];
        v = v > ink[x] ? uint8_t(v - ink[x]) : 0;
      }
  }
  void Advance() {
    --stripLeft_;
    if (++row_ < height_) return;
    row_ = 0;
    if (++plane_ >= planes_) done_ = true;
  }
  std::vector<uint8_t> planeRow_;
  const bool cmyk_, predictor_;
  int planes_ = 0;
  int plane_ = 0;
  int planeByte_[4] = {};
};

// _CMYK: C, M, Y, K per pixel through a row buffer into a 24-bit row.
class LayoutCMYK : public LayoutBase {
 public:
  static constexpr bool kBuffered = true;
  LayoutCMYK(Bitmap& bitmap, const TiffDecoderSetup& setup)
      : LayoutBase(bitmap, setup), buffer_(size_t(width_) * 4) {}
  static bool Suits(int bits) { return bits == 24; }
  uint8_t* Target() { return buffer_.data(); }
  size_t UnitBytes() const { return buffer_.size(); }
  void Complete() {
    routines_.CMYKRowRoutine(buffer_.data(), Row(), size_t(width_), 3);
    Advance();
  }

 private:
  std::vector<uint8_t> buffer_;
};

// _CIELab: L, a, b per pixel through a row buffer into a 24-bit row.
class LayoutCIELab : public LayoutBase {
 public:
  static constexpr bool kBuffered = true;
  LayoutCIELab(Bitmap& bitmap, const TiffDecoderSetup& setup)
      : LayoutBase(bitmap, setup), buffer_(rowBytes_) {}
  static bool Suits(int bits) { return bits == 24; }
  uint8_t* Target() { return buffer_.data(); }
  size_t UnitBytes() const { return buffer_.size(); }
  void Complete() {
    routines_.LabRowRoutine(buffer_.data(), Row(), size_t(width_));
    Advance();
  }

 private:
  std::vector<uint8_t> buffer_;
};

// _YCbCr: data units of H x V luma samples (rows of H), then Cb and Cr, cover the image
// band by band, left to right; columns and rows beyond the image are dropped.
class LayoutYCbCr : public LayoutBase {
 public:
  LayoutYCbCr(Bitmap& bitmap, const TiffDecoderSetup& setup)
      : LayoutBase(bitmap, setup, 4),
        model_(setup.ycbcr),
        h_(setup.subsamplingH),
        v_(setup.subsamplingV),
        unitBytes_(size_t(h_ * v_ + 2)),
        bandRows_(std::min(v_, height_)) {}
  static bool Suits(int bits) { return bits == 24; }
  uint8_t* Target() { return unit_; }
  size_t UnitBytes() const { return unitBytes_; }
  // Data units run on from strip to strip.
  size_t CarriedBytes(uint8_t* to) const {
    std::memcpy(to, unit_, fill_);
    return fill_;
  }
  template <class Self>
  static void KeepPartial(Self& self, const uint8_t* data, size_t count) {
    std::memcpy(self.unit_, data, count);
    self.fill_ = count;
  }
  size_t fill() const { return fill_; }
  void Complete() {
    const uint8_t cb = unit_[h_ * v_], cr = unit_[h_ * v_ + 1];
    for (int j = 0; j < h_ && column_ + j < width_; ++j)
      for (int i = 0; i < bandRows_; ++i)
        model_.YCbCrToBGR(unit_[i * h_ + j], cb, cr, target_.Row(bandTop_ + i) + 3 * (column_ + j));
    column_ += h_;
    if (column_ >= width_) {
      for (int i = 0; i < bandRows_; ++i) target_.Put(bandTop_ + i);
      column_ = 0;
      bandTop_ += bandRows_;
      bandRows_ = std::min(v_, height_ - bandTop_);
      if (bandRows_ <= 0) done_ = true;
    }
  }
  uint32_t RowsLeft() const { return 0; }

 private:
  const TiffYCbCrModel model_;
  const int h_, v_;
  const size_t unitBytes_;
  uint8_t unit_[18] = {};
  size_t fill_ = 0;
  int column_ = 0;
  int bandTop_ = 0;
  int bandRows_;
};

// A whole unit from elsewhere into the layout: the layout's own copy when it has one.
template <class Layout>
void PutUnit(Layout& layout, const uint8_t* data) {
  if constexpr (requires { layout.PutUnit(data); }) {
    layout.PutUnit(data);
  } else {
    std::memcpy(layout.Target(), data, layout.UnitBytes());
    layout.Complete();
  }
}

// Moves the layout to the strip's first row, leaving the rows between as they are, and
// limits it to the strip's rows. A strip never starts before the rows already done: the
// rows of every strip before it were limited to its own.
template <class Layout>
void BeginStripOf(Layout& layout, uint32_t plane, uint32_t firstRow, uint32_t rows, int height) {
  if constexpr (!std::is_same_v<Layout, LayoutYCbCr>) {
    const uint64_t target = uint64_t(plane) * uint64_t(height) + firstRow;
    layout.LimitStrip(UINT64_MAX);
    while (!layout.Done() && layout.Position() < target) layout.Skip();
    layout.LimitStrip(rows);
  }
}

// Feeds bytes into the layout's units, completing each one that fills.
template <class Layout>
void Feed(Layout& layout, size_t& fill, const uint8_t* data, size_t count) {
  while (count > 0 && !layout.Done()) {
    const size_t unit = layout.UnitBytes();
    const size_t n = std::min(count, unit - fill);
    std::memcpy(layout.Target() + fill, data, n);
    fill += n;
    data += n;
    count -= n;
    if (fill == unit) {
      fill = 0;
      layout.Complete();
    }
  }
}

// ---------------------------------------------------------------------------------------
// Uncompressed: whole rows of the strip's byte count, read with the stream's plain read. A
// strip shorter than its rows leaves the rows it does not reach unchanged.
template <class Layout>
class TTIFFUncompressedDecoder final : public TTIFFImageDecoder {
 public:
  TTIFFUncompressedDecoder(Bitmap& bitmap, const TiffDecoderSetup& setup)
      : layout_(bitmap, setup), height_(setup.height) {}
  bool Done() const override { return layout_.Done(); }
  void BeginStrip(uint32_t plane, uint32_t firstRow, uint32_t rows) override {
    BeginStripOf(layout_, plane, firstRow, rows, height_);
  }
  void Finish() override { layout_.Finish(); }
  void DecodeStrip(TiffStream& stream, uint32_t byteCount) override {
    if (layout_.Done()) return;
    if constexpr (std::is_same_v<Layout, LayoutYCbCr>) {
      // Every byte goes to the data-unit assembler.
      const std::span<const uint8_t> bytes = stream.peek(byteCount);
      size_t fill = layout_.fill();
      Feed(layout_, fill, bytes.data(), bytes.size());
      LayoutYCbCr::KeepPartial(layout_, layout_.Target(), fill);
      stream.skip(bytes.size());
    } else {
      const size_t unit = layout_.UnitBytes();
      if (unit == 0) return;
      for (uint64_t rows = byteCount / unit; rows > 0 && !layout_.Done(); --rows) {
        const std::span<const uint8_t> row = stream.peek(unit);
        stream.skip(row.size());
        if (row.size() == unit) {
          PutUnit(layout_, row.data());
          continue;
        }
        if (row.empty()) {
          layout_.Skip();
          continue;
        }
        uint8_t* target = layout_.Target();
        std::memcpy(target, row.data(), row.size());
        if (Layout::kBuffered) std::memset(target + row.size(), 0, unit - row.size());
        layout_.Complete();
      }
    }
  }

 private:
  Layout layout_;
  const int height_;
};

// ---------------------------------------------------------------------------------------
// PackBits: RowsPerStrip rows per strip (clamped to the rows left), each row packed by
// itself.
template <class Layout>
class TTIFFPackBitsDecoder final : public TTIFFImageDecoder {
 public:
  TTIFFPackBitsDecoder(Bitmap& bitmap, const TiffDecoderSetup& setup)
      : layout_(bitmap, setup), rowsPerStrip_(setup.rowsPerStrip), height_(setup.height) {}
  bool Done() const override { return layout_.Done(); }
  void BeginStrip(uint32_t plane, uint32_t firstRow, uint32_t rows) override {
    BeginStripOf(layout_, plane, firstRow, rows, height_);
  }
  void Finish() override { layout_.Finish(); }
  void DecodeStrip(TiffStream& stream, uint32_t byteCount) override {
    std::span<const uint8_t> data = stream.peek(byteCount);
    const size_t unit = layout_.UnitBytes();
    for (uint32_t rows = std::min(rowsPerStrip_, layout_.RowsLeft()); rows > 0 && !layout_.Done();
         --rows) {
      // A layout that copies whole rows in its own way (red and blue exchanged on the way)
      // gets each row unpacked next to it, so that its bitmap row is written once.
      constexpr bool kStaged = requires(Layout & l, const uint8_t* d) { l.PutUnit(d); };
      if constexpr (kStaged) staged_.resize(unit);
      uint8_t* target = kStaged ? staged_.data() : layout_.Target();
      const size_t n = data.empty() ? 0 : UnpackPackBitsRow(data, target, unit);
      if (n == 0) {
        layout_.Skip();
        continue;
      }
      if ((kStaged || Layout::kBuffered) && n < unit) std::memset(target + n, 0, unit - n);
      if constexpr (kStaged)
        layout_.PutUnit(target);
      else
        layout_.Complete();
    }
  }

 private:
  Layout layout_;
  const uint32_t rowsPerStrip_;
  const int height_;
  std::vector<uint8_t> staged_;
};

// ---------------------------------------------------------------------------------------
// LZW: codes 256 Clear, 257 End of Information, 258 the first free code; 9 to 12 bits,
// most significant bit first; the width grows one code early, as TIFF writers have it.
// Every strip starts with a fresh table, also one whose first code is not Clear.
class TTIFFLZWDecoder : public TTIFFImageDecoder {
 protected:
  static constexpr int kCodeSize = 8;  // Clear is 2^8
};

template <class Layout>
class TTIFFLZWLayoutDecoder final : public TTIFFLZWDecoder {
 public:
  TTIFFLZWLayoutDecoder(Bitmap& bitmap, const TiffDecoderSetup& setup)
      : layout_(bitmap, setup),
        height_(setup.height),
        window_(WindowBytes(layout_, setup)),
        lzw_(Unit(), window_) {}
  bool Done() const override { return layout_.Done(); }
  void BeginStrip(uint32_t plane, uint32_t firstRow, uint32_t rows) override {
    BeginStripOf(layout_, plane, firstRow, rows, height_);
  }
  void Finish() override { layout_.Finish(); }

  void DecodeStrip(TiffStream& stream, uint32_t byteCount) override {
    if (layout_.Done() || layout_.UnitBytes() == 0) return;
    const std::span<const uint8_t> bytes = stream.peek(byteCount);
    // A strip that starts with the bytes 0x00 0x01 (bit 0 set) is a Clear code written
    // least significant bit first, as LZW strips were before 1992: it is read in that
    // order, and with the width growing when the next free code needs it (not one code
    // early), as libtiff reads it.
    if (bytes.size() >= 2 && bytes[0] == 0 && (bytes[1] & 1) != 0) {
      // Made once for the page: its window is as large as the other decoder's.
      if (!oldStyle_) oldStyle_ = std::make_unique<LzwDecoder<LzwLsbCodes>>(Unit(), window_);
      DecodeCodes(*oldStyle_, bytes);
      return;
    }
    DecodeCodes(lzw_, bytes);
  }

 private:
  // The window holds at least two units, at most what the whole image needs (plus a
  // unit), and otherwise 1 MB.
  static uint64_t WindowBytes(const Layout& layout, const TiffDecoderSetup& setup) {
    const size_t unit = layout.UnitBytes();
    const size_t bits = size_t(setup.format);
    const size_t image =
        (size_t(setup.width) * bits + 7) / 8 * size_t(setup.height) * (bits >= 24 ? 2 : 1);
    return std::max(std::min<size_t>(size_t(1) << 20, image + unit), 2 * unit);
  }
  size_t Unit() const { return std::max<size_t>(layout_.UnitBytes(), 1); }

  // The strip's output goes to the layout unit by unit; a unit begun in the last strip
  // (YCbCr data units run on from strip to strip) is completed first.
  template <class Codes>
  void DecodeCodes(LzwDecoder<Codes>& lzw, std::span<const uint8_t> bytes) {
    const size_t unit = layout_.UnitBytes();
    size_t fill = 0;
    if constexpr (std::is_same_v<Layout, LayoutYCbCr>) fill = layout_.fill();
    lzw.Decode(
        bytes, kCodeSize,
        [&](const uint8_t* line) {
          if (fill == 0)
            PutUnit(layout_, line);
          else
            Feed(layout_, fill, line, unit);
          return !layout_.Done();
        },
        [&](const uint8_t* rest, size_t count) { Feed(layout_, fill, rest, count); });
    if constexpr (std::is_same_v<Layout, LayoutYCbCr>)
      LayoutYCbCr::KeepPartial(layout_, layout_.Target(), fill);
  }

  Layout layout_;
  const int height_;
  const uint64_t window_;
  LzwDecoder<LzwMsbCodes> lzw_;
  std::unique_ptr<LzwDecoder<LzwLsbCodes>> oldStyle_;
};

// The members of the three families, by the names of their layouts.
using TTIFFDecoder_08b = TTIFFUncompressedDecoder<Layout08b<false>>;
using TTIFFDecoder_08b_HorDiff = TTIFFUncompressedDecoder<Layout08b<true>>;
using TTIFFDecoder_24b = TTIFFUncompressedDecoder<Layout24b>;
using TTIFFDecoder_24b_Planar2 = TTIFFUncompressedDecoder<Layout24bPlanar2>;
using TTIFFDecoder_CMYK = TTIFFUncompressedDecoder<LayoutCMYK>;
using TTIFFDecoder_CIELab = TTIFFUncompressedDecoder<LayoutCIELab>;
using TTIFFDecoder_YCbCr = TTIFFUncompressedDecoder<LayoutYCbCr>;
using TTIFFPackBitsDecoder_08b = TTIFFPackBitsDecoder<Layout08b<false>>;
using TTIFFPackBitsDecoder_08b_HorDiff = TTIFFPackBitsDecoder<Layout08b<true>>;
using TTIFFPackBitsDecoder_24b = TTIFFPackBitsDecoder<Layout24b>;
using TTIFFPackBitsDecoder_24b_Planar2 = TTIFFPackBitsDecoder<Layout24bPlanar2>;
using TTIFFPackBitsDecoder_CMYK = TTIFFPackBitsDecoder<LayoutCMYK>;
using TTIFFPackBitsDecoder_CIELab = TTIFFPackBitsDecoder<LayoutCIELab>;
using TTIFFLZWDecoder_08b = TTIFFLZWLayoutDecoder<Layout08b<false>>;
using TTIFFLZWDecoder_08b_HorDiff = TTIFFLZWLayoutDecoder<Layout08b<true>>;
using TTIFFLZWDecoder_24b = TTIFFLZWLayoutDecoder<Layout24b>;
using TTIFFLZWDecoder_24b_Planar2 = TTIFFLZWLayoutDecoder<Layout24bPlanar2>;
using TTIFFLZWDecoder_CMYK = TTIFFLZWLayoutDecoder<LayoutCMYK>;
using TTIFFLZWDecoder_CIELab = TTIFFLZWLayoutDecoder<LayoutCIELab>;
using TTIFFLZWDecoder_YCbCr = TTIFFLZWLayoutDecoder<LayoutYCbCr>;

template <class Decoder, class Layout>
std::unique_ptr<TTIFFImageDecoder> Make(Bitmap& bitmap, const TiffDecoderSetup& setup) {
  if (!Layout::Suits(int(setup.format))) throw Exception("TIFF: Decoder Error !");
  return std::make_unique<Decoder>(bitmap, setup);
}

}  // namespace

std::unique_ptr<TTIFFImageDecoder> CreateStripDecoder(TiffCompression compression,
                                                      TiffRowLayout layout, Bitmap& bitmap,
                                                      const TiffDecoderSetup& setup) {
  using L = TiffRowLayout;
  switch (compression) {
    case TiffCompression::kNone:
      switch (layout) {
        case L::k08b:
          return Make<TTIFFDecoder_08b, Layout08b<false>>(bitmap, setup);
        case L::k08bHorDiff:
          return Make<TTIFFDecoder_08b_HorDiff, Layout08b<true>>(bitmap, setup);
        case L::k24b:
          return Make<TTIFFDecoder_24b, Layout24b>(bitmap, setup);
        case L::k24bPlanar2:
          return Make<TTIFFDecoder_24b_Planar2, Layout24bPlanar2>(bitmap, setup);
        case L::kCMYK:
          return Make<TTIFFDecoder_CMYK, LayoutCMYK>(bitmap, setup);
        case L::kCIELab:
          return Make<TTIFFDecoder_CIELab, LayoutCIELab>(bitmap, setup);
        case L::kYCbCr:
          return Make<TTIFFDecoder_YCbCr, LayoutYCbCr>(bitmap, setup);
      }
      break;
    case TiffCompression::kPackBits:
      switch (layout) {
        case L::k08b:
          return Make<TTIFFPackBitsDecoder_08b, Layout08b<false>>(bitmap, setup);
        case L::k08bHorDiff:
          return Make<TTIFFPackBitsDecoder_08b_HorDiff, Layout08b<true>>(bitmap, setup);
        case L::k24b:
          return Make<TTIFFPackBitsDecoder_24b, Layout24b>(bitmap, setup);
        case L::k24bPlanar2:
          return Make<TTIFFPackBitsDecoder_24b_Planar2, Layout24bPlanar2>(bitmap, setup);
        case L::kCMYK:
          return Make<TTIFFPackBitsDecoder_CMYK, LayoutCMYK>(bitmap, setup);
        case L::kCIELab:
          return Make<TTIFFPackBitsDecoder_CIELab, LayoutCIELab>(bitmap, setup);
        case L::kYCbCr:
          break;
      }
      break;
    case TiffCompression::kLZW:
      switch (layout) {
        case L::k08b:
          return Make<TTIFFLZWDecoder_08b, Layout08b<false>>(bitmap, setup);
        case L::k08bHorDiff:
          return Make<TTIFFLZWDecoder_08b_HorDiff, Layout08b<true>>(bitmap, setup);
        case L::k24b:
          return Make<TTIFFLZWDecoder_24b, Layout24b>(bitmap, setup);
        case L::k24bPlanar2:
          return Make<TTIFFLZWDecoder_24b_Planar2, Layout24bPlanar2>(bitmap, setup);
        case L::kCMYK:
          return Make<TTIFFLZWDecoder_CMYK, LayoutCMYK>(bitmap, setup);
        case L::kCIELab:
          return Make<TTIFFLZWDecoder_CIELab, LayoutCIELab>(bitmap, setup);
        case L::kYCbCr:
          return Make<TTIFFLZWDecoder_YCbCr, LayoutYCbCr>(bitmap, setup);
      }
      break;
  }
  throw Exception("TIFF: Decoder Error !");
}

}  // namespace vandrel
