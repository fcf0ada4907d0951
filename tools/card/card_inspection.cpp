// Judging a card from its bytes: master boot record, boot record, FATs, system files.
#include "tools/card/card_inspection.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/boot_records.h"
#include "engine/partition.h"
#include "fat/dir_entry.h"
#include "fat/names.h"
#include "platform/byte_order.h"
#include "platform/text.h"

namespace {

std::string Number(uint64_t value) { return std::to_string(value); }

// "1 cluster", "2 clusters".
std::string Count(uint64_t n, const char* thing) {
  return std::to_string(n) + " " + thing + (n == 1 ? "" : "s");
}

std::string Hex(uint8_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02Xh", value);
  return text;
}

std::string SerialText(uint32_t serial) {
  char text[16];
  std::snprintf(text, sizeof text, "%04X-%04X", serial >> 16, serial & 0xFFFF);
  return text;
}

// One part of the card: its faults as they are found, then one finding.
class Part {
 public:
  Part(CardInspection* out, const char* name) : out_(out), name_(name) {}
  void Fault(const std::string& what) { faults_.push_back(what); }
  bool Sound() const { return faults_.empty(); }
  void End(const std::string& found) {
    CardFinding finding;
    finding.part = name_;
    finding.sound = faults_.empty();
    finding.text = found;
    if (!faults_.empty()) {
      finding.text.clear();
      for (const std::string& fault : faults_) finding.text += (finding.text.empty() ? "" : "; ") + fault;
    }
    out_->findings.push_back(finding);
  }

