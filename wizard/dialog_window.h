// A dialog's window as the dialogs' reactions use it: its controls, its end, and boxes owned by
// it. The texts of its controls go through SetDialogText (system/dialog_text.h).
//
// In kelvado.exe `dialog` is the dialog's window handle and these are GetDlgItem, EnableWindow,
// EndDialog and MessageBoxA. Natively a NativeDialog stands in: it records what the reactions
// do, and its boxes go to MessageBoxHandler (system/message_box.h) as boxes of the main window.
#ifndef KELVADO_WIZARD_DIALOG_WINDOW_H
#define KELVADO_WIZARD_DIALOG_WINDOW_H

#include <cstdint>

// The control `id` of the dialog (a window handle in kelvado.exe), for the engine's hooks.
void* DialogItem(void* dialog, int32_t id);
void EnableDialogItem(void* dialog, int32_t id, bool enabled);
// Ends the modal dialog; RunDialog then returns `result`.
void EndDialogWith(void* dialog, int32_t result);
// A message box owned by the dialog: the button pressed.
int32_t DialogMessageBox(void* dialog, const char* text, const char* caption, uint32_t style);

// Native builds only: the stand-in dialog.
struct NativeDialog;
NativeDialog* NativeDialogCreate(int32_t index);
void NativeDialogDestroy(NativeDialog* dialog);
int32_t NativeDialogIndex(NativeDialog* dialog);
bool NativeDialogEnabled(NativeDialog* dialog, int32_t id);
// The control's text as the reactions or the engine last set it ("" before).
const char* NativeDialogText(NativeDialog* dialog, int32_t id);
void NativeDialogSetText(NativeDialog* dialog, int32_t id, const char* text);
// True once ended, with the result.
bool NativeDialogEnded(NativeDialog* dialog, int32_t* result);
// True while a message box owned by the dialog is open: a real dialog is disabled meanwhile, so no
// button of it can be pressed.
bool NativeDialogOwnsOpenBox(NativeDialog* dialog);
// The dialog a control returned by DialogItem belongs to, and the control's id.
NativeDialog* NativeControlDialog(void* control, int32_t* id);

#endif
