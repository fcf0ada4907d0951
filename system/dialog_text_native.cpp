#include "system/dialog_text_native.h"

DialogTextFunction DialogTextHandler = nullptr;

void SetDialogText(void* dialog, int32_t id, const char* text) {
  if (DialogTextHandler != nullptr) DialogTextHandler(dialog, id, text);
}
