#include <windows.h>

#include "wizard/dialog_window.h"

void* DialogItem(void* dialog, int32_t id) { return GetDlgItem(static_cast<HWND>(dialog), id); }

void EnableDialogItem(void* dialog, int32_t id, bool enabled) {
  EnableWindow(GetDlgItem(static_cast<HWND>(dialog), id), enabled ? TRUE : FALSE);
}

void EndDialogWith(void* dialog, int32_t result) { EndDialog(static_cast<HWND>(dialog), result); }

int32_t DialogMessageBox(void* dialog, const char* text, const char* caption, uint32_t style) {
  return MessageBoxA(static_cast<HWND>(dialog), text, caption, style);
}
