// Started programs in the native build: each operation goes to its handler in ProcessHandlers,
// which tests set to stand-in programs; an unset handler answers as if the program did not exist
// (WinExec and CreateProcess fail with 2, a program is never seen running). Threads: set before
// the interpreter runs; the watcher threads call create, wait_end and release.
#ifndef KELVADO_PLATFORM_PROCESS_NATIVE_H
#define KELVADO_PLATFORM_PROCESS_NATIVE_H

#include "platform/process.h"

struct ProcessFunctions {
  uint32_t (*win_exec)(const char* command_line);
  uint32_t (*create)(char* command_line, const char* directory, ProcessRecord* started);
  bool (*wait_end)(const ProcessRecord& program, Event* wake, uint32_t timeout_ms);
  bool (*terminate)(uint32_t process_id);
  void (*release)(const ProcessRecord& program);
};
extern ProcessFunctions ProcessHandlers;

#endif
