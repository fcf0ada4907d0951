// The main window's tick: timer 1, started at start-up, every 100 ms. Each tick resumes a
// suspended section and counts WaitTicks down; WaitSet counts milliseconds in ticks.
#ifndef KELVADO_SYSTEM_TICK_H
#define KELVADO_SYSTEM_TICK_H

#include <cstdint>

const uint32_t kTickTimerId = 1;
const int32_t kTickMilliseconds = 100;

#endif
