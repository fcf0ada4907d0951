#include "system/system_reset.h"

#include "system/debug_window.h"
#include "system/child_process.h"
#include "system/directories.h"
#include "system/exit_sequence.h"
#include "system/mouse_cursor.h"
#include "system/shutdown.h"
#include "system/wait.h"

void ResetSystemServices() {
  if (DebugWindowIsOpen()) DebugWindowClose();
  HomeDir[0] = LogDir1[0] = '\0';
  ClearAliasMap();
  WaitTicks = 0;
  MouseCursorId = 0;
  ShutDownOnExit = false;
  ResetWatchers();
  ResetExitSequence();
}
