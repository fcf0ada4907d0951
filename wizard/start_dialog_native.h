// Dialogs in the native build, where no dialog is shown: RunDialog calls DialogHandler, which tests
// set to play the dialog (its reactions on a NativeDialog, platform/window_native.h); without one
// every dialog ends with kDialogCancel. Main thread only.
#ifndef KELVADO_WIZARD_START_DIALOG_NATIVE_H
#define KELVADO_WIZARD_START_DIALOG_NATIVE_H

#include <cstdint>

#include "wizard/start_dialog.h"

typedef int32_t (*DialogFunction)(int32_t index);
extern DialogFunction DialogHandler;

#endif
