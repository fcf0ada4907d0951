#include "engine/errors.h"
#include "engine/vol_serial.h"

#include "aspi/aspi.h"
#include "engine/partition.h"
#include "fat/boot_sector.h"
#include "platform/byte_order.h"
#include "platform/clock.h"

uint32_t NewVolSerial = 0;

uint32_t MakeVolSerial() {
  ClockTime t;
  ClockUtcTime(&t);
  uint32_t a = (t.year & 0xFFu) + t.minute;
  uint32_t b = (t.year >> 8) + t.hour;
  uint32_t c = t.milliseconds / 10u + t.day;
  uint32_t d = t.month + t.second;
  return (d << 24) + (c << 16) + (b << 8) + a;
}

static bool HasBootSignature(const uint8_t* sector) {
  return sector[kBootSignature] == 0x55 && sector[kBootSignature + 1] == 0xAA;
}

// The FAT16 boot sector: the serial at BS_VolID.
static int32_t SetVolSerial16(int32_t adapter, uint32_t boot) {
  uint8_t* bs = Fat16BootBuffer;
  if (ReadSectors(adapter, 0, boot, kSectorSize, 1, bs) != 0) return kEngineFailed;
  // When formatting failed before its boot sector was written, whatever the sector holds is left.
  if (!HasBootSignature(bs)) return kEngineFailed;
  PutLe32(bs + kBs16VolId, NewVolSerial);
  return WriteSectors(adapter, 0, boot, kSectorSize, 1, bs) == 0 ? 0 : -1;
}

// The FAT32 boot sector and its backup, found by the sector's own BPB_BkBootSec.
static int32_t SetVolSerial32(int32_t adapter, uint32_t boot) {
  uint8_t* bs = Fat32BootBuffer;
  if (ReadSectors(adapter, 0, boot, kSectorSize, 1, bs) != 0) return kEngineFailed;
  // The backup must lie inside the reserved sectors: a sector that is no boot record of ours
  // must not send the write to some sector of the card's data.
  uint32_t backup = GetLe16(bs + kBpbBkBootSec);
  if (!HasBootSignature(bs) || backup == 0 || backup >= GetLe16(bs + kBpbRsvdSecCnt))
    return kEngineFailed;
  PutLe32(bs + kBs32VolId, NewVolSerial);
  if (WriteSectors(adapter, 0, boot, kSectorSize, 1, bs) != 0) return kEngineFailed;
  return WriteSectors(adapter, 0, boot + backup, kSectorSize, 1, bs) == 0 ? 0 : -1;
}

int32_t SetVolSerial(int32_t adapter) {
  uint32_t boot = PartitionFirstSector(NewPartition);
  switch (NewPartition.type) {
    case kTypeFat16:
    case kTypeFat16Lba:
      return SetVolSerial16(adapter, boot);
    case kTypeFat32:
    case kTypeFat32Lba:
      return SetVolSerial32(adapter, boot);
    default:
      return kEngineFailed;
  }
}
