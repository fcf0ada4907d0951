#include "services/exit_commands.h"

#include "interp/arguments.h"
#include "platform/os.h"
#include "platform/window.h"

bool ShutDownOnExit = false;

int32_t FuncSetShutDown(char* args) {
  int32_t *unused1, *unused2, *period, *unused4, *unused5;
  int32_t result = ReadArguments("FuncSetShutDown", args, Value(&unused1), Value(&unused2),
                                 Value(&period), Value(&unused4), Value(&unused5));
  if (result < 0) return result;
  SetWindowTimer(kShutDownTimerId, static_cast<uint32_t>(*period));
  return kGoOn;
}

int32_t FuncProgramExit(char* args) {
  if (RejectArguments("FuncProgramExit", args) < 0) return kFailed;
  PostClose();
  return kGoOn;
}
