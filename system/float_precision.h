// Reals are IEEE doubles in every build. The x87 unit that kelvado.exe computes with starts at
// 64-bit precision, so each result is rounded twice (to 64 bits, then to 53 when stored), and a sum
// can come out one unit in the last place away from the native build's. UseDoublePrecision sets the
// calling thread to round once, to 53 bits, as the native build does.
#ifndef KELVADO_SYSTEM_FLOAT_PRECISION_H
#define KELVADO_SYSTEM_FLOAT_PRECISION_H

void UseDoublePrecision();

#endif
