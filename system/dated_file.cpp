#include "system/dated_file.h"

#include <cstring>

#include "interp/text.h"
#include "system/directories.h"
#include "system/file_system.h"

// Room for the whole name: a name cut to fit would write to another file.
const size_t kDatedPathSize = sizeof LogDir1 + 32;

static void DatedPath(char (&path)[kDatedPathSize], const ClockTime& date, const char* extension) {
  TextFormat(path, sizeof path, "%s%04d%02d%02d%s", LogDir1, date.year, date.month, date.day,
             extension);
}

void AppendToDatedFile(const ClockTime& date, const char* extension, const char* line) {
  FileCreateDirectory(LogDir1);
  char path[kDatedPathSize];
  DatedPath(path, date, extension);
  FileAppend(path, line, static_cast<uint32_t>(std::strlen(line)));
}

bool AppendToDatedFileMakingPath(const ClockTime& date, const char* extension, const char* text,
                                 char* path, size_t path_size) {
  MakeDirectoryPath(LogDir1);
  char full[kDatedPathSize];
  DatedPath(full, date, extension);
  bool written = std::strlen(full) < path_size &&
                 FileAppend(full, text, static_cast<uint32_t>(std::strlen(text)));
  if (path_size > 0) TextCopy(path, path_size, written ? full : "");
  return written;
}

void MakeDirectoryPath(const char* dir) {
  char level[sizeof LogDir1];
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
