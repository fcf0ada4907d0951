// The text that printf makes of one double with an f, e or g conversion, for FValToStr.
#ifndef KELVADO_INTERP_REAL_FORMAT_H
#define KELVADO_INTERP_REAL_FORMAT_H

#include <cstddef>

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
