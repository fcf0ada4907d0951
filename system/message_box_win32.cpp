#include <windows.h>

#include "system/message_box.h"
#include "system/window_handle_win32.h"

int32_t ShowMessageBox(bool owned, const char* text, const char* caption, uint32_t style) {
  return MessageBoxA(owned ? MainWindow : NULL, text, caption, style);
}
