// Starting, watching and terminating other programs.
//
// In kelvado.exe these are WinExec, CreateProcessA, WaitForMultipleObjects, OpenProcess and
// TerminateProcess. Natively each goes to its handler (platform/process_native.h).
#ifndef KELVADO_PLATFORM_PROCESS_H
#define KELVADO_PLATFORM_PROCESS_H

#include <cstdint>

#include "platform/threads.h"

// A started program as the system returns it on creation. process_id 0: no program.
struct ProcessRecord {
  void* process;  // process handle
  void* thread;   // handle of its first thread
  uint32_t process_id;
  uint32_t thread_id;
};

// WinExec with SW_SHOWNORMAL, in the tool's current directory: WinExec's own result, above 31
// when the program was started.
uint32_t ProcessWinExec(const char* command_line);
// CreateProcessA of `command_line` (modifiable) without application name, security attributes,
// inherited handles or creation flags, with the tool's environment, `directory` as the program's
// current directory (nullptr: the tool's own) and SW_SHOWNORMAL. 0, or the system error number.
uint32_t ProcessCreate(char* command_line, const char* directory, ProcessRecord* started);
// Waits at most timeout_ms for the program to end or for `wake` to be set; true once the
// program has ended.
bool ProcessWaitEnd(const ProcessRecord& program, Event* wake, uint32_t timeout_ms);
// Opens the program with this identifier for termination (not inheritable), terminates it with
// exit code 0 and closes the handle; false when it could not be opened.
bool ProcessTerminate(uint32_t process_id);
// Closes the handles of a started program.
void ProcessRelease(const ProcessRecord& program);

#endif
