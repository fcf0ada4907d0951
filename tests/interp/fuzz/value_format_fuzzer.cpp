// Fuzzes the formatters of IValToStr and FValToStr. Input: 8 bytes of a double, 4 bytes of an
// integer, then the format text (cut at 255 bytes or its first zero byte, as a script slot holds
// it). Both formatters write into a buffer of exactly 256 bytes on the heap, so that the
// sanitizer sees any byte written past it; a refused format must leave the empty text.
//
// The C library is the reference wherever its printf and the formatter promise the same text:
// for every real format that FValToStr accepts (except %#g and %#G, where glibc drops trailing
// zeros after a rounding carry), and for the integer formats without '#', precision, 'h' or %c,
// where wsprintfA and printf lay numbers out alike.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "interp/integer_format.h"
#include "interp/real_format.h"

static void Check(bool condition) {
  if (!condition) std::abort();
}

// The one conversion of an accepted format: its flags and its type letter ('\0' when none).
struct Conversion {
  char type = '\0';
  char length = '\0';  // 'l', 'h' or none
  bool sharp = false;
  bool precision = false;
};

static Conversion FindConversion(const char* format) {
  Conversion c;
  for (const char* p = format; *p != '\0'; ++p) {
    if (*p != '%') continue;
    if (p[1] == '%') {
      ++p;
      continue;
    }
    for (++p; std::strchr("-+ #0123456789.lh", *p) != nullptr && *p != '\0'; ++p) {
      if (*p == '#') c.sharp = true;
      if (*p == '.') c.precision = true;
      if (*p == 'l' || *p == 'h') c.length = *p;
    }
    c.type = *p;
    break;
  }
  return c;
}

// printf's text for an integer format, with the argument of the type its conversion reads.
static void PrintInteger(char* out, size_t size, const char* format, const Conversion& c,
                         int32_t value) {
  bool is_signed = c.type == 'd' || c.type == 'i';
  uint32_t bits = static_cast<uint32_t>(value);
  if (c.length == 'l') {
    if (is_signed)
      std::snprintf(out, size, format, static_cast<long>(value));
    else
      std::snprintf(out, size, format, static_cast<unsigned long>(bits));
  } else if (is_signed) {
    std::snprintf(out, size, format, value);
  } else {
    std::snprintf(out, size, format, static_cast<unsigned>(bits));
  }
}

static void CheckInteger(const char* format, int32_t value) {
  char* out = static_cast<char*>(std::malloc(256));
  bool accepted = FormatInteger(out, 256, format, value);
  Check(strnlen(out, 256) < 256);
  if (!accepted) Check(out[0] == '\0');
  Conversion c = FindConversion(format);
  if (accepted && c.type != '\0' && !c.sharp && !c.precision && c.length != 'h' && c.type != 'c') {
    char reference[256];
    PrintInteger(reference, sizeof reference, format, c, value);
    Check(std::strcmp(out, reference) == 0);
  }
  std::free(out);
}

static void CheckReal(const char* format, double value) {
  char* out = static_cast<char*>(std::malloc(256));
  bool accepted = FormatReal(out, 256, format, value);
  Check(strnlen(out, 256) < 256);
  if (!accepted) Check(out[0] == '\0');
  Conversion c = FindConversion(format);
  if (accepted && !(c.sharp && (c.type == 'g' || c.type == 'G'))) {
    char reference[256];
    std::snprintf(reference, sizeof reference, format, value);
    Check(std::strcmp(out, reference) == 0);
  }
  std::free(out);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 12) return 0;
  double real;
  int32_t integer;
  std::memcpy(&real, data, sizeof real);
  std::memcpy(&integer, data + 8, sizeof integer);
  char format[256];
  size_t length = size - 12 < 255 ? size - 12 : 255;
  std::memcpy(format, data + 12, length);
  format[length] = '\0';
  CheckInteger(format, integer);
  CheckReal(format, real);
  return 0;
}
