// The card's one partition entry: built from the geometry, packed into the partition table.
#include "engine/boot_records.h"
#include "engine/partition.h"
#include "platform/byte_order.h"

PartitionInfo NewPartition = {};
uint8_t Fat16BootBuffer[512];
uint8_t Fat32BootBuffer[512];

uint32_t BuildPartitionEntry() {
  const Geometry& g = DiskGeometry;
  PartitionInfo p = {};
  p.boot_indicator = 0x80;
  p.start_cylinder = 0;
  p.start_head = 1;
  p.start_sector = 1;
  p.end_cylinder = g.max_cylinder;
  p.end_head = g.max_head;
  p.end_sector = g.sectors_per_track;
  p.start_lba = ChsToLba(g, 0, 1, 1);
  p.sector_count = ChsToLba(g, p.end_cylinder, p.end_head, p.end_sector) - p.start_lba + 1;
  // A FAT32 volume with fewer than 65,525 clusters is read as FAT16 (or FAT12) by every system;
  // a partition that small gets FAT16 instead.
  bool fat32 = Fat32Enabled != 0 &&
               Fat32ClusterCount(p.sector_count, ClusterSizeFat32(p.sector_count)) >=
                   kMinFat32Clusters;
  p.type = fat32 ? kTypeFat32 : kTypeFat16;
  NewPartition = p;
  return p.sector_count;
}

uint32_t PartitionFirstSector(const PartitionInfo& info) {
  return ChsToLba(DiskGeometry, info.start_cylinder, info.start_head, info.start_sector);
}

// Head, then sector in bits 0-5 with cylinder bits 8-9 in bits 6-7, then cylinder bits 0-7.
static void PackChs(uint32_t cylinder, uint32_t head, uint32_t sector, uint8_t out[3]) {
  out[0] = static_cast<uint8_t>(head);
  out[1] = static_cast<uint8_t>((sector & 0x3F) | ((cylinder >> 2) & 0xC0));
  out[2] = static_cast<uint8_t>(cylinder);
}

static void UnpackChs(const uint8_t in[3], uint16_t* cylinder, uint16_t* head, uint16_t* sector) {
  *head = in[0];
  *sector = in[1] & 0x3F;
  *cylinder = static_cast<uint16_t>(in[2] | (in[1] & 0xC0) << 2);
}

void PackPartitionEntry(const PartitionInfo& info, uint8_t out[16]) {
  out[0] = info.boot_indicator;
  PackChs(info.start_cylinder, info.start_head, info.start_sector, out + 1);
  out[4] = info.type;
  PackChs(info.end_cylinder, info.end_head, info.end_sector, out + 5);
  PutLe32(out + 8, info.start_lba);
  PutLe32(out + 12, info.sector_count);
}

void UnpackPartitionEntry(const uint8_t entry[16], PartitionInfo* info) {
  info->boot_indicator = entry[0];
  UnpackChs(entry + 1, &info->start_cylinder, &info->start_head, &info->start_sector);
  info->type = entry[4];
  UnpackChs(entry + 5, &info->end_cylinder, &info->end_head, &info->end_sector);
  info->start_lba = GetLe32(entry + 8);
  info->sector_count = GetLe32(entry + 12);
}
