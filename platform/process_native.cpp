#include "platform/process_native.h"

ProcessFunctions ProcessHandlers = {};

// WinExec's and the system's number for a file that does not exist.
static const uint32_t kFileNotFound = 2;

uint32_t ProcessWinExec(const char* command_line) {
  return ProcessHandlers.win_exec ? ProcessHandlers.win_exec(command_line) : kFileNotFound;
}

uint32_t ProcessCreate(char* command_line, const char* directory, ProcessRecord* started) {
  if (ProcessHandlers.create) return ProcessHandlers.create(command_line, directory, started);
  return kFileNotFound;
}

bool ProcessWaitEnd(const ProcessRecord& program, Event* wake, uint32_t timeout_ms) {
  if (ProcessHandlers.wait_end) return ProcessHandlers.wait_end(program, wake, timeout_ms);
  return true;
}

bool ProcessTerminate(uint32_t process_id) {
  return ProcessHandlers.terminate ? ProcessHandlers.terminate(process_id) : false;
}

void ProcessRelease(const ProcessRecord& program) {
  if (ProcessHandlers.release) ProcessHandlers.release(program);
}
