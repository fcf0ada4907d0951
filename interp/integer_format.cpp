#include "interp/formats.h"

#include <cstring>


namespace {

struct Conversion {
  bool left;    // '-'
  bool prefix;  // '#'
  bool zeros;   // '0'
  uint32_t width;
  uint32_t precision;
  char type;
};

// Reads the conversion behind a '%' and moves *at behind it; false when it is none that this
// formatter makes.
bool ReadConversion(const char** at, Conversion* c) {
  const char* p = *at;
  c->left = *p == '-';
  if (c->left) ++p;
  c->prefix = *p == '#';
  if (c->prefix) ++p;
  c->zeros = *p == '0';
  if (c->zeros) ++p;
  if (!ReadFieldNumber(&p, &c->width)) return false;
  c->precision = 1;
  if (*p == '.') {
    ++p;
    if (!ReadFieldNumber(&p, &c->precision)) return false;
    if (c->precision == 0) c->precision = 1;
  }
  bool wide = *p == 'l';  // %lc is a wide character
  if (*p == 'l' || *p == 'h') ++p;
  if (*p == '\0' || std::strchr("diuxXc", *p) == nullptr || (wide && *p == 'c')) return false;
  c->type = *p++;
  *at = p;
  return true;
}

void PutCharacter(FormatSink* sink, const Conversion& c, int32_t value) {
  size_t pad = c.width > 1 ? c.width - 1 : 0;
  if (!c.left) SinkRepeat(sink, ' ', pad);
  SinkPut(sink, static_cast<char>(value & 0xFF));
  if (c.left) SinkRepeat(sink, ' ', pad);
}

// The digits of `magnitude` in `base`, most significant first; returns their count.
size_t Digits(uint32_t magnitude, uint32_t base, bool upper, char* out) {
  const char* symbols = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  char reversed[16];
  size_t count = 0;
  do {
    reversed[count++] = symbols[magnitude % base];
    magnitude /= base;
  } while (magnitude != 0);
  for (size_t i = 0; i < count; ++i) out[i] = reversed[count - 1 - i];
  return count;
}

void PutNumber(FormatSink* sink, const Conversion& c, int32_t value) {
  bool hex = c.type == 'x' || c.type == 'X';
  bool negative = (c.type == 'd' || c.type == 'i') && value < 0;
  uint32_t magnitude = static_cast<uint32_t>(value);
  if (negative) magnitude = 0u - magnitude;
  char digits[16];
  size_t count = Digits(magnitude, hex ? 16 : 10, c.type == 'X', digits);
  // The precision, and with '0' the width, is the length of sign and digits together.
  size_t body = c.precision;
  if (c.zeros && !c.left && c.width > body) body = c.width;
  size_t length = count + (negative ? 1 : 0);
  if (body < length) body = length;
  size_t pad = c.width > body ? c.width - body : 0;
  if (!c.left) SinkRepeat(sink, ' ', pad);
  if (hex && c.prefix) SinkText(sink, c.type == 'X' ? "0X" : "0x", 2);
  if (negative) SinkPut(sink, '-');
  SinkRepeat(sink, '0', body - length);
  SinkText(sink, digits, count);
  if (c.left) SinkRepeat(sink, ' ', pad);
}

bool WriteConversion(const char** at, FormatSink* sink, const void* value) {
  Conversion c;
  if (!ReadConversion(at, &c)) return false;
  int32_t number = *static_cast<const int32_t*>(value);
  if (c.type == 'c')
    PutCharacter(sink, c, number);
  else
    PutNumber(sink, c, number);
  return true;
}

}  // namespace

bool FormatInteger(char* out, size_t size, const char* format, int32_t value) {
  return FormatOneValue(out, size, format, WriteConversion, &value);
}
