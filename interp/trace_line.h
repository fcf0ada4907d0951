// TraceLine: the line being executed, its line number and the values of its variable arguments,
// as the debug window and the debug file show it. 255 bytes at most: what does not fit is cut.
#ifndef KELVADO_INTERP_TRACE_LINE_H
#define KELVADO_INTERP_TRACE_LINE_H

#include <cstdint>

const int kTraceLineSize = 256;
extern char TraceLine[kTraceLineSize];

// "%s(%d):" with the line's text and number, before the line runs.
void TraceLineStart(const char* text, int32_t line_number);
// The argument parser adds the value of each variable argument.
void TraceLineAdd(const char* format, ...) __attribute__((format(printf, 1, 2)));

#endif
