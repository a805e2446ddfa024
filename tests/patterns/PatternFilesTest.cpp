// The pattern file set: companion names, the pattern built from histogram files (byte-exact,
// the same bytes as the histogram control's writer), the names read back, and the whole set
// read with its counts checked against what the files hold.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/analysis/model/PatternFiles.h"
#include "app/histograms/model/HistogramFiles.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"
#include "platform/Format.h"
#include "tests/support/TempDir.h"

namespace vandrel {
namespace {

using testing::TempDir;

TEST(PatternCompanion, ReplacesTheExtensionOfTheFileName) {
  const struct {
    const char *pat, *pac;
  } cases[] = {
      {"/a/x.pat", "/a/x.pac"}, {"/a/x.pat.pat", "/a/x.pat.pac"},
      {"/a/x.PAT", "/a/x.pac"}, {"/a.b/x", "/a.b/x.pac"},
      {"x", "x.pac"},           {"/a/.pat", "/a/.pac"},
  };
  for (const auto& c : cases) EXPECT_EQ(PatternCompanion(c.pat, ".pac"), c.pac) << c.pat;
  EXPECT_EQ(PatternCompanion("/a/x.pat", ".err"), "/a/x.err");
}

TEST(FileNameOf, TextAfterTheLastSlash) {
  EXPECT_EQ(FileNameOf("/a/b/ferrita.his"), "ferrita.his");
  EXPECT_EQ(FileNameOf("ferrita.his"), "ferrita.his");
  EXPECT_EQ(FileNameOf("/a/b/"), "");
}

class PatternWriteTest : public ::testing::Test {
 protected:
  PatternWriteTest() {
    for (int g = 0; g < 256; ++g) {
      ramp[g] = g / 65536.0;  // at most 15 significant digits: written exactly
      flat[g] = 1.0 / 256;
    }
    peak[0] = 0.5;
    peak[255] = 0.5;
    WriteHis(dir / "ramp.his", ramp);
    WriteHis(dir / "flat.his", flat);
    WriteHis(dir / "peak.his", peak);
  }
  std::vector<std::string> Paths() const {
    return {dir / "ramp.his", dir / "flat.his", dir / "peak.his", dir / "ramp.his"};
  }
  TempDir dir;
  GreyHistogram ramp{}, flat{}, peak{};
};

TEST_F(PatternWriteTest, ByteExactLayout) {
  WritePatternFromHistograms(Paths(), dir / "p.pat");
  std::string pac = "4\r\n";
  for (const std::string& p : Paths()) pac += p + "\r\n";
  EXPECT_EQ(TempDir::read(dir / "p.pac"), pac);

  std::string pat, err;
  for (int g = 0; g < 256; ++g) {
    for (const GreyHistogram* c : {&ramp, &flat, &peak, &ramp}) pat += RealText((*c)[g]) + " ";
    pat += "\r\n";
    err += std::to_string(g) + " 1\r\n";
  }
  EXPECT_EQ(TempDir::read(dir / "p.pat"), pat);
  EXPECT_EQ(TempDir::read(dir / "p.err"), err);
  // Line 0 spelled out: every value in the 23-character form, each followed by a blank.
  EXPECT_EQ(pat.substr(0, pat.find("\r\n")),
            " 0.00000000000000E+0000  3.90625000000000E-0003  5.00000000000000E-0001 "
            " 0.00000000000000E+0000 ");
}

TEST_F(PatternWriteTest, SameBytesAsTheHistogramControlsWriter) {
  WritePatternFromHistograms(Paths(), dir / "editor.pat");
  WritePattern(dir / "control", {&ramp, &flat, &peak, &ramp}, Paths());
  for (const char* ext : {".pat", ".pac", ".err"})
    EXPECT_EQ(TempDir::read(dir / ("editor" + std::string(ext))),
              TempDir::read(dir / ("control" + std::string(ext))))
        << ext;
}

TEST_F(PatternWriteTest, RoundTripThroughTheReader) {
  WritePatternFromHistograms(Paths(), dir / "p.pat");
  const PatternSet set = ReadPatternSet(dir / "p.pat");
  EXPECT_EQ(set.names, Paths());
  ASSERT_EQ(set.columns.size(), 4u);
  EXPECT_EQ(set.columns[0], ramp);
  EXPECT_EQ(set.columns[1], flat);
  EXPECT_EQ(set.columns[2], peak);
  EXPECT_EQ(set.columns[3], ramp);
  for (double w : set.weights) EXPECT_EQ(w, 1.0);
  // Written again from what was read, the files are the same bytes.
  std::vector<const GreyHistogram*> columns;
  for (const GreyHistogram& c : set.columns) columns.push_back(&c);
  WritePattern(dir / "again", columns, set.names);
  for (const char* ext : {".pat", ".pac", ".err"})
    EXPECT_EQ(TempDir::read(dir / ("again" + std::string(ext))),
              TempDir::read(dir / ("p" + std::string(ext))))
        << ext;
}

TEST_F(PatternWriteTest, ThePatFileIsTheNameGiven) {
  // A pattern opened under an upper-case extension is written back to that very file.
  WritePatternFromHistograms({dir / "flat.his"}, dir / "X.PAT");
  EXPECT_TRUE(std::filesystem::exists(dir / "X.PAT"));
  EXPECT_TRUE(std::filesystem::exists(dir / "X.pac"));
  EXPECT_TRUE(std::filesystem::exists(dir / "X.err"));
  EXPECT_FALSE(std::filesystem::exists(dir / "X.pat"));
  // A name typed with ".pat" gets it twice; the companions replace only the last one.
  WritePatternFromHistograms({dir / "flat.his"}, dir / "Y.pat.pat");
  for (const char* f : {"Y.pat.pat", "Y.pat.pac", "Y.pat.err"})
    EXPECT_TRUE(std::filesystem::exists(dir / f)) << f;
}

TEST_F(PatternWriteTest, AFailureChangesNoFile) {
  WritePatternFromHistograms({dir / "flat.his"}, dir / "p.pat");
  const std::string before[] = {TempDir::read(dir / "p.pat"), TempDir::read(dir / "p.pac"),
                                TempDir::read(dir / "p.err")};
  // A histogram file that cannot be read: the runtime's error, raised before any output.
  EXPECT_THROW(WritePatternFromHistograms({dir / "ramp.his", dir / "absent.his"}, dir / "p.pat"),
               EInOutError);
  // A histogram file with text in it.
  dir.write("bad.his", "0 x\r\n");
  EXPECT_THROW(WritePatternFromHistograms({dir / "bad.his"}, dir / "p.pat"), EInOutError);
  EXPECT_EQ(TempDir::read(dir / "p.pat"), before[0]);
  EXPECT_EQ(TempDir::read(dir / "p.pac"), before[1]);
  EXPECT_EQ(TempDir::read(dir / "p.err"), before[2]);
  // A folder that does not exist.
  EXPECT_THROW(WritePatternFromHistograms({dir / "flat.his"}, dir / "none/p.pat"), EInOutError);
  EXPECT_FALSE(std::filesystem::exists(dir / "none"));
}

TEST_F(PatternWriteTest, NoColumns) {
  WritePatternFromHistograms({}, dir / "vazio.pat");
  EXPECT_EQ(TempDir::read(dir / "vazio.pac"), "0\r\n");
  std::string lines;
  for (int g = 0; g < 256; ++g) lines += "\r\n";
  EXPECT_EQ(TempDir::read(dir / "vazio.pat"), lines);
}

TEST(ReadPatternLines, EveryLineAfterTheCount) {
  TempDir dir;
  const struct {
    const char* name;
    std::string pac;
    std::vector<std::string> lines;
  } cases[] = {
      {"three names", "3\r\n/a/x.his\r\n/a/y.his\r\nz\r\n", {"/a/x.his", "/a/y.his", "z"}},
      {"last name without a line break", "2\r\na\r\nb", {"a", "b"}},
      {"an empty line counts", "1\r\na\r\n\r\n", {"a", ""}},
      {"blanks kept", "1\r\n  a b  \r\n", {"  a b  "}},
      {"the count is not looked at", "7\r\na\r\n", {"a"}},
      {"count only", "0\r\n", {}},
      {"empty file", "", {}},
      {"LF line ends", "2\na\nb\n", {"a", "b"}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReadPatternLines(dir.write("p.pac", c.pac)), c.lines) << c.name;
  EXPECT_THROW(ReadPatternLines(dir / "absent.pac"), EInOutError);
}

// The whole set, read as the fits read it, from damaged and hostile files.
class ReadPatternSetTest : public ::testing::Test {
 protected:
  std::string Set(const std::string& pat, const std::string& pac, const std::string& err) {
    dir.write("s.pat", pat);
    dir.write("s.pac", pac);
    dir.write("s.err", err);
    return dir / "s.pat";
  }
  static std::string Err() {
    std::string out;
    for (int g = 0; g < 256; ++g) out += std::to_string(g) + " 1\r\n";
    return out;
  }
  TempDir dir;
};

TEST_F(ReadPatternSetTest, ShortFilesReadAsZerosAndEmptyNames) {
  const PatternSet set =
      ReadPatternSet(Set("0.25 0.5 \r\n0.125 ", "3\r\nferrita\r\n", "0 2\r\n1 0.5\r\n"));
  ASSERT_EQ(set.columns.size(), 3u);
  EXPECT_EQ(set.names, (std::vector<std::string>{"ferrita", "", ""}));
  // The values run as a stream: the third value of line 0 is taken from line 1.
  EXPECT_EQ(set.columns[0][0], 0.25);
  EXPECT_EQ(set.columns[1][0], 0.5);
  EXPECT_EQ(set.columns[2][0], 0.125);
  EXPECT_EQ(set.columns[0][1], 0.0);
  EXPECT_EQ(set.weights[0], 2.0);
  EXPECT_EQ(set.weights[1], 0.5);
  EXPECT_EQ(set.weights[2], 0.0);
}

// The fits need only the count from the ".pac": one that holds its count line alone, or
// fewer names than its count, is read with empty names for the missing ones.
TEST_F(ReadPatternSetTest, TheCountLineAloneIsEnough) {
  struct Case {
    const char* pac;
    std::vector<std::string> names;
  } cases[] = {
      {"2\r\n", {"", ""}},
      {"2", {"", ""}},
      {"3\r\nferrita\r\n", {"ferrita", "", ""}},
      {"16\r\n", std::vector<std::string>(16)},
  };
  for (const Case& c : cases) {
    std::string pat;
    for (int g = 0; g < 256; ++g) {
      for (size_t j = 0; j < c.names.size(); ++j) pat += j == 0 && g == 9 ? "1 " : "0 ";
      pat += "\r\n";
    }
    const PatternSet set = ReadPatternSet(Set(pat, c.pac, Err()));
    EXPECT_EQ(set.names, c.names) << c.pac;
    ASSERT_EQ(set.columns.size(), c.names.size()) << c.pac;
    EXPECT_EQ(set.columns[0][9], 1.0) << c.pac;
  }
}

TEST_F(ReadPatternSetTest, CountsBeyondWhatTheFilesHoldAreRefused) {
  std::string names;
  for (int k = 0; k < 300; ++k) names += "f\r\n";
  const struct {
    const char* name;
    std::string pac;
  } cases[] = {
      {"negative", "-1\r\n"},
      {"most negative", "-2147483648\r\n"},
      {"largest integer", "2147483647\r\n" + names},
      {"more columns than the values file holds", "300\r\n" + names},
  };
  for (const auto& c : cases) {
    try {
      ReadPatternSet(Set("0.5 \r\n", c.pac, Err()));
      ADD_FAILURE() << c.name << ": no error";
    } catch (const EInOutError& e) {
      ADD_FAILURE() << c.name << ": " << e.what();
    } catch (const Exception& e) {
      EXPECT_NE(std::string(e.what()).find(dir / "s.pac"), std::string::npos) << c.name;
    }
  }
}

TEST_F(ReadPatternSetTest, ErrorsOfTheRuntime) {
  EXPECT_THROW(ReadPatternSet(Set("0.5 x \r\n", "2\r\na\r\nb\r\n", Err())), EInOutError);
  EXPECT_THROW(ReadPatternSet(Set("0.5 \r\n", "dois\r\n", Err())), EInOutError);
  EXPECT_THROW(ReadPatternSet(Set("0.5 \r\n", "1\r\na\r\n", "0 um\r\n")), EInOutError);
  Set("0.5 \r\n", "1\r\na\r\n", Err());
  std::filesystem::remove(dir / "s.err");
  EXPECT_THROW(ReadPatternSet(dir / "s.pat"), EInOutError);
}

}  // namespace
}  // namespace vandrel
