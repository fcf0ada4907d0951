#include <windows.h>

#include "platform/process.h"

uint32_t ProcessWinExec(const char* command_line) { return WinExec(command_line, SW_SHOWNORMAL); }

uint32_t ProcessCreate(char* command_line, const char* directory, ProcessRecord* started) {
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION info;
  ZeroMemory(&info, sizeof info);
  if (!CreateProcessA(NULL, command_line, NULL, NULL, FALSE, 0, NULL, directory, &startup, &info))
    return GetLastError();
  started->process = info.hProcess;
  started->thread = info.hThread;
  started->process_id = info.dwProcessId;
  started->thread_id = info.dwThreadId;
  return 0;
}

// The process handle is signalled when the program has ended, whatever its exit code (a
// program may well end with the code that GetExitCodeProcess uses for "still running").
bool ProcessWaitEnd(const ProcessRecord& program, Event* wake, uint32_t timeout_ms) {
  HANDLE handles[2] = {program.process, EventNativeHandle(wake)};
  return WaitForMultipleObjects(2, handles, FALSE, timeout_ms) == WAIT_OBJECT_0;
}

bool ProcessTerminate(uint32_t process_id) {
  HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, process_id);
  if (process == NULL) return false;
  TerminateProcess(process, 0);
  CloseHandle(process);
  return true;
}

void ProcessRelease(const ProcessRecord& program) {
  CloseHandle(program.thread);
  CloseHandle(program.process);
}
