// The commands that start and stop other programs: WinExec starts one and forgets it, WinExecEx
// starts one on a watcher thread that runs EndSection when it ends, KillProcess terminates the
// watched one.
#ifndef KELVADO_SYSTEM_PROCESS_COMMANDS_H
#define KELVADO_SYSTEM_PROCESS_COMMANDS_H

#include <cstdint>

// WinExec,"command line": 0 when started, else -1 with WinExec's own result in the message.
int32_t FuncWinExec(char* args);
// WinExecEx,"command line": starts the watcher and returns 0 at once; the program is started in
// HomeDir, or in the tool's current directory when HomeDir is empty.
int32_t FuncWinExecEx(char* args);
// KillProcess: terminates the watched program, if any, then shows the main window.
int32_t FuncKillProcess(char* args);

#endif
