#include "interp/arguments.h"

#include <cstdarg>

#include "interp/script_error.h"
#include "interp/text.h"
#include "interp/zam_value.h"

static int32_t CountCodes(const char* format) {
  int32_t codes = 0;
  for (; *format != '\0'; ++format)
    if (*format == '%') ++codes;
  return codes;
}

int32_t ReadArguments(const char* handler, char* args, const char* format, ...) {
  // The line executor's work buffer holds 1024 bytes.
  char whole[1024] = "";
  if (args != nullptr) TextCopy(whole, sizeof whole, args);
  va_list outputs;
  va_start(outputs, format);
  int32_t result = zam_vsscanf(args, format, outputs);
  va_end(outputs);
  if (result == -1 || result == -2) return result;
  if (result == CountCodes(format)) return 0;
  ScriptErrorSet("%s の引数が間違っています(%s)", handler, whole);
  return -1;
}

int32_t RejectArguments(const char* handler, const char* args) {
  if (args == nullptr) return 0;
  ScriptErrorSet("%s に引数(%s)があります", handler, args);
  return -1;
}
