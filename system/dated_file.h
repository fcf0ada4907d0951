// The dated files in LogDir1: "<LogDir1><yyyy><mm><dd>.deb" records the executed lines while the
// debug window is open, "<LogDir1><yyyy><mm><dd>.log" the Logging lines and the files the copy of
// the system drive left out. Each text is appended on its own: the directory is made, the file
// opened, written at its end and closed.
#ifndef KELVADO_SYSTEM_DATED_FILE_H
#define KELVADO_SYSTEM_DATED_FILE_H

#include <cstddef>

#include "system/clock.h"

// Appends `line` to the file of the given local date with this extension (".deb", ".log"),
// after creating LogDir1 (its last level only). A directory that cannot be made is ignored; a
// file that cannot be opened or written is skipped silently.
void AppendToDatedFile(const ClockTime& date, const char* extension, const char* line);

// The same for a text that a message names by its path: every missing level of LogDir1 is made
// first, so the file lands where the path says. The file's path goes into `path`; false, with
// `path` emptied, when the text could not be written whole.
bool AppendToDatedFileMakingPath(const ClockTime& date, const char* extension, const char* text,
                                 char* path, size_t path_size);

// Makes every missing directory level of `dir` up to its last separator ("\" or "/"; a trailing
// name without one is a file name prefix, not a directory): "c:\data1\log1\" makes "c:\data1" and
// "c:\data1\log1". Drive letters and roots are never made; Shift-JIS second bytes equal to "\"
// are not separators. Failures are left to the file's own open to report.
void MakeDirectoryPath(const char* dir);

#endif
