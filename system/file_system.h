// The file system as the dated debug and log files use it. Paths are byte strings used exactly
// as given: the program never adds a separator. Natively a path "X:\..." names a file of drive X:
// of the drive seam's table (system/drives_native.h), any other path a host file.
#ifndef KELVADO_SYSTEM_FILE_SYSTEM_H
#define KELVADO_SYSTEM_FILE_SYSTEM_H

#include <cstdint>

// Creates one directory level; false when it fails (an existing directory included).
bool FileCreateDirectory(const char* path);
// Opens the file for writing with shared reading, creating it when missing, writes `length`
// bytes at its end and closes it. False when it cannot be opened or not every byte is written.
bool FileAppend(const char* path, const void* bytes, uint32_t length);

#endif
