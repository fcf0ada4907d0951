#include "system/wait.h"

#include "interp/arguments.h"

int32_t WaitTicks = 0;

int32_t FuncWaitSet(char* args) {
  int32_t* milliseconds;
  int32_t result = ReadArguments("FuncWaitSet", args, "%dn", &milliseconds);
  if (result < 0) return result;
  WaitTicks = *milliseconds / kTickMilliseconds;
  return 0;
}

int32_t FuncWait(char* args) {
  if (RejectArguments("FuncWait", args) < 0) return -1;
  return WaitTicks > 0 ? 2 : 0;
}
