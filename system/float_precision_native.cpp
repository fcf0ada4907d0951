#include "system/float_precision.h"

// The native build computes doubles in SSE registers, which round to 53 bits already.
void UseDoublePrecision() {}
