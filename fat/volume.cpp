// Reading a FAT volume from untrusted bytes.
#include "fat/volume.h"

#include <cstdio>
#include <cstring>
#include <set>

#include "fat/boot_sector.h"
#include "fat/dir_entry.h"
#include "fat/names.h"
#include "platform/byte_order.h"
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
    l.has_boot_label = bs[kBs32BootSig] == 0x29;
    std::memcpy(l.boot_label, bs + kBs32VolLab, 11);
  } else {
    if (l.root_entries == 0) {
      *error = Number(clusters) + " clusters make it FAT" + Number(l.fat_bits) +
               ", but the boot sector gives it no root directory";
      return false;
    }
    l.serial = GetLe32(bs + kBs16VolId);
    l.has_boot_label = bs[kBs16BootSig] == 0x29;
    std::memcpy(l.boot_label, bs + kBs16VolLab, 11);
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

// Builds the long name from the pieces collected from its entries (13 units each, in order).
bool LongNameFromUnits(const std::u16string& units, std::u16string* name) {
  size_t end = units.find(u'\0');
  if (end == std::u16string::npos) end = units.size();
  *name = units.substr(0, end);
  return !name->empty() && name->size() <= kMaxLongNameUnits;
}

// The long-name entries read since the last short entry: one name's entries in their sequence,
// or entries out of it.
struct PendingLongName {
  std::u16string units;  // the pieces so far, in name order (13 units an entry)
  uint8_t expected = 0;  // the sequence number the next entry must have
  uint8_t checksum = 0;
  uint32_t count = 0;    // entries read
  bool broken = false;   // an entry out of its sequence
};

// A path for a long name that belongs to no file: the directory's, with what can be read of the
// name (its terminator and padding dropped).
std::string OrphanPath(const std::string& path, const PendingLongName& pending) {
  TreeNode shown;
  for (char16_t unit : pending.units)
    if (unit != 0x0000 && unit != 0xFFFF) shown.name.push_back(unit);
  if (shown.name.empty()) return path.empty() ? "\\" : path;
  return ChildPath(path, shown);
}

const char kSequenceBroken[] = "its sequence is broken";

// A label's bytes without their trailing blanks.
std::string RawLabel(const uint8_t raw[11]) {
  size_t end = 11;
  while (end > 0 && raw[end - 1] == ' ') --end;
  return std::string(reinterpret_cast<const char*>(raw), end);
}

// A label as read, for a message: its text, or its bytes as they are when they are no Shift-JIS.
std::string ShownLabel(const uint8_t raw[11]) {
  std::u16string text;
  return SjisToUtf16(RawLabel(raw), &text) ? Utf8FromUtf16(text) : RawLabel(raw);
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

  PendingLongName pending;
  auto ignore = [&](const PendingLongName& name, const char* why) {
    notes_.push_back(OrphanPath(path, name) + ": long name ignored (" + why + ")");
  };
  std::set<std::string> short_names;
  const std::string in = " in " + where;
  for (size_t at = 0; at + kDirEntryBytes <= bytes.size(); at += kDirEntryBytes) {
    const uint8_t* raw = &bytes[at];
    const std::string entry_no = "entry " + Number(at / kDirEntryBytes);
    if (raw[0] == kDirEnd) break;
    const bool long_entry = (raw[11] & kAttrLongNameMask) == kAttrLongName;
    if (raw[0] == kDirDeleted) {
      // DOS deletes a file by marking its short entry only: its long-name entries stay behind.
      if (pending.count > 0)
        ignore(pending, long_entry ? kSequenceBroken : "its short entry is deleted");
      pending = PendingLongName();
      continue;
    }
    if (long_entry) {
      LongDirEntry e;
      std::memcpy(&e, raw, sizeof e);
      const uint8_t ordinal = e.ordinal & 0x3F;
      if (e.ordinal & kLastLongEntry) {
        // A new name: whatever was open before it is cut off.
        if (pending.count > 0) ignore(pending, kSequenceBroken);
        pending = PendingLongName();
        pending.count = 1;
        if (ordinal == 0 || ordinal > 20) {  // more than 255 units
          pending.broken = true;
          continue;
        }
        pending.units.assign(size_t{ordinal} * kLongNameUnitsPerEntry, u'\0');
        pending.checksum = e.checksum;
        pending.expected = ordinal;
      } else {
        ++pending.count;
        if (pending.broken || pending.expected == 0 || ordinal != pending.expected ||
            e.checksum != pending.checksum) {
          pending.broken = true;
          continue;
        }
      }
      for (uint32_t i = 0; i < kLongNameUnitsPerEntry; ++i)
        pending.units[(pending.expected - 1u) * kLongNameUnitsPerEntry + i] =
            static_cast<char16_t>(GetLe16(raw + LongNameUnitOffset(i)));
      --pending.expected;
      continue;
    }
    ShortDirEntry e;
    std::memcpy(&e, raw, sizeof e);
    const PendingLongName long_name = std::move(pending);
    pending = PendingLongName();
    // Why the long-name entries before this entry do not name it.
    const char* ignored = nullptr;
    if (long_name.count > 0) {
      if (long_name.broken || long_name.expected != 0)
        ignored = kSequenceBroken;
      else if (ShortNameChecksum(e.name) != long_name.checksum)
        ignored = "its checksum does not fit the short entry after it";
    }
    if (e.attributes & kAttrVolumeLabel) {
      if (long_name.count > 0) ignore(long_name, "the entry after it is the volume label");
      if (path.empty() && !root_label_found_) {
        root_label_found_ = true;
        std::memcpy(root_label_, e.name, 11);
        root_label_times_.write_time = GetLe16(e.write_time);
        root_label_times_.write_date = GetLe16(e.write_date);
      }
      continue;
    }
    if (std::memcmp(e.name, ".          ", 11) == 0 || std::memcmp(e.name, "..         ", 11) == 0) {
      if (!(e.attributes & kAttrDirectory)) {
        *error = "a dot entry" + in + " that is no directory entry (" + entry_no + ")";
        return false;
      }
      if (long_name.count > 0) ignore(long_name, "the entry after it is a dot entry");
      continue;
    }
    TreeNode node;
    LoadShortName(e.name, node.short_name);
    node.has_short_name = true;
    node.short_name_valid = ShortNameProblem(node.short_name).empty();
    std::string unusable;
    if (long_name.count > 0 && ignored == nullptr) {
      std::u16string name;
      LongNameFromUnits(long_name.units, &name);
      unusable = LongNameProblem(name);
      if (unusable.empty()) {
        node.name = std::move(name);
        node.has_long_entries = true;
      }
    }
    // Without its long name, an entry is named by its short name, as Windows shows it.
    if (!node.has_long_entries) node.name = NameOfShortEntry(node.short_name, e.nt_reserved);
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
    if (ignored != nullptr) notes_.push_back(child + ": long name ignored (" + ignored + ")");
    if (!unusable.empty())
      notes_.push_back(child + ": long name ignored (it is no name Windows allows: " + unusable +
                       ")");
    if (!short_names.insert(std::string(reinterpret_cast<const char*>(node.short_name), 11))
             .second) {
      *error = child + ": two entries" + in + " have this short name";
      return false;
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
  if (pending.count > 0) ignore(pending, "no short entry follows it");
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
  notes_.clear();
  root_label_found_ = false;
  root_label_times_ = FatTimes();
  if (layout_.fat_bits == 32 && !Chain(layout_.root_cluster, "the root directory", &root->runs, error))
    return false;
  if (!ReadDirectory(root, "", 0, error)) return false;
  // The label: the root's entry, as Windows shows it, else the boot sector's.
  bool boot_label = layout_.has_boot_label &&
                    std::memcmp(layout_.boot_label, "NO NAME    ", 11) != 0;
  if (boot_label) {  // blanks or zeros: none
    boot_label = false;
    for (uint8_t b : layout_.boot_label) boot_label = boot_label || (b != ' ' && b != 0);
  }
  if (!root_label_found_ && !boot_label) return true;
  uint8_t raw[11];
  if (root_label_found_) {
    LoadShortName(root_label_, raw);
    root->label_times = root_label_times_;
  } else {
    std::memcpy(raw, layout_.boot_label, 11);
    root->label_times.write_date = (0 << 9) | (1 << 5) | 1;  // no entry: 1980-01-01
  }
  std::u16string text;
  std::string problem = "it is no Shift-JIS text";
  if (SjisToUtf16(RawLabel(raw), &text)) problem = MakeLabel(text, root->label);
  if (!problem.empty()) {
    notes_.push_back("\\: label \"" + ShownLabel(raw) + "\" ignored (" + problem + ")");
    return true;
  }
  root->has_label = true;
  // Windows writes the label into both; a boot sector with another one is told.
  if (root_label_found_ && layout_.has_boot_label &&
      std::memcmp(root->label, layout_.boot_label, 11) != 0)
    notes_.push_back("\\: label \"" + ShownLabel(raw) + "\" taken from the root directory; the boot "
                     "sector holds \"" + ShownLabel(layout_.boot_label) + "\"");
  return true;
}
