#include "interp/script_error.h"

#include <cstdarg>

#include "platform/text.h"

char ScriptError[kScriptErrorSize];

void ScriptErrorSet(const char* format, ...) {
  ScriptError[0] = '\0';
  va_list args;
  va_start(args, format);
  TextAppendFormatV(ScriptError, sizeof ScriptError, format, args);
  va_end(args);
}

void ScriptErrorAppend(const char* format, ...) {
  va_list args;
  va_start(args, format);
  TextAppendFormatV(ScriptError, sizeof ScriptError, format, args);
  va_end(args);
}

void ScriptErrorClear() { ScriptError[0] = '\0'; }
