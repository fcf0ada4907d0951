#include "services/services_reset.h"

#include "services/cursor_wait.h"
#include "services/debug_window.h"
#include "services/directories.h"
#include "services/exit_commands.h"
#include "services/process_commands.h"

void ResetServices() {
  if (DebugWindowIsOpen()) DebugWindowClose();
  HomeDir[0] = LogDir1[0] = '\0';
  ClearAliasMap();
  WaitTicks = 0;
  MouseCursorId = 0;
  ShutDownOnExit = false;
  ResetWatchers();
}
