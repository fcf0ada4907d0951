#include "interp/trace_line.h"

#include <cstdarg>

#include "interp/text.h"

char TraceLine[kTraceLineSize];

void TraceLineStart(const char* text, int32_t line_number) {
  TextFormat(TraceLine, sizeof TraceLine, "%s(%d):", text, static_cast<int>(line_number));
}

void TraceLineAdd(const char* format, ...) {
  va_list args;
  va_start(args, format);
  TextAppendFormatV(TraceLine, sizeof TraceLine, format, args);
  va_end(args);
}
