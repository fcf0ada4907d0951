#include <windows.h>

#include "system/file_system.h"

bool FileCreateDirectory(const char* path) { return CreateDirectoryA(path, NULL) != 0; }

bool FileAppend(const char* path, const void* bytes, uint32_t length) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool done = SetFilePointer(file, 0, NULL, FILE_END) != INVALID_SET_FILE_POINTER &&
              WriteFile(file, bytes, length, &written, NULL) && written == length;
  CloseHandle(file);
  return done;
}
