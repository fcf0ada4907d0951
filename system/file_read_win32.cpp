#include <windows.h>

#include "system/file_read.h"

// The ReadableFile pointer is the Win32 file handle itself.
static HANDLE Handle(ReadableFile* file) { return reinterpret_cast<HANDLE>(file); }

ReadableFile* FileOpenRead(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return reinterpret_cast<ReadableFile*>(file);
}

uint32_t FileLength(ReadableFile* file) {
  DWORD high = 0;
  DWORD low = GetFileSize(Handle(file), &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return 0;
  return high != 0 ? 0xFFFFFFFFu : low;
}

uint32_t FileRead(ReadableFile* file, void* bytes, uint32_t length) {
  unsigned char* next = static_cast<unsigned char*>(bytes);
  uint32_t done = 0;
  while (done < length) {
    DWORD got = 0;
    if (!::ReadFile(Handle(file), next + done, length - done, &got, NULL) || got == 0) break;
    done += got;
  }
  return done;
}

void FileClose(ReadableFile* file) { CloseHandle(Handle(file)); }
