// Reading a file from its start, as the bitmap loader does. Paths are byte strings used exactly
// as given.
#ifndef KELVADO_SYSTEM_FILE_READ_H
#define KELVADO_SYSTEM_FILE_READ_H

#include <cstdint>

struct ReadableFile;

// Opens an existing file for reading; others may read it meanwhile, nobody may write it.
// nullptr when it cannot be opened.
ReadableFile* FileOpenRead(const char* path);
// Length of the file in bytes (files of 4 GiB or more count as 0xFFFFFFFF).
uint32_t FileLength(ReadableFile* file);
// Reads up to `length` bytes from where the last read ended; the count read, less at the end of
// the file or on a failure.
uint32_t FileRead(ReadableFile* file, void* bytes, uint32_t length);
void FileClose(ReadableFile* file);

#endif
