// The pattern editor's checks on histogram files and on pattern sets: what passes, what
// fails, and the damaged and hostile files that must fail without harm.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/analysis/model/PatternChecks.h"
#include "app/analysis/model/PatternFiles.h"
#include "app/histograms/model/HistogramFiles.h"
#include "tests/support/TempDir.h"

namespace vandrel {
namespace {

using testing::TempDir;

// The text of a ".his" of `lines` records "g value", values from `value(g)`, and `edit`
// applied to each line's text (index given).
std::string HisText(int lines, const std::function<std::string(int)>& line = {}) {
  std::string out;
  for (int g = 0; g < lines; ++g)
    out += (line ? line(g) : std::to_string(g) + " 3.90625000000000E-0003") + "\r\n";
  return out;
}

TEST(ValidarHistograma, Table) {
  const struct {
    const char* name;
    std::string text;
    bool valid;
  } cases[] = {
      {"256 lines", HisText(256), true},
      {"300 lines", HisText(300), true},
      {"255 lines", HisText(255), false},
      {"empty file", "", false},
      {"256 lines without the last line break", HisText(256).substr(0, HisText(256).size() - 2),
       true},
      {"a value of 0", HisText(256, [](int g) { return std::to_string(g) + " 0"; }), true},
      {"a negative value",
       HisText(256, [](int g) { return std::to_string(g) + (g == 77 ? " -1E-0010" : " 0.5"); }),
       false},
      {"an index that differs from its line",
       HisText(256, [](int g) { return std::to_string(g == 3 ? 4 : g) + " 0.5"; }), false},
      {"text in place of a value",
       HisText(256, [](int g) { return std::to_string(g) + (g == 9 ? " abc" : " 0.5"); }), false},
      {"a decimal number as the index",
       HisText(256, [](int g) { return (g == 0 ? std::string("0.0") : std::to_string(g)) + " 1"; }),
       false},
      {"blank lines between records",
       HisText(256, [](int g) { return std::to_string(g) + " 0.5" + (g == 10 ? "\r\n\r\n" : ""); }),
       true},
      {"text after the value", HisText(256, [](int g) { return std::to_string(g) + " 0.5 x y"; }),
       true},
      {"a blank line in place of the last record", HisText(255) + "\r\n", false},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const std::string path = dir.write("h.his", c.text);
    EXPECT_EQ(ValidarHistograma(path), c.valid) << c.name;
  }
}

TEST(ValidarHistograma, WhatTheProgramWritesPasses) {
  TempDir dir;
  GreyHistogram h{};
  for (int g = 0; g < 256; ++g) h[g] = g / 32640.0;
  WriteHis(dir / "f.his", h);
  EXPECT_TRUE(ValidarHistograma(dir / "f.his"));
}

TEST(ValidarHistograma, MissingFileOrFolderFails) {
  TempDir dir;
  EXPECT_FALSE(ValidarHistograma(dir / "absent.his"));
  EXPECT_FALSE(ValidarHistograma(dir.path().string()));
  EXPECT_FALSE(ValidarHistograma(""));
}

// ---- pattern sets ----

// A pattern set beside a temporary folder, its three texts given one by one.
class ValidarPadraoTest : public ::testing::Test {
 protected:
  // N columns, value of column j at level g = (j + 1) / 1024.
  static std::string PatText(int columns) {
    std::string out;
    for (int g = 0; g < 256; ++g) {
      for (int j = 0; j < columns; ++j) out += " " + std::to_string(j + 1) + ".0E-0003 ";
      out += "\r\n";
    }
    return out;
  }
  static std::string PacText(int count) {
    std::string out = std::to_string(count) + "\r\n";
    for (int j = 0; j < count; ++j) out += "/fases/f" + std::to_string(j) + ".his\r\n";
    return out;
  }
  static std::string ErrText(int lines, const std::function<std::string(int)>& line = {}) {
    std::string out;
    for (int g = 0; g < lines; ++g) out += (line ? line(g) : std::to_string(g) + " 1") + "\r\n";
    return out;
  }
  bool Check(const std::string& pat, const std::string& pac, const std::string& err) {
    dir.write("p.pat", pat);
    dir.write("p.pac", pac);
    dir.write("p.err", err);
    return ValidarPadrao(dir / "p.pat");
  }
  TempDir dir;
};

TEST_F(ValidarPadraoTest, ValuesFile) {
  std::string oneLine;  // every value of a two-column pattern on one line
  for (int i = 0; i < 512; ++i) oneLine += "0.25 ";
  const std::string three = PatText(3);
  const struct {
    const char* name;
    std::string pat;
    bool valid;
  } cases[] = {
      {"three columns", three, true},
      // The writers put a blank after every value: without the line break the blank is still
      // the final white space; without both the last read is missing.
      {"without the final line break", three.substr(0, three.size() - 2), true},
      {"without the final blank and line break", three.substr(0, three.size() - 3), false},
      {"final line break only as LF", three.substr(0, three.size() - 2) + "\n", true},
      {"one value short", three.substr(0, three.rfind(" 3.0E-0003 ")) + " \r\n", false},
      {"one value too many", three + "0.1 \r\n", false},
      {"a value of exactly 1", " 1 " + three.substr(three.find(' ', 1)), true},
      {"a value of 0", " 0 " + three.substr(three.find(' ', 1)), true},
      {"a value of 1.0000001", " 1.0000001 " + three.substr(three.find(' ', 1)), false},
      {"a value of -0.001", " -0.001 " + three.substr(three.find(' ', 1)), false},
      {"text among the values", " x " + three.substr(three.find(' ', 1)), false},
  };
  for (const auto& c : cases) EXPECT_EQ(Check(c.pat, PacText(3), ErrText(256)), c.valid) << c.name;
  EXPECT_TRUE(Check(oneLine + "\r\n", PacText(2), ErrText(256))) << "line breaks do not matter";
}

TEST_F(ValidarPadraoTest, NamesFile) {
  const struct {
    const char* name;
    std::string pac;
    bool valid;
  } cases[] = {
      {"count 3 with 3 names", PacText(3), true},
      {"an empty line after the third name", PacText(3) + "\r\n", false},
      {"the last name without a line break", PacText(3).substr(0, PacText(3).size() - 2), true},
      {"two names", "3\r\na\r\nb\r\n", false},
      {"four names", PacText(3) + "d\r\n", false},
      {"text after the count", "3 fases\r\na\r\nb\r\nc\r\n", true},
      {"no count", "a\r\nb\r\nc\r\n", false},
      {"count 2 for three columns", PacText(2) + "c\r\n", false},
  };
  for (const auto& c : cases) EXPECT_EQ(Check(PatText(3), c.pac, ErrText(256)), c.valid) << c.name;
}

TEST_F(ValidarPadraoTest, WeightsFile) {
  const struct {
    const char* name;
    std::string err;
    bool valid;
  } cases[] = {
      {"256 lines", ErrText(256), true},
      {"257 lines", ErrText(257), true},
      {"255 lines", ErrText(255), false},
      {"a weight of 0",
       ErrText(256, [](int g) { return std::to_string(g) + (g == 200 ? " 0" : " 1"); }), false},
      {"a negative weight",
       ErrText(256, [](int g) { return std::to_string(g) + (g == 200 ? " -2.5" : " 1"); }), true},
      {"real weights", ErrText(256, [](int g) { return std::to_string(g) + " 1.5E-0002"; }), true},
      {"levels out of order",
       ErrText(256, [](int g) { return std::to_string(g == 5   ? 6
                                                      : g == 6 ? 5
                                                               : g) +
                                       " 1"; }),
       false},
      {"text as a weight",
       ErrText(256, [](int g) { return std::to_string(g) + (g ? " 1" : " um"); }), false},
  };
  for (const auto& c : cases) EXPECT_EQ(Check(PatText(2), PacText(2), c.err), c.valid) << c.name;
}

TEST_F(ValidarPadraoTest, EveryFileOfTheSetMustExist) {
  for (const char* missing : {"p.pat", "p.pac", "p.err"}) {
    dir.write("p.pat", PatText(1));
    dir.write("p.pac", PacText(1));
    dir.write("p.err", ErrText(256));
    ASSERT_TRUE(ValidarPadrao(dir / "p.pat"));
    std::filesystem::remove(dir / missing);
    EXPECT_FALSE(ValidarPadrao(dir / "p.pat")) << missing;
  }
}

TEST_F(ValidarPadraoTest, CompanionsReplaceTheLastExtension) {
  dir.write("p.pat.pat", PatText(1));
  dir.write("p.pat.pac", PacText(1));
  dir.write("p.pat.err", ErrText(256));
  EXPECT_TRUE(ValidarPadrao(dir / "p.pat.pat"));
  dir.write("Q.PAT", PatText(1));
  dir.write("Q.pac", PacText(1));
  dir.write("Q.err", ErrText(256));
  EXPECT_TRUE(ValidarPadrao(dir / "Q.PAT"));
}

TEST_F(ValidarPadraoTest, WhatThePatternWritersWritePasses) {
  GreyHistogram a{}, b{};
  a[10] = 1;
  for (int g = 0; g < 256; ++g) b[g] = 1.0 / 256;
  WritePattern((dir / "w"), {&a, &b}, {"ferrita", "perlita"});
  EXPECT_TRUE(ValidarPadrao(dir / "w.pat"));
  WriteHis(dir / "a.his", a);
  WriteHis(dir / "b.his", b);
  WritePatternFromHistograms({dir / "a.his", dir / "b.his", dir / "a.his"}, dir / "e.pat");
  EXPECT_TRUE(ValidarPadrao(dir / "e.pat"));
}

// Counts that no file of that size could hold: one that would wrap round a 32-bit product
// to 1 (and so match an empty values file), the largest integer, and negative ones.
TEST_F(ValidarPadraoTest, HostileCountsFail) {
  for (const char* count : {"16777216", "2147483647", "-1", "-2147483648", "99999999999"}) {
    const std::string pac = std::string(count) + "\r\n";
    EXPECT_FALSE(Check("\r\n", pac, ErrText(256))) << count;
    EXPECT_FALSE(Check(PatText(1), pac + "a\r\n", ErrText(256))) << count;
  }
}

TEST_F(ValidarPadraoTest, AnEmptyPatternIsConsistent) {
  // No columns: the values file holds white space only and the names file just its count.
  EXPECT_TRUE(Check(std::string(256, '\n'), "0\r\n", ErrText(256)));
  EXPECT_FALSE(Check("", "0\r\n", ErrText(256))) << "not even the final white space";
}

}  // namespace
}  // namespace vandrel
