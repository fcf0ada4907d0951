// Cluster sizes, FAT sizes and cluster counts of the file systems this engine writes.
#include "engine/boot_records.h"

// Sectors outside the data area besides the FATs: the boot sector and 32 sectors of root
// directory (512 entries) for FAT16; 32 reserved sectors for FAT32.
static const uint32_t kFat16FixedSectors = 1 + 32;
static const uint32_t kFat32ReservedSectors = 32;
static const uint32_t kFatCopies = 2;

uint32_t FatSize16(uint32_t sectors, uint32_t sectors_per_cluster) {
  // One FAT sector per 256 clusters, counting every sector of the partition as data.
  uint32_t q = sectors / sectors_per_cluster;
  return (q >> 8) + ((q & 0xFF) != 0 ? 1 : 0);
}

uint32_t FatSize32(uint32_t sectors, uint32_t sectors_per_cluster) {
  if (sectors <= kFat32ReservedSectors) return 0;
  uint32_t per_sector = sectors_per_cluster * 128 + 8 / sectors_per_cluster;
  return (sectors - kFat32ReservedSectors + per_sector - 1) / per_sector;
}

uint32_t Fat16ClusterCount(uint32_t sectors, uint32_t sectors_per_cluster) {
  uint64_t system = kFat16FixedSectors +
                    uint64_t{kFatCopies} * FatSize16(sectors, sectors_per_cluster);
  if (sectors <= system) return 0;
  return static_cast<uint32_t>((sectors - system) / sectors_per_cluster);
}

uint32_t Fat32ClusterCount(uint32_t sectors, uint32_t sectors_per_cluster) {
  uint64_t system = kFat32ReservedSectors +
                    uint64_t{kFatCopies} * FatSize32(sectors, sectors_per_cluster);
  if (sectors <= system) return 0;
  return static_cast<uint32_t>((sectors - system) / sectors_per_cluster);
}

uint32_t ClusterSizeFat16(uint32_t sectors) {
  uint32_t size;
  if (sectors < 262144)
    size = 4;
  else if (sectors < 524288)
    size = 8;
  else if (sectors < 1048576)
    size = 16;
  else if (sectors < 2097152)
    size = 32;
  else
    size = 64;
  // On the smallest cards 4-sector clusters number fewer than 4,085, and the volume would read as
  // FAT12: smaller clusters keep it FAT16.
  while (size > 1 && Fat16ClusterCount(sectors, size) < kMinFat16Clusters) size /= 2;
  return size;
}

uint32_t ClusterSizeFat32(uint32_t sectors) {
  if (sectors < 16777216) return 8;
  if (sectors < 33554432) return 16;
  if (sectors < 67108864) return 32;
  return 64;
}
