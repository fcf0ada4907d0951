// The formatters behind IValToStr and FValToStr: the layouts of wsprintfA's integer conversions,
// printf's f, e and g checked against the C library, refused formats and the size limits.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "interp/integer_format.h"
#include "interp/real_format.h"

namespace {

std::string Integer(const char* format, int32_t value, bool* accepted = nullptr) {
  char out[256];
  std::memset(out, 'Z', sizeof out);
  bool ok = FormatInteger(out, sizeof out, format, value);
  if (accepted != nullptr) *accepted = ok;
  return out;
}

std::string Real(const char* format, double value, bool* accepted = nullptr) {
  char out[256];
  std::memset(out, 'Z', sizeof out);
  bool ok = FormatReal(out, sizeof out, format, value);
  if (accepted != nullptr) *accepted = ok;
  return out;
}

TEST(IntegerFormat, LayoutsOfWsprintf) {
  struct Case {
    const char* format;
    int32_t value;
    const char* text;
  } cases[] = {
      {"%d", -2147483647 - 1, "-2147483648"},
      {"%5d|", -42, "  -42|"},
      {"%-5d|", -42, "-42  |"},
      {"%05d", -42, "-0042"},
      {"%010ld", -1, "-000000001"},
      {"%-05d|", 7, "7    |"},
      {"%00005d", 7, "00007"},
      {"%.3d", 7, "007"},
      {"%.3d", -1, "-01"},
      {"%.0d|", 0, "0|"},
      {"%.d", 0, "0"},
      {"%hd", -42, "-42"},
      {"%8.3d", -42, "     -42"},
      {"%08.3d", 7, "00000007"},
      {"%-8.3d|", 7, "007     |"},
      {"%u", -42, "4294967254"},
      {"%i", -42, "-42"},
      {"%hu", -42, "4294967254"},
      {"%x", -42, "ffffffd6"},
      {"%lX", -42, "FFFFFFD6"},
      {"%#x", 0, "0x0"},
      {"%#08X", 7, "0X00000007"},
      {"%#5.0x|", 7, "    0x7|"},
      {"%-#6x|", 7, "0x7     |"},
      {"%#.4x", 7, "0x0007"},
      {"%#d", 7, "7"},
      {"[%c]", 'A', "[A]"},
      {"%5c|%%", 'A', "    A|%"},
      {"%-05c|", 'A', "A    |"},
      {"%c", 0x182, "\x82"},
      {"a%cb", 0, "a"},
      {"plain text", 1, "plain text"},
      {"100%%", 1, "100%"},
  };
  for (const Case& c : cases) {
    bool accepted;
    std::string text = Integer(c.format, c.value, &accepted);
    EXPECT_EQ(text, c.text) << c.format;
    EXPECT_TRUE(accepted) << c.format;
  }
}

TEST(IntegerFormat, RefusesFormatsThatAskForOtherOrMoreValues) {
  for (const char* format :
       {"%s",  "%hs",  "%ls",   "%S",    "%C",    "%lc",     "%p",       "%I64d",
        "%Ix", "%d%d", "%d %x", "%c%c",  "%f",    "%e",      "%o",       "%n",
        "%*d", "%+d",  "% d",   "%0-5d", "%#-5x", "%lld",    "%hhd",     "%Lx",
        "%",   "abc%", "%5%",   "%-%",   "%.-3d", "%10000d", "%.10000d", "%5.3.2d"}) {
    bool accepted = true;
    EXPECT_EQ(Integer(format, 7, &accepted), "") << format;
    EXPECT_FALSE(accepted) << format;
  }
  bool accepted;
  EXPECT_EQ(Integer("%9999d", 7, &accepted), std::string(255, ' ')) << "cut to the buffer";
  EXPECT_TRUE(accepted);
  EXPECT_EQ(Integer("%-9999d|", 7), "7" + std::string(254, ' '));
}

TEST(IntegerFormat, NeverWritesPastTheBuffer) {
  char out[8];
  std::memset(out, 'Z', sizeof out);
  EXPECT_TRUE(FormatInteger(out, 5, "%#010x", 255));
  EXPECT_STREQ(out, "0x00");
  EXPECT_EQ(out[5], 'Z');
  EXPECT_TRUE(FormatInteger(out, 1, "%d", 12345));
  EXPECT_STREQ(out, "");
  EXPECT_TRUE(FormatInteger(nullptr, 0, "%d", 12345));
}

// The C library's printf as the reference for the real conversions: glibc converts from the
// exact binary value and rounds ties to even, which is what FormatReal promises.
std::string Reference(const char* format, double value) {
  char out[256];
  std::snprintf(out, sizeof out, format, value);
  return out;
}

const char* const kRealFormats[] = {
    "%f",       "%.0f",   "%.1f",      "%.2f",  "%.20f",       "%e",      "%.0e",     "%.3e",
    "%E",       "%g",     "%.0g",      "%.3g",  "%.10g",       "%.17g",   "%#g",      "%G",
    "%#.0f",    "%#.0e",  "%#.3g",     "%+f",   "% f",         "%+ e",    "%08.3f",   "%-12.4e|",
    "%+012.3g", "%lf",    "%F",        "%5.1F", "%.60f",       "%.999f",  "%-+9.2f|", "%010.2e",
    "%#.10G",   "% 015g", "x=%6.2f%%", "%.40e", "%9999.9999f", "%-9999g|"};

TEST(RealFormat, MatchesTheCLibraryOnChosenValues) {
  const double values[] = {0.0,
                           -0.0,
                           1.0,
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
                           0.000123456,
                           1e100,
                           -1e-100,
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
  for (double value : values)
    for (const char* format : kRealFormats)
      EXPECT_EQ(Real(format, value), Reference(format, value)) << format << " " << value;
}

TEST(RealFormat, MatchesTheCLibraryOnRandomValues) {
  const char* const formats[] = {"%.17g", "%.0f", "%.3f", "%.5e", "%g", "%.1g", "%#.8g", "%.30f"};
  uint64_t state = 0x9E3779B97F4A7C15u;
  for (int i = 0; i < 20000; ++i) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    uint64_t bits = state;
    if (i % 4 == 1)
      bits = (bits & 0x800FFFFFFFFFFFFFu) | ((uint64_t{1023} + (bits >> 52) % 40) << 52);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    const char* format = formats[i % 8];
    ASSERT_EQ(Real(format, value), Reference(format, value)) << format << " " << std::hex << bits;
  }
}

// With '#', %g keeps its trailing zeros even when rounding carries into the next power of ten.
// glibc 2.36 drops them in the first two cases ("1.e+06", "1.e+03"), against the C standard.
TEST(RealFormat, SharpGKeepsItsZerosAfterACarry) {
  EXPECT_EQ(Real("%#g", 999999.5), "1.00000e+06");
  EXPECT_EQ(Real("%#.3g", 999.5), "1.00e+03");
  EXPECT_EQ(Real("%#.3g", 9995.0), "1.00e+04");
  EXPECT_EQ(Real("%#.1g", 9.5), "1.e+01");
  EXPECT_EQ(Real("%#.2g", 0.0000995), "0.00010");
  EXPECT_EQ(Real("%g", 999999.5), "1e+06");
}

TEST(RealFormat, RefusesFormatsThatAskForOtherOrMoreValues) {
  for (const char* format :
       {"%d", "%s", "%n",   "%*f",   "%.*f", "%Lf",  "%hf", "%llf",    "%a",       "%A",
        "%c", "%x", "%f%f", "%e %g", "%",    "abc%", "%5%", "%10000f", "%.10000f", "%1.2.3f"}) {
    bool accepted = true;
    EXPECT_EQ(Real(format, 1.5, &accepted), "") << format;
    EXPECT_FALSE(accepted) << format;
  }
  EXPECT_EQ(Real("no value, 100%%", 1.5), "no value, 100%");
}

}  // namespace
