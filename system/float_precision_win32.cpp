#include "system/float_precision.h"

// Bits 8-9 of the x87 control word choose the precision: 10 is 53 bits.
void UseDoublePrecision() {
  unsigned short control;
  __asm__ volatile("fnstcw %0" : "=m"(control));
  control = static_cast<unsigned short>((control & ~0x0300u) | 0x0200u);
  __asm__ volatile("fldcw %0" : : "m"(control));
}
