#include "system/mouse_cursor.h"

#include "interp/arguments.h"
#include "interp/handler_result.h"

int32_t MouseCursorId = 0;

int32_t FuncMouseCursor(char* args) {
  int32_t* cursor_id;
  int32_t result = ReadArguments("FuncMouseCursor", args, Value(&cursor_id));
  if (result < 0) return result;
  MouseCursorId = *cursor_id;
  return kGoOn;
}
