// Linked into the process test programs in place of the real shut-down: ExitWindowsEx must not
// end the session of the machine that runs the tests. The call is recorded instead, one line per
// call, in shutdown.txt of the current directory, with what the tool still held at that moment:
// whether timers 1 and 2 were still running and which program was still watched.
//
// The scripts stand for the end dialog's shut-down choice with the command TestShutDownOnExit.
#include <windows.h>

#include <cstdio>

#include "interp/command_table.h"
#include "platform/os.h"
#include "platform/window_win32.h"
#include "services/exit_commands.h"
#include "services/process_commands.h"

void ShutDownSystem() {
  const char* tick = KillTimer(MainWindow, 1) ? "running" : "stopped";
  const char* shut_down = KillTimer(MainWindow, 2) ? "running" : "stopped";
  char line[160];
  int length = std::snprintf(line, sizeof line,
                             "ExitWindowsEx(EWX_SHUTDOWN) timer1=%s timer2=%s watched=%lu\r\n",
                             tick, shut_down, static_cast<unsigned long>(WatchedProcessId()));
  HANDLE file = CreateFileA("shutdown.txt", GENERIC_WRITE, 0, NULL, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return;
  SetFilePointer(file, 0, NULL, FILE_END);
  DWORD written;
  WriteFile(file, line, static_cast<DWORD>(length), &written, NULL);
  CloseHandle(file);
}

static int32_t FuncTestShutDownOnExit(char*) {
  ShutDownOnExit = true;
  return 0;
}

// Entered before the program fills the table.
static const bool kEntered = (CommandTableAdd("TestShutDownOnExit", FuncTestShutDownOnExit), true);
