// What the program knows about the running system and the two drives of the transfer: the
// operating system (which decides whether the card may get FAT32), the source drive C: and the
// card's drive, shown in the copy dialog's two group boxes; the check that the card has room for
// what C: holds; and the search of the card's drive by its volume serial.
//
// Results follow the engine: 0 success, or a numbered error code (engine/errors.h).
#ifndef KELVADO_ENGINE_DRIVE_INFO_H
#define KELVADO_ENGINE_DRIVE_INFO_H

#include <cstdint>

#include "engine/errors.h"

// "Win32s", "Windows 95", "Windows 98", "Windows NT" or "(Unknown System)".
extern char OsName[80];
// "<major>.<minor> (Build <low 16 bits of the build>)"; empty for an unknown platform.
extern char OsVersionText[80];

// Classifies the running system into OsName and OsVersionText and sets Fat32Enabled (1 on
// Windows 98, and on Windows 95 from build 1111, OSR2, on; unchanged on NT): 0 for Windows 95
// and 98, 101 Win32s, 102 Windows NT, 103 any other platform.
int32_t GetOsVersionText();

// The words for a GetDriveTypeA value (a constant).
const char* DriveTypeName(uint32_t type);

// What the copy dialog last read about a drive. The cluster figures are the system's 32-bit ones;
// free_bytes and total_bytes are 64-bit, from GetDiskFreeSpaceExA where the system has it, else
// the cluster products computed without wrapping.
struct DriveInfo {
  char root[256];
  uint32_t type;
  char label[200];
  uint32_t serial;
  char file_system[50];
  uint32_t sectors_per_cluster;
  uint32_t bytes_per_sector;
  uint32_t free_clusters;
  uint32_t total_clusters;
  uint64_t free_bytes;
  uint64_t total_bytes;
};
extern DriveInfo SourceDriveInfo;
extern DriveInfo TargetDriveInfo;

// Control ids of the copy dialog that the two functions below write.
const int32_t kSourceOsText = 1010;      // OS name and version
const int32_t kSourceTypeText = 1011;    // drive type
const int32_t kSourceSpaceText = 1012;   // cluster and space figures
const int32_t kSourceVolumeText = 1013;  // label, serial, file system
const int32_t kTargetRootText = 1014;    // the target's root path
const int32_t kTargetTypeText = 1015;
const int32_t kTargetSpaceText = 1016;
const int32_t kTargetVolumeText = 1017;

// Fill the copy dialog's left (source) or right (target) group box for `root` ("C:\") and store
// what they read in SourceDriveInfo or TargetDriveInfo. 0; 201 when the drive is not fixed
// (nothing changes); 203 when its volume or space cannot be read (the fields shown so far stay,
// the record keeps its old values). `dialog` is the dialog's window handle (nullptr: nothing
// shown, the record still filled). Call from the dialog's thread or a worker.
int32_t ShowSourceDriveInfo(void* dialog, const char* root);
int32_t ShowTargetDriveInfo(void* dialog, const char* root);

// Whether the target has room for what the source uses, both from the two records above, in
// 64 bits: 0 when the target's free bytes exceed the source's used bytes, else 104 (equal sizes
// are refused).
int32_t CheckFreeSpace();

// Looks for a fixed drive, C: to Z: in letter order (A: and B: never), whose volume serial is
// `serial`: 1 found (TargetRoot set to "X:\"), 0 not found (TargetRoot unchanged).
int32_t FindDriveBySerial(uint32_t serial);

#endif
