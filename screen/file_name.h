// The full name of a file that a command opens: a directory prefix (HomeDir, or nothing) and the
// name the script gave, joined as they are, without a separator.
#ifndef KELVADO_SCREEN_FILE_NAME_H
#define KELVADO_SCREEN_FILE_NAME_H

#include <cstddef>

// The longest full name is one byte less: longer names are refused, never cut.
const size_t kFileNameSize = 256;

// prefix + name into `path`; false, with `path` untouched, when that takes kFileNameSize bytes
// or more.
bool BuildFileName(char (&path)[kFileNameSize], const char* prefix, const char* name);

#endif
