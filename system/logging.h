// Logging: the dated log of the tool's use. Each Logging line appends the local date and time,
// the number of divisions and the chosen background and frame keys to "<LogDir1><date>.log".
#ifndef KELVADO_SYSTEM_LOGGING_H
#define KELVADO_SYSTEM_LOGGING_H

#include <cstddef>
#include <cstdint>

#include "system/clock.h"

// The log line for `now`, a count and the two keys (-1: nothing chosen), line feed included.
void FormatLogLine(char* out, size_t size, const ClockTime& now, int32_t count,
                   int32_t background_key, int32_t frame_key);

int32_t FuncLogging(char* args);

#endif
