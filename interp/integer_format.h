// The text that wsprintfA makes of one 32-bit integer, for IValToStr.
#ifndef KELVADO_INTERP_INTEGER_FORMAT_H
#define KELVADO_INTERP_INTEGER_FORMAT_H

#include <cstddef>
#include <cstdint>

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

#endif
