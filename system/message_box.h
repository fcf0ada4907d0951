// Message boxes, the one way the portable core talks to the user outside the dialogs.
//
// In kelvado.exe this is MessageBoxA, owned by the main window or by no window. Natively, the box
// goes to MessageBoxHandler (system/message_box_native.h), which tools and tests set to print or
// record it and to answer it.
#ifndef KELVADO_SYSTEM_MESSAGE_BOX_H
#define KELVADO_SYSTEM_MESSAGE_BOX_H

#include <cstdint>

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

#endif
