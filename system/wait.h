// Timed waiting, counted in ticks of the main window's 100 ms timer: WaitSet starts the count,
// Wait holds the section on its line until the count has run out.
#ifndef KELVADO_SYSTEM_WAIT_H
#define KELVADO_SYSTEM_WAIT_H

#include <cstdint>

#include "system/tick.h"

// Ticks left to wait; every tick lowers it by 1 while it is above 0.
extern int32_t WaitTicks;

// WaitTicks := milliseconds / 100 (below 100 ms nothing is waited).
int32_t FuncWaitSet(char* args);
// 2 (run this line again at the next tick) while WaitTicks is above 0, else 0.
int32_t FuncWait(char* args);

#endif
