// The clock in the native build: tests stand it at a chosen moment. Main thread only, while no
// other thread reads the clock.
#ifndef KELVADO_PLATFORM_CLOCK_NATIVE_H
#define KELVADO_PLATFORM_CLOCK_NATIVE_H

#include "platform/clock.h"

// Stops the clock at the given moments (both must be given); ClockRun lets it run again.
void ClockStop(const ClockTime& local, const ClockTime& utc);
void ClockRun();

#endif
