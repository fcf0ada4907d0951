// The 32-byte directory entries of a FAT volume: the short entry that names a file or directory and
// the long-name entries that carry a long name before it, as explicit byte layouts with
// little-endian accessors.
#ifndef KELVADO_FAT_DIR_ENTRY_H
#define KELVADO_FAT_DIR_ENTRY_H

#include <cstdint>

#include "platform/byte_order.h"
#include "platform/files.h"

const uint32_t kDirEntryBytes = 32;
const uint32_t kShortNameBytes = 11;
// A directory holds at most 65,536 entries (2 MiB); a long name at most 255 UTF-16 units.
const uint32_t kMaxDirEntries = 65536;
const uint32_t kMaxLongNameUnits = 255;
const uint32_t kLongNameUnitsPerEntry = 13;

// A long-name entry's attribute byte: read-only, hidden, system and label together (kAttr* of
// platform/files.h, the one set of attribute bits); the mask of the bits it is judged by.
const uint8_t kAttrLongName = 0x0F;
const uint8_t kAttrLongNameMask = 0x3F;

// The first byte of a short entry: the end of the directory, a deleted entry, and the stand-in
// for a name whose first byte really is E5h (a Shift-JIS lead byte).
const uint8_t kDirEnd = 0x00;
const uint8_t kDirDeleted = 0xE5;
const uint8_t kDirE5Stored = 0x05;
// The long-name entry's ordinal: bit 6 marks the last (first stored) of a name's entries.
const uint8_t kLastLongEntry = 0x40;

// The short entry.
struct ShortDirEntry {
  uint8_t name[11];
  uint8_t attributes;
  uint8_t nt_reserved;  // bit 3: base name in lower case, bit 4: extension in lower case
  uint8_t create_tenths;
  uint8_t create_time[2];
  uint8_t create_date[2];
  uint8_t access_date[2];
  uint8_t first_cluster_high[2];
  uint8_t write_time[2];
  uint8_t write_date[2];
  uint8_t first_cluster_low[2];
  uint8_t file_size[4];
};
static_assert(sizeof(ShortDirEntry) == 32, "a directory entry is 32 bytes");

// A long-name entry: 13 UTF-16 units in three pieces.
struct LongDirEntry {
  uint8_t ordinal;
  uint8_t name1[10];  // units 1-5
  uint8_t attributes;  // kAttrLongName
  uint8_t type;        // 0
  uint8_t checksum;    // of the short name that follows
  uint8_t name2[12];  // units 6-11
  uint8_t first_cluster[2];  // 0
  uint8_t name3[4];   // units 12-13
};
static_assert(sizeof(LongDirEntry) == 32, "a long-name entry is 32 bytes");

inline uint32_t EntryFirstCluster(const ShortDirEntry& e) {
  return static_cast<uint32_t>(GetLe16(e.first_cluster_high)) << 16 | GetLe16(e.first_cluster_low);
}
inline void SetEntryFirstCluster(ShortDirEntry* e, uint32_t cluster) {
  PutLe16(e->first_cluster_high, cluster >> 16);
  PutLe16(e->first_cluster_low, cluster & 0xFFFF);
}

// The byte offset within a long-name entry of its unit i (0-12).
inline uint32_t LongNameUnitOffset(uint32_t i) {
  return i < 5 ? 1 + 2 * i : i < 11 ? 14 + 2 * (i - 5) : 28 + 2 * (i - 11);
}

#endif
