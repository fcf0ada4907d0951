// The system area of a new FAT16 or FAT32 file system: the optional surface check of the data area,
// the read check and writing of the FAT copies with a mark for every bad cluster, and the empty
// root directory. Runs between building a boot sector in memory and writing it.
//
// All I/O goes to target 0 of `adapter` in 512-byte sectors. Progress and status texts go through
// the engine hooks; only the FAT32 path polls AbortEvent.
#ifndef KELVADO_ENGINE_SYSTEM_AREA_H
#define KELVADO_ENGINE_SYSTEM_AREA_H

#include <cstdint>

#include "engine/partition.h"

// The clusters the data-area check found unreadable, in ascending order.
const int32_t kMaxBadClusters = 1024;
struct BadClusters {
  uint32_t cluster[kMaxBadClusters];
  int32_t count;
};
extern BadClusters BadClusterList;

// 1: read the whole data area before the FATs are written and mark the clusters that fail.
extern int32_t ChkDataArea;
// Threads: the main thread before a worker starts and after it has ended, the one engine worker
// while it runs; starting and waiting for the worker order the accesses.

// Where the areas of a file system lie, from its partition and boot sector.
struct FatAreas {
  uint32_t first_fat;        // F: partition start + reserved sectors
  uint32_t fat_length;       // all FAT copies, in sectors
  uint32_t root_dir;         // R: FAT16 only, after the FATs
  uint32_t root_dir_length;  // FAT16 only, in sectors
  uint32_t first_data;       // D: first sector of cluster 2
  uint32_t end;              // E: first sector after the partition
};
FatAreas Fat16Areas(const PartitionInfo& partition, const uint8_t boot_sector[512]);
FatAreas Fat32Areas(const PartitionInfo& partition, const uint8_t boot_sector[512]);

// Data check, FAT copies, root directory: 0, or the first failure (602-606).
int32_t InitSystemArea16(int32_t adapter, const PartitionInfo& partition,
                         const uint8_t boot_sector[512]);
// Data check, FAT copies with the root directory's cluster: 0, 602-605, -9, or -1.
int32_t InitSystemArea32(int32_t adapter, const PartitionInfo& partition,
                         const uint8_t boot_sector[512]);

// Reads every cluster from `first_data` to `end` and lists those that fail: 0, 602 at the 1024th
// bad cluster, and for FAT32 -9 when stopped. FAT16 reads one cluster per request, FAT32 sixteen.
int32_t CheckDataArea16(int32_t adapter, const uint8_t boot_sector[512], uint32_t first_data,
                        uint32_t end);
int32_t CheckDataArea32(int32_t adapter, const uint8_t boot_sector[512], uint32_t first_data,
                        uint32_t end);

// Read-checks the FAT area of `areas`, then writes every FAT copy (fat_copies.cpp): 0, 603
// (read), 604 (write); FAT32 also -9 when stopped and -1 when its first FAT sector or root
// directory cluster cannot be written.
int32_t InitFatArea16(int32_t adapter, const FatAreas& areas, const uint8_t boot_sector[512]);
int32_t InitFatArea32(int32_t adapter, const FatAreas& areas, const uint8_t boot_sector[512]);

// FAT16: read-checks and empties the root directory: 0, 605 (read), 606 (write).
int32_t InitRootDirArea(int32_t adapter, const FatAreas& areas, const uint8_t boot_sector[512]);

// The phases' status texts.
extern const char kStatusDataCheck[];
extern const char kStatusFatCheck[];
extern const char kStatusFatInit[];
extern const char kStatusRootCheck[];
extern const char kStatusRootInit[];
extern const char kStatusFileSystemInit[];

#endif
