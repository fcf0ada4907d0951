// The cursor over the main window, chosen by the script, and timed waiting, counted in ticks of
// the main window's 100 ms timer: WaitSet starts the count, Wait holds the section on its line
// until the count has run out.
#ifndef KELVADO_SERVICES_CURSOR_WAIT_H
#define KELVADO_SERVICES_CURSOR_WAIT_H

#include <cstdint>

#include "platform/window.h"

// Identifier of a system cursor (32512 arrow, 32514 hourglass, 32515 cross); 0, the start value,
// hides the pointer. The main window sets it at every cursor message.
extern int32_t MouseCursorId;

// MouseCursor,ID: the cursor shows from the next cursor message on.
int32_t FuncMouseCursor(char* args);
// The main window's cursor message: shows the cursor MouseCursorId names.
void ShowMouseCursor();

// Ticks left to wait; every tick lowers it by 1 while it is above 0.
extern int32_t WaitTicks;
// A tick of the main window's timer: WaitTicks 1 lower while it is above 0.
void WaitCountDown();

// WaitTicks := milliseconds / 100 (below 100 ms nothing is waited).
int32_t FuncWaitSet(char* args);
// 2 (run this line again at the next tick) while WaitTicks is above 0, else 0.
int32_t FuncWait(char* args);

#endif
