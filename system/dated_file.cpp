#include "system/dated_file.h"

#include <cstring>

#include "interp/text.h"
#include "system/directories.h"
#include "system/file_system.h"

void AppendToDatedFile(const ClockTime& date, const char* extension, const char* line) {
  FileCreateDirectory(LogDir1);
  // Room for the whole name: a name cut to fit would write to another file.
  char path[sizeof LogDir1 + 32];
  TextFormat(path, sizeof path, "%s%04d%02d%02d%s", LogDir1, date.year, date.month, date.day,
             extension);
  FileAppend(path, line, static_cast<uint32_t>(std::strlen(line)));
}
