// The real GIF files of the shared corpus against what giflib decodes from them.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "GifTestUtil.h"
#include "codecs/common/ImageCommon.h"
#include "codecs/gif/GifImage.h"

using namespace giftest;
using vandrel::Bitmap;
using vandrel::TGIF;

namespace {

struct Reference {
  std::string path;
  bool ok = false;
  int width = 0, height = 0;
  std::map<std::string, std::string> fields;
};

std::vector<Reference> GifReferences() {
  std::ifstream in(std::string(VANDREL_CORPUS_DIR) + "/REFERENCE.tsv");
  std::vector<Reference> refs;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#' || line.rfind("gif/", 0) != 0) continue;
    std::vector<std::string> cols;
    std::stringstream ss(line);
    for (std::string c; std::getline(ss, c, '\t');) cols.push_back(c);
    Reference r;
    r.path = cols[0];
    r.ok = cols.size() > 3 && cols[1] == "OK";
    if (r.ok) {
      r.width = std::stoi(cols[2]);
      r.height = std::stoi(cols[3]);
      for (size_t i = 4; i < cols.size(); ++i) {
        const auto eq = cols[i].find('=');
        r.fields[cols[i].substr(0, eq)] = cols[i].substr(eq + 1);
      }
    }
    refs.push_back(r);
  }
  return refs;
}

std::string Hex(uint64_t h) {
  char text[17];
  std::snprintf(text, sizeof text, "%016" PRIx64, h);
  return text;
}

// R, G, B, 255 per pixel through the bitmap's palette (black beyond its end).
Bytes Rgbx(const Bitmap& b) {
  Bytes out;
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) {
      const auto c = b.pixelColor(x, y);
      out.insert(out.end(), {c.red, c.green, c.blue, 255});
    }
  return out;
}

TGIF Load(const std::string& relative) {
  TGIF picture;
  picture.LoadFromStream(ReadFile(std::string(VANDREL_CORPUS_DIR) + "/" + relative));
  return picture;
}

}  // namespace

TEST(GifCorpus, FirstImageMatchesGiflib) {
  const auto refs = GifReferences();
  ASSERT_GE(refs.size(), 15u);
  int compared = 0;
  for (const auto& r : refs) {
    if (!r.ok) continue;
    SCOPED_TRACE(r.path);
    const TGIF picture = Load(r.path);
    ASSERT_EQ(picture.width(), r.width);
    ASSERT_EQ(picture.height(), r.height);
    EXPECT_EQ(picture.format(), vandrel::PixelFormat::pf8bit);
    EXPECT_EQ(Hex(Fnv1a(Indices(picture))), r.fields.at("idx"));
    EXPECT_EQ(int(picture.palette().size()), std::stoi(r.fields.at("ncolors")));
    // Without any colour table giflib hashes no pixels at all.
    if (r.fields.at("cmap") != "none") {
      EXPECT_EQ(Hex(Fnv1a(Rgbx(picture))), r.fields.at("rgbx"));
    }
    ++compared;
  }
  EXPECT_GE(compared, 15);
}

// The files giflib refuses, and what our reader makes of them.
TEST(GifCorpus, FilesGiflibRefuses) {
  // Width 0 in the descriptor (and a code size of 143): a clear error of ours.
  try {
    Load("gif/pillow/zero_width.gif");
    FAIL() << "no error";
  } catch (const vandrel::EInvalidImage& e) {
    EXPECT_STREQ(e.what(), "GIF image has an invalid size (0 x 1321)");
  }
  // Code size 11 with 8-bit pixel values: decodes.
  const TGIF wide = Load("gif/pillow/issue_2811.gif");
  EXPECT_EQ(wide.width(), 100);
  EXPECT_EQ(wide.height(), 100);
  EXPECT_EQ(wide.palette().size(), 256u);
  // A header followed by a byte that is no block, and nothing after it: giflib stops at
  // the byte ("Wrong record type detected"); ours passes over it and finds no image.
  try {
    Load("gif/image-rs/zero-loop-count.gif");
    FAIL() << "no error";
  } catch (const vandrel::EInvalidImage& e) {
    EXPECT_STREQ(e.what(), "GIF file holds no image");
  }
}
