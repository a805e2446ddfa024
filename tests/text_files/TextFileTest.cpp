// Reading and writing text files with the runtime's rules.
#include "platform/TextFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <limits>
#include <random>

#include "platform/Format.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempDir.h"

namespace vandrel {
namespace {

using testing::FileSizeLimit;
using testing::TempDir;

std::string ErrorText(const std::function<void()>& action) {
  try {
    action();
  } catch (const EInOutError& e) {
    return e.what();
  }
  return "(no error)";
}

class TextReaderTest : public ::testing::Test {
 protected:
  std::string file(const std::string& bytes) { return folder_.write("f.txt", bytes); }
  TempDir folder_;
};

TEST_F(TextReaderTest, NumbersAreTokensBetweenAnyCharactersUpToTheBlank) {
  TextReader r(
      file(" \t7\r\n\r\n-3\t+12 \x01 4\x1f"
           "5 2.5 .5 5. -1e3 1E-3 +2.5E+2 3.90625000000000E-0003\n"));
  EXPECT_EQ(r.ReadInteger(), 7);
  EXPECT_EQ(r.ReadInteger(), -3);
  EXPECT_EQ(r.ReadInteger(), 12);
  EXPECT_EQ(r.ReadInteger(), 4);  // a control character separates
  EXPECT_EQ(r.ReadInteger(), 5);
  const double reals[] = {2.5, 0.5, 5.0, -1000.0, 0.001, 250.0, 1.0 / 256};
  for (double expected : reals) EXPECT_DOUBLE_EQ(r.ReadReal(), expected);
  EXPECT_FALSE(r.Eof());  // the final line end is still there
  EXPECT_EQ(r.ReadReal(), 0.0);
  EXPECT_TRUE(r.Eof());
}

TEST_F(TextReaderTest, AReadAtTheEndYieldsZero) {
  for (const char* content : {"", "   \r\n\t ", "9"}) {
    SCOPED_TRACE(content);
    TextReader r(file(content));
    if (std::string(content) == "9") {
      EXPECT_EQ(r.ReadInteger(), 9);
    }
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(r.ReadInteger(), 0);
      EXPECT_EQ(r.ReadReal(), 0.0);
      EXPECT_EQ(r.ReadLine(), "");
    }
    EXPECT_TRUE(r.Eof());
  }
}

TEST_F(TextReaderTest, TokensThatAreNotNumbersOfTheKindAreInvalidInput) {
  const char* badIntegers[] = {"5.0", "abc", "1e3", "-",          "+",           "0x10",
                               "$10", "5a",  "--1", "2147483648", "-2147483649", "1\xa0"};
  for (const char* token : badIntegers) {
    SCOPED_TRACE(token);
    TextReader r(file(std::string(token) + " 1"));
    EXPECT_EQ(ErrorText([&] { r.ReadInteger(); }), "Invalid numeric input");
  }
  const char* badReals[] = {"abc",       "1.2.3", "e5",    ".",      "1e",    "1e+",  "1,5", "--1",
                            "nan",       "inf",   "1e400", "-1e400", "0x1p3", "1.5x", "Inf", "+inf",
                            "+Infinity", "NaN",   "-Nan",  "+Nan",   "+INF",  "-Inf1"};
  for (const char* token : badReals) {
    SCOPED_TRACE(token);
    TextReader r(file(token));
    EXPECT_EQ(ErrorText([&] { r.ReadReal(); }), "Invalid numeric input");
  }
}

TEST_F(TextReaderTest, IntegerAndRealLimits) {
  TextReader r(
      file("2147483647 -2147483648 -0 1e-400 -1e-400 1.7976931348623157e308 "
           "0.000000000000000000000000000000000000000000001"));
  EXPECT_EQ(r.ReadInteger(), 2147483647);
  EXPECT_EQ(r.ReadInteger(), -2147483647 - 1);
  EXPECT_EQ(r.ReadInteger(), 0);
  EXPECT_EQ(r.ReadReal(), 0.0);  // too small for a double reads as zero
  EXPECT_EQ(r.ReadReal(), 0.0);
  EXPECT_EQ(r.ReadReal(), 1.7976931348623157e308);
  EXPECT_DOUBLE_EQ(r.ReadReal(), 1e-45);
}

TEST_F(TextReaderTest, AnOverlongTokenIsInvalidInput) {
  TextReader r(file(std::string(100000, '1')));
  EXPECT_EQ(ErrorText([&] { r.ReadReal(); }), "Invalid numeric input");
}

TEST_F(TextReaderTest, CtrlZEndsTheFile) {
  TextReader r(file("1 2\x1a 3\r\nrest"));
  EXPECT_EQ(r.ReadInteger(), 1);
  EXPECT_FALSE(r.Eof());
  EXPECT_EQ(r.ReadInteger(), 2);
  EXPECT_TRUE(r.Eof());
  EXPECT_EQ(r.ReadInteger(), 0);
  EXPECT_EQ(r.ReadLine(), "");
  EXPECT_TRUE(r.Eof());

  TextReader lines(
      file("ab\x1a"
           "cd\r\nef"));
  EXPECT_EQ(lines.ReadLine(), "ab");
  EXPECT_EQ(lines.ReadLine(), "");
  EXPECT_TRUE(lines.Eof());
}

TEST_F(TextReaderTest, LinesEndWithLfCrLfOrALoneCr) {
  TextReader r(file("one\r\ntwo\nthree\rfour\r\n\r\n\tsix  \r\nlast"));
  const char* expected[] = {"one", "two", "three", "four", "", "\tsix  ", "last"};
  for (const char* line : expected) {
    EXPECT_FALSE(r.Eof());
    EXPECT_EQ(r.ReadLine(), line);
  }
  EXPECT_TRUE(r.Eof());
  EXPECT_EQ(r.ReadLine(), "");
}

TEST_F(TextReaderTest, SkipLineDropsTheRestOfTheLine) {
  TextReader r(file("1 junk 2 3\r\n4 x\ny\n5\r6"));
  EXPECT_EQ(r.ReadInteger(), 1);
  r.SkipLine();
  EXPECT_EQ(r.ReadInteger(), 4);
  r.SkipLine();
  EXPECT_EQ(r.ReadLine(), "y");
  EXPECT_EQ(r.ReadInteger(), 5);
  r.SkipLine();  // stops after the lone CR
  EXPECT_EQ(r.ReadLine(), "6");
  r.SkipLine();  // at the end: nothing happens
  EXPECT_TRUE(r.Eof());
}

TEST_F(TextReaderTest, ANumberThenTheRestOfItsLine) {
  // A whole line read right after a number starts behind the number.
  TextReader r(file("3  \r\n/a/b.bmp\r\n"));
  EXPECT_EQ(r.ReadInteger(), 3);
  EXPECT_EQ(r.ReadLine(), "  ");
  EXPECT_EQ(r.ReadLine(), "/a/b.bmp");
}

TEST_F(TextReaderTest, DataLargerThanTheBuffer) {
  // Tokens and lines that straddle the reader's internal buffer boundaries.
  std::string text;
  for (int i = 0; i < 50000; ++i) text += std::to_string(i) + (i % 7 ? " " : "\r\n");
  const std::string longLine(200000, 'x');
  text += "\r\n" + longLine + "\r\nend";
  TextReader r(file(text));
  int64_t sum = 0;
  for (int i = 0; i < 50000; ++i) sum += r.ReadInteger();
  EXPECT_EQ(sum, int64_t(50000) * 49999 / 2);
  r.SkipLine();
  EXPECT_EQ(r.ReadLine(), longLine);
  EXPECT_EQ(r.ReadLine(), "end");
}

TEST_F(TextReaderTest, BytesLeftCountsFromThePosition) {
  TextReader r(file("12 34\r\n"));
  EXPECT_EQ(r.BytesLeft(), 7);
  r.ReadInteger();
  EXPECT_EQ(r.BytesLeft(), 5);
  r.SkipLine();
  EXPECT_EQ(r.BytesLeft(), 0);
}

// A file that another program keeps writing to ends, for the reader, where it ended when
// it was opened: the reader cannot be kept going.
TEST_F(TextReaderTest, AFileGrowingWhileReadEndsWhereItEndedWhenOpened) {
  const std::string path = file("1 2 3");
  TextReader r(path);
  EXPECT_EQ(r.ReadInteger(), 1);
  {
    std::ofstream more(path, std::ios::app);
    more << " 4 5\r\n6\r\n";
  }
  EXPECT_EQ(r.ReadInteger(), 2);
  EXPECT_EQ(r.ReadInteger(), 3);
  EXPECT_TRUE(r.Eof());
  EXPECT_EQ(r.ReadLine(), "");
}

TEST_F(TextReaderTest, OpenFailuresCarryTheRuntimeTexts) {
  EXPECT_EQ(ErrorText([&] { TextReader r(folder_ / "missing.his"); }), "File not found");
  EXPECT_EQ(ErrorText([&] { TextReader r(folder_ / "no/such/folder.his"); }), "Invalid filename");
  auto notAFile = [](const std::string& path, const std::string& kind) {
    return "Cannot open file \"" + path + "\". It is " + kind + ", not a file";
  };
  EXPECT_EQ(ErrorText([&] { TextReader r(folder_.path().string()); }),
            notAFile(folder_.path().string(), "a folder"));
  // What is not a plain file would never end (a device) or would wait for a writer (a pipe).
  const std::string fifo = folder_ / "pipe.his";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  const std::string zeros = folder_ / "zeros.his";
  ASSERT_EQ(symlink("/dev/zero", zeros.c_str()), 0);
  const std::pair<std::string, std::string> cases[] = {
      {fifo, "a named pipe"}, {zeros, "a device"}, {"/dev/null", "a device"}};
  for (const auto& [path, kind] : cases)
    EXPECT_EQ(ErrorText([&] { TextReader r(path); }), notAFile(path, kind)) << path;
  if (geteuid() != 0) {
    const std::string f = file("1");
    chmod(f.c_str(), 0);
    EXPECT_EQ(ErrorText([&] { TextReader r(f); }), "File access denied");
  }
}

TEST_F(TextReaderTest, AClosedReaderIsAtItsEnd) {
  TextReader r(file("5 6"));
  EXPECT_EQ(r.ReadInteger(), 5);
  r.Close();
  EXPECT_TRUE(r.Eof());
  EXPECT_EQ(r.ReadInteger(), 0);
}

TEST(InOutErrorTest, RuntimeTexts) {
  const struct {
    int err;
    const char* text;
  } cases[] = {{ENOENT, "File not found"},
               {ENOTDIR, "Invalid filename"},
               {EMFILE, "Too many open files"},
               {EACCES, "File access denied"},
               {EISDIR, "File access denied"},
               {ENOSPC, "Disk full"},
               {EIO, "I/O error 5"}};
  for (const auto& c : cases) EXPECT_STREQ(InOutError(c.err).what(), c.text);
}

class TextWriterTest : public ::testing::Test {
 protected:
  TempDir folder_;
};

TEST_F(TextWriterTest, WritesLinesWithCrLfAndRealsInTheirForm) {
  const std::string f = folder_ / "a.his";
  TextWriter w(f);
  w.WriteInteger(5);
  w.WriteReal(1.0 / 256);
  w.WriteLine();
  w.WriteInteger(-12);
  w.Write(" ");
  w.WriteLine("text");
  w.WriteReal(-0.5);
  w.Close();
  EXPECT_EQ(TempDir::read(f), "5 3.90625000000000E-0003\r\n-12 text\r\n-5.00000000000000E-0001");
  EXPECT_EQ(folder_.count(), 1u);
}

TEST_F(TextWriterTest, ReplacesTheFileOnlyAtClose) {
  const std::string f = folder_.write("a.his", "old");
  {
    TextWriter w(f);
    w.WriteLine("new");
    EXPECT_EQ(TempDir::read(f), "old");
    w.Close();
    w.Close();  // a second close does nothing
  }
  EXPECT_EQ(TempDir::read(f), "new\r\n");
  EXPECT_EQ(folder_.count(), 1u);
}

TEST_F(TextWriterTest, AFailureBeforeCloseKeepsTheEarlierFile) {
  const std::string f = folder_.write("a.his", "old");
  try {
    TextWriter w(f);
    for (int i = 0; i < 100000; ++i) w.WriteLine("partial data");  // more than one buffer
    throw std::runtime_error("stop");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(TempDir::read(f), "old");
  EXPECT_EQ(folder_.count(), 1u);  // no temporary file left behind
}

TEST_F(TextWriterTest, AFullDiskAtCloseKeepsTheEarlierFileAndClosesTheWriter) {
  const std::string f = folder_.write("a.his", "old");
  TextWriter w(f);
  w.WriteLine(std::string(5000, '7'));
  {
    FileSizeLimit full(1000);
    EXPECT_EQ(ErrorText([&] { w.Close(); }), "Disk full");
  }
  EXPECT_EQ(TempDir::read(f), "old");
  EXPECT_EQ(folder_.count(), 1u);
  EXPECT_EQ(ErrorText([&] { w.Write("x"); }), "File not open for output");
  w.Close();  // nothing left to write
  EXPECT_EQ(TempDir::read(f), "old");
}

TEST_F(TextWriterTest, WriteAfterCloseIsAnError) {
  TextWriter w(folder_ / "a.txt");
  w.Close();
  EXPECT_EQ(ErrorText([&] { w.Write("x"); }), "File not open for output");
}

TEST_F(TextWriterTest, KeepsThePermissionsOfAReplacedFile) {
  const std::string f = folder_.write("a.txt", "old");
  chmod(f.c_str(), 0640);
  TextWriter w(f);
  w.Close();
  struct stat st;
  ASSERT_EQ(stat(f.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(TextWriterTest, CreateFailuresCarryTheRuntimeTexts) {
  EXPECT_EQ(ErrorText([&] { TextWriter w(folder_ / "no/folder.his"); }), "Invalid filename");
  EXPECT_EQ(ErrorText([&] { TextWriter w(folder_.path().string()); }), "File access denied");
  EXPECT_EQ(ErrorText([&] { TextWriter w(folder_.path().string() + "/"); }), "File access denied");
  if (geteuid() != 0) {
    const std::string f = folder_.write("ro.his", "old");
    chmod(f.c_str(), 0444);
    EXPECT_EQ(ErrorText([&] { TextWriter w(f); }), "File access denied");
    EXPECT_EQ(TempDir::read(f), "old");
    chmod(folder_.path().c_str(), 0555);
    EXPECT_EQ(ErrorText([&] { TextWriter w(folder_ / "new.his"); }), "File access denied");
  }
}

TEST_F(TextWriterTest, RealsReadBackToFifteenDigits) {
  const double values[] = {0.0, 1.0 / 256, 1.0 / 3, -2.0 / 7, 6.02214076e23, 1e-310, 0.1};
  const std::string f = folder_ / "r.txt";
  TextWriter w(f);
  for (double v : values) {
    w.WriteReal(v);
    w.Write(" ");  // a negative value has no blank of its own
  }
  w.Close();
  TextReader r(f);
  for (double v : values) {
    const double back = r.ReadReal();
    EXPECT_NEAR(back, v, std::fabs(v) * 5e-15) << RealText(v);
  }
  EXPECT_FALSE(r.Eof());  // the last blank
  EXPECT_EQ(r.ReadReal(), 0.0);
  EXPECT_TRUE(r.Eof());
}

// What the writer gives for any finite double must read back as the double nearest the
// 15 digits written: the glibc reader is the reference, except that the largest double,
// whose 15 digits round up past the double range, reads back as itself.
class RealRoundTrip : public TextWriterTest {
 protected:
  // The reals written one to a field, then read back in order.
  std::vector<double> WriteAndRead(const std::vector<double>& values) {
    const std::string f = folder_ / "extremes.txt";
    TextWriter w(f);
    for (double v : values) {
      w.Write(" ");  // a negative value brings no blank of its own
      w.WriteReal(v);
    }
    w.Close();
    TextReader r(f);
    std::vector<double> back;
    for (size_t k = 0; k < values.size(); ++k) back.push_back(r.ReadReal());
    EXPECT_TRUE(r.Eof());
    return back;
  }
  static void ExpectReadBack(double value, double back) {
    const std::string text = RealText(value);
    SCOPED_TRACE(text);
    if (std::isnan(value)) {
      EXPECT_TRUE(std::isnan(back));
      return;
    }
    if (std::isinf(value)) {
      EXPECT_EQ(back, value);
      return;
    }
    errno = 0;
    double reference = std::strtod(text.c_str(), nullptr);
    if (std::isinf(reference))
      reference = std::copysign(std::numeric_limits<double>::max(), reference);
    EXPECT_EQ(back, reference);
    // 15 digits: within half a unit of the 15th digit, or of the smallest step of the
    // denormals.
    const double step = std::nextafter(std::fabs(value), INFINITY) - std::fabs(value);
    EXPECT_LE(std::fabs(back - value), std::fabs(value) * 5e-15 + step);
    if (value != 0) {
      EXPECT_EQ(std::signbit(back), std::signbit(value));
    }
  }
};

TEST_F(RealRoundTrip, ExtremeValuesReadBack) {
  constexpr double kMax = std::numeric_limits<double>::max();
  constexpr double kDenormMin = std::numeric_limits<double>::denorm_min();
  constexpr double kMin = std::numeric_limits<double>::min();
  const std::vector<double> values = {
      kMax,
      -kMax,
      std::nextafter(kMax, 0.0),   // also written with the rounded-up digits of kMax
      -std::nextafter(kMax, 0.0),  //
      1.797693134862315e308,       // the first value whose digits round up as kMax's do
      1.7976931348623149e308,      // the last one that rounds down
      kDenormMin,
      -kDenormMin,
      3 * kDenormMin,
      std::nextafter(kMin, 0.0),  // the largest denormal
      kMin,
      -kMin,
      0.0,
      -0.0,
      9.9999999999999995e-1,  // 15 nines and more: the digits carry into the next decade
      9.99999999999999999e22,
      -9.9999999999999995e-308,
      9.9999999999999995e307,
      1e308,
      1e-308,
      1.0 / 3,
      INFINITY,  // written as "+Inf", "-Inf" and "Nan"
      -INFINITY,
      std::nan(""),
  };
  const std::vector<double> back = WriteAndRead(values);
  for (size_t k = 0; k < values.size(); ++k) ExpectReadBack(values[k], back[k]);
  EXPECT_EQ(back[0], kMax);
  EXPECT_EQ(back[1], -kMax);
  EXPECT_EQ(back[6], kDenormMin);
  EXPECT_EQ(back[13], 0.0);
}

TEST_F(RealRoundTrip, RandomDoublesReadBack) {
  std::mt19937_64 random(20261210);
  std::vector<double> values;
  while (values.size() < 20000) {
    // Any bit pattern, then the two ends of the range drawn on purpose: the exponent
    // field of the largest doubles, and that of the denormals.
    uint64_t bits = random();
    if (values.size() % 3 == 1) bits = (bits & ~(uint64_t(0x7FF) << 52)) | (uint64_t(0x7FE) << 52);
    if (values.size() % 3 == 2) bits &= ~(uint64_t(0x7FF) << 52);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    if (std::isfinite(v)) values.push_back(v);
  }
  const std::vector<double> back = WriteAndRead(values);
  for (size_t k = 0; k < values.size(); ++k) ExpectReadBack(values[k], back[k]);
}

TEST_F(TextReaderTest, RealsJustPastTheWrittenLargestDoubleStayRefused) {
  // What the writer can give for the largest double reads as it; anything larger, even in
  // the 16th digit, is beyond the range of a double.
  const struct {
    const char* token;
    double value;
  } accepted[] = {
      {"1.79769313486232E+0308", std::numeric_limits<double>::max()},
      {"-1.79769313486232E+0308", -std::numeric_limits<double>::max()},
      {"179769313486232e294", std::numeric_limits<double>::max()},
      {"0.00179769313486232000E311", std::numeric_limits<double>::max()},
      {"1.7976931348623157e308", std::numeric_limits<double>::max()},
  };
  for (const auto& c : accepted) {
    SCOPED_TRACE(c.token);
    TextReader r(file(c.token));
    EXPECT_EQ(r.ReadReal(), c.value);
  }
  const char* refused[] = {
      "1.797693134862321E+308",       "1.79769313486233E+308", "1.8E+308",
      "-1.79769313486232000001E+308", "1.79769313486232E+309", "17976931348623.3E295"};
  for (const char* token : refused) {
    SCOPED_TRACE(token);
    TextReader r(file(token));
    EXPECT_EQ(ErrorText([&] { r.ReadReal(); }), "Invalid numeric input");
  }
}

}  // namespace
}  // namespace vandrel