 private:
  CardInspection* out_;
  const char* name_;
  std::vector<std::string> faults_;
};

// The FAT family a partition type stands for, 0 for none.
int FatBitsOfType(uint8_t type) {
  switch (type) {
    case 0x01: return 12;
    case 0x04: case kTypeFat16: case kTypeFat16Lba: return 16;
    case kTypeFat32: case kTypeFat32Lba: return 32;
    default: return 0;
  }
}

// Whether cylinder, head and sector address `lba` under the geometry. Past cylinder 1023 the
// fields cannot hold the address: systems keep 1023 (or the low ten bits) with the last head
// and sector, and both are taken.
bool ChsAgrees(uint16_t cylinder, uint16_t head, uint16_t sector, uint64_t lba, uint32_t heads,
               uint32_t sectors_per_track) {
  const uint64_t c = lba / (uint64_t{heads} * sectors_per_track);
  const uint32_t h = static_cast<uint32_t>(lba / sectors_per_track % heads);
  const uint32_t s = static_cast<uint32_t>(lba % sectors_per_track + 1);
  if (c < 1024) return cylinder == c && head == h && sector == s;
  return (cylinder == 1023 && head == heads - 1 && sector == sectors_per_track) ||
         (cylinder == (c & 1023) && head == h && sector == s);
}

struct CardPartition {
  int number = 0;  // 1-4
  PartitionInfo info = {};
  uint32_t heads = 0, sectors_per_track = 0;  // the card's geometry, 0 when none is known
};

// The master boot record: one active FAT partition inside the card, its CHS and LBA fields in
// agreement, boot code. False when there is no partition whose boot record could be followed.
bool CheckMbr(ByteSource* card, CardInspection* out, CardPartition* chosen) {
  Part part(out, "mbr");
  uint8_t mbr[512];
  if (card->Size() < 512 || !card->Read(0, mbr, sizeof mbr)) {
    part.Fault("the first sector cannot be read");
    part.End("");
    return false;
  }
  if (mbr[kBootSignature] != 0x55 || mbr[kBootSignature + 1] != 0xAA) {
    part.Fault("no master boot record (no 55 AA at the end of sector 0)");
    part.End("");
    return false;
  }
  // The code area ends where Windows NT keeps its disk signature.
  const size_t kCodeBytes = 440;
  const bool ours = std::memcmp(mbr, kMbrTemplate, kCodeBytes) == 0;
  if (std::all_of(mbr, mbr + kCodeBytes, [](uint8_t b) { return b == 0; }))
    part.Fault("no boot code");
  PartitionInfo entries[4];
  std::vector<int> active;
  for (int i = 0; i < 4; ++i) {
    UnpackPartitionEntry(mbr + kMbrPartitionTable + 16 * i, &entries[i]);
    if (entries[i].boot_indicator == 0x80) active.push_back(i);
    if (entries[i].boot_indicator != 0 && entries[i].boot_indicator != 0x80)
      part.Fault("entry " + Number(i + 1) + " has the boot flag " + Hex(entries[i].boot_indicator) +
                 " (00h or 80h)");
  }
  if (active.empty()) part.Fault("no active partition");
  if (active.size() > 1) {
    std::string numbers;
    for (int i : active) numbers += (numbers.empty() ? "" : " and ") + Number(i + 1);
    part.Fault("partitions " + numbers + " are active; only one may be");
  }
  if (active.empty()) {
    part.End("");
    return false;
  }
  // With more than one active, the first is judged further: its faults are told too.
  const int a = active[0];
  const PartitionInfo& p = entries[a];
  const std::string name = "partition " + Number(a + 1);
  const uint64_t sectors = card->Size() / 512;
  const uint64_t end = uint64_t{p.start_lba} + p.sector_count;
  bool inside = p.start_lba != 0 && p.sector_count != 0 && end <= sectors;
  if (FatBitsOfType(p.type) == 0) part.Fault("the active " + name + " is of type " + Hex(p.type) + ", no FAT type");
  if (!inside)
    part.Fault(name + " (sector " + Number(p.start_lba) + ", " + Number(p.sector_count) +
               " sectors) does not lie within the card's " + Number(sectors) + " sectors");
  for (int i = 0; i < 4; ++i) {
    const PartitionInfo& q = entries[i];
    if (i == a || q.type == 0 || q.sector_count == 0) continue;
    if (q.start_lba < end && uint64_t{q.start_lba} + q.sector_count > p.start_lba)
      part.Fault("partitions " + Number(a + 1) + " and " + Number(i + 1) + " overlap");
  }
  chosen->number = a + 1;
  chosen->info = p;
  // The card's geometry as its boot record gives it to the system; else as the partition's end
  // gives it (a partition the engine makes ends on a cylinder's last sector).
  uint8_t bs[512];
  std::string geometry, from = "the partition's end";
  if (inside && card->Read(uint64_t{p.start_lba} * 512, bs, sizeof bs) && GetLe16(bs + kBpbSecPerTrk) >= 1 &&
      GetLe16(bs + kBpbSecPerTrk) <= 63 && GetLe16(bs + kBpbNumHeads) >= 1 && GetLe16(bs + kBpbNumHeads) <= 256) {
    chosen->heads = GetLe16(bs + kBpbNumHeads);
    chosen->sectors_per_track = GetLe16(bs + kBpbSecPerTrk);
    from = "its boot record";
  } else if (p.end_sector >= 1 && p.end_sector <= 63) {
    chosen->heads = p.end_head + 1u;
    chosen->sectors_per_track = p.end_sector;
  }
  if (chosen->heads == 0) {
    part.Fault(name + "'s CHS end " + Number(p.end_cylinder) + "/" + Number(p.end_head) + "/" +
               Number(p.end_sector) + " gives no geometry");
  } else {
    geometry = Number(chosen->heads) + " heads, " + Number(chosen->sectors_per_track) +
               " sectors per track, as " + from + " gives it";
    if (p.sector_count != 0 &&
        (!ChsAgrees(p.start_cylinder, p.start_head, p.start_sector, p.start_lba, chosen->heads,
                    chosen->sectors_per_track) ||
         !ChsAgrees(p.end_cylinder, p.end_head, p.end_sector, end - 1, chosen->heads,
                    chosen->sectors_per_track)))
      part.Fault(name + "'s CHS fields (" + Number(p.start_cylinder) + "/" + Number(p.start_head) +
                 "/" + Number(p.start_sector) + " to " + Number(p.end_cylinder) + "/" +
                 Number(p.end_head) + "/" + Number(p.end_sector) +
                 ") disagree with its LBA fields (sector " + Number(p.start_lba) + ", " +
                 Number(p.sector_count) + " sectors) under the card's geometry (" + geometry + ")");
  }
  part.End("one active " + name + ", type " + Hex(p.type) + ", at sector " + Number(p.start_lba) +
           " of " + Number(p.sector_count) + " sectors; CHS and LBA agree (" + geometry + "); " +
           (ours ? "this system's boot code" : "boot code of another maker"));
  return inside && FatBitsOfType(p.type) != 0;
}

bool Contains(const uint8_t* bytes, size_t size, const char* text) {
  const size_t length = std::strlen(text);
  for (size_t i = 0; i + length <= size; ++i)
    if (std::memcmp(bytes + i, text, length) == 0) return true;
  return false;
}

// The boot record of the chosen partition: sound fields for its FAT type, in agreement with the
// partition table, boot code that loads IO.SYS, a final serial; FAT32's backup and FSInfo.
// False when its fields cannot be followed to the FATs.
bool CheckBootRecord(ByteSource* card, const CardPartition& p, CardInspection* out,
                     FatLayout* layout, uint32_t* fs_info_free) {
  Part part(out, "boot record");
  const uint64_t offset = uint64_t{p.info.start_lba} * 512;
  const uint64_t end = std::min<uint64_t>(card->Size(), offset + uint64_t{p.info.sector_count} * 512);
  uint8_t bs[512];
  std::string error;
  if (offset + 512 > end || !card->Read(offset, bs, sizeof bs)) {
    part.Fault("the boot record cannot be read");
  } else if (!ParseFatBootSector(bs, offset, end, layout, &error)) {
    part.Fault(error);
  }
  if (!part.Sound()) {
    part.End("");
    return false;
  }
  const FatLayout& l = *layout;
  if (l.sector_size != 512) part.Fault("sectors of " + Number(l.sector_size) + " bytes; a card's are 512");
  const int type_bits = FatBitsOfType(p.info.type);
  if (type_bits != l.fat_bits)
    part.Fault("a FAT" + Number(l.fat_bits) + " volume (" + Number(l.cluster_count) +
               " clusters) in a partition of type " + Hex(p.info.type) + " (FAT" + Number(type_bits) + ")");
  if (GetLe32(bs + kBpbHiddSec) != p.info.start_lba)
    part.Fault("its hidden sectors (" + Number(GetLe32(bs + kBpbHiddSec)) +
               ") are not the partition's start (" + Number(p.info.start_lba) + ")");
  if (bs[kBootSignature] != 0x55 || bs[kBootSignature + 1] != 0xAA) part.Fault("no 55 AA at its end");
  if (l.serial == 0) part.Fault("its serial is 0000-0000");
  if (l.serial == 1)
    part.Fault("its serial is the marker 0000-0001: the wizard stopped before it gave the card its "
               "final serial");
  // The boot code: this system's, or another that loads IO.SYS (FAT32's continues in sector 2).
  bool ours, loads_io_sys = Contains(bs, sizeof bs, "IO      SYS");
  if (l.fat_bits == 32) {
    uint8_t code[512] = {};
    bool read = l.reserved_sectors > 2 && card->Read(offset + 2 * 512, code, sizeof code);
    ours = read && std::memcmp(bs + kBs32BootCode, kFat32BootTemplate + kBs32BootCode,
                               kBootSignature - kBs32BootCode) == 0 &&
           std::memcmp(code, kFat32BootCodeTemplate, sizeof code) == 0;
    loads_io_sys = loads_io_sys || (read && Contains(code, sizeof code, "IO      SYS"));
  } else {
    ours = std::memcmp(bs + kBs16BootCode, kFat16BootTemplate + kBs16BootCode,
                       kBootSignature - kBs16BootCode) == 0;
  }
  if (!ours && !loads_io_sys) part.Fault("its boot code loads no IO.SYS");
  *fs_info_free = 0xFFFFFFFF;
  if (l.fat_bits == 32) {
    const uint32_t backup = GetLe16(bs + kBpbBkBootSec);
    uint8_t copy[512];
    if (backup == 0 || backup >= l.reserved_sectors) {
      part.Fault("no backup boot record");
    } else if (!card->Read(offset + uint64_t{backup} * 512, copy, sizeof copy) ||
               std::memcmp(copy, bs, sizeof bs) != 0) {
      part.Fault("the backup boot record (sector " + Number(backup) + ") differs from the boot record");
    }
    uint8_t info[512];
    if (l.fs_info_sector == 0 || !card->Read(offset + uint64_t{l.fs_info_sector} * 512, info, sizeof info) ||
        GetLe32(info + kFsiLeadSig) != 0x41615252 || GetLe32(info + kFsiStrucSig) != 0x61417272 ||
        GetLe32(info + 508) != 0xAA550000) {
      part.Fault("no sound FSInfo sector");
    } else {
      *fs_info_free = GetLe32(info + kFsiFreeCount);
    }
  }
  part.End("FAT" + Number(l.fat_bits) + ", " + Number(l.cluster_count) + " clusters of " +
           Number(l.cluster_bytes) + " bytes, serial " + SerialText(l.serial) + ", " +
           (ours ? "this system's boot code" : "boot code of another maker that loads IO.SYS") +
           (l.fat_bits == 32 ? ", its backup and FSInfo sound" : ""));
  return true;
}

// Marks the clusters of every chain in the tree.
void MarkReached(const TreeNode& node, std::vector<bool>* reached) {
  for (const ClusterRun& run : node.runs)
    for (uint32_t i = 0; i < run.count; ++i)
      if (run.first + i < reached->size()) (*reached)[run.first + i] = true;
  for (const TreeNode& child : node.children) MarkReached(child, reached);
}

// The FATs: the copies equal, the tree's chains sound, no lost cluster, FAT32's free count.
void CheckFat(ByteSource* card, const FatLayout& l, uint32_t fs_info_free, CardInspection* out) {
  Part part(out, "fat");
  std::string error;
  out->volume = std::make_unique<FatVolume>();
  if (!out->volume->Open(card, l, &error)) {
    part.Fault(error);
    part.End("");
    out->volume.reset();
    return;
  }
  const uint64_t fat_bytes = uint64_t{l.fat_sectors} * l.sector_size;
  std::vector<uint8_t> first(64 << 10), other(64 << 10);
  for (uint32_t copy = 1; copy < l.fat_count; ++copy) {
    for (uint64_t at = 0; at < fat_bytes; at += first.size()) {
      size_t length = static_cast<size_t>(std::min<uint64_t>(first.size(), fat_bytes - at));
      if (!card->Read(l.fat_offset + at, first.data(), length) ||
          !card->Read(l.fat_offset + copy * fat_bytes + at, other.data(), length)) {
        part.Fault("FAT " + Number(copy + 1) + " cannot be read");
        break;
      }
      auto differ = std::mismatch(first.begin(), first.begin() + static_cast<std::ptrdiff_t>(length), other.begin());
      if (differ.first != first.begin() + static_cast<std::ptrdiff_t>(length)) {
        uint64_t byte = at + static_cast<uint64_t>(differ.first - first.begin());
        part.Fault("FAT " + Number(copy + 1) + " differs from FAT 1 from cluster " +
                   Number(byte * 8 / static_cast<uint64_t>(l.fat_bits)) + " on");
        break;
      }
    }
  }
  if (!out->volume->ReadTree(&out->tree, &error)) {
    part.Fault(error);
    part.End("");
    return;
  }
  out->has_tree = true;
  const uint32_t bad = l.fat_bits == 12 ? 0xFF7u : l.fat_bits == 16 ? 0xFFF7u : 0x0FFFFFF7u;
  std::vector<bool> reached(uint64_t{l.cluster_count} + 2, false);
  MarkReached(out->tree, &reached);
  uint64_t lost = 0, free_clusters = 0;
  for (uint32_t c = 2; c < reached.size(); ++c) {
    const uint32_t entry = out->volume->Entry(c);
    if (entry == 0)
      ++free_clusters;
    else if (entry != bad && !reached[c])
      ++lost;
  }
  if (lost > 0) part.Fault(Count(lost, "lost cluster") + " (in use in the FAT, reached by no entry)");
  if (l.fat_bits == 32 && fs_info_free != 0xFFFFFFFF && fs_info_free != free_clusters)
    part.Fault("FSInfo counts " + Number(fs_info_free) + " free clusters, the FAT has " +
               Number(free_clusters));
  const TreeCount count = CountTree(out->tree);
  part.End(Number(l.fat_count) + " copies equal; " + Count(count.files, "file") + " and " +
           Count(count.directories, "folder") + ", every chain sound; no lost cluster; " +
           Count(free_clusters, "cluster") + " free");
}

const TreeNode* ChildByName(const TreeNode& dir, const std::u16string& name) {
  for (const TreeNode& child : dir.children) {
    std::u16string short_name;
    if (SameLongName(child.name, name) ||
        (SjisToUtf16(ShortNameText(child.short_name), &short_name) && SameLongName(short_name, name)))
      return &child;
  }
  return nullptr;
}

// The Windows folder MSDOS.SYS names ("WinDir=C:\WINDOWS" under [Paths]), "" when none.
std::string WindowsFolder(const std::string& text) {
  std::string section;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find_first_of("\r\n", at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos) continue;
    line = line.substr(first);
    std::string lower = line;
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (line[0] == '[') {
      section = lower;
      continue;
    }
    if (section.compare(0, 7, "[paths]") == 0 && lower.compare(0, 6, "windir") == 0) {
      size_t equals = line.find('=');
      if (equals == std::string::npos) continue;
      std::string value = line.substr(equals + 1);
      size_t last = value.find_last_not_of(" \t");
      first = value.find_first_not_of(" \t");
      return first == std::string::npos ? "" : value.substr(first, last - first + 1);
    }
  }
  return "";
}

