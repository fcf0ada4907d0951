#include "interp/formats.h"

#include <cstdint>
#include <cstring>

#include "interp/exact_decimal.h"

namespace {

struct Conversion {
  bool left;   // '-'
  bool plus;   // '+'
  bool blank;  // ' '
  bool point;  // '#': always a decimal point; %g keeps its trailing zeros
  bool zeros;  // '0'
  uint32_t width;
  uint32_t precision;
  char type;  // f, e or g
  bool upper;
};

bool ReadConversion(const char** at, Conversion* c) {
  const char* p = *at;
  *c = Conversion();
  for (;; ++p) {
    if (*p == '-')
      c->left = true;
    else if (*p == '+')
      c->plus = true;
    else if (*p == ' ')
      c->blank = true;
    else if (*p == '#')
      c->point = true;
    else if (*p == '0')
      c->zeros = true;
    else
      break;
  }
  if (!ReadFieldNumber(&p, &c->width)) return false;
  c->precision = 6;
  if (*p == '.') {
    ++p;
    if (!ReadFieldNumber(&p, &c->precision)) return false;
  }
  if (*p == 'l') ++p;
  if (*p == '\0' || std::strchr("fFeEgG", *p) == nullptr) return false;
  c->upper = *p >= 'A' && *p <= 'Z';
  c->type = static_cast<char>(c->upper ? *p - 'A' + 'a' : *p);
  *at = p + 1;
  return true;
}

// The number without its sign, as laid out by the conversion.
struct Body {
  const DecimalDigits* digits;  // rounded for this layout
  bool exponential;             // d.ddde+XX, else ddd.ddd
  int fraction;                 // digits after the point
  bool point;                   // the point is written
};

void PutBody(FormatSink* sink, const Body& b, bool upper) {
  const DecimalDigits& d = *b.digits;
  if (b.exponential) {
    SinkPut(sink, DigitAt(d, 0));
    if (b.point) SinkPut(sink, '.');
    for (int i = 1; i <= b.fraction; ++i) SinkPut(sink, DigitAt(d, i));
    int exponent = d.count == 0 ? 0 : d.point - 1;
    SinkPut(sink, upper ? 'E' : 'e');
    SinkPut(sink, exponent < 0 ? '-' : '+');
    if (exponent < 0) exponent = -exponent;
    char text[8];
    int n = 0;
    do {
      text[n++] = static_cast<char>('0' + exponent % 10);
      exponent /= 10;
    } while (exponent != 0 || n < 2);
    while (n > 0) SinkPut(sink, text[--n]);
    return;
  }
  if (d.point <= 0 || d.count == 0) {
    SinkPut(sink, '0');
  } else {
    for (int i = 0; i < d.point; ++i) SinkPut(sink, DigitAt(d, i));
  }
  if (b.point) SinkPut(sink, '.');
  // Past the last significant digit there are only zeros.
  int i = 0;
  for (; i < b.fraction && d.point + i < d.count; ++i) SinkPut(sink, DigitAt(d, d.point + i));
  SinkRepeat(sink, '0', static_cast<size_t>(b.fraction - i));
}

// Rounds `d` for the conversion and chooses the layout.
Body Layout(const Conversion& c, DecimalDigits* d) {
  Body b;
  b.digits = d;
  int precision = static_cast<int>(c.precision);
  if (c.type == 'f') {
    RoundDigits(d, d->point + precision);
    b.exponential = false;
    b.fraction = precision;
  } else if (c.type == 'e') {
    RoundDigits(d, precision + 1);
    b.exponential = true;
    b.fraction = precision;
  } else {
    // %g: the style of %e when its exponent X is below -4 or not below the precision P, else
    // that of %f with P - 1 - X decimals; both keep P significant digits.
    if (precision == 0) precision = 1;
    RoundDigits(d, precision);
    int exponent = d->count == 0 ? 0 : d->point - 1;
    b.exponential = exponent < -4 || exponent >= precision;
    b.fraction = b.exponential ? precision - 1 : precision - 1 - exponent;
    if (!c.point) {
      // Trailing zeros go, and the point with them when no decimal is left.
      int significant = b.exponential ? d->count - 1 : d->count - d->point;
      if (significant < 0) significant = 0;
      if (significant < b.fraction) b.fraction = significant;
    }
  }
  b.point = b.fraction > 0 || c.point;
  return b;
}

void PutConversion(FormatSink* sink, const Conversion& c, double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  bool negative = (bits >> 63) != 0;
  bool finite = ((bits >> 52) & 0x7FF) != 0x7FF;
  char sign = negative ? '-' : c.plus ? '+' : c.blank ? ' ' : '\0';

  DecimalDigits digits;
  Body body = Body();
  const char* word = nullptr;  // inf or nan
  if (finite) {
    ExactDecimal(value, &digits);
    body = Layout(c, &digits);
  } else {
    bool nan = (bits & ((uint64_t{1} << 52) - 1)) != 0;
    word = nan ? (c.upper ? "NAN" : "nan") : (c.upper ? "INF" : "inf");
  }

  FormatSink measure;
  SinkMeasure(&measure);
  if (word != nullptr)
    SinkText(&measure, word, 3);
  else
    PutBody(&measure, body, c.upper);
  size_t length = measure.length + (sign != '\0' ? 1 : 0);
  size_t pad = c.width > length ? c.width - length : 0;

  bool zero_pad = c.zeros && !c.left && finite;
  if (!c.left && !zero_pad) SinkRepeat(sink, ' ', pad);
  if (sign != '\0') SinkPut(sink, sign);
  if (zero_pad) SinkRepeat(sink, '0', pad);
  if (word != nullptr)
    SinkText(sink, word, 3);
  else
    PutBody(sink, body, c.upper);
  if (c.left) SinkRepeat(sink, ' ', pad);
}

bool WriteConversion(const char** at, FormatSink* sink, const void* value) {
  Conversion c;
  if (!ReadConversion(at, &c)) return false;
  PutConversion(sink, c, *static_cast<const double*>(value));
  return true;
}

}  // namespace

bool FormatReal(char* out, size_t size, const char* format, double value) {
  return FormatOneValue(out, size, format, WriteConversion, &value);
}
