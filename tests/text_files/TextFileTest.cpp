// Reading and writing text files with the runtime's rules.
#include "platform/TextFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <functional>

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
  const char* badReals[] = {"abc", "1.2.3", "e5",  ".",     "1e",     "1e+",   "1,5",
                            "--1", "nan",   "inf", "1e400", "-1e400", "0x1p3", "1.5x"};
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

TEST_F(TextReaderTest, OpenFailuresCarryTheRuntimeTexts) {
  EXPECT_EQ(ErrorText([&] { TextReader r(folder_ / "missing.his"); }), "File not found");
  EXPECT_EQ(ErrorText([&] { TextReader r(folder_ / "no/such/folder.his"); }), "Invalid filename");
  EXPECT_EQ(ErrorText([&] { TextReader r(folder_.path().string()); }), "File access denied");
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

}  // namespace
}  // namespace vandrel
