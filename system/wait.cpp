#include "system/wait.h"

#include "interp/arguments.h"
#include "interp/handler_result.h"

int32_t WaitTicks = 0;

int32_t FuncWaitSet(char* args) {
  int32_t* milliseconds;
  int32_t result = ReadArguments("FuncWaitSet", args, Value(&milliseconds));
  if (result < 0) return result;
  WaitTicks = *milliseconds / kTickMilliseconds;
  return kGoOn;
}

int32_t FuncWait(char* args) {
  if (RejectArguments("FuncWait", args) < 0) return kFailed;
  return WaitTicks > 0 ? kRunAgain : kGoOn;
}
