// Real TIFF files from other projects' test sets against what libtiff decodes from them
// (REFERENCE.tsv): the picture hash where the colour model is libtiff's, the raw samples of
// single-sample files, our own conversions for CIE L*a*b*, and the exact message for the
// files we refuse.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <cinttypes>
#include <fstream>
#include <map>
#include <sstream>

#include "TiffFixture.h"
#include "codecs/common/ImageCommon.h"
#include "codecs/tiff/TiffImage.h"
#include "codecs/tiff/TiffPixels.h"

using namespace vandrel;
using namespace tifftest;

namespace {

const std::string kCorpus = VANDREL_CORPUS_DIR;

enum class Expect { kLibtiff, kLab, kReject };

struct CorpusCase {
  const char* path;
  Expect expect;
  const char* error = nullptr;  // the message of a refused file
  bool readError = false;       // raised as EInvalidImage
};

const CorpusCase kCases[] = {
    {"tiff/pillow/copyleft.tiff", Expect::kLibtiff},
    {"tiff/pillow/hopper.tif", Expect::kLibtiff},
    {"tiff/pillow/hopper_lzw.tif", Expect::kLibtiff},
    {"tiff/pillow/hopper4I.tif", Expect::kLibtiff},
    {"tiff/pillow/hopper_gray_4bpp.tif", Expect::kLibtiff},
    {"tiff/pillow/multipage.tiff", Expect::kLibtiff},
    {"tiff/pillow/pil136.tiff", Expect::kLibtiff},
    {"tiff/pillow/tiff_strip_planar_lzw.tiff", Expect::kLibtiff},
    {"tiff/qt/indexed_orientation_6.tiff", Expect::kLibtiff},
    {"tiff/qt/mono_orientation_8.tiff", Expect::kLibtiff},
    {"tiff/qt/rgb_orientation_1.tiff", Expect::kLibtiff},
    {"tiff/qt/rgb_orientation_2.tiff", Expect::kLibtiff},
    {"tiff/qt/rgb_orientation_3.tiff", Expect::kLibtiff},
    {"tiff/qt/rgb_orientation_4.tiff", Expect::kLibtiff},
    {"tiff/qt/rgb_orientation_5.tiff", Expect::kLibtiff},
    {"tiff/qt/rgb_orientation_6.tiff", Expect::kLibtiff},
    {"tiff/qt/rgb_orientation_7.tiff", Expect::kLibtiff},
    {"tiff/qt/rgb_orientation_8.tiff", Expect::kLibtiff},
    {"tiff/pillow/hopper.Lab.tif", Expect::kLab},
    {"tiff/pillow/lab-red.tif", Expect::kLab},
    {"tiff/pillow/hopper4R.tif", Expect::kReject, "TIFF: Unsupported \"FillOrder\" !"},
    {"tiff/pillow/hopper_jpg.tif", Expect::kReject, "TIFF: Unsupported \"Compression\" !"},
    {"tiff/pillow/tiff_adobe_deflate.tif", Expect::kReject, "TIFF: Unsupported \"Compression\" !"},
    {"tiff/pillow/tiff_tiled_raw.tif", Expect::kReject,
     "TIFF: Unsupported \"TileWidth|TileLength\" !"},
    {"tiff/pillow/tiff_wrong_bits_per_sample.tiff", Expect::kReject,
     "TIFF: Unsupported \"PixelFormat|PhotometricInterpretation\" !"},
    {"tiff/pillow/seek_too_large.tif", Expect::kReject, "Unsupported file format !"},
    {"tiff/pillow/oom-225817ca0f8c663be7ab4b9e717b02c661e66834.tif", Expect::kReject,
     "TIFF read error at 00000052H (12 byte(s) expected, but 6 read)", true},
};

void PrintTo(const CorpusCase& c, std::ostream* os) { *os << c.path; }

// The fields of a REFERENCE.tsv line by key ("status", "width", "height" and key=value).
using Reference = std::map<std::string, std::string>;

std::map<std::string, Reference> LoadReference() {
  std::map<std::string, Reference> all;
  std::ifstream in(kCorpus + "/REFERENCE.tsv");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string path, field;
    std::getline(fields, path, '\t');
    Reference r;
    std::getline(fields, r["status"], '\t');
    if (r["status"] == "OK") {
      std::getline(fields, r["width"], '\t');
      std::getline(fields, r["height"], '\t');
      while (std::getline(fields, field, '\t')) {
        const size_t eq = field.find('=');
        if (eq != std::string::npos) r[field.substr(0, eq)] = field.substr(eq + 1);
      }
    }
    all[path] = r;
  }
  return all;
}

