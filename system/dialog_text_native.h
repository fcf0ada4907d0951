// Dialog texts in the native build, where no dialog exists.
#ifndef KELVADO_SYSTEM_DIALOG_TEXT_NATIVE_H
#define KELVADO_SYSTEM_DIALOG_TEXT_NATIVE_H

#include "system/dialog_text.h"

// Where SetDialogText sends the text; without a handler it is dropped. Threads: set before the
// code under test runs; called on the thread that writes the text (the copy worker's included).
typedef void (*DialogTextFunction)(void* dialog, int32_t id, const char* text);
extern DialogTextFunction DialogTextHandler;

#endif
