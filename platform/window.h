// The windows of the program as the portable code reaches them: the main window's services, its
// timers, message boxes, the input thrown away after a refresh, and the controls of a dialog.
//
// In kelvado.exe they act on the real windows (the main window's handle is in
// platform/window_win32.h). Natively each goes to a handler that tools and tests set
// (platform/window_native.h); an unset handler does nothing.
#ifndef KELVADO_PLATFORM_WINDOW_H
#define KELVADO_PLATFORM_WINDOW_H

#include <cstdint>

// --- The main window's services ---

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
// Posts the quit message with code 0: the message loop ends.
void PostQuit();

// --- Timers ---

// The main window's tick: timer 1, started at start-up, every 100 ms. Each tick resumes a
// suspended section and counts WaitTicks down; WaitSet counts milliseconds in ticks.
const uint32_t kTickTimerId = 1;
const int32_t kTickMilliseconds = 100;
// Timer 2 of the main window, armed by SetShutDown; its ticks are ignored.
const uint32_t kShutDownTimerId = 2;
// Arms a timer of the main window; failures are not reported.
void SetWindowTimer(uint32_t timer_id, uint32_t period_ms);
void StopWindowTimer(uint32_t timer_id);

// --- Message boxes, the one way the portable core talks to the user outside the dialogs ---

// Styles and answers, with the values of the Win32 constants of the same names.
const uint32_t kMbOk = 0x0000;              // MB_OK
const uint32_t kMbOkCancel = 0x0001;        // MB_OKCANCEL
const uint32_t kMbYesNo = 0x0004;           // MB_YESNO
const uint32_t kMbIconError = 0x0010;       // MB_ICONERROR
const uint32_t kMbIconQuestion = 0x0020;    // MB_ICONQUESTION
const uint32_t kMbIconWarning = 0x0030;     // MB_ICONWARNING
const uint32_t kMbIconInformation = 0x0040; // MB_ICONINFORMATION
const uint32_t kMbSystemModal = 0x1000;     // MB_SYSTEMMODAL
const int32_t kIdOk = 1;                    // IDOK
const int32_t kIdCancel = 2;                // IDCANCEL
const int32_t kIdYes = 6;                   // IDYES
const int32_t kIdNo = 7;                    // IDNO

// Shows `text` (Shift-JIS) with `caption`, owned by the main window when `owned` is true (and the
// main window exists), else by no window. Blocks until the user answers; returns the button
// pressed. MessageBoxA in kelvado.exe.
int32_t ShowMessageBox(bool owned, const char* text, const char* caption, uint32_t style);

// --- The input drain ---

// Refresh throws away the clicks and keys that reached the main window while the screen was
// being built. It removes them one by one and stops once the queue holds no more, or after the
// first one stamped later than the tick count t0 taken when the refresh began, or stamped below
// 0x10000000 while t0 lies above 0xF0000000 (the tick counter wrapped round meanwhile).
//
// Only input is removed: a NEWONE, WM_CLOSE, timer or media notification waiting in the queue
// still has to be handled, or the script would never learn of it.
//
// True when the removed input message with this time stamp is the last one to remove.
bool InputDrainEndsWith(uint32_t t0, uint32_t stamp);

// --- A dialog's controls ---
//
// `dialog` is the dialog's window handle in kelvado.exe (GetDlgItem, EnableWindow, EndDialog,
// SetDlgItemTextA, MessageBoxA); natively a NativeDialog stands in, which records what is done to
// it, and its boxes go to MessageBoxHandler as boxes of the main window.

// The control `id` of the dialog, for the messages sent to it (SendControlMessage).
void* DialogItem(void* dialog, int32_t id);
void EnableDialogItem(void* dialog, int32_t id, bool enabled);
// Writes `text` (Shift-JIS) into control `id` of `dialog`. From a worker thread this is a
// synchronous message, so the worker waits while the dialog's thread updates the control.
void SetDialogText(void* dialog, int32_t id, const char* text);
// Ends the modal dialog; RunDialog then returns `result`.
void EndDialogWith(void* dialog, int32_t result);
// A message box owned by the dialog: the button pressed.
int32_t DialogMessageBox(void* dialog, const char* text, const char* caption, uint32_t style);

// Control messages, with the values of the Win32 constants of the same names.
const uint32_t kWmSetText = 0x000C;    // WM_SETTEXT
const uint32_t kPbmSetRange = 0x0401;  // PBM_SETRANGE
const uint32_t kPbmSetPos = 0x0402;    // PBM_SETPOS
const uint32_t kPbmSetStep = 0x0404;   // PBM_SETSTEP
const uint32_t kPbmStepIt = 0x0405;    // PBM_STEPIT

// Sends a message to a control (one DialogItem returned) and returns its answer: SendMessageA in
// kelvado.exe, so a worker thread waits while the dialog's thread updates the control.
intptr_t SendControlMessage(void* control, uint32_t message, uintptr_t wparam, intptr_t lparam);

#endif
