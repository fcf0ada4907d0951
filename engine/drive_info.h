// What the program knows about the running system and the two drives of the transfer: the
// operating system (which decides whether the card may get FAT32), the source drive C: and the
// card's drive, reported as the drive figures; the check that the card has room for what C:
// holds; and the search of the card's drive by its volume serial.
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

// What was last read about a drive. The cluster figures are the system's 32-bit ones;
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

// Read the source drive `root` ("C:\") or the card's drive into SourceDriveInfo or
// TargetDriveInfo, and report what they read as the drive figures (engine/engine_report.h): the
// drive type, then the system (for the source) or the root (for the target), the volume, the
// space. 0; 201 when the drive is not fixed (nothing changes); 203 when its volume or space cannot
// be read (the figures reported so far stay, the record keeps its old values). Call from the
// thread that runs the engine.
int32_t ShowSourceDriveInfo(const char* root);
int32_t ShowTargetDriveInfo(const char* root);

// Whether the target has room for what the source uses, both from the two records above, in
// 64 bits: 0 when the target's free bytes exceed the source's used bytes, else 104 (equal sizes
// are refused).
int32_t CheckFreeSpace();

// Looks for a fixed drive, C: to Z: in letter order (A: and B: never), whose volume serial is
// `serial`: 1 found (TargetRoot set to "X:\"), 0 not found (TargetRoot unchanged).
int32_t FindDriveBySerial(uint32_t serial);

#endif
