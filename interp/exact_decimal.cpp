#include "interp/exact_decimal.h"

#include <cstdint>
#include <cstring>

namespace {

// An unsigned integer in base 10^9 limbs, least significant first: large enough for the biggest
// double (2^1024, 309 digits) and for the smallest one scaled to an integer (2^53 x 5^1074, 767
// digits).
const uint32_t kLimbBase = 1000000000;
const int kMaxLimbs = 88;

struct Big {
  uint32_t limbs[kMaxLimbs];
  int count;
};

void MultiplySmall(Big* n, uint32_t factor) {
  uint64_t carry = 0;
  for (int i = 0; i < n->count; ++i) {
    uint64_t product = static_cast<uint64_t>(n->limbs[i]) * factor + carry;
    n->limbs[i] = static_cast<uint32_t>(product % kLimbBase);
    carry = product / kLimbBase;
  }
  while (carry != 0) {
    n->limbs[n->count++] = static_cast<uint32_t>(carry % kLimbBase);
    carry /= kLimbBase;
  }
}

// n := n x base^exponent, in steps whose factor stays below 2^32.
void MultiplyPower(Big* n, uint32_t base, int exponent, uint32_t step_factor, int step) {
  for (; exponent >= step; exponent -= step) MultiplySmall(n, step_factor);
  uint32_t rest = 1;
  for (; exponent > 0; --exponent) rest *= base;
  MultiplySmall(n, rest);
}

// The decimal digits of n without leading zeros; returns their count.
int ToDecimal(const Big& n, char* out) {
  int count = 0;
  for (int i = n.count - 1; i >= 0; --i) {
    char group[9];
    uint32_t limb = n.limbs[i];
    for (int j = 8; j >= 0; --j) {
      group[j] = static_cast<char>('0' + limb % 10);
      limb /= 10;
    }
    int first = 0;
    if (count == 0)
      while (first < 8 && group[first] == '0') ++first;
    for (int j = first; j < 9; ++j) out[count++] = group[j];
  }
  return count;
}

void DropTrailingZeros(DecimalDigits* d) {
  while (d->count > 0 && d->digits[d->count - 1] == '0') --d->count;
}

}  // namespace

void ExactDecimal(double value, DecimalDigits* out) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
  int biased = static_cast<int>((bits >> 52) & 0x7FF);
  int exponent = -1074;
  if (biased != 0) {
    mantissa |= uint64_t{1} << 52;
    exponent = biased - 1075;
  }
  out->count = 0;
  out->point = 0;
  if (mantissa == 0) return;
  // value = mantissa x 2^exponent
  while ((mantissa & 1) == 0 && exponent < 0) {
    mantissa >>= 1;
    ++exponent;
  }
  Big n;
  n.count = 0;
  for (; mantissa != 0; mantissa /= kLimbBase)
    n.limbs[n.count++] = static_cast<uint32_t>(mantissa % kLimbBase);
  int shift = 0;  // value = n / 10^shift
  if (exponent >= 0) {
    MultiplyPower(&n, 2, exponent, uint32_t{1} << 31, 31);
  } else {
    MultiplyPower(&n, 5, -exponent, 1220703125, 13);  // 2^-k = 5^k / 10^k
    shift = -exponent;
  }
  out->count = ToDecimal(n, out->digits);
  out->point = out->count - shift;
  DropTrailingZeros(out);
}

void RoundDigits(DecimalDigits* d, int keep) {
  if (keep >= d->count) return;
  if (keep < 0) {
    d->count = 0;
    return;
  }
  char next = d->digits[keep];
  bool beyond = false;  // a non-zero digit after `next`
  for (int i = keep + 1; i < d->count && !beyond; ++i) beyond = d->digits[i] != '0';
  bool odd = keep > 0 && (d->digits[keep - 1] - '0') % 2 == 1;
  bool up = next > '5' || (next == '5' && (beyond || odd));
  d->count = keep;
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d->digits[i] == '9') --i;
    if (i < 0) {
      d->digits[0] = '1';
      d->count = 1;
      ++d->point;
    } else {
      ++d->digits[i];
      d->count = i + 1;
    }
  }
  DropTrailingZeros(d);
}

char DigitAt(const DecimalDigits& d, int index) {
  return index >= 0 && index < d.count ? d.digits[index] : '0';
}
