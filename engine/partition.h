// The card's geometry and its one partition entry.
//
// The card gets exactly one primary partition spanning it: bootable, cylinder-aligned, starting at
// cylinder 0, head 1, sector 1 (track 0 of cylinder 0 stays free apart from the master boot
// record), of type 06 (FAT16) or 0B (FAT32).
#ifndef KELVADO_ENGINE_PARTITION_H
#define KELVADO_ENGINE_PARTITION_H

#include <cstdint>

struct Geometry {
  uint16_t max_cylinder;       // number of cylinders - 1
  uint16_t max_head;           // number of heads - 1
  uint16_t sectors_per_track;  // 1-63
};

// One partition table entry, decoded.
struct PartitionInfo {
  uint8_t boot_indicator;  // 0x80 active, 0 inactive
  uint16_t start_cylinder, start_head, start_sector;
  uint8_t type;
  uint16_t end_cylinder, end_head, end_sector;
  uint32_t start_lba;
  uint32_t sector_count;
};

const uint8_t kTypeFat16 = 0x06;
const uint8_t kTypeFat16Lba = 0x0E;
const uint8_t kTypeFat32 = 0x0B;
const uint8_t kTypeFat32Lba = 0x0C;

// The geometry chosen for the card by CalcGeometry.
extern Geometry DiskGeometry;
// The partition this engine creates, from BuildPartitionEntry on (type 0 before).
extern PartitionInfo NewPartition;
// 1 when the running system can use FAT32; chooses between FAT16 and FAT32.
extern int32_t Fat32Enabled;
// The new partition's boot sector as it is built and written, and read back when its serial is
// set, one buffer per file system type.
extern uint8_t Fat16BootBuffer[512];
extern uint8_t Fat32BootBuffer[512];
// Threads: the main thread before a worker starts and after it has ended, the one engine worker
// while it runs; starting and waiting for the worker order the accesses.

// The largest card a FAT16 partition is made on: 4,193,664 sectors (about 2 GiB).
const uint32_t kFat16MaxCapacity = 4193664;

// Chooses DiskGeometry from TargetCapacity, HostAdapterName and Fat32Enabled, and may lower
// TargetCapacity to kFat16MaxCapacity. 0; GetDiskInfo's non-zero result; or -1 when the driver's
// heads (2-255) or sectors per track (1-63) cannot be used or the card is smaller than one
// cylinder (nothing is stored then).
int32_t CalcGeometry();

// The sector number of a cylinder, head and sector under `geometry` (32-bit, wrapping).
uint32_t ChsToLba(const Geometry& geometry, uint32_t cylinder, uint32_t head, uint32_t sector);

// Fills NewPartition from DiskGeometry and Fat32Enabled; returns its sector count.
uint32_t BuildPartitionEntry();

// The 16 bytes of a partition table entry, and back.
void PackPartitionEntry(const PartitionInfo& info, uint8_t out[16]);
void UnpackPartitionEntry(const uint8_t entry[16], PartitionInfo* info);

// The partition's first sector (its boot sector) as its start cylinder, head and sector give it.
uint32_t PartitionFirstSector(const PartitionInfo& info);

#endif
