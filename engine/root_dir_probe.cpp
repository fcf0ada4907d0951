// Whether the root directory of a FAT12/16 or FAT32 partition holds any entry.
#include <cstring>

#include "engine/aspi/aspi.h"
#include "engine/boot_record.h"
#include "engine/byte_order.h"
#include "engine/partition_scan.h"

const uint32_t kDirEntrySize = 32;
const uint8_t kEndOfDirectory = 0x00;
const uint8_t kDeletedEntry = 0xE5;
// One past the last sector number a card can have.
const uint64_t kSectorNumberEnd = uint64_t{1} << 32;

// The verdict on one directory sector: 1 the end-of-directory mark, 0 an entry in use, -1 only
// deleted entries (the directory goes on).
static int32_t JudgeDirSector(const uint8_t sector[512]) {
  for (uint32_t at = 0; at < kSectorSize; at += kDirEntrySize) {
    if (sector[at] == kEndOfDirectory) return 1;
    if (sector[at] != kDeletedEntry) return 0;
  }
  return -1;
}

// Reads the partition's boot sector, at its start CHS, into `boot`: its sector number, or -1 when
// the read fails or the sector lacks the jump (EB xx 90) or the file system name `name` at `at`.
static int64_t ReadBootSector(int32_t adapter, const PartitionInfo& partition, uint8_t boot[512],
                              uint32_t at, const char* name) {
  uint32_t first = ChsToLba(DiskGeometry, partition.start_cylinder, partition.start_head,
                            partition.start_sector);
  if (ReadSectors(adapter, 0, first, kSectorSize, 1, boot) != 0) return -1;
  if (boot[0] != 0xEB || boot[2] != 0x90) return -1;
  if (std::memcmp(boot + at, name, std::strlen(name)) != 0) return -1;
  return first;
}

// Directory sectors from `first` up to `end` (excluded), one at a time, until one decides.
// Sector numbers past 32 bits are never read: a boot sector whose fields reach there has no
// directory on this card.
static int32_t ScanDirectory(int32_t adapter, uint64_t first, uint64_t end) {
  if (end > kSectorNumberEnd) end = kSectorNumberEnd;
  uint8_t sector[512];
  for (uint64_t lba = first; lba < end; ++lba) {
    if (ReadSectors(adapter, 0, static_cast<uint32_t>(lba), kSectorSize, 1, sector) != 0)
      return -1;
    int32_t verdict = JudgeDirSector(sector);
    if (verdict >= 0) return verdict;
  }
  return -1;
}

// The area before the root directory (FAT16) or the first data cluster (FAT32), counted in 64
// bits: reserved sectors and every FAT copy.
static uint64_t SystemAreaEnd(int64_t boot_sector, const uint8_t boot[512], uint32_t fat_size) {
  return static_cast<uint64_t>(boot_sector) + GetLe16(boot + kBpbRsvdSecCnt) +
         uint64_t{boot[kBpbNumFats]} * fat_size;
}

// FAT12 and FAT16 alike carry "FAT1" at the start of their file system name.
int32_t CheckFatRootDir(int32_t adapter, const PartitionInfo& partition,
                        uint8_t boot_buffer[512]) {
  int64_t boot = ReadBootSector(adapter, partition, boot_buffer, kBs16FilSysType, "FAT1");
  if (boot < 0) return -1;
  uint64_t root = SystemAreaEnd(boot, boot_buffer, GetLe16(boot_buffer + kBpbFatSz16));
  uint32_t sectors = GetLe16(boot_buffer + kBpbRootEntCnt) * kDirEntrySize / kSectorSize;
  return ScanDirectory(adapter, root, root + sectors);
}

// The root directory is taken to start at the first data sector (BPB_RootClus is not consulted)
// and is read until it ends or the card does.
int32_t CheckFat32RootDir(int32_t adapter, const PartitionInfo& partition,
                          uint8_t boot_buffer[512]) {
  int64_t boot = ReadBootSector(adapter, partition, boot_buffer, kBs32FilSysType, "FAT32");
  if (boot < 0) return -1;
  uint64_t data = SystemAreaEnd(boot, boot_buffer, GetLe32(boot_buffer + kBpbFatSz32));
  return ScanDirectory(adapter, data, kSectorNumberEnd);
}
