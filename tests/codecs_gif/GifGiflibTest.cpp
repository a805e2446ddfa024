// Files written by giflib decode to the indices, palette and size that giflib's own
// DGifSlurp gives for the first image.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <random>

#include "GifTestUtil.h"
#include "codecs/gif/GifImage.h"

using namespace giftest;

namespace {

int WriteToMemory(GifFileType* gif, const GifByteType* data, int count) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + count);
  return count;
}

ColorMapObject* MakeMap(int colors, int seed) {
  ColorMapObject* map = GifMakeMapObject(colors, nullptr);
  for (int i = 0; i < colors; ++i)
    map->Colors[i] = {GifByteType(i * 7 + seed), GifByteType(255 - i), GifByteType(i ^ seed)};
  return map;
}

struct Frame {
  Frame(int left, int top, int width, int height, bool interlaced = false, int localColors = 0,
        std::string comment = "")
      : left(left),
        top(top),
        width(width),
        height(height),
        interlaced(interlaced),
        localColors(localColors),
        comment(std::move(comment)) {}
  int left, top, width, height;
  bool interlaced;
  int localColors;      // 0: no local table
  std::string comment;  // written before the frame when not empty
};

struct Spec {
  const char* name;
  bool gif89;
  int width, height;
  int globalColors;  // 0: no global table
  std::vector<Frame> frames;
  bool application = false;  // a NETSCAPE2.0 block and a private one before the first frame
};

// Pixels below `colors` with runs, noise and gradients, so that short and long strings mix.
Bytes Pixels(int width, int height, int colors, unsigned seed) {
  std::mt19937 random(seed);
  Bytes p(size_t(width) * size_t(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      int v;
      switch ((y / 5 + seed) % 3) {
        case 0:
          v = int(random() % unsigned(colors));
          break;
        case 1:
          v = (x / 9) % colors;
          break;
        default:
          v = (x * y / 13) % colors;
          break;
      }
      p[size_t(y) * size_t(width) + size_t(x)] = uint8_t(v);
    }
  return p;
}

// Writes the file with giflib's sequential API (interlaced rows in pass order), and
// gives the pixels of the first frame.
Bytes Write(const Spec& spec, Bytes& firstPixels) {
  Bytes out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, WriteToMemory, &error);
  EXPECT_NE(gif, nullptr);
  EGifSetGifVersion(gif, spec.gif89);
  ColorMapObject* global = spec.globalColors ? MakeMap(spec.globalColors, 3) : nullptr;
  EXPECT_EQ(EGifPutScreenDesc(gif, spec.width, spec.height, 8, 0, global), GIF_OK);
  if (spec.application) {
    EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
    EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
    const GifByteType loop[3] = {1, 3, 0};
    EGifPutExtensionBlock(gif, 3, loop);
    EGifPutExtensionTrailer(gif);
    EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
    EGifPutExtensionBlock(gif, 11, "VANDRELTEST");
    GifByteType junk[200];
    for (int i = 0; i < 200; ++i) junk[i] = GifByteType(i % 2 ? 0x2C : 0x3B);
    for (int n : {200, 1, 77, 199}) EGifPutExtensionBlock(gif, n, junk);
    EGifPutExtensionTrailer(gif);
  }
  unsigned seed = 1;
  for (const Frame& f : spec.frames) {
    if (!f.comment.empty()) EGifPutComment(gif, f.comment.c_str());
    const GifByteType control[4] = {0x09, 10, 0, 2};
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
    ColorMapObject* local = f.localColors ? MakeMap(f.localColors, int(seed)) : nullptr;
    EXPECT_EQ(EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlaced, local), GIF_OK);
    const int colors = f.localColors ? f.localColors : spec.globalColors ? spec.globalColors : 256;
    Bytes pixels = Pixels(f.width, f.height, colors, seed++);
    std::vector<int> order;
    if (f.interlaced) {
      for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
        for (int y = start; y < f.height; y += step) order.push_back(y);
    } else {
      for (int y = 0; y < f.height; ++y) order.push_back(y);
    }
    for (int y : order)
      EXPECT_EQ(EGifPutLine(gif, pixels.data() + size_t(y) * size_t(f.width), f.width), GIF_OK);
    if (firstPixels.empty()) firstPixels = pixels;
    GifFreeMapObject(local);
  }
  EGifPutComment(gif, "the end");
  EXPECT_EQ(EGifCloseFile(gif, &error), GIF_OK);
  GifFreeMapObject(global);
  return out;
}

}  // namespace

TEST(GifGiflib, FilesWrittenByGiflibDecodeAsGiflibReadsThem) {
  const std::vector<Spec> specs = {
      {"87a sequential global 256", false, 64, 48, 256, {Frame(0, 0, 64, 48)}},
      {"89a interlaced global 256", true, 64, 48, 256, {Frame(0, 0, 64, 48, true)}},
      {"87a 1 x 1", false, 1, 1, 2, {Frame(0, 0, 1, 1)}},
      {"89a 2 colours", true, 33, 17, 2, {Frame(0, 0, 33, 17)}},
      {"89a 4 colours interlaced", true, 31, 9, 4, {Frame(0, 0, 31, 9, true)}},
      {"87a 8 colours", false, 100, 3, 8, {Frame(0, 0, 100, 3)}},
      {"89a 16 colours interlaced", true, 7, 30, 16, {Frame(0, 0, 7, 30, true)}},
      {"89a 32 colours", true, 129, 65, 32, {Frame(0, 0, 129, 65)}},
      {"87a 64 colours interlaced", false, 250, 2, 64, {Frame(0, 0, 250, 2, true)}},
      {"89a 128 colours", true, 300, 200, 128, {Frame(0, 0, 300, 200)}},
      {"local table, no global", true, 40, 40, 0, {Frame(0, 0, 40, 40, false, 16)}},
      {"local table over global", true, 40, 40, 256, {Frame(0, 0, 40, 40, true, 4)}},
      {"several frames, comments, applications",
       true,
       80,
       60,
       64,
       {Frame(5, 6, 50, 40, false, 0, "frame one"), Frame(0, 0, 80, 60, true, 8, "frame two"),
        Frame(10, 10, 3, 3, false, 256, "")},
       true},
      {"first frame off the screen's corner", true, 30, 30, 8, {Frame(20, 25, 10, 5, true, 0)}},
      {"large noisy", true, 700, 500, 256, {Frame(0, 0, 700, 500)}},
  };
  for (const Spec& spec : specs) {
    SCOPED_TRACE(spec.name);
    Bytes pixels;
    const Bytes file = Write(spec, pixels);
    const GiflibImage reference = GiflibDecode(file);
    ASSERT_TRUE(reference.ok);
    ASSERT_EQ(reference.indices, pixels);  // the writer and giflib's reader agree

    vandrel::TGIF picture;
    picture.LoadFromStream(file);
    EXPECT_EQ(picture.width(), reference.width);
    EXPECT_EQ(picture.height(), reference.height);
    EXPECT_EQ(picture.palette(), reference.palette);
    EXPECT_EQ(Indices(picture), reference.indices);
  }
}
