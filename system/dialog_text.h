// Texts of a dialog's controls, written from the engine (the copy dialog's drive information and
// file names). In kelvado.exe SetDlgItemTextA on the dialog's window; from a worker thread that is
// a synchronous message, so the worker waits while the dialog's thread updates the control.
// Natively the text goes to DialogTextHandler (system/dialog_text_native.h).
#ifndef KELVADO_SYSTEM_DIALOG_TEXT_H
#define KELVADO_SYSTEM_DIALOG_TEXT_H

#include <cstdint>

// Writes `text` (Shift-JIS) into control `id` of `dialog` (a window handle in kelvado.exe).
void SetDialogText(void* dialog, int32_t id, const char* text);

#endif
