// Timed waiting, counted in ticks of the main window's 100 ms timer.
#ifndef KELVADO_SYSTEM_WAIT_H
#define KELVADO_SYSTEM_WAIT_H

#include <cstdint>

// Ticks left to wait; every tick lowers it by 1 while it is above 0.
extern int32_t WaitTicks;

#endif
