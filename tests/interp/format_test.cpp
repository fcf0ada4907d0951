// The formatters behind IValToStr and FValToStr: refused formats, the buffer limits, and printf's
// f, e and g checked against the C library. The integer layouts are held to wsprintfA by the
// recorded cases (format_cases.out) and tests/e2e/formats_test.py.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "interp/formats.h"

namespace {

std::string Real(const char* format, double value) {
  char out[256];
  return FormatReal(out, sizeof out, format, value) ? out : "(refused)";
}

TEST(Format, RefusesFormatsThatAskForOtherOrMoreValuesAndLeavesNoText) {
  char out[256];
  for (const char* format :
       {"%s",   "%hs",  "%S",  "%C",      "%lc",      "%p",     "%I64d", "%d%d",
        "%c%c", "%f",   "%n",  "%*d",     "%+d",      "%0-5d",  "%#-5x", "%lld",
        "%",    "abc%", "%5%", "%10000d", "%.10000d", "%5.3.2d"}) {
    std::strcpy(out, "old");
    EXPECT_FALSE(FormatInteger(out, sizeof out, format, 7)) << format;
    EXPECT_STREQ(out, "") << format;
  }
  for (const char* format : {"%d", "%s", "%n", "%*f", "%.*f", "%Lf", "%hf", "%a", "%c", "%f%f", "%",
                             "%5%", "%10000f", "%.10000f"}) {
    std::strcpy(out, "old");
    EXPECT_FALSE(FormatReal(out, sizeof out, format, 1.5)) << format;
    EXPECT_STREQ(out, "") << format;
  }
}

TEST(Format, NeverWritesPastTheBuffer) {
  char out[8];
  std::memset(out, 'Z', sizeof out);
  EXPECT_TRUE(FormatInteger(out, 5, "%#010x", 255));
  EXPECT_STREQ(out, "0x00");
  EXPECT_EQ(out[5], 'Z');
  EXPECT_TRUE(FormatReal(out, 5, "%-9999.9999e", 1.0));
  EXPECT_STREQ(out, "1.00");
  EXPECT_EQ(out[5], 'Z');
  EXPECT_TRUE(FormatInteger(nullptr, 0, "%d", 12345));
}

// glibc converts from the exact binary value and rounds ties to even, as FormatReal promises.
TEST(Format, RealsAsTheCLibraryMakesThem) {
  const double values[] = {0.0,
                           -0.0,
                           2.5,
                           0.5,
                           1.5,
                           -1.5,
                           0.125,
                           1e-5,
                           123456789.0,
                           1e21,
                           0.1,
                           1.0 / 3,
                           9.9995,
                           99.5,
                           0.05,
                           999999.4,
                           9.5e-5,
                           DBL_MAX,
                           DBL_MIN,
                           4.9406564584124654e-324,
                           2251799813685248.5,
                           HUGE_VAL,
                           -HUGE_VAL,
                           std::nan(""),
                           -std::nan("")};
  const char* const formats[] = {
      "%f",      "%.0f",   "%.1f",      "%.20f",       "%e",       "%.0e",     "%.3E",  "%g",
      "%.0g",    "%.3g",   "%.17g",     "%#g",         "%G",       "%#.0f",    "%#.0e", "%+ e",
      "% f",     "%08.3f", "%lf",       "%5.1F",       "%-12.4e|", "%+012.3g", "%.60f", "%.999f",
      "%010.2e", "% 015g", "x=%6.2f%%", "%9999.9999f", "%-9999g|"};
  for (double value : values) {
    for (const char* format : formats) {
      char reference[256];
      std::snprintf(reference, sizeof reference, format, value);
      EXPECT_EQ(Real(format, value), reference) << format << " " << value;
    }
  }
}

// With '#', %g keeps its trailing zeros even when rounding carries into the next power of ten.
// glibc 2.36 drops them in the first two cases ("1.e+06", "1.e+03"), against the C standard.
TEST(Format, SharpGKeepsItsZerosAfterACarry) {
  EXPECT_EQ(Real("%#g", 999999.5), "1.00000e+06");
  EXPECT_EQ(Real("%#.3g", 999.5), "1.00e+03");
  EXPECT_EQ(Real("%#.3g", 9995.0), "1.00e+04");
  EXPECT_EQ(Real("%#.2g", 0.0000995), "0.00010");
}

}  // namespace
