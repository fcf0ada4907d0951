// The boot records this engine makes: the FAT16 and FAT32 boot sectors' templates (their fields
// are those of fat/boot_sector.h), the cluster sizes and FAT sizes, and the writer that puts a
// whole file system and the master boot record on the card.
#ifndef KELVADO_ENGINE_BOOT_RECORDS_H
#define KELVADO_ENGINE_BOOT_RECORDS_H

#include <cstdint>

#include "fat/boot_sector.h"

// The fixed templates. Their boot code is this system's own; see the template sources.
extern const uint8_t kMbrTemplate[512];
extern const uint8_t kFat16BootTemplate[512];
extern const uint8_t kFat32BootTemplate[512];
extern const uint8_t kFat32BootCodeTemplate[512];  // sector 2 of a FAT32 volume (and its backup, 8)

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
