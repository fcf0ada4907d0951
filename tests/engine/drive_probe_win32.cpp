// Drive information and the search of the card's drive in the Win32 build, for the e2e test
// under Wine (tests/e2e/drive_info_test.py): prints what the system reports and what the engine
// made of it.
//   drive_probe SOURCE TARGET SERIAL   e.g. drive_probe C:\ E:\ 1
#include <cstdio>
#include <cstdlib>

#include "engine/drive_info.h"
#include "engine/file_copy.h"
#include "engine/partition.h"

static void Print(const char* what, int32_t result, const DriveInfo& info) {
  std::printf("%s %d type=%u serial=%08X fs=%s label=%s clusters=%u,%u,%u,%u bytes=%.0f,%.0f\n",
              what, static_cast<int>(result), static_cast<unsigned>(info.type),
              static_cast<unsigned>(info.serial), info.file_system, info.label,
              static_cast<unsigned>(info.sectors_per_cluster),
              static_cast<unsigned>(info.bytes_per_sector),
              static_cast<unsigned>(info.free_clusters), static_cast<unsigned>(info.total_clusters),
              static_cast<double>(info.free_bytes), static_cast<double>(info.total_bytes));
}

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: drive_probe SOURCE TARGET SERIAL\n", stderr);
    return 2;
  }
  int32_t os = GetOsVersionText();
  std::printf("os %d %s|%s fat32=%d\n", static_cast<int>(os), OsName, OsVersionText,
              static_cast<int>(Fat32Enabled));
  Print("source", ShowSourceDriveInfo(argv[1]), SourceDriveInfo);
  Print("target", ShowTargetDriveInfo(argv[2]), TargetDriveInfo);
  std::printf("space %d\n", static_cast<int>(CheckFreeSpace()));
  int32_t found = FindDriveBySerial(static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 16)));
  std::printf("find %d %s\n", static_cast<int>(found), TargetRoot);
  return 0;
}
