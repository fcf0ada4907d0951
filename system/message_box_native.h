// Message boxes in the native build, where no window exists.
#ifndef KELVADO_SYSTEM_MESSAGE_BOX_NATIVE_H
#define KELVADO_SYSTEM_MESSAGE_BOX_NATIVE_H

#include "system/message_box.h"

// Where ShowMessageBox sends the box. Without a handler the box is written to standard error and
// answered with kIdOk (or kIdYes for a yes/no question). Threads: set before the interpreter runs;
// called on the thread that shows the box.
typedef int32_t (*MessageBoxFunction)(bool owned, const char* text, const char* caption,
                                      uint32_t style);
extern MessageBoxFunction MessageBoxHandler;

#endif
