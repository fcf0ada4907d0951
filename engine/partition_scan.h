// The scan of what a card already holds, before anything is written to it: the master boot
// record and the chain of extended boot records read into PartitionList, and the probe of the
// FAT12, FAT16 and FAT32 root directories that tells whether any partition holds entries.
//
// The card's content is untrusted: the walk reads at most kMaxPartitionTables tables, the probes
// stop at the card's end and never use a sector number beyond 32 bits. Sector numbers of CHS
// fields come from ChsToLba under DiskGeometry, so CalcGeometry runs first. Nothing here writes.
#ifndef KELVADO_ENGINE_PARTITION_SCAN_H
#define KELVADO_ENGINE_PARTITION_SCAN_H

#include <cstdint>

#include "engine/partition.h"

// Room for the master boot record's table and 25 extended boot records'.
const int32_t kMaxPartitionTables = 26;

// Partition tables in the order read: table 1 (index 0) is the master boot record's, the others
// the extended boot records' in chain order. `count` tables are valid.
struct PartitionTables {
  PartitionInfo table[kMaxPartitionTables][4];
  int32_t count;
};
extern PartitionTables PartitionList;
// Threads: the main thread before a worker starts and after it has ended, the one engine worker
// while it runs; starting and waiting for the worker order the accesses.

// Types of extended partition links.
const uint8_t kTypeExtended = 0x05;
const uint8_t kTypeExtendedLba = 0x0F;

// The partition types the scan tells apart: links, FAT12/16 (1, 4, 6, 14) and FAT32 (11, 12).
inline bool IsLinkType(uint8_t type) { return type == kTypeExtended || type == kTypeExtendedLba; }
inline bool IsFat16Type(uint8_t type) { return type == 1 || type == 4 || type == 6 || type == 14; }
inline bool IsFat32Type(uint8_t type) { return type == kTypeFat32 || type == kTypeFat32Lba; }

// Decodes the four 16-byte entries at `entries` (bytes 446-509 of a sector) into `table`. A link
// (types 5 and 15) gets `extended_base` added to its start LBA, any other used entry `own_base`
// (the sector number its table's sector is counted from); an empty entry (type 0) keeps its value.
// The sums wrap at 32 bits.
void ParsePartitionEntry(const uint8_t entries[64], uint32_t extended_base, uint32_t own_base,
                         PartitionInfo table[4]);

// Reads sector 0 and follows the first link of every table, into PartitionList; the reported
// progress bar steps by 20 per table. 0, or -1 when a read failed (the tables read before it
// stay). A chain that goes on past kMaxPartitionTables tables, or that leads back to a table read
// before, ends there with 0: the tables stay full, and the last one still holds its link, which
// ExtendedHasFiles counts as a partition it cannot look into.
int32_t ReadPartitionTables(int32_t adapter);

// Whether the partitions of PartitionList hold anything: 1 nothing in use; 0 a used root
// directory, or a partition that is not FAT or cannot be looked into; -1 a FAT partition failed
// the probe, a read failed, or no table was read.
int32_t TargetHasFiles(int32_t adapter);
// The same for the extended boot records' tables (2 onward) only: 1, 0 or -1.
int32_t ExtendedHasFiles(int32_t adapter);

// The root directory of the FAT12/16 or FAT32 partition `partition`, its boot sector read into
// `boot_buffer`: 1 empty (the end-of-directory mark comes before any entry in use, deleted ones
// skipped), 0 an entry in use, -1 the boot sector is not of that file system, a read failed, or no
// end was found (FAT32: along the chain of cluster 2 in the first FAT, inside the partition, within
// the 65,536 entries a directory can hold).
int32_t CheckFatRootDir(int32_t adapter, const PartitionInfo& partition, uint8_t boot_buffer[512]);
int32_t CheckFat32RootDir(int32_t adapter, const PartitionInfo& partition,
                          uint8_t boot_buffer[512]);

#endif
