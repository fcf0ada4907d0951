// The boot sector of a FAT volume and the master boot record of the disk before it: the byte
// offsets of their fields (all little-endian, read and written with platform/byte_order.h), and
// the cluster counts that tell FAT12, FAT16 and FAT32 apart.
#ifndef KELVADO_FAT_BOOT_SECTOR_H
#define KELVADO_FAT_BOOT_SECTOR_H

#include <cstdint>

// Byte offsets of the boot sector's fields (all little-endian). The BIOS parameter block is common
// to both; what follows it differs.
enum BootSectorField : uint32_t {
  kBsJmpBoot = 0,
  kBsOemName = 3,
  kBpbBytsPerSec = 11,
  kBpbSecPerClus = 13,
  kBpbRsvdSecCnt = 14,
  kBpbNumFats = 16,
  kBpbRootEntCnt = 17,
  kBpbTotSec16 = 19,
  kBpbMedia = 21,
  kBpbFatSz16 = 22,
  kBpbSecPerTrk = 24,
  kBpbNumHeads = 26,
  kBpbHiddSec = 28,
  kBpbTotSec32 = 32,
  // FAT16
  kBs16DrvNum = 36,
  kBs16Reserved1 = 37,
  kBs16BootSig = 38,
  kBs16VolId = 39,
  kBs16VolLab = 43,
  kBs16FilSysType = 54,
  kBs16BootCode = 62,
  // FAT32
  kBpbFatSz32 = 36,
  kBpbExtFlags = 40,
  kBpbFsVer = 42,
  kBpbRootClus = 44,
  kBpbFsInfo = 48,
  kBpbBkBootSec = 50,
  kBpbReserved = 52,
  kBs32DrvNum = 64,
  kBs32Reserved1 = 65,
  kBs32BootSig = 66,
  kBs32VolId = 67,
  kBs32VolLab = 71,
  kBs32FilSysType = 82,
  kBs32BootCode = 90,
  // Both, and the master boot record
  kBootSignature = 510,
  kMbrPartitionTable = 446,
};

// FSInfo fields (FAT32, the sector after the boot sector).
enum FsInfoField : uint32_t {
  kFsiLeadSig = 0,
  kFsiStrucSig = 484,
  kFsiFreeCount = 488,
  kFsiNxtFree = 492,
};

// FAT types are told apart by cluster count alone: fewer than 4,085 clusters read as FAT12, fewer
// than 65,525 as FAT12 or FAT16.
const uint32_t kMinFat16Clusters = 4085;
const uint32_t kMinFat32Clusters = 65525;

#endif
