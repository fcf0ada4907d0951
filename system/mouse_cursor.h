// The cursor over the main window, chosen by the script.
#ifndef KELVADO_SYSTEM_MOUSE_CURSOR_H
#define KELVADO_SYSTEM_MOUSE_CURSOR_H

#include <cstdint>

// Identifier of a system cursor (32512 arrow, 32514 hourglass, 32515 cross); 0, the start value,
// hides the pointer. The main window sets it at every cursor message.
extern int32_t MouseCursorId;

// MouseCursor,ID: the cursor shows from the next cursor message on.
int32_t FuncMouseCursor(char* args);

#endif