// The system: IO.SYS and MSDOS.SYS (system, hidden) and COMMAND.COM in the root, and the
// Windows folder MSDOS.SYS names.
void CheckSystem(CardInspection* out) {
  Part part(out, "system");
  if (!out->has_tree) {
    part.Fault("the files cannot be read");
    part.End("");
    return;
  }
  const TreeNode& root = out->tree;
  for (const char16_t* name : {u"IO.SYS", u"MSDOS.SYS"}) {
    const std::string shown = Utf8FromUtf16(name);
    const TreeNode* file = ChildByName(root, name);
    if (file == nullptr || file->directory)
      part.Fault(shown + " is missing from the root");
    else if ((file->attributes & (kAttrSystem | kAttrHidden)) != (kAttrSystem | kAttrHidden))
      part.Fault(shown + " lacks the system and hidden attributes");
  }
  const TreeNode* command = ChildByName(root, u"COMMAND.COM");
  if (command == nullptr || command->directory) part.Fault("COMMAND.COM is missing from the root");
  std::string windows;
  const TreeNode* msdos = ChildByName(root, u"MSDOS.SYS");
  if (msdos != nullptr && !msdos->directory) {
    std::string text(static_cast<size_t>(std::min<uint64_t>(msdos->size, 64 << 10)), '\0');
    std::string error;
    if (!out->volume->ReadFile(*msdos, 0, reinterpret_cast<uint8_t*>(&text[0]), text.size(), &error)) {
      part.Fault("MSDOS.SYS cannot be read");
    } else {
      windows = WindowsFolder(text);
      const TreeNode* at = &root;
      std::string rest = windows.size() >= 2 && windows[1] == ':' ? windows.substr(2) : windows;
      size_t from = 0;
      while (at != nullptr && from < rest.size()) {
        size_t slash = rest.find('\\', from);
        if (slash == std::string::npos) slash = rest.size();
        std::u16string name;
        if (slash > from && !(SjisToUtf16(rest.substr(from, slash - from), &name) &&
                              (at = ChildByName(*at, name)) != nullptr && at->directory))
          at = nullptr;
        from = slash + 1;
      }
      std::string shown;
      std::u16string wide;
      shown = SjisToUtf16(windows, &wide) ? Utf8FromUtf16(wide) : windows;
      if (windows.empty())
        part.Fault("MSDOS.SYS names no Windows folder (WinDir under [Paths])");
      else if (at == nullptr || at == &root)
        part.Fault("MSDOS.SYS names the Windows folder " + shown + ", which is not on the card");
      windows = shown;
    }
  }
  part.End("IO.SYS and MSDOS.SYS (system, hidden), COMMAND.COM, the Windows folder " + windows);
}

}  // namespace

bool CardInspection::Boots() const {
  if (findings.empty()) return false;
  for (const CardFinding& finding : findings)
    if (!finding.sound) return false;
  return true;
}

void InspectCard(ByteSource* card, CardInspection* out) {
  CardPartition partition;
  FatLayout layout;
  uint32_t fs_info_free = 0xFFFFFFFF;
  if (!CheckMbr(card, out, &partition) ||
      !CheckBootRecord(card, partition, out, &layout, &fs_info_free))
    return;
  CheckFat(card, layout, fs_info_free, out);
  CheckSystem(out);
}
