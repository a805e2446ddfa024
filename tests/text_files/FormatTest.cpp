// The runtime's number forms: the 23-character real form of files, Format's conversions and
// the general form, with the runtime's rounding and the user's decimal separator.
#include "platform/Format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/Errors.h"
#include "platform/Numbers.h"

namespace vandrel {
namespace {

// Restores the process-wide decimal separator after a test that changes it.
class FormatTest : public ::testing::Test {
 protected:
  void TearDown() override { SetDecimalSeparator('.'); }
};

struct RealCase {
  double value;
  const char* text;
};

TEST_F(FormatTest, RealTextHasTheTwentyThreeCharacterForm) {
  const RealCase cases[] = {
      {1.0 / 256, " 3.90625000000000E-0003"},
      {0.0, " 0.00000000000000E+0000"},
      {-0.0, " 0.00000000000000E+0000"},
      {0.5, " 5.00000000000000E-0001"},
      {1.0, " 1.00000000000000E+0000"},
      {-1.0, "-1.00000000000000E+0000"},
      {25.123, " 2.51230000000000E+0001"},
      {0.1, " 1.00000000000000E-0001"},
      {1.0 / 3, " 3.33333333333333E-0001"},
      {2.0 / 3, " 6.66666666666667E-0001"},
      {-2.0 / 3, "-6.66666666666667E-0001"},
      // The 15th digit carries into the exponent.
      {9.9999999999999995, " 1.00000000000000E+0001"},
      {123456789012345678.0, " 1.23456789012346E+0017"},
      {1e-300, " 1.00000000000000E-0300"},
      {std::numeric_limits<double>::max(), " 1.79769313486232E+0308"},
      {std::numeric_limits<double>::denorm_min(), " 4.94065645841247E-0324"},
      // An exact tie in the 16th digit rounds away from zero, not to even.
      {100000000000000.5, " 1.00000000000001E+0014"},
      {100000000000002.5, " 1.00000000000003E+0014"},
      {-100000000000000.5, "-1.00000000000001E+0014"},
  };
  for (const RealCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(RealText(c.value), c.text);
    EXPECT_EQ(RealText(c.value).size(), 23u);
  }
}

TEST_F(FormatTest, RealTextIgnoresTheDecimalSeparator) {
  SetDecimalSeparator(',');
  EXPECT_EQ(RealText(0.5), " 5.00000000000000E-0001");
}

TEST_F(FormatTest, RealTextOfNonFiniteValuesKeepsTheWidth) {
  EXPECT_EQ(RealText(std::numeric_limits<double>::infinity()).size(), 23u);
  EXPECT_EQ(RealText(-std::numeric_limits<double>::infinity()).size(), 23u);
  EXPECT_EQ(RealText(std::nan("")).size(), 23u);
}

TEST_F(FormatTest, FixedRoundsTheDecimalDigitsHalfAwayFromZero) {
  const struct {
    double value;
    int decimals;
    const char* text;
  } cases[] = {
      {3.90625, 2, "3.91"},
      {100.0, 2, "100.00"},
      {0.0, 2, "0.00"},
      {0.125, 2, "0.13"},  // an exact tie goes up
      {0.375, 2, "0.38"},
      {-0.125, 2, "-0.13"},
      {2.675, 2, "2.67"},  // the double lies below the tie
      {1.005, 2, "1.00"},
      {0.005, 2, "0.01"},
      {0.0049, 2, "0.00"},
      {-0.001, 2, "0.00"},  // no negative zero
      {99.995, 2, "100.00"},
      {99.9996, 3, "100.000"},
      {12.3456, 3, "12.346"},
      {-1.5, 0, "-2"},
      {2.5, 0, "3"},
      {0.0625, 3, "0.063"},
      {1234567.0, 1, "1234567.0"},
      {1e17, 2, "100000000000000000.00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FormatFixed(c.value, c.decimals), c.text);
  }
}

TEST_F(FormatTest, ScientificHasFifteenDigitsAndAtLeastThreeExponentDigits) {
  const RealCase cases[] = {
      {0.5, "5.00000000000000E-001"},          {-1234.5, "-1.23450000000000E+003"},
      {0.0, "0.00000000000000E+000"},          {1e-300, "1.00000000000000E-300"},
      {1.0 - 0.0123, "9.87700000000000E-001"},
  };
  for (const RealCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FormatScientific(c.value), c.text);
  }
}

TEST_F(FormatTest, GeneralIsTheShortestFormWithFifteenDigits) {
  const RealCase cases[] = {
      {12.5, "12.5"},       {100.0, "100"},
      {0.0, "0"},           {-0.0, "0"},
      {1.2, "1.2"},         {1.4000000000000001, "1.4"},
      {0.1 + 0.2, "0.3"},   {1.0 / 3, "0.333333333333333"},
      {0.0001, "0.0001"},   {0.00001, "1E-5"},
      {-2.5e-7, "-2.5E-7"}, {123456789012345.0, "123456789012345"},
      {1e15, "1E15"},       {1234567890123456.0, "1.23456789012346E15"},
      {99.99, "99.99"},
  };
  for (const RealCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FormatGeneral(c.value), c.text);
  }
}

TEST_F(FormatTest, ScreenFormsUseTheDecimalSeparator) {
  SetDecimalSeparator(',');
  EXPECT_EQ(FormatFixed(3.90625, 2), "3,91");
  EXPECT_EQ(FormatGeneral(12.5), "12,5");
  EXPECT_EQ(FormatGeneral(-2.5e-7), "-2,5E-7");
  EXPECT_EQ(FormatScientific(0.5), "5,00000000000000E-001");
  EXPECT_EQ(Format("Max=%1.2f%%", {0.390625}), "Max=0,39%");
}

TEST_F(FormatTest, FormatConversions) {
  const struct {
    const char* pattern;
    FormatArg arg;
    const char* text;
  } cases[] = {
      {"%1.2f", 3.90625, "3.91"},
      {"%1.3f", 12.0, "12.000"},
      {"%1.3f", int64_t(5), "5.000"},
      {"%f", 1.0, "1.00"},
      {"%8.2f|", -1.5, "   -1.50|"},
      {"%-8.2f|", 1.5, "1.50    |"},
      {"%15s", std::string_view("TOTAL"), "          TOTAL"},
      {"%15s", std::string_view("a name longer than 15"), "a name longer than 15"},
      {"%-6s|", std::string_view("ab"), "ab    |"},
      {"%.3s", std::string_view("abcdef"), "abc"},
      {"%d", int64_t(-42), "-42"},
      {"%5d", int64_t(42), "   42"},
      {"%.4d", int64_t(-7), "-0007"},
      {"%e", 0.5, "5.00000000000000E-001"},
      {"%g", 0.25, "0.25"},
      {"%D", int64_t(3), "3"},
      {"a%%b%d", int64_t(1), "a%b1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(Format(c.pattern, {c.arg}), c.text);
  }
  EXPECT_EQ(Format("%d + %1.2f = %s", {int64_t(1), 2.0, "three"}), "1 + 2.00 = three");
}

TEST_F(FormatTest, FormatRejectsWhatDoesNotMatch) {
  EXPECT_THROW(Format("%d", {1.5}), EConvertError);
  EXPECT_THROW(Format("%f", {"text"}), EConvertError);
  EXPECT_THROW(Format("%s", {int64_t(1)}), EConvertError);
  EXPECT_THROW(Format("%d %d", {int64_t(1)}), EConvertError);
  EXPECT_THROW(Format("%q", {int64_t(1)}), EConvertError);
  EXPECT_THROW(Format("%5", {int64_t(1)}), EConvertError);
  try {
    Format("%d", {1.5});
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Format '%d' invalid or incompatible with argument");
  }
}

}  // namespace
}  // namespace vandrel
