// The FAT copies and the empty root directory of a new file system, each area read-checked first.
#include <cstring>

#include "aspi/aspi.h"
#include "engine/engine_hooks.h"
#include "engine/engine_report.h"
#include "engine/errors.h"
#include "engine/system_area.h"
#include "fat/boot_sector.h"
#include "platform/byte_order.h"

static uint8_t read_buffer[32768];  // up to one cluster of 64 sectors
static uint8_t sector_buffer[512];

// Entries 0 and 1 of a FAT16 (media byte F8, end of chain); entries 0, 1 and 2 of a FAT32, entry 2
// ending the root directory's one-cluster chain.
static const uint8_t kFat16Reserved[] = {0xF8, 0xFF, 0xFF, 0xFF};
static const uint8_t kFat32Reserved[] = {0xF8, 0xFF, 0xFF, 0x0F, 0xFF, 0xFF,
                                         0xFF, 0x0F, 0xFF, 0xFF, 0xFF, 0x0F};

struct FatFormat {
  uint32_t entry_size;  // 2 or 4 bytes
  const uint8_t* reserved;
  uint32_t reserved_size;
  bool polls_abort;
  int32_t first_sector_failure;  // what a failed write of a copy's first sector returns
};

static const FatFormat kFat16 = {2, kFat16Reserved, sizeof kFat16Reserved, false, kErrFatWrite};
static const FatFormat kFat32 = {4, kFat32Reserved, sizeof kFat32Reserved, true, -1};

// F7 FF (FAT16) or F7 FF FF FF (FAT32) at entry `index` of the sector in sector_buffer.
static void MarkBad(const FatFormat& format, uint32_t index) {
  uint8_t* entry = sector_buffer + index * format.entry_size;
  if (format.entry_size == 2)
    PutLe16(entry, 0xFFF7);
  else
    PutLe32(entry, 0xFFFFFFF7);
}

// Reads `sectors_per_read` sectors at every sector of [first, first + length): 0 or `failure`.
// The windows overlap; the last ones reach into the area that follows.
static int32_t ReadCheck(int32_t adapter, uint32_t first, uint32_t length,
                         uint32_t sectors_per_read, bool polls_abort, int32_t failure) {
  for (uint32_t i = 0; i < length; ++i) {
    if (polls_abort && AbortRequested()) return kEngineStopped;
    if (ReadSectors(adapter, 0, first + i, kSectorSize, sectors_per_read, read_buffer) != 0)
      return failure;
    ProgressAdvance(i);
  }
  ProgressPhaseDone();
  return 0;
}

// Writes FAT copies of `fat_size` sectors from `first_fat` on: the reserved entries, a bad mark for
// every listed cluster, zero everywhere else. `written` counts the sectors after each copy's first.
static int32_t WriteFatCopy(int32_t adapter, const FatFormat& format, uint32_t copy_start,
                            uint32_t fat_size, uint32_t* written) {
  const uint32_t per_sector = kSectorSize / format.entry_size;
  const BadClusters& bad = BadClusterList;
  int32_t next = 0;  // the list is ascending: walk it once per copy

  std::memset(sector_buffer, 0, sizeof sector_buffer);
  std::memcpy(sector_buffer, format.reserved, format.reserved_size);
  for (; next < bad.count && bad.cluster[next] < per_sector; ++next)
    if (bad.cluster[next] >= 2) MarkBad(format, bad.cluster[next]);
  if (WriteSectors(adapter, 0, copy_start, kSectorSize, 1, sector_buffer) != 0)
    return format.first_sector_failure;
  std::memset(sector_buffer, 0, sizeof sector_buffer);

  for (uint32_t i = 1; i < fat_size; ++i) {
    if (format.polls_abort && AbortRequested()) return kEngineStopped;
    const uint64_t window = uint64_t{i} * per_sector;
    bool marked = false;
    for (; next < bad.count && bad.cluster[next] < window + per_sector; ++next) {
      if (bad.cluster[next] < window) continue;
      MarkBad(format, static_cast<uint32_t>(bad.cluster[next] - window));
      marked = true;
    }
    if (WriteSectors(adapter, 0, copy_start + i, kSectorSize, 1, sector_buffer) != 0)
      return kErrFatWrite;
    ProgressAdvance(++*written);
    if (marked) std::memset(sector_buffer, 0, sizeof sector_buffer);
  }
  return 0;
}

static int32_t WriteFatCopies(int32_t adapter, const FatFormat& format, const FatAreas& areas,
                              uint32_t copies, uint32_t fat_size) {
  ProgressPhase(kStatusFatInit, areas.fat_length);
  uint32_t written = 0;
  for (uint32_t k = 0; k < copies; ++k) {
    int32_t result =
        WriteFatCopy(adapter, format, areas.first_fat + k * fat_size, fat_size, &written);
    if (result != 0) return result;
  }
  ProgressPhaseDone();
  return 0;
}

// Writes `length` zero sectors from `first` on, one at a time: 0 or `failure`.
static int32_t WriteZeroSectors(int32_t adapter, uint32_t first, uint32_t length, int32_t failure) {
  std::memset(sector_buffer, 0, sizeof sector_buffer);
  for (uint32_t i = 0; i < length; ++i) {
    if (WriteSectors(adapter, 0, first + i, kSectorSize, 1, sector_buffer) != 0) return failure;
    ProgressAdvance(i + 1);
  }
  ProgressPhaseDone();
  return 0;
}

// The FAT area: read-checked window by window (603), then every copy written.
static int32_t InitFatArea(int32_t adapter, const FatFormat& format, const FatAreas& areas,
                           const uint8_t boot_sector[512], uint32_t fat_size) {
  ProgressPhase(kStatusFatCheck, areas.fat_length);
  int32_t result = ReadCheck(adapter, areas.first_fat, areas.fat_length,
                             boot_sector[kBpbSecPerClus], format.polls_abort, kErrFatArea);
  if (result != 0) return result;
  return WriteFatCopies(adapter, format, areas, boot_sector[kBpbNumFats], fat_size);
}

int32_t InitFatArea16(int32_t adapter, const FatAreas& areas, const uint8_t boot_sector[512]) {
  return InitFatArea(adapter, kFat16, areas, boot_sector, GetLe16(boot_sector + kBpbFatSz16));
}

int32_t InitRootDirArea(int32_t adapter, const FatAreas& areas, const uint8_t boot_sector[512]) {
  ProgressPhase(kStatusRootCheck, areas.root_dir_length);
  int32_t result = ReadCheck(adapter, areas.root_dir, areas.root_dir_length,
                             boot_sector[kBpbSecPerClus], false, kErrRootDirArea);
  if (result != 0) return result;
  // No volume label entry: the new root directory is empty.
  ProgressPhase(kStatusRootInit, areas.root_dir_length);
  return WriteZeroSectors(adapter, areas.root_dir, areas.root_dir_length, kErrRootDirWrite);
}

int32_t InitFatArea32(int32_t adapter, const FatAreas& areas, const uint8_t boot_sector[512]) {
  int32_t result =
      InitFatArea(adapter, kFat32, areas, boot_sector, GetLe32(boot_sector + kBpbFatSz32));
  if (result != 0) return result;
  // The root directory: its one cluster, emptied.
  ProgressPhase(kStatusFileSystemInit, areas.root_dir_length);
  return WriteZeroSectors(adapter, areas.root_dir, areas.root_dir_length, -1);
}
