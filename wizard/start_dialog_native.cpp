// Dialogs in the native build: DialogHandler answers for them.
#include "wizard/start_dialog_native.h"

DialogFunction DialogHandler = nullptr;

int32_t RunDialog(int32_t index) {
  return DialogHandler != nullptr ? DialogHandler(index) : kDialogCancel;
}
