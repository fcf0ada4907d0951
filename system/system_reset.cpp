#include "system/system_reset.h"

#include "system/debug_window.h"
#include "system/directories.h"
#include "system/mouse_cursor.h"
#include "system/wait.h"

void ResetSystemServices() {
  if (DebugWindowIsOpen()) DebugWindowClose();
  HomeDir[0] = LogDir1[0] = '\0';
  ClearAliasMap();
  WaitTicks = 0;
  MouseCursorId = 0;
}
