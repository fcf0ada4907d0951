// The tool's own records: the Logging command's dated log of the tool's use, the dated files of
// LogDir1, and the message commands that record nothing.
#ifndef KELVADO_SERVICES_LOGGING_H
#define KELVADO_SERVICES_LOGGING_H

#include <cstddef>
#include <cstdint>

#include "platform/clock.h"

// Logging: each Logging line appends the local date and time, the number of divisions and the
// chosen background and frame keys to "<LogDir1><date>.log".
// The log line for `now`, a count and the two keys (-1: nothing chosen), line feed included.
void FormatLogLine(char* out, size_t size, const ClockTime& now, int32_t count,
                   int32_t background_key, int32_t frame_key);

int32_t FuncLogging(char* args);

// The dated files in LogDir1 (platform/files.h names them): "<LogDir1><yyyy><mm><dd>.deb" records
// the executed lines while the debug window is open, "<LogDir1><yyyy><mm><dd>.log" the Logging
// lines. Appends `line` to the file of the given local date with this extension, after creating
// LogDir1 (its last level only). A directory that cannot be made is ignored; a file that cannot
// be opened or written is skipped silently.
void AppendToDatedFile(const ClockTime& date, const char* extension, const char* line);

// IntrrimMsg, LastMsg and LastMsgInterval: accept any arguments, or none, and do nothing.
int32_t FuncIntrrimMsg(char* args);
int32_t FuncLastMsg(char* args);
int32_t FuncLastMsgInterval(char* args);

#endif
