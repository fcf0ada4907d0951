// Services of the main window that the portable core asks for.
//
// In kelvado.exe they act on the main window (platform/window_win32.h). Natively each one
// goes to its handler (platform/window_native.h), which tools and tests set; an unset
// handler does nothing.
#ifndef KELVADO_PLATFORM_WINDOW_H
#define KELVADO_PLATFORM_WINDOW_H

#include <cstdint>

// Posts the registered message "NEWONE" to the main window (safe from any thread).
void PostNewOne();
// Posts WM_CLOSE to the main window: the program ends once it is handled.
void PostClose();
// Repaints the main window at once.
void RefreshMainWindow();
// Repaints the debug window at once, when it exists.
void RepaintDebugWindow();
// Sets the mouse cursor to the system cursor with this identifier (0: no cursor).
void SetMouseCursor(int32_t cursor_id);
// Shows the main window (SW_SHOW).
void ShowMainWindow();

// Timer 2 of the main window, armed by SetShutDown; its ticks are ignored (timer 1 is the tick,
// platform/window.h).
const uint32_t kShutDownTimerId = 2;
// Arms a timer of the main window; failures are not reported.
void SetWindowTimer(uint32_t timer_id, uint32_t period_ms);
void StopWindowTimer(uint32_t timer_id);
// Posts the quit message with code 0: the message loop ends.
void PostQuit();

// The main window's tick: timer 1, started at start-up, every 100 ms. Each tick resumes a
// suspended section and counts WaitTicks down; WaitSet counts milliseconds in ticks.
const uint32_t kTickTimerId = 1;
const int32_t kTickMilliseconds = 100;

// Message boxes, the one way the portable core talks to the user outside the dialogs.
//
// In kelvado.exe this is MessageBoxA, owned by the main window or by no window. Natively, the box
// goes to MessageBoxHandler (platform/window_native.h), which tools and tests set to print or
// record it and to answer it.
// Styles and answers, with the values of the Win32 constants of the same names.
const uint32_t kMbOk = 0x0000;             // MB_OK
const uint32_t kMbOkCancel = 0x0001;       // MB_OKCANCEL
const uint32_t kMbYesNo = 0x0004;          // MB_YESNO
const uint32_t kMbIconError = 0x0010;      // MB_ICONERROR
const uint32_t kMbIconQuestion = 0x0020;   // MB_ICONQUESTION
const uint32_t kMbIconWarning = 0x0030;    // MB_ICONWARNING
const uint32_t kMbIconInformation = 0x0040;// MB_ICONINFORMATION
const uint32_t kMbSystemModal = 0x1000;    // MB_SYSTEMMODAL
const int32_t kIdOk = 1;                   // IDOK
const int32_t kIdCancel = 2;               // IDCANCEL
const int32_t kIdYes = 6;                  // IDYES
const int32_t kIdNo = 7;                   // IDNO

// Shows `text` (Shift-JIS) with `caption`, owned by the main window when `owned` is true (and the
// main window exists), else by no window. Blocks until the user answers; returns the button pressed.
int32_t ShowMessageBox(bool owned, const char* text, const char* caption, uint32_t style);

// Refresh throws away the clicks and keys that reached the main window while the screen was
// being built. It removes them one by one and stops once the queue holds no more, or after the
// first one stamped later than the tick count t0 taken when the refresh began, or stamped below
// 0x10000000 while t0 lies above 0xF0000000 (the tick counter wrapped round meanwhile).
//
// Only input is removed: a NEWONE, WM_CLOSE, timer or media notification waiting in the queue
// still has to be handled, or the script would never learn of it.
// True when the removed input message with this time stamp is the last one to remove.
bool InputDrainEndsWith(uint32_t t0, uint32_t stamp);

// Texts of a dialog's controls, written from the engine (the copy dialog's drive information and
// file names). In kelvado.exe SetDlgItemTextA on the dialog's window; from a worker thread that is
// a synchronous message, so the worker waits while the dialog's thread updates the control.
// Natively the text goes to DialogTextHandler (platform/window_native.h).
// Writes `text` (Shift-JIS) into control `id` of `dialog` (a window handle in kelvado.exe).
void SetDialogText(void* dialog, int32_t id, const char* text);

// A dialog's window as the dialogs' reactions use it: its controls, its end, and boxes owned by
// it. The texts of its controls go through SetDialogText (platform/window.h).
//
// In kelvado.exe `dialog` is the dialog's window handle and these are GetDlgItem, EnableWindow,
// EndDialog and MessageBoxA. Natively a NativeDialog stands in: it records what the reactions
// do, and its boxes go to MessageBoxHandler (platform/window.h) as boxes of the main window.
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
