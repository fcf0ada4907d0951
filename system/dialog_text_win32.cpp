#include <windows.h>

#include "system/dialog_text.h"

void SetDialogText(void* dialog, int32_t id, const char* text) {
  SetDlgItemTextA(static_cast<HWND>(dialog), id, text);
}
