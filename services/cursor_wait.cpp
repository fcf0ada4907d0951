#include "services/cursor_wait.h"

#include "interp/arguments.h"

int32_t MouseCursorId = 0;

int32_t FuncMouseCursor(char* args) {
  int32_t* cursor_id;
  int32_t result = ReadArguments("FuncMouseCursor", args, Value(&cursor_id));
  if (result < 0) return result;
  MouseCursorId = *cursor_id;
  return kGoOn;
}

void ShowMouseCursor() { SetMouseCursor(MouseCursorId); }

int32_t WaitTicks = 0;

void WaitCountDown() {
  if (WaitTicks > 0) --WaitTicks;
}

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
