// Fuzzes the formatters of IValToStr and FValToStr. Input: 8 bytes of a double, 4 bytes of an
// integer, then the format text (cut at 255 bytes or its first zero byte, as a script slot holds
// it). Both formatters write into a buffer of exactly 256 bytes on the heap, so that the
// sanitizer sees any byte written past it; a refused format must leave the empty text.
//
// For every real format that FValToStr accepts, the C library's printf is the reference (except
// for %#g and %#G, where glibc drops trailing zeros after a rounding carry).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "interp/formats.h"

static void Check(bool condition) {
  if (!condition) std::abort();
}

// The one conversion of an accepted format: its '#' flag and its type letter ('\0' when none).
struct Conversion {
  char type = '\0';
  bool sharp = false;
};

static Conversion FindConversion(const char* format) {
  Conversion c;
  for (const char* p = format; *p != '\0'; ++p) {
    if (*p != '%') continue;
    if (p[1] == '%') {
      ++p;
      continue;
    }
    for (++p; *p != '\0' && std::strchr("-+ #0123456789.l", *p) != nullptr; ++p)
      if (*p == '#') c.sharp = true;
    c.type = *p;
    break;
  }
  return c;
}

static void CheckInteger(const char* format, int32_t value) {
  char* out = static_cast<char*>(std::malloc(256));
  if (!FormatInteger(out, 256, format, value)) Check(out[0] == '\0');
  Check(strnlen(out, 256) < 256);
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
