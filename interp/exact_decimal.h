// The exact decimal expansion of a double, and its rounding, for the real formatter. Integer
// arithmetic only, so every build gives the same digits for the same value.
#ifndef KELVADO_INTERP_EXACT_DECIMAL_H
#define KELVADO_INTERP_EXACT_DECIMAL_H

// A finite non-negative value as 0.DIGITS x 10^point: `count` significant digits without leading
// or trailing zeros ('0' to '9'); zero has no digits. A double has at most 767 of them.
struct DecimalDigits {
  char digits[780];
  int count;
  int point;
};

// The digits of the magnitude of a finite `value` (its sign is ignored).
void ExactDecimal(double value, DecimalDigits* out);

// Rounds to the first `keep` digits (none when keep <= 0), to nearest and on an exact tie to an
// even last digit, as printf does with the default rounding. A carry out of the first digit
// moves the point: 0.96 kept to one digit is 0.1 x 10^1.
void RoundDigits(DecimalDigits* d, int keep);

// The digit at `index` (counted from the first significant digit, may be negative or beyond the
// last one, where the digits are zeros).
char DigitAt(const DecimalDigits& d, int index);

#endif