std::string Hex(uint64_t h) {
  char text[17];
  std::snprintf(text, sizeof text, "%016" PRIx64, h);
  return text;
}

// Raw palette indices or grey samples of an indexed bitmap, one byte per pixel.
std::string IndexHash(const Bitmap& b) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) {
      const uint8_t* row = b.scanLine(y);
      const uint8_t v = b.bitsPerPixel() == 1 ? (row[x >> 3] >> (7 - (x & 7))) & 1
                        : b.bitsPerPixel() == 4
                            ? ((x & 1) ? (row[x >> 1] & 15) : (row[x >> 1] >> 4))
                            : row[x];
      h = (h ^ v) * 0x100000001b3ull;
    }
  return Hex(h);
}

class TiffCorpus : public ::testing::TestWithParam<CorpusCase> {};

}  // namespace

TEST(TiffCorpusList, EveryTiffOfTheManifestHasACase) {
  std::ifstream in(kCorpus + "/MANIFEST.tsv");
  ASSERT_TRUE(in) << "corpus not found at " << kCorpus;
  std::string line;
  int files = 0;
  while (std::getline(in, line)) {
    if (line.rfind("tiff/", 0) != 0) continue;
    const std::string path = line.substr(0, line.find('\t'));
    ++files;
    bool found = false;
    for (const CorpusCase& c : kCases) found = found || path == c.path;
    EXPECT_TRUE(found) << path;
  }
  EXPECT_EQ(files, int(std::size(kCases)));
}

TEST_P(TiffCorpus, DecodesLikeTheReference) {
  const CorpusCase& c = GetParam();
  static const std::map<std::string, Reference> references = LoadReference();
  const Bytes file = ReadFile(kCorpus + "/" + c.path);
  ASSERT_FALSE(file.empty()) << c.path;

  if (c.expect == Expect::kReject) {
    try {
      DecodeTiff(file);
      ADD_FAILURE() << c.path << " decoded";
    } catch (const EInvalidImage& e) {
      EXPECT_TRUE(c.readError) << e.what();
      EXPECT_STREQ(e.what(), c.error);
    } catch (const Exception& e) {
      EXPECT_FALSE(c.readError) << e.what();
      EXPECT_STREQ(e.what(), c.error);
    }
    return;
  }

  const Bitmap b = DecodeTiff(file);
  const Reference& ref = references.at(c.path);
  ASSERT_EQ(ref.at("status"), "OK");
  const int orientation = std::stoi(ref.at("orient"));
  const bool turned = orientation >= 5;
  EXPECT_EQ(b.width(), std::stoi(ref.at(turned ? "height" : "width")));
  EXPECT_EQ(b.height(), std::stoi(ref.at(turned ? "width" : "height")));

  if (c.expect == Expect::kLibtiff) {
    EXPECT_EQ(Hex(PictureHash(b)), ref.at("dispx"));
    if (ref.at("idx8") != "-" && b.indexed()) {
      EXPECT_EQ(IndexHash(b), ref.at("idx8"));
    }
    return;
  }

  // CIE L*a*b*: our conversion of the samples libtiff reads.
  TIFF* tif = TIFFOpen((kCorpus + "/" + c.path).c_str(), "r");
  ASSERT_NE(tif, nullptr);
  Bytes line(size_t(TIFFScanlineSize(tif)));
  for (int y = 0; y < b.height(); ++y) {
    ASSERT_GE(TIFFReadScanline(tif, line.data(), uint32_t(y), 0), 0);
    for (int x = 0; x < b.width(); ++x) {
      uint8_t bgr[3];
      LabToBGR(line[size_t(3 * x)], int8_t(line[size_t(3 * x + 1)]),
               int8_t(line[size_t(3 * x + 2)]), bgr);
      ASSERT_EQ(b.pixelColor(x, y), (PaletteEntry{bgr[2], bgr[1], bgr[0]})) << x << "," << y;
    }
  }
  TIFFClose(tif);
}

INSTANTIATE_TEST_SUITE_P(Files, TiffCorpus, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<CorpusCase>& info) {
                           std::string name = info.param.path;
                           name = name.substr(name.find_last_of('/') + 1);
                           for (char& ch : name)
                             if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name.substr(0, 40);
                         });
