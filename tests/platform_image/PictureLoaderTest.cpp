// The picture loader: registry of readers, extensions, file reading and its errors.
#include "platform/PictureLoader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "platform/Errors.h"
#include "tests/support/AllocationCeiling.h"
#include "tests/support/TempDir.h"

namespace vandrel {
namespace {

using testing::TempDir;

// A reader that records what it was given and returns a 1 x 1 bitmap tagged by `tag`.
struct Recorder {
  int calls = 0;
  std::vector<uint8_t> bytes;
  PictureReader reader(uint8_t tag) {
    return [this, tag](std::span<const uint8_t> b) {
      ++calls;
      bytes.assign(b.begin(), b.end());
      Bitmap out(1, 1, PixelFormat::pf8bit);
      out.scanLine(0)[0] = tag;
      return out;
    };
  }
};

std::vector<std::string> Extensions() {
  std::vector<std::string> out;
  for (const PictureFormat& f : PictureFormats()) out.push_back(f.extension);
  return out;
}

std::string MessageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.what();
  }
  return "(no exception)";
}

// Registers formats for one test and removes them afterwards, whatever happens.
class LoaderTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const char* e : {"TST", "TST2", "TST3"}) UnregisterPictureFormat(e);
  }
  TempDir dir;
  Recorder rec;
};

TEST_F(LoaderTest, ExtensionsCompareWithoutLetterCase) {
  RegisterPictureFormat("TST", "Test pictures", rec.reader(7));
  const std::string path = dir.write("picture.tSt", {1, 2, 3});
  EXPECT_EQ(LoadPicture(path).scanLine(0)[0], 7);
  EXPECT_EQ(DecodePicture("tst", std::vector<uint8_t>{9}).scanLine(0)[0], 7);
  EXPECT_EQ(rec.calls, 2);
}

TEST_F(LoaderTest, TheFileIsReadOnceAndHandedOverWhole) {
  RegisterPictureFormat("TST", "Test pictures", rec.reader(1));
  // Empty, small and large files, and one beyond the readers' budget, of which the reader
  // gets as much as the budget allows: no file makes the loader take more.
  const struct {
    size_t size;
    uint64_t budget;
  } cases[] = {
      {0, DecodedImageBudget()},
      {1, DecodedImageBudget()},
      {200000, DecodedImageBudget()},
      {PixelBlock::kMappedFrom + 4097, DecodedImageBudget()},
      {300001, 300000},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> content(c.size);
    for (size_t i = 0; i < content.size(); ++i) content[i] = uint8_t(i * 13 + i / 4096);
    const std::string path = dir.write("big.tst", content);
    const int calls = rec.calls;
    {
      const testing::AllocationCeiling budget(c.budget);
      LoadPicture(path);
    }
    EXPECT_EQ(rec.calls, calls + 1) << c.size;
    content.resize(std::min<size_t>(content.size(), c.budget));
    EXPECT_EQ(rec.bytes, content) << c.size;
  }
}

TEST_F(LoaderTest, RegistrationOrderIsKeptAndReplacingKeepsThePlace) {
  Recorder second;
  RegisterPictureFormat("TST", "first", rec.reader(1));
  RegisterPictureFormat("TST2", "second", rec.reader(2));
  RegisterPictureFormat("TST3", "third", rec.reader(3));
  RegisterPictureFormat("tst2", "second again", second.reader(4));
  std::vector<std::string> ext = Extensions();
  auto pos = [&](const std::string& e) {
    return std::find(ext.begin(), ext.end(), e) - ext.begin();
  };
  EXPECT_LT(pos("TST"), pos("tst2"));
  EXPECT_LT(pos("tst2"), pos("TST3"));
  EXPECT_EQ(std::count(ext.begin(), ext.end(), "TST2"), 0);
  EXPECT_EQ(DecodePicture("TST2", {}).scanLine(0)[0], 4);
  EXPECT_EQ(second.calls, 1);

  UnregisterPictureFormat("Tst2");
  ext = Extensions();
  EXPECT_EQ(std::count(ext.begin(), ext.end(), "tst2"), 0);
  EXPECT_EQ(MessageOf([] { DecodePicture("TST2", {}); }), "Unknown picture file extension (.TST2)");
}

