// The partition tables already on the card: the master boot record's, then the chain of extended
// boot records, read into PartitionList.
#include <utility>

#include "aspi/aspi.h"
#include "engine/boot_records.h"
#include "engine/engine_hooks.h"
#include "engine/engine_report.h"
#include "engine/errors.h"
#include "engine/partition_scan.h"

PartitionTables PartitionList = {};

void ParsePartitionEntry(const uint8_t entries[64], uint32_t extended_base, uint32_t own_base,
                         PartitionInfo table[4]) {
  for (int i = 0; i < 4; ++i) {
    UnpackPartitionEntry(entries + 16 * i, &table[i]);
    if (IsLinkType(table[i].type))
      table[i].start_lba += extended_base;
    else if (table[i].type != 0)
      table[i].start_lba += own_base;
  }
}

// The master boot record's entries in order of their start cylinders. An exchange sort that moves
// only used entries forward, so an empty entry never overtakes a used one.
static void SortByCylinder(PartitionInfo table[4]) {
  for (int i = 0; i < 3; ++i) {
    for (int j = i + 1; j < 4; ++j) {
      if (table[j].type != 0 && table[j].start_cylinder < table[i].start_cylinder)
        std::swap(table[i], table[j]);
    }
  }
}

static const PartitionInfo* FirstLink(const PartitionInfo table[4]) {
  for (int i = 0; i < 4; ++i)
    if (IsLinkType(table[i].type)) return &table[i];
  return nullptr;
}

// The list is emptied first, so a scan whose first read fails leaves no tables of an earlier card.
// A link is followed by its CHS fields; its start LBA only sets the bases of the next table.
int32_t ReadPartitionTables(int32_t adapter) {
  PartitionList.count = 0;
  uint8_t sector[512];
  if (ReadSectors(adapter, 0, 0, kSectorSize, 1, sector) != 0) return kEngineFailed;
  uint32_t extended_base = 0;
  uint32_t own_base = 0;
  for (;;) {
    PartitionInfo* table = PartitionList.table[PartitionList.count++];
    ParsePartitionEntry(sector + kMbrPartitionTable, extended_base, own_base, table);
    if (PartitionList.count == 1) SortByCylinder(table);
    ProgressSetStep(20);
    ProgressStepIt();
    const PartitionInfo* link = FirstLink(table);
    if (link == nullptr) return 0;
    // A full list ends the walk, whether the chain is that long or leads back on itself.
    if (PartitionList.count == kMaxPartitionTables) return 0;
    if (extended_base == 0) extended_base = link->start_lba;
    own_base = link->start_lba;
    uint32_t next =
        ChsToLba(DiskGeometry, link->start_cylinder, link->start_head, link->start_sector);
    if (ReadSectors(adapter, 0, next, kSectorSize, 1, sector) != 0) return kEngineFailed;
  }
}
