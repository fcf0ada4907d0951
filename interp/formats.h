// The value formatters of IValToStr and FValToStr: a number as text, by a format text from the
// script, as wsprintfA (integers) and printf (reals) make it.
#ifndef KELVADO_INTERP_FORMATS_H
#define KELVADO_INTERP_FORMATS_H

#include <cstddef>
#include <cstdint>

// --- What the formatters share: the output that keeps what fits and counts the rest, the walk
// through a format text with one conversion, and the reading of a width or precision ---

// Bytes go into `out` while there is room (a terminator always fits behind them); the rest is
// only counted. A sink without a buffer only measures.
struct FormatSink {
  char* out;
  size_t room;
  size_t length;
};

void SinkStart(FormatSink* sink, char* out, size_t size);
void SinkMeasure(FormatSink* sink);
void SinkPut(FormatSink* sink, char c);
void SinkRepeat(FormatSink* sink, char c, size_t count);
void SinkText(FormatSink* sink, const char* text, size_t length);
// Terminates what was kept.
void SinkEnd(FormatSink* sink);

// Writes the text of a conversion whose letters start at *at (behind its '%') and moves *at
// behind them; false when the formatter does not make such a conversion.
typedef bool (*ConversionWriter)(const char** at, FormatSink* sink, const void* value);

// Formats `format` into `out` (`size` bytes, cut to fit, terminator included): its text as it
// stands, "%%" as a percent sign, and at most one conversion, written by `write` for `value`.
// False, with the empty text in `out`, when `write` refuses the conversion or there is a second.
bool FormatOneValue(char* out, size_t size, const char* format, ConversionWriter write,
                    const void* value);

// Widths and precisions above this cannot show in a 255-byte text; a format asking for more is
// refused.
const uint32_t kFieldLimit = 9999;

// Reads the decimal digits at *at (none is 0) and moves *at behind them; false when the number
// exceeds kFieldLimit.
bool ReadFieldNumber(const char** at, uint32_t* value);

// --- The text that wsprintfA makes of one 32-bit integer, for IValToStr (integer_format.cpp) ---

// Formats `value` by `format` into `out` (`size` bytes, cut to fit, terminator included).
//
// The format holds text, "%%" for a percent sign and at most one conversion of the form
// %[-][#][0][width][.precision][l|h]type with type d or i (signed decimal), u (unsigned
// decimal), x or X (hexadecimal) or c (the low byte as a character), laid out as wsprintfA lays
// them out: '#' puts 0x or 0X before hexadecimal digits outside the width, the precision counts
// the minus sign and is at least 1, '0' pads with zeros up to the width unless '-' is given, 'l'
// and 'h' change nothing, a character is padded with blanks only. A zero byte from %c ends the
// text. Width and precision go up to kFieldLimit.
//
// Any other format (a second conversion, a conversion of another kind such as %s, %p or %f, flags
// out of that order, a lone '%') is refused: false, and `out` holds the empty text.
bool FormatInteger(char* out, size_t size, const char* format, int32_t value);

// --- The text that printf makes of one double with an f, e or g conversion, for FValToStr
// (real_format.cpp) ---

// Formats `value` by `format` into `out` (`size` bytes, cut to fit, terminator included).
//
// The format holds text, "%%" for a percent sign and at most one conversion of the form
// %[flags][width][.precision][l]type, flags any of - + blank # 0, type f, F, e, E, g or G, made
// as the C library's printf makes it: from the exact binary value, rounded to nearest with ties
// to even, at least two exponent digits, inf and nan (with their sign; INF and NAN for the
// upper-case types). Width and precision go up to kFieldLimit.
//
// Any other format (a second conversion, '*', %n, %s, %d, %a, a length other than l, a lone '%')
// is refused: false, and `out` holds the empty text.
bool FormatReal(char* out, size_t size, const char* format, double value);

#endif
