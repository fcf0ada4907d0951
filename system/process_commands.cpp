#include "system/process_commands.h"

#include "interp/arguments.h"
#include "interp/handler_result.h"
#include "interp/script_error.h"
#include "system/child_process.h"
#include "system/directories.h"
#include "system/process.h"
#include "system/window_services.h"

// WinExec answers above 31 when it has started the program.
static const uint32_t kWinExecStarted = 32;

int32_t FuncWinExec(char* args) {
  char* command_line;
  int32_t result = ReadArguments("FuncWinExec", args, Value(&command_line));
  if (result < 0) return result;
  uint32_t started = ProcessWinExec(command_line);
  if (started >= kWinExecStarted) return kGoOn;
  ScriptErrorSet("FuncWinExec の実行エラー(%d)", static_cast<int>(started));
  return kFailed;
}

// The script goes on at once: a program that cannot be started is reported only by the
// watcher's own box (and a watcher thread that cannot be had starts nothing).
int32_t FuncWinExecEx(char* args) {
  char* command_line;
  int32_t result = ReadArguments("FuncWinExecEx", args, Value(&command_line));
  if (result < 0) return result;
  StartWatcher(command_line, HomeDir);
  return kGoOn;
}

int32_t FuncKillProcess(char* args) {
  if (RejectArguments("FuncTermExec", args) < 0) return kFailed;
  TerminateWatchedProgram();
  ShowMainWindow();
  return kGoOn;
}
