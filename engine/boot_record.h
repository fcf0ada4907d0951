// FAT16 and FAT32 boot records: the boot sector's fields, the templates they are made from, the
// cluster sizes and FAT sizes, and the writer that puts a whole file system and the master boot
// record on the card.
#ifndef KELVADO_ENGINE_BOOT_RECORD_H
#define KELVADO_ENGINE_BOOT_RECORD_H

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

// The fixed templates. Their boot code is this system's own; see the template sources.
extern const uint8_t kMbrTemplate[512];
extern const uint8_t kFat16BootTemplate[512];
extern const uint8_t kFat32BootTemplate[512];
extern const uint8_t kFat32BootCodeTemplate[512];  // sector 2 of a FAT32 volume (and its backup, 8)

// The boot sectors being built and written, one per file system type.
extern uint8_t Fat16BootBuffer[512];
extern uint8_t Fat32BootBuffer[512];
// Threads: the main thread before a worker starts and after it has ended, the one engine worker
// while it runs; starting and waiting for the worker order the accesses.

// FAT types are told apart by cluster count alone: fewer than 4,085 clusters read as FAT12, fewer
// than 65,525 as FAT12 or FAT16.
const uint32_t kMinFat16Clusters = 4085;
const uint32_t kMinFat32Clusters = 65525;

// Sectors per cluster for a partition of `sectors` sectors.
uint32_t ClusterSizeFat16(uint32_t sectors);
uint32_t ClusterSizeFat32(uint32_t sectors);

// FAT sizes in sectors (one copy), and the clusters a partition of `sectors` sectors gets, for
// the layouts this engine writes (FAT16: 1 reserved sector, 2 FATs, 512 root entries; FAT32: 32
// reserved sectors, 2 FATs).
uint32_t FatSize16(uint32_t sectors, uint32_t sectors_per_cluster);
uint32_t FatSize32(uint32_t sectors, uint32_t sectors_per_cluster);
uint32_t Fat16ClusterCount(uint32_t sectors, uint32_t sectors_per_cluster);
uint32_t Fat32ClusterCount(uint32_t sectors, uint32_t sectors_per_cluster);

// Fills `out` as the FSInfo sector: signatures, the free cluster count, next free cluster 2.
void BuildFsInfoSector(uint32_t free_count, uint8_t out[512]);

// Writes the file system of NewPartition (FAT areas, root directory, boot record), then the master
// boot record, reading each system sector back. 0; -1 (a type that is not FAT16 or FAT32, or a
// failed MBR write); -9 (stopped by the user); 601 (a system sector, sector 0 included, that does
// not read back as written); 104 (a card too small for a volume); or an error code.
int32_t MakePartition(int32_t adapter);
// The file system alone: 0, 601, 104 (FAT16: too few clusters), -9, a code of the FAT areas, or -1.
int32_t FormatFat16(int32_t adapter);
int32_t FormatFat32(int32_t adapter);

#endif
