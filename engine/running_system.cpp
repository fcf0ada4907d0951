// The running system: its name and version for the copy dialog, and whether the card may get
// FAT32 (Windows 98, and Windows 95 from OSR2, build 1111, on).
#include "engine/drive_info.h"
#include "engine/partition.h"
#include "platform/files.h"
#include "platform/text.h"

char OsName[80] = "";
char OsVersionText[80] = "";

static void SetVersionText(const SystemVersion& version) {
  TextFormat(OsVersionText, sizeof OsVersionText, "%u.%u (Build %u)",
             static_cast<unsigned>(version.major), static_cast<unsigned>(version.minor),
             static_cast<unsigned>(version.build & 0xFFFF));
}

int32_t GetOsVersionText() {
  SystemVersion version;
  ReadSystemVersion(&version);
  switch (version.platform) {
    case 0:
      TextCopy(OsName, sizeof OsName, "Win32s");
      SetVersionText(version);
      return kErrWin32s;
    case 1: {
      bool windows98 = version.major == 4 && version.minor == 10;
      TextCopy(OsName, sizeof OsName, windows98 ? "Windows 98" : "Windows 95");
      SetVersionText(version);
      Fat32Enabled = windows98 || (version.build & 0xFFFF) >= 1111 ? 1 : 0;
      return 0;
    }
    case 2:
      TextCopy(OsName, sizeof OsName, "Windows NT");
      SetVersionText(version);
      return kErrWindowsNt;
    default:
      TextCopy(OsName, sizeof OsName, "(Unknown System)");
      OsVersionText[0] = '\0';
      return kErrUnknownSystem;
  }
}
