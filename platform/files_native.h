// Files in the native build: a table of drives over host folders that tests fill, and
// the system version the seam reports. Threads: filled before the code under test runs.
#ifndef KELVADO_PLATFORM_FILES_NATIVE_H
#define KELVADO_PLATFORM_FILES_NATIVE_H

#include <string>

#include "platform/files.h"

struct NativeDrive {
  char letter;         // 'A'..'Z'
  const char* folder;  // host folder the root stands for
  uint32_t type;       // GetDriveTypeA value
  uint32_t serial;
  const char* label;
  const char* file_system;
  bool volume_fails;  // the volume information cannot be read
  uint32_t sectors_per_cluster, bytes_per_sector, free_clusters, total_clusters;
  bool has_bytes;  // DriveBytes answers with the two figures below
  uint64_t free_bytes, total_bytes;
  uint64_t room;  // bytes that copies onto the drive may still write; 0: no limit
  // With a room: what DirCreate answers once a cluster no longer fits (0: kErrorDiskFull; Windows
  // 95/98 answer kErrorAccessDenied). DriveClusters then counts only the clusters that fit.
  uint32_t full_dir_error;
};
// Adds or replaces a drive.
void NativeDriveAdd(const NativeDrive& drive);
// Forgets every drive, every held file, and sets the version back to Windows 98 4.10.1998.
void NativeDrivesClear();
void NativeSetSystemVersion(const SystemVersion& version);
// A file the system holds open: copying it fails with kErrorSharingViolation.
void NativeHoldFile(const char* path);
// How many times DirCreate was asked for each path, for tests: the count for `path`.
int32_t NativeDirCreateCount(const char* path);

// Attributes. The seam keeps each entry's kAttr* bits itself (0 for what it was never told of):
// listings report them, FileCopyNew gives the copy its source's bits as CopyFileA does, and
// DirSetAttributes changes them. A directory with kAttrReadOnly takes no new entries (access
// denied), as a strict file system would treat it.
void NativeSetAttributes(const char* path, uint32_t attributes);
// The bits of "X:\..."; 0 when none were set.
uint32_t NativeAttributes(const char* path);

// The host path of "X:\dir\name" on a drive of the table; false when the path names none.
bool NativeHostPath(const char* path, std::string* host);

#endif
