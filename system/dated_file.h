// The dated files in LogDir1: "<LogDir1><yyyy><mm><dd>.deb" records the executed lines while the
// debug window is open, "<LogDir1><yyyy><mm><dd>.log" the Logging lines. Each line is appended
// on its own: the directory is made (one level), the file opened, written at its end and closed.
#ifndef KELVADO_SYSTEM_DATED_FILE_H
#define KELVADO_SYSTEM_DATED_FILE_H

#include "system/clock.h"

// Appends `line` to the file of the given local date with this extension (".deb", ".log"),
// after creating LogDir1. A directory that cannot be made is ignored; a file that cannot be
// opened or written is skipped silently.
void AppendToDatedFile(const ClockTime& date, const char* extension, const char* line);

#endif
