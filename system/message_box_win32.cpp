#include <windows.h>

#include "system/message_box.h"
#include "system/window_handle_win32.h"

// The portable copies of the styles and answers are the system's own values.
static_assert(kMbOk == MB_OK, "MB_OK");
static_assert(kMbOkCancel == MB_OKCANCEL, "MB_OKCANCEL");
static_assert(kMbYesNo == MB_YESNO, "MB_YESNO");
static_assert(kMbIconError == MB_ICONERROR, "MB_ICONERROR");
static_assert(kMbIconQuestion == MB_ICONQUESTION, "MB_ICONQUESTION");
static_assert(kMbIconWarning == MB_ICONWARNING, "MB_ICONWARNING");
static_assert(kMbIconInformation == MB_ICONINFORMATION, "MB_ICONINFORMATION");
static_assert(kMbSystemModal == MB_SYSTEMMODAL, "MB_SYSTEMMODAL");
static_assert(kIdOk == IDOK && kIdCancel == IDCANCEL, "IDOK, IDCANCEL");
static_assert(kIdYes == IDYES && kIdNo == IDNO, "IDYES, IDNO");

int32_t ShowMessageBox(bool owned, const char* text, const char* caption, uint32_t style) {
  return MessageBoxA(owned ? MainWindow : NULL, text, caption, style);
}
