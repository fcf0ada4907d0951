// Puts the new file system and then the master boot record on the card.
//
// Every system sector written here (boot sector and its backup, FSInfo and its backup, the FAT32
// boot code sectors, sector 0) is read back at once and compared; one that does not come back as
// written ends the format with 601, the code of the boot area that cannot be written.
//
// The order on the card is fixed: FAT areas and root directory, then the boot record (for FAT32
// also its backup, FSInfo, backup FSInfo, boot code sector and its backup), then sector 0. A run
// that fails or is stopped therefore never leaves the new partition entry pointing at a boot record
// that was not written.
#include <cstring>

#include "aspi/aspi.h"
#include "engine/boot_records.h"
#include "engine/engine_hooks.h"
#include "engine/engine_report.h"
#include "engine/errors.h"
#include "engine/partition.h"
#include "engine/system_area.h"
#include "engine/vol_serial.h"
#include "platform/byte_order.h"

static uint8_t mbr_buffer[512];
static uint8_t fs_info_buffer[512];

static const char kStatusSystemArea[] = "システムエリアの初期化";

void BuildFsInfoSector(uint32_t free_count, uint8_t out[512]) {
  std::memset(out, 0, 512);
  std::memcpy(out + kFsiLeadSig, "RRaA", 4);
  std::memcpy(out + kFsiStrucSig, "rrAa", 4);
  PutLe32(out + kFsiFreeCount, free_count);
  PutLe32(out + kFsiNxtFree, 2);
  out[kBootSignature] = 0x55;
  out[kBootSignature + 1] = 0xAA;
}

// A boot sector from `template_sector` with the fields every card sets: cluster size, geometry,
// size, the file system type over the first five blanks of BS_FilSysType, and NewVolSerial.
static void PrepareBootSector(uint8_t* boot, const uint8_t* template_sector, uint32_t cluster_size,
                              uint32_t type_field, const char* type, uint32_t serial_field) {
  const Geometry& g = DiskGeometry;
  std::memcpy(boot, template_sector, 512);
  boot[kBpbSecPerClus] = static_cast<uint8_t>(cluster_size);
  PutLe16(boot + kBpbTotSec16, 0);
  PutLe16(boot + kBpbSecPerTrk, g.sectors_per_track);
  PutLe16(boot + kBpbNumHeads, g.max_head + 1u);
  PutLe32(boot + kBpbHiddSec, g.sectors_per_track);
  PutLe32(boot + kBpbTotSec32, NewPartition.sector_count);
  std::memcpy(boot + type_field, type, 5);
  PutLe32(boot + serial_field, NewVolSerial);
}

static bool WriteSector(int32_t adapter, uint32_t lba, const uint8_t* sector) {
  return WriteSectors(adapter, 0, lba, kSectorSize, 1, sector) == 0;
}

// True when sector `lba` reads back as `sector`, just written. A card that takes a write but
// cannot give it back does not boot; the boot record and the master boot record are checked so.
static bool ReadsBack(int32_t adapter, uint32_t lba, const uint8_t* sector) {
  uint8_t back[512];
  return ReadSectors(adapter, 0, lba, kSectorSize, 1, back) == 0 &&
         std::memcmp(back, sector, sizeof back) == 0;
}

// Writes the system sector and reads it back: 0, the write's own failure code, or 601 when it
// does not read back.
static int32_t WriteChecked(int32_t adapter, uint32_t lba, const uint8_t* sector,
                            int32_t write_failure) {
  if (!WriteSector(adapter, lba, sector)) return write_failure;
  return ReadsBack(adapter, lba, sector) ? 0 : kErrIplWrite;
}

