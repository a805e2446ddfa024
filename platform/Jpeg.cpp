// JPEG decoding through libjpeg. libjpeg reports fatal errors through error_exit, which by
// default ends the process; ours jumps back to the decoding function instead, which then
// releases libjpeg's state and throws. Only libjpeg's C frames lie between the jump and
// its target, and the state lives outside the jumping function, so nothing is skipped.
#include "platform/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>
// After jpeglib.h: the message list depends on its configuration.
#include <jerror.h>

#include "platform/Errors.h"

namespace vandrel {

namespace {

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX] = {};
  bool inScan = false;   // the headers are read, the coded data is being decoded
  bool endSeen = false;  // the data ended without its end marker
};

// A progressive file may repeat scans without end: every scan is a pass over the whole
// picture's coefficients, made from a few bytes of the file. Encoders write about ten;
// beyond this many the file is refused.
constexpr int kMaxScans = 100;

[[noreturn]] void onError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// Warnings about damaged data would leave grey or garbled parts in the image; they count
// as errors. Other warnings (stray bytes between markers, odd progression) do not.
void onMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;  // trace messages
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  switch (cinfo->err->msg_code) {
    case JWRN_JPEG_EOF:
      // Inside the coded data libjpeg reads ahead of what it needs, so a file that lacks
      // only its end marker ends here too: whether data was missing shows later.
      if (!err->inScan) onError(cinfo);
      err->endSeen = true;
      break;
    case JWRN_HIT_MARKER:  // the coded data ran out while it was still needed
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:
      onError(cinfo);
    default:
      break;
  }
}

// Called by libjpeg as it works through the file: stops it, as an error does, at the scan
// past the limit.
void onProgress(j_common_ptr cinfo) {
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number <= kMaxScans) return;
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  std::snprintf(err->message, sizeof err->message, "too many scans (more than %d)", kMaxScans);
  std::longjmp(err->jump, 1);
}

struct Decoder {
  jpeg_decompress_struct cinfo{};
  ErrorManager err;
  jpeg_progress_mgr progress{};
  bool created = false;
  Bitmap out;
  std::vector<uint8_t> cmyk;  // one row of CMYK samples

  Decoder() {
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    err.pub.emit_message = onMessage;
    progress.progress_monitor = onProgress;
  }
  ~Decoder() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;
};

// Adobe's CMYK JPEGs store the inks inverted (255 = no ink); others store them as they are.
void cmykToBgr(const uint8_t* in, int width, bool inverted, uint8_t* out) {
  auto mul = [](int a, int b) { return uint8_t((a * b + 127) / 255); };
  for (int x = 0; x < width; ++x, in += 4, out += 3) {
    int c = in[0], m = in[1], y = in[2], k = in[3];
    if (!inverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    out[0] = mul(y, k);
    out[1] = mul(m, k);
    out[2] = mul(c, k);
  }
}

// The checks between the header and the decompression; throws for what we do not read.
void prepare(Decoder& d, size_t fileSize) {
  jpeg_decompress_struct& c = d.cinfo;
  const uint64_t w = c.image_width, h = c.image_height;
  if (w == 0 || h == 0 || w > uint64_t(Bitmap::kMaxSide) || h > uint64_t(Bitmap::kMaxSide) ||
      w * h > uint64_t(Bitmap::kMaxPixels))
    throw Exception("JPEG: unsupported image size " + std::to_string(w) + " x " +
                    std::to_string(h));
  // Every 8 x 8 block of the first component takes at least one bit of the file: an image
  // far larger than that is a lie of the header.
  if (w * h > (uint64_t(1) << 20) + 512 * uint64_t(fileSize))
    throw Exception("JPEG: the file is too short for an image of " + std::to_string(w) + " x " +
                    std::to_string(h));
  // The bitmap is the only picture held: nothing beyond what the program holds.
  const PixelFormat format =
      c.jpeg_color_space == JCS_GRAYSCALE ? PixelFormat::pf8bit : PixelFormat::pf24bit;
  if (uint64_t(Bitmap::strideFor(int(w), format)) * h > DecodedImageBudget())
    throw Exception("JPEG: unsupported image size " + std::to_string(w) + " x " +
                    std::to_string(h));
  switch (c.jpeg_color_space) {
    case JCS_GRAYSCALE:
      c.out_color_space = JCS_GRAYSCALE;
      d.out = Bitmap(int(w), int(h), PixelFormat::pf8bit);
      d.out.setPalette(GreyRamp());
      break;
    case JCS_YCbCr:
    case JCS_RGB:
      c.out_color_space = JCS_EXT_BGR;
      d.out = Bitmap(int(w), int(h), PixelFormat::pf24bit);
      break;
    case JCS_CMYK:
    case JCS_YCCK:
      c.out_color_space = JCS_CMYK;
      d.out = Bitmap(int(w), int(h), PixelFormat::pf24bit);
      d.cmyk.resize(size_t(w) * 4);
      break;
    default:
      throw Exception("JPEG: unsupported colour space (" + std::to_string(int(c.jpeg_color_space)) +
                      ")");
  }
}

// Runs libjpeg over the bytes into d.out; false when libjpeg raised an error, whose text
// is then in d.err.message.
bool decode(Decoder& d, std::span<const uint8_t> bytes) {
  if (setjmp(d.err.jump)) return false;
  jpeg_create_decompress(&d.cinfo);
  d.created = true;
  d.cinfo.progress = &d.progress;  // after the creation, which clears it
  jpeg_mem_src(&d.cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&d.cinfo, TRUE);
  prepare(d, bytes.size());
  d.err.inScan = true;
  jpeg_start_decompress(&d.cinfo);
  const bool cmyk = d.cinfo.out_color_space == JCS_CMYK;
  while (d.cinfo.output_scanline < d.cinfo.output_height) {
    const int y = int(d.cinfo.output_scanline);
    JSAMPROW row = cmyk ? d.cmyk.data() : d.out.scanLine(y);
    if (jpeg_read_scanlines(&d.cinfo, &row, 1) != 1) break;
    if (cmyk) cmykToBgr(d.cmyk.data(), d.out.width(), d.cinfo.saw_Adobe_marker, d.out.scanLine(y));
  }
  // The markers after the last row are not read: the picture is complete, and a missing
  // end marker does not make it less so.
  return true;
}

}  // namespace

Bitmap DecodeJpeg(std::span<const uint8_t> bytes) {
  Decoder d;
  if (!decode(d, bytes)) throw Exception(std::string("JPEG: ") + d.err.message);
  // A single scan of every component that ended without its end marker is complete when
  // no bits were missing (that would have raised above); with more scans, any could be
  // missing altogether.
  const jpeg_decompress_struct& c = d.cinfo;
  if (c.output_scanline < c.output_height ||
      (d.err.endSeen &&
       (c.progressive_mode || c.input_scan_number != 1 || c.comps_in_scan != c.num_components)))
    throw Exception("JPEG: Premature end of JPEG file");
  return std::move(d.out);
}

}  // namespace vandrel
