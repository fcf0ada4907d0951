// Reading a FAT volume from untrusted bytes.
#include "engine/fat_volume.h"

#include <cstring>

#include "engine/boot_record.h"
#include "engine/byte_order.h"
#include "engine/fat_dir_entry.h"
#include "engine/fat_names.h"
#include "platform/text.h"

namespace {

std::string Number(uint64_t value) { return std::to_string(value); }

bool PowerOfTwo(uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

bool IsFatPartitionType(uint8_t type) {
  return type == 0x01 || type == 0x04 || type == 0x06 || type == 0x0B || type == 0x0C ||
         type == 0x0E;
}

// The longest a directory may be read: 65,536 entries.
const uint64_t kMaxDirBytes = uint64_t{kMaxDirEntries} * kDirEntryBytes;

}  // namespace

bool ParseFatBootSector(const uint8_t bs[512], uint64_t offset, uint64_t available,
                        FatLayout* out, std::string* error) {
  FatLayout l = {};
  l.offset = offset;
  if (!(bs[0] == 0xEB || bs[0] == 0xE9)) {
    *error = "no jump instruction at the start of the boot sector";
    return false;
  }
  l.sector_size = GetLe16(bs + kBpbBytsPerSec);
  if (l.sector_size < 512 || l.sector_size > 4096 || !PowerOfTwo(l.sector_size)) {
    *error = "impossible sector size " + Number(l.sector_size);
    return false;
  }
  l.sectors_per_cluster = bs[kBpbSecPerClus];
  if (!PowerOfTwo(l.sectors_per_cluster) || l.sectors_per_cluster * l.sector_size > 65536) {
    *error = "impossible cluster size of " + Number(l.sectors_per_cluster) + " sectors";
    return false;
  }
  l.cluster_bytes = l.sectors_per_cluster * l.sector_size;
  l.reserved_sectors = GetLe16(bs + kBpbRsvdSecCnt);
  l.fat_count = bs[kBpbNumFats];
  l.root_entries = GetLe16(bs + kBpbRootEntCnt);
  uint32_t total16 = GetLe16(bs + kBpbTotSec16);
  l.total_sectors = total16 != 0 ? total16 : GetLe32(bs + kBpbTotSec32);
  uint32_t fat16_size = GetLe16(bs + kBpbFatSz16);
  l.fat_sectors = fat16_size != 0 ? fat16_size : GetLe32(bs + kBpbFatSz32);
  if (l.reserved_sectors == 0) {
    *error = "no reserved sectors (the boot sector itself is one)";
    return false;
  }
  if (l.fat_count == 0 || l.fat_count > 16) {
    *error = "impossible number of FATs " + Number(l.fat_count);
    return false;
  }
  if (l.fat_sectors == 0 || l.total_sectors == 0) {
    *error = "a FAT size or a volume size of 0 sectors";
    return false;
  }
  uint64_t root_sectors =
      (uint64_t{l.root_entries} * kDirEntryBytes + l.sector_size - 1) / l.sector_size;
  uint64_t system = l.reserved_sectors + uint64_t{l.fat_count} * l.fat_sectors + root_sectors;
  if (system >= l.total_sectors) {
    *error = "the FATs and root directory (" + Number(system) + " sectors) fill the whole volume (" +
             Number(l.total_sectors) + " sectors)";
    return false;
  }
  uint64_t clusters = (l.total_sectors - system) / l.sectors_per_cluster;
  if (clusters == 0) {
    *error = "no room for a single cluster";
    return false;
  }
  l.cluster_count = static_cast<uint32_t>(clusters);
  l.fat_bits = clusters < kMinFat16Clusters ? 12 : clusters < kMinFat32Clusters ? 16 : 32;
  if (l.fat_bits == 32) {
    if (l.root_entries != 0 || fat16_size != 0) {
      *error = Number(clusters) + " clusters make it FAT32, but the boot sector has a FAT16 root "
               "directory or FAT size";
      return false;
    }
    if (clusters > 0x0FFFFFF5) {
      *error = "more clusters than FAT32 can number";
      return false;
    }
    l.root_cluster = GetLe32(bs + kBpbRootClus);
    if (l.root_cluster < 2 || l.root_cluster > l.cluster_count + 1) {
      *error = "the root directory's cluster " + Number(l.root_cluster) + " is outside the volume";
      return false;
    }
    uint32_t fs_info = GetLe16(bs + kBpbFsInfo);
    l.fs_info_sector = fs_info != 0 && fs_info < l.reserved_sectors ? fs_info : 0;
    l.serial = GetLe32(bs + kBs32VolId);
  } else {
    if (l.root_entries == 0) {
      *error = Number(clusters) + " clusters make it FAT" + Number(l.fat_bits) +
               ", but the boot sector gives it no root directory";
      return false;
    }
    l.serial = GetLe32(bs + kBs16VolId);
  }
  uint64_t fat_bytes_needed = ((uint64_t{l.cluster_count} + 2) * l.fat_bits + 7) / 8;
  if (uint64_t{l.fat_sectors} * l.sector_size < fat_bytes_needed) {
    *error = "a FAT of " + Number(l.fat_sectors) + " sectors is too small for " +
             Number(l.cluster_count) + " clusters";
    return false;
  }
  uint64_t end = offset + uint64_t{l.total_sectors} * l.sector_size;
  if (end > available) {
    *error = "the volume's " + Number(l.total_sectors) + " sectors of " + Number(l.sector_size) +
             " bytes run past the end of the image (" + Number(available) + " bytes)";
    return false;
  }
  l.fat_offset = offset + uint64_t{l.reserved_sectors} * l.sector_size;
  l.root_offset = l.fat_offset + uint64_t{l.fat_count} * l.fat_sectors * l.sector_size;
  l.data_offset = l.root_offset + root_sectors * l.sector_size;
  *out = l;
  return true;
}

bool FindFatVolume(ByteSource* source, FatLayout* layout, std::string* where,
                   std::string* error) {
  uint8_t sector[512];
  if (source->Size() < 512) {
    *error = "the image is smaller than one sector";
    return false;
  }
  if (!source->Read(0, sector, sizeof sector)) {
    *error = "the first sector cannot be read";
    return false;
  }
  std::string volume_error;
  if (ParseFatBootSector(sector, 0, source->Size(), layout, &volume_error)) {
    *where = "volume";
    return true;
  }
  if (sector[kBootSignature] != 0x55 || sector[kBootSignature + 1] != 0xAA) {
    *error = "no FAT boot sector (" + volume_error + ") and no master boot record (no 55 AA)";
    return false;
  }
  // The active FAT partition, else the first FAT partition.
  int chosen = -1;
  for (int pass = 0; pass < 2 && chosen < 0; ++pass) {
    for (int i = 0; i < 4; ++i) {
      const uint8_t* entry = sector + kMbrPartitionTable + 16 * i;
      if (IsFatPartitionType(entry[4]) && (pass == 1 || entry[0] == 0x80)) {
        chosen = i;
        break;
      }
    }
  }
  if (chosen < 0) {
    *error = "no FAT boot sector (" + volume_error +
             ") and no FAT partition in the master boot record";
    return false;
  }
  const uint8_t* entry = sector + kMbrPartitionTable + 16 * chosen;
  uint64_t start = GetLe32(entry + 8);
  uint64_t offset = start * 512;
  std::string name = "partition " + Number(chosen + 1) + " at sector " + Number(start);
  if (start == 0 || offset + 512 > source->Size()) {
    *error = name + ": starts outside the image";
    return false;
  }
  uint64_t end = (start + GetLe32(entry + 12)) * 512;
  uint64_t available = end < source->Size() && end > offset ? end : source->Size();
  if (!source->Read(offset, sector, sizeof sector)) {
    *error = name + ": its boot sector cannot be read";
    return false;
  }
  if (!ParseFatBootSector(sector, offset, available, layout, error)) {
    *error = name + ": " + *error;
    return false;
  }
  *where = name;
  return true;
}

bool FatVolume::Open(ByteSource* source, const FatLayout& layout, std::string* error) {
  source_ = source;
  layout_ = layout;
  uint64_t bytes = ((uint64_t{layout.cluster_count} + 2) * layout.fat_bits + 7) / 8;
  fat_.assign(bytes + 4, 0);  // room to read a whole 16- or 32-bit word at the end
  if (!source->Read(layout.fat_offset, fat_.data(), bytes)) {
    *error = "the FAT cannot be read";
    return false;
  }
  owner_.assign((uint64_t{layout.cluster_count} + 2 + 7) / 8, 0);
  return true;
}

uint32_t FatVolume::Entry(uint32_t cluster) const {
  switch (layout_.fat_bits) {
    case 12: {
      uint32_t value = GetLe16(&fat_[cluster + cluster / 2]);
      return cluster & 1 ? value >> 4 : value & 0xFFF;
    }
    case 16:
      return GetLe16(&fat_[size_t{cluster} * 2]);
    default:
      return GetLe32(&fat_[size_t{cluster} * 4]) & 0x0FFFFFFF;
  }
}

bool FatVolume::IsEndOfChain(uint32_t value) const {
  return value >= (layout_.fat_bits == 12 ? 0xFF8u : layout_.fat_bits == 16 ? 0xFFF8u : 0x0FFFFFF8u);
}

bool FatVolume::Chain(uint32_t first, const std::string& path, std::vector<ClusterRun>* runs,
                      std::string* error) {
  const uint32_t last = layout_.cluster_count + 1;
  const uint32_t bad = layout_.fat_bits == 12 ? 0xFF7u : layout_.fat_bits == 16 ? 0xFFF7u : 0x0FFFFFF7u;
  runs->clear();
  if (first < 2 || first > last) {
    *error = path + ": its first cluster " + Number(first) + " is outside the volume";
    return false;
  }
  uint32_t cluster = first;
  for (;;) {
    uint8_t& bits = owner_[cluster / 8];
    uint8_t mask = static_cast<uint8_t>(1u << (cluster % 8));
    if (bits & mask) {
      *error = path + ": cluster " + Number(cluster) +
               " is reached twice (the chain loops or is shared with another entry)";
      return false;
    }
    bits |= mask;
    if (!runs->empty() && runs->back().first + runs->back().count == cluster)
      ++runs->back().count;
    else
      runs->push_back({cluster, 1});
    uint32_t next = Entry(cluster);
    if (IsEndOfChain(next)) return true;
    if (next == 0) {
      *error = path + ": its cluster chain ends in free cluster " + Number(cluster);
      return false;
    }
    if (next == bad) {
      *error = path + ": its cluster chain runs into a bad cluster after " + Number(cluster);
      return false;
    }
    if (next < 2 || next > last) {
      *error = path + ": its cluster chain leaves the volume (" + Number(cluster) + " -> " +
               Number(next) + ")";
      return false;
    }
    cluster = next;
  }
}

bool FatVolume::ReadRuns(const std::vector<ClusterRun>& runs, uint64_t offset, uint8_t* buffer,
                         size_t length) {
  const uint64_t cluster_bytes = layout_.cluster_bytes;
  for (const ClusterRun& run : runs) {
    if (length == 0) break;
    uint64_t run_bytes = uint64_t{run.count} * cluster_bytes;
    if (offset >= run_bytes) {
      offset -= run_bytes;
      continue;
    }
    size_t piece = static_cast<size_t>(run_bytes - offset < length ? run_bytes - offset : length);
    uint64_t at = layout_.data_offset + uint64_t{run.first - 2} * cluster_bytes + offset;
    if (!source_->Read(at, buffer, piece)) return false;
    buffer += piece;
    length -= piece;
    offset = 0;
  }
  return length == 0;
}

bool FatVolume::ReadFile(const TreeNode& file, uint64_t offset, uint8_t* buffer, size_t length,
                         std::string* error) {
  if (offset > file.size || length > file.size - offset || !ReadRuns(file.runs, offset, buffer, length)) {
    *error = "cannot be read from the volume";
    return false;
  }
  return true;
}

namespace {

// A short name's bytes: no control characters and none that a name cannot hold, reading a
// double-byte character's second byte as part of it.
bool ShortNameBytesValid(const uint8_t name[11]) {
  for (int part = 0; part < 2; ++part) {
    int start = part == 0 ? 0 : 8, end = part == 0 ? 8 : 11;
    for (int i = start; i < end; ++i) {
      uint8_t b = name[i];
      if (IsLeadByte(b) && i + 1 < end) {
        ++i;
        continue;
      }
      if (b < 0x20 || std::strchr("\"*/:<>?\\|.", b) != nullptr) return false;
    }
  }
  return name[0] != ' ';
}

// Builds the long name from the pieces collected from its entries (13 units each, in order).
bool LongNameFromUnits(const std::u16string& units, std::u16string* name) {
  size_t end = units.find(u'\0');
  if (end == std::u16string::npos) end = units.size();
  *name = units.substr(0, end);
  return !name->empty() && name->size() <= kMaxLongNameUnits;
}

}  // namespace

bool FatVolume::ReadDirectory(TreeNode* dir, const std::string& path, int depth,
                              std::string* error) {
  const std::string where = path.empty() ? "the root directory" : path;
  if (depth > kMaxTreeDepth) {
    *error = where + ": folders nested deeper than " + Number(kMaxTreeDepth);
    return false;
  }
  std::vector<uint8_t> bytes;
  const bool fixed_root = path.empty() && layout_.fat_bits != 32;
  if (fixed_root) {
    bytes.resize(size_t{layout_.root_entries} * kDirEntryBytes);
    if (!source_->Read(layout_.root_offset, bytes.data(), bytes.size())) {
      *error = "the root directory cannot be read";
      return false;
    }
  } else {
    uint64_t clusters = 0;
    for (const ClusterRun& run : dir->runs) clusters += run.count;
    uint64_t length = clusters * layout_.cluster_bytes;
    if (length > kMaxDirBytes) {
      *error = where + ": a directory longer than 65,536 entries";
      return false;
    }
    bytes.resize(static_cast<size_t>(length));
    if (!ReadRuns(dir->runs, 0, bytes.data(), bytes.size())) {
      *error = where + ": cannot be read";
      return false;
    }
  }

  std::u16string units;     // the long name's pieces collected so far, in name order
  uint8_t expected = 0;     // the ordinal the next long-name entry must have (0: none open)
  uint8_t checksum = 0;
  uint32_t long_count = 0;  // entries of the open long name
  const std::string in = " in " + where;
  for (size_t at = 0; at + kDirEntryBytes <= bytes.size(); at += kDirEntryBytes) {
    const uint8_t* raw = &bytes[at];
    const std::string entry_no = "entry " + Number(at / kDirEntryBytes);
    if (raw[0] == kDirEnd) break;
    if (raw[0] == kDirDeleted) {
      if (long_count > 0) {
        *error = "long-name entries" + in + " are followed by a deleted entry (" + entry_no + ")";
        return false;
      }
      continue;
    }
    if ((raw[11] & kAttrLongNameMask) == kAttrLongName) {
      LongDirEntry e;
      std::memcpy(&e, raw, sizeof e);
      uint8_t ordinal = e.ordinal & 0x3F;
      if (e.ordinal & kLastLongEntry) {
        if (long_count > 0) {
          *error = "a long name" + in + " is cut off by another one (" + entry_no + ")";
          return false;
        }
        if (ordinal == 0 || ordinal > 20) {
          *error = "a long-name entry" + in + " has the impossible sequence number " +
                   Number(ordinal) + " (" + entry_no + ")";
          return false;
        }
        units.assign(size_t{ordinal} * kLongNameUnitsPerEntry, u'\0');
        checksum = e.checksum;
        expected = ordinal;
      } else if (long_count == 0 || ordinal != expected || e.checksum != checksum) {
        *error = "a long-name entry" + in + " is out of its sequence (" + entry_no + ")";
        return false;
      }
      for (uint32_t i = 0; i < kLongNameUnitsPerEntry; ++i)
        units[(expected - 1u) * kLongNameUnitsPerEntry + i] =
            static_cast<char16_t>(GetLe16(raw + LongNameUnitOffset(i)));
      --expected;
      ++long_count;
      continue;
    }
    ShortDirEntry e;
    std::memcpy(&e, raw, sizeof e);
    bool has_long = long_count > 0;
    long_count = 0;
    if (has_long && (expected != 0 || ShortNameChecksum(e.name) != checksum)) {
      *error = "long-name entries" + in + " do not belong to the short entry after them (" +
               (expected != 0 ? "parts missing" : "wrong checksum") + ", " + entry_no + ")";
      return false;
    }
    if (e.attributes & kAttrVolumeLabel) {
      if (has_long) {
        *error = "a volume label" + in + " has a long name (" + entry_no + ")";
        return false;
      }
      continue;
    }
    if (std::memcmp(e.name, ".          ", 11) == 0 || std::memcmp(e.name, "..         ", 11) == 0) {
      if (!(e.attributes & kAttrDirectory) || has_long) {
        *error = "a dot entry" + in + " that is no directory entry (" + entry_no + ")";
        return false;
      }
      continue;
    }
    TreeNode node;
    LoadShortName(e.name, node.short_name);
    node.has_short_name = true;
    if (!ShortNameBytesValid(node.short_name)) {
      *error = "a short name" + in + " holds characters no name can have (" + entry_no + ")";
      return false;
    }
    if (has_long) {
      if (!LongNameFromUnits(units, &node.name) || !LongNameProblem(node.name).empty()) {
        *error = "a long name" + in + " is empty, too long or holds characters no name can have (" +
                 entry_no + ")";
        return false;
      }
      node.has_long_entries = true;
    } else if (!SjisToUtf16(ShortNameText(node.short_name, e.nt_reserved), &node.name)) {
      // Under a long name the short name's bytes are only a key; alone they are the name.
      *error = "a short name" + in + " is no Shift-JIS text (" + entry_no + ")";
      return false;
    }
    node.attributes = e.attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrDirectory |
                                      kAttrArchive);
    node.directory = (e.attributes & kAttrDirectory) != 0;
    node.times.create_tenths = e.create_tenths;
    node.times.create_time = GetLe16(e.create_time);
    node.times.create_date = GetLe16(e.create_date);
    node.times.access_date = GetLe16(e.access_date);
    node.times.write_time = GetLe16(e.write_time);
    node.times.write_date = GetLe16(e.write_date);
    node.first_cluster = EntryFirstCluster(e);
    if (layout_.fat_bits != 32) node.first_cluster &= 0xFFFF;
    const std::string child = ChildPath(path, node);
    for (const TreeNode& sibling : dir->children) {
      if (SameLongName(sibling.name, node.name) ||
          std::memcmp(sibling.short_name, node.short_name, 11) == 0) {
        *error = child + ": two entries" + in + " have this name";
        return false;
      }
    }
    if (node.directory) {
      if (!Chain(node.first_cluster, child, &node.runs, error)) return false;
    } else {
      node.size = GetLe32(e.file_size);
      if (node.size > 0) {
        if (!Chain(node.first_cluster, child, &node.runs, error)) return false;
        uint64_t clusters = 0;
        for (const ClusterRun& run : node.runs) clusters += run.count;
        if (clusters * layout_.cluster_bytes < node.size) {
          *error = child + ": " + Number(node.size) + " bytes, but a cluster chain of only " +
                   Number(clusters * layout_.cluster_bytes) + " bytes";
          return false;
        }
      }
    }
    dir->children.push_back(std::move(node));
  }
  if (long_count > 0) {
    *error = "long-name entries at the end of " + where + " have no short entry";
    return false;
  }
  for (TreeNode& child : dir->children) {
    if (child.directory && !ReadDirectory(&child, ChildPath(path, child), depth + 1, error))
      return false;
  }
  return true;
}

bool FatVolume::ReadTree(TreeNode* root, std::string* error) {
  *root = TreeNode();
  root->directory = true;
  root->attributes = kAttrDirectory;
  std::fill(owner_.begin(), owner_.end(), 0);
  if (layout_.fat_bits == 32 && !Chain(layout_.root_cluster, "the root directory", &root->runs, error))
    return false;
  return ReadDirectory(root, "", 0, error);
}
