#include "platform/files.h"

#include <cstdio>
#include <cstring>

#include "platform/text.h"

bool DatedFileName(char* path, size_t size, const char* dir, const ClockTime& date,
                   const char* extension) {
  if (size == 0) return false;
  // A name cut to fit would name another file: it is written whole or not at all.
  int length = std::snprintf(path, size, "%s%04d%02d%02d%s", dir, date.year, date.month, date.day,
                             extension);
  if (length >= 0 && static_cast<size_t>(length) < size) return true;
  path[0] = '\0';
  return false;
}

void MakeDirectoryPath(const char* dir) {
  char level[256];
  size_t length = std::strlen(dir);
  if (length >= sizeof level) return;
  for (size_t i = 0; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(dir[i]);
    if (IsLeadByte(c)) {
      ++i;  // its second byte may be 0x5C, which is no separator
      continue;
    }
    if (c != '\\' && c != '/') continue;
    // Nothing before the separator ("\dir", "/tmp") or a drive ("c:\"): no directory to make.
    if (i == 0 || (i == 2 && dir[1] == ':')) continue;
    std::memcpy(level, dir, i);
    level[i] = '\0';
    FileCreateDirectory(level);
  }
}

bool AppendToDatedFileMakingPath(const char* dir, const ClockTime& date, const char* extension,
                                 const char* text, char* path, size_t path_size) {
  MakeDirectoryPath(dir);
  char full[256 + kDatedNameLength];
  bool written = DatedFileName(full, sizeof full, dir, date, extension) &&
                 std::strlen(full) < path_size &&
                 FileAppend(full, text, static_cast<uint32_t>(std::strlen(text)));
  if (path_size > 0) TextCopy(path, path_size, written ? full : "");
  return written;
}
