// Whether the root directory of a FAT12/16 or FAT32 partition holds any entry.
#include <cstring>

#include "aspi/aspi.h"
#include "engine/boot_records.h"
#include "engine/partition_scan.h"
#include "fat/dir_entry.h"
#include "platform/byte_order.h"

// One past the last sector number a card can have.
const uint64_t kSectorNumberEnd = uint64_t{1} << 32;
// A directory holds at most 65,536 entries: 4,096 sectors.
const uint64_t kMaxDirSectors = uint64_t{kMaxDirEntries} * kDirEntryBytes / kSectorSize;
// ScanDirectory's answer when no sector decided.
const int32_t kUndecided = 2;

// The verdict on one directory sector: 1 the end-of-directory mark, 0 an entry in use, -1 only
// deleted entries (the directory goes on).
static int32_t JudgeDirSector(const uint8_t sector[512]) {
  for (uint32_t at = 0; at < kSectorSize; at += kDirEntryBytes) {
    if (sector[at] == kDirEnd) return 1;
    if (sector[at] != kDirDeleted) return 0;
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

// Directory sectors from `first` up to `end` (excluded), one at a time, until one decides: 1, 0,
// -1 for a failed read, kUndecided when none decides. Sector numbers past 32 bits are never read:
// a boot sector whose fields reach there has no directory on this card.
static int32_t ScanDirectory(int32_t adapter, uint64_t first, uint64_t end) {
  if (end > kSectorNumberEnd) end = kSectorNumberEnd;
  uint8_t sector[512];
  for (uint64_t lba = first; lba < end; ++lba) {
    if (ReadSectors(adapter, 0, static_cast<uint32_t>(lba), kSectorSize, 1, sector) != 0)
      return -1;
    int32_t verdict = JudgeDirSector(sector);
    if (verdict >= 0) return verdict;
  }
  return kUndecided;
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
  uint32_t sectors = GetLe16(boot_buffer + kBpbRootEntCnt) * kDirEntryBytes / kSectorSize;
  int32_t verdict = ScanDirectory(adapter, root, root + sectors);
  return verdict == kUndecided ? -1 : verdict;
}

// The FAT entry of `cluster` in the FAT starting at sector `fat`, read through `cache` (which
// holds FAT sector `*cached`); 0 when the sector cannot be read or lies past 32-bit numbers.
static uint32_t NextCluster(int32_t adapter, uint64_t fat, uint32_t cluster, uint8_t cache[512],
                            uint64_t* cached) {
  uint64_t lba = fat + cluster / 128;
  if (lba >= kSectorNumberEnd) return 0;
  if (*cached != lba) {
    if (ReadSectors(adapter, 0, static_cast<uint32_t>(lba), kSectorSize, 1, cache) != 0) return 0;
    *cached = lba;
  }
  return GetLe32(cache + cluster % 128 * 4) & 0x0FFFFFFF;
}

// The root directory is taken to start at the first data sector, cluster 2 (BPB_RootClus is not
// consulted), and is read cluster by cluster along that cluster's chain in the first FAT until an
// entry decides. The chain's end, the partition's end (BPB_TotSec32) and the 65,536 entries a
// directory can hold end it without a decision: a root of deleted entries on a large card costs
// at most 4,096 sector reads.
int32_t CheckFat32RootDir(int32_t adapter, const PartitionInfo& partition,
                          uint8_t boot_buffer[512]) {
  int64_t boot = ReadBootSector(adapter, partition, boot_buffer, kBs32FilSysType, "FAT32");
  if (boot < 0) return -1;
  const uint32_t per_cluster = boot_buffer[kBpbSecPerClus];
  if (per_cluster == 0) return -1;
  const uint64_t fat = static_cast<uint64_t>(boot) + GetLe16(boot_buffer + kBpbRsvdSecCnt);
  const uint64_t data = SystemAreaEnd(boot, boot_buffer, GetLe32(boot_buffer + kBpbFatSz32));
  const uint64_t end = static_cast<uint64_t>(boot) + GetLe32(boot_buffer + kBpbTotSec32);
  uint8_t fat_sector[512];
  uint64_t cached = kSectorNumberEnd;
  uint64_t read = 0;
  for (uint32_t cluster = 2; cluster >= 2 && cluster < 0x0FFFFFF7;) {
    uint64_t first = data + uint64_t{cluster - 2} * per_cluster;
    if (first >= end || read >= kMaxDirSectors) return -1;
    uint64_t last = first + per_cluster;
    if (last > end) last = end;
    if (last - first > kMaxDirSectors - read) last = first + (kMaxDirSectors - read);
    int32_t verdict = ScanDirectory(adapter, first, last);
    if (verdict != kUndecided) return verdict;
    read += last - first;
    cluster = NextCluster(adapter, fat, cluster, fat_sector, &cached);
  }
  return -1;
}