TEST_F(LoaderTest, UnknownExtensionsAreNamedAsGiven) {
  struct Case {
    std::string name, message;
  };
  const Case cases[] = {
      {"photo.XyZ", "Unknown picture file extension (.XyZ)"},
      {"noextension", "Unknown picture file extension (.)"},
      {"trailingdot.", "Unknown picture file extension (.)"},
      {"archive.tar.Gz", "Unknown picture file extension (.Gz)"},
  };
  for (const Case& c : cases) {
    // The extension is checked before the file: even a missing file reports it.
    EXPECT_EQ(MessageOf([&] { LoadPicture(dir / c.name); }), c.message) << c.name;
    const std::string path = dir.write(c.name, {1});
    EXPECT_EQ(MessageOf([&] { LoadPicture(path); }), c.message) << c.name;
  }
  // A dot in a folder name is not an extension.
  std::filesystem::create_directory(dir / "folder.tst");
  EXPECT_EQ(MessageOf([&] { LoadPicture(dir / "folder.tst" + "/plain"); }),
            "Unknown picture file extension (.)");
}

TEST_F(LoaderTest, MissingFilesRaiseFileNotFound) {
  RegisterPictureFormat("TST", "Test pictures", rec.reader(1));
  EXPECT_THROW(LoadPicture(dir / "absent.tst"), EInOutError);
  EXPECT_EQ(MessageOf([&] { LoadPicture(dir / "absent.tst"); }), "File not found");
  EXPECT_EQ(rec.calls, 0);
}

TEST_F(LoaderTest, ReaderErrorsPassThrough) {
  RegisterPictureFormat("TST", "Test pictures",
                        [](std::span<const uint8_t>) -> Bitmap { throw Exception("bad data"); });
  EXPECT_EQ(MessageOf([&] { LoadPicture(dir.write("a.tst", {0})); }), "bad data");
}

TEST(ReadWholeFile, ReadsEveryByte) {
  TempDir dir;
  for (size_t size : {size_t(0), size_t(1), size_t(65536), size_t(65537), size_t(300001)}) {
    std::vector<uint8_t> content(size);
    for (size_t i = 0; i < size; ++i) content[i] = uint8_t(i ^ (i >> 8));
    EXPECT_EQ(ReadWholeFile(dir.write("f.bin", content)), content) << size;
  }
}

// Only regular files are read: a pipe, even one with data waiting, is refused at once.
TEST(ReadWholeFile, RefusesAPipe) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const std::string text = "through a pipe";
  ASSERT_EQ(write(fds[1], text.data(), text.size()), ssize_t(text.size()));
  const std::string path = "/proc/self/fd/" + std::to_string(fds[0]);
  EXPECT_EQ(MessageOf([&] { ReadWholeFile(path); }),
            "Cannot open file \"" + path + "\". It is a named pipe, not a file");
  close(fds[0]);
  close(fds[1]);
}

TEST(ReadWholeFile, ErrorsAreInputOutputErrors) {
  TempDir dir;
  const std::string file = dir.write("plain", {1});
  struct Case {
    std::string path, message;
  };
  const Case cases[] = {
      {dir / "absent", "File not found"},
      {dir.path().string(),
       "Cannot open file \"" + dir.path().string() + "\". It is a folder, not a file"},
      {file + "/below", "Invalid filename"},
      {dir / "no/such/folder", "Invalid filename"},  // the runtime's "path not found"
  };
  for (const Case& c : cases) {
    try {
      ReadWholeFile(c.path);
      ADD_FAILURE() << c.path << " was read";
    } catch (const EInOutError& e) {
      EXPECT_EQ(std::string(e.what()), c.message) << c.path;
    }
  }
  if (geteuid() != 0) {  // root reads everything
    chmod(file.c_str(), 0);
    EXPECT_EQ(MessageOf([&] { ReadWholeFile(file); }), "File access denied");
  }
}

}  // namespace
}  // namespace vandrel