int32_t FormatFat16(int32_t adapter) {
  StatusSetText(kStatusSystemArea);
  const uint32_t boot = PartitionFirstSector(NewPartition);
  const uint32_t sectors = NewPartition.sector_count;
  const uint32_t cluster_size = ClusterSizeFat16(sectors);

  uint8_t* bs = Fat16BootBuffer;
  PrepareBootSector(bs, kFat16BootTemplate, cluster_size, kBs16FilSysType, "FAT16", kBs16VolId);
  PutLe16(bs + kBpbFatSz16, FatSize16(sectors, cluster_size));

  // A partition too small for 4,085 clusters even of one sector cannot hold a FAT16 volume
  // (it would read as FAT12): the card is too small (a card of 1 or 2 MiB); nothing is written.
  if (Fat16ClusterCount(sectors, cluster_size) < kMinFat16Clusters) return kErrTargetTooSmall;

  int32_t result = InitSystemArea16(adapter, NewPartition, bs);
  if (result != 0) return result;
  return WriteChecked(adapter, boot, bs, kErrIplWrite);
}

int32_t FormatFat32(int32_t adapter) {
  StatusSetText(kStatusSystemArea);
  const uint32_t boot = PartitionFirstSector(NewPartition);
  const uint32_t sectors = NewPartition.sector_count;
  const uint32_t cluster_size = ClusterSizeFat32(sectors);

  uint8_t* bs = Fat32BootBuffer;
  PrepareBootSector(bs, kFat32BootTemplate, cluster_size, kBs32FilSysType, "FAT32", kBs32VolId);
  const uint32_t fat_size = FatSize32(sectors, cluster_size);
  PutLe32(bs + kBpbFatSz32, fat_size);

  if (AbortRequested()) return kEngineStopped;
  int32_t result = InitSystemArea32(adapter, NewPartition, bs);
  if (result != 0) return result;

  const uint32_t backup = GetLe16(bs + kBpbBkBootSec);
  const uint32_t fs_info = GetLe16(bs + kBpbFsInfo);
  result = WriteChecked(adapter, boot, bs, kErrIplWrite);
  if (result == 0) result = WriteChecked(adapter, boot + backup, bs, kErrIplWrite);
  if (result != 0) return result;

  // Every cluster is free but the root directory's, and those marked bad.
  const uint32_t reserved = GetLe16(bs + kBpbRsvdSecCnt);
  const uint32_t clusters = (sectors - reserved - bs[kBpbNumFats] * fat_size) / cluster_size;
  const uint32_t free_count = clusters - 1 - static_cast<uint32_t>(BadClusterList.count);
  BuildFsInfoSector(free_count, fs_info_buffer);
  result = WriteChecked(adapter, boot + fs_info, fs_info_buffer, kErrIplWrite);
  if (result != 0) return result;
  PutLe32(fs_info_buffer + kFsiFreeCount, 0xFFFFFFFF);  // the backup leaves it unknown
  result = WriteChecked(adapter, boot + fs_info + backup, fs_info_buffer, kErrIplWrite);
  if (result != 0) return result;

  // The boot code's continuation: a failed write is the transfer's own -1.
  result = WriteChecked(adapter, boot + 2, kFat32BootCodeTemplate, kEngineFailed);
  if (result == 0) result = WriteChecked(adapter, boot + 2 + backup, kFat32BootCodeTemplate, kEngineFailed);
  return result;
}

int32_t MakePartition(int32_t adapter) {
  int32_t result;
  switch (NewPartition.type) {
    case kTypeFat16:
    case kTypeFat16Lba:
      result = FormatFat16(adapter);
      break;
    case kTypeFat32:
    case kTypeFat32Lba:
      result = FormatFat32(adapter);
      break;
    default:
      return kEngineFailed;
  }
  // Sector 0 is written last, and only over a complete file system whose system sectors read
  // back. A failed write is -1; a sector 0 that does not read back, 601.
  if (result != 0) return result;
  std::memcpy(mbr_buffer, kMbrTemplate, sizeof mbr_buffer);
  PackPartitionEntry(NewPartition, mbr_buffer + kMbrPartitionTable);
  return WriteChecked(adapter, 0, mbr_buffer, kEngineFailed);
}
