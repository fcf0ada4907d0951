// The cursor over the main window, chosen by the script.
#ifndef KELVADO_SYSTEM_MOUSE_CURSOR_H
#define KELVADO_SYSTEM_MOUSE_CURSOR_H

#include <cstdint>

// Identifier of a system cursor (32512 arrow, 32514 hourglass, ...); 0, the start value, hides
// the pointer.
extern int32_t MouseCursorId;

#endif
