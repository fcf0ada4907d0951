// Refresh throws away the clicks and keys that reached the main window while the screen was
// being built. It removes them one by one and stops once the queue holds no more, or after the
// first one stamped later than the tick count t0 taken when the refresh began, or stamped below
// 0x10000000 while t0 lies above 0xF0000000 (the tick counter wrapped round meanwhile).
//
// Only input is removed: a NEWONE, WM_CLOSE, timer or media notification waiting in the queue
// still has to be handled, or the script would never learn of it.
#ifndef KELVADO_SYSTEM_INPUT_DRAIN_H
#define KELVADO_SYSTEM_INPUT_DRAIN_H

#include <cstdint>

// True when the removed input message with this time stamp is the last one to remove.
bool InputDrainEndsWith(uint32_t t0, uint32_t stamp);

#endif
