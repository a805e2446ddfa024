// The image-list file: what is written, what is read back, and damaged or hostile files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/analysis/model/ImageListFile.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempDir.h"

namespace vandrel::testing {
namespace {

using Paths = std::vector<std::string>;

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return {};
}

TEST(ImageListFileTest, WritesTheCountAndOnePathPerLine) {
  TempDir dir;
  const std::string file = dir / "a.lst";
  WriteImageList(file, {"/img/a.bmp", "/img/b c.tif"});
  EXPECT_EQ(TempDir::read(file), "2\r\n/img/a.bmp\r\n/img/b c.tif\r\n");
  WriteImageList(file, {});
  EXPECT_EQ(TempDir::read(file), "0\r\n");
}

TEST(ImageListFileTest, ListsRoundTripByteForByte) {
  const std::vector<Paths> lists = {
      {},
      {"/a.bmp"},
      {"/img/x.bmp", "/img/x.bmp", "/img/x.bmp"},  // the same image more than once
      {" /leading blank.bmp", "/trailing blank.bmp ", "\t/tab.grey"},
      {"/latin/\xC3\xA1gua.tif", "/not-utf8/\xFF\xFE.gif", "*marked.bmp"},
      {"", "/after an empty entry.bmp"},
      {std::string(5000, 'p') + ".bmp"},  // longer than any read buffer
  };
  TempDir dir;
  for (const Paths& paths : lists) {
    const std::string file = dir / "r.lst";
    WriteImageList(file, paths);
    const std::string bytes = TempDir::read(file);
    EXPECT_EQ(ReadImageList(file), paths);
    const std::string again = dir / "again.lst";
    WriteImageList(again, ReadImageList(file));
    EXPECT_EQ(TempDir::read(again), bytes);
  }
}

TEST(ImageListFileTest, ReadsWhatOtherWritersPutThere) {
  struct Case {
    const char* name;
    std::string bytes;
    Paths paths;
  } cases[] = {
      {"blanks and line ends before the count", "  \r\n\t 2\r\na\r\nb\r\n", {"a", "b"}},
      {"the rest of the count line is dropped", "2 images here\r\na\r\nb\r\n", {"a", "b"}},
      {"bare line feeds", "2\na\nb\n", {"a", "b"}},
      {"bare carriage returns", "2\ra\rb\r", {"a", "b"}},
      {"no line end after the last entry", "2\r\na\r\nb", {"a", "b"}},
      {"lines after the last entry", "1\r\na\r\nb\r\nc\r\n", {"a"}},
      {"an empty line is an entry", "3\r\na\r\n\r\nc\r\n", {"a", "", "c"}},
      {"blanks in a path are kept", "1\r\n  a b  \r\n", {"  a b  "}},
      {"a count of 0", "0\r\na\r\n", {}},
      {"a negative count", "-3\r\na\r\n", {}},
      {"an empty file", "", {}},
      {"a Ctrl-Z ends the file", "3\r\na\r\nb\x1A\r\nc\r\n", {"a", "b"}},
      {"fewer lines than the count", "4\r\na\r\nb\r\n", {"a", "b"}},
  };
  TempDir dir;
  for (const Case& c : cases)
    EXPECT_EQ(ReadImageList(dir.write("c.lst", c.bytes)), c.paths) << c.name;
}

TEST(ImageListFileTest, AHugeCountReadsNoMoreThanTheFileHolds) {
  TempDir dir;
  for (const char* count : {"2147483647", "1000000000"}) {
    const std::string file = dir.write("h.lst", std::string(count) + "\r\n/a.bmp\r\n/b.bmp\r\n");
    size_t calls = 0;
    ReadImageList(file, [&](std::string) { ++calls; });
    EXPECT_EQ(calls, 2u) << count;
  }
}

TEST(ImageListFileTest, DamagedCountsAndMissingFilesRaiseTheRuntimeErrors) {
  TempDir dir;
  struct Case {
    std::string bytes;
    const char* error;
  } cases[] = {
      {"dois\r\na\r\n", "Invalid numeric input"},
      {"2a\r\na\r\n", "Invalid numeric input"},
      {"1.5\r\na\r\n", "Invalid numeric input"},
      {"99999999999\r\na\r\n", "Invalid numeric input"},
  };
  for (const Case& c : cases) {
    const std::string file = dir.write("d.lst", c.bytes);
    EXPECT_EQ(ErrorOf([&] { ReadImageList(file); }), c.error) << c.bytes;
  }
  EXPECT_EQ(ErrorOf([&] { ReadImageList(dir / "absent.lst"); }), "File not found");
}

TEST(ImageListFileTest, EntriesReadBeforeAnErrorReachTheCaller) {
  // Each entry reaches the caller as soon as it is read, so an error that stops the reading
  // leaves the earlier entries in the window.
  TempDir dir;
  const std::string file = dir.write("p.lst", "3\r\na\r\nb\r\nc\r\n");
  Paths seen;
  EXPECT_EQ(ErrorOf([&] {
              ReadImageList(file, [&](std::string p) {
                seen.push_back(p);
                if (seen.size() == 2) throw Exception("stop");
              });
            }),
            "stop");
  EXPECT_EQ(seen, (Paths{"a", "b"}));
}

TEST(ImageListFileTest, PathsTheFormatCannotHoldAreRefusedBeforeWriting) {
  TempDir dir;
  const std::string file = dir.write("keep.lst", "1\r\n/old.bmp\r\n");
  for (const std::string& bad :
       {std::string("/a\nb.bmp"), std::string("/a\rb.bmp"), std::string("/a\x1A.bmp")}) {
    const std::string error = ErrorOf([&] { WriteImageList(file, {"/fine.bmp", bad}); });
    EXPECT_NE(error.find("não pode ser gravado em uma lista de imagens"), std::string::npos);
    EXPECT_EQ(TempDir::read(file), "1\r\n/old.bmp\r\n");
  }
}

TEST(ImageListFileTest, AFullDiskLeavesTheEarlierListAsItWas) {
  TempDir dir;
  const std::string file = dir.write("full.lst", "1\r\n/old.bmp\r\n");
  const Paths many(200, "/a/rather/long/path/to/an/image/of/the/batch.bmp");
  std::string error;
  {
    FileSizeLimit limit(64);
    error = ErrorOf([&] { WriteImageList(file, many); });
  }
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(TempDir::read(file), "1\r\n/old.bmp\r\n");
  EXPECT_EQ(ErrorOf([&] { WriteImageList(dir / "no/such/folder.lst", many); }), "Invalid filename");
}

TEST(ImageListFileTest, TheSavedNameGetsTheFiltersExtensionUnlessItHasItExactly) {
  struct Case {
    const char* chosen;
    int filter;
    const char* target;
  } cases[] = {
      {"/l/lote", 1, "/l/lote.lst"},
      {"/l/lote.lst", 1, "/l/lote.lst"},
      {"/l/lote.LST", 1, "/l/lote.LST.lst"},
      {"/l/lote.txt", 1, "/l/lote.txt.lst"},
      {"/l/lote.lst.bak", 1, "/l/lote.lst.bak.lst"},
      {"/l.d/lote", 1, "/l.d/lote.lst"},
      {"/l/lote", 2, "/l/lote.txt"},
      {"/l/lote.txt", 2, "/l/lote.txt"},
      {"/l/lote.lst", 2, "/l/lote.lst.txt"},
      {"/l/lote.Txt", 2, "/l/lote.Txt.txt"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ImageListTarget(c.chosen, c.filter), c.target) << c.chosen << " " << c.filter;
}

TEST(ImageListFileTest, FileNameIsTheTextAfterTheLastSlash) {
  EXPECT_EQ(FileNameOf("/a/b/c.bmp"), "c.bmp");
  EXPECT_EQ(FileNameOf("c.bmp"), "c.bmp");
  EXPECT_EQ(FileNameOf("/a/b/"), "");
  EXPECT_EQ(FileNameOf(""), "");
}

}  // namespace
}  // namespace vandrel::testing
