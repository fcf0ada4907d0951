// Writing a planned tree onto new FAT16 or FAT32 volumes, one card or several at once, through
// the sector transfers.
//
// Each card's FAT is kept in memory while the files and directories are written, and written
// (every copy) only after them, followed by the root directory: a write that fails half way
// leaves the empty volume the format made, with some unreferenced data.
#include "fat/writer.h"

#include <algorithm>
#include <cstring>

#include "aspi/aspi.h"
#include "fat/boot_sector.h"
#include "fat/card_bytes.h"
#include "fat/dir_entry.h"
#include "fat/names.h"
#include "fat/plan.h"
#include "fat/progress.h"
#include "fat/volume.h"
#include "platform/byte_order.h"

const char kStatusWriteFiles[] = "転送先へファイルを書き込み中";

namespace {

// Transfers of at most this many bytes (a multiple of every cluster size).
const uint32_t kChunkBytes = 1 << 20;
const uint32_t kProgressRange = 1000;
// Directories held back until the files are written, at most this many bytes of them.
const uint64_t kMaxDeferredBytes = 32 << 20;

uint32_t ProgressOf(uint64_t done, uint64_t total) {
  return total == 0 ? kProgressRange : static_cast<uint32_t>(done * kProgressRange / total);
}

}  // namespace

namespace {

// One card's new volume while a tree is written onto it: its layout, its FAT in memory, the
// writes gathered into long transfers, the directories held back until the files are written.
class CardVolumeWriter {
 public:
  explicit CardVolumeWriter(int32_t adapter) : adapter_(adapter) {}

  bool Open(uint64_t first_sector, uint64_t sectors, std::string* error);
  uint32_t cluster_bytes() const { return layout_.cluster_bytes; }

  // A chain of `clusters` clusters, linked on from `link_from` (0: a chain of its own).
  bool AllocateChain(uint32_t clusters, uint32_t link_from, std::vector<ClusterRun>* runs,
                     std::string* error);
  void FreeChain(const std::vector<ClusterRun>& runs);
  // Writes `length` bytes (whole sectors) at byte `offset` of the chain `runs`.
  bool WriteChainBytes(const std::vector<ClusterRun>& runs, uint64_t offset, const uint8_t* data,
                       size_t length, std::string* error);

  // The clusters of a directory of `entries` entries (the root: the fixed FAT16 root, or FAT32's
  // first cluster the format gave it and more); *first is its first cluster (0: FAT16's root).
  bool BeginDirectory(bool root, uint64_t entries, std::vector<ClusterRun>* runs, uint32_t* first,
                      std::string* error);
  // Its entries, once its children are written: the root's are kept for Finish, the others
  // written with the other directories after the files.
  bool EndDirectory(bool root, const std::vector<ClusterRun>& runs, std::vector<uint8_t> bytes,
                    std::string* error);
  // The directories held back, every copy of the FAT, FAT32's FSInfo, then the root and the
  // label `root` carries.
  bool Finish(const TreeNode& root, std::string* error);

 private:
  bool WriteSectorsAt(uint64_t lba, uint32_t count, const uint8_t* data, std::string* error);
  bool Flush(std::string* error);
  bool WriteRuns(const std::vector<ClusterRun>& runs, const std::vector<uint8_t>& bytes,
                 std::string* error);
  bool WriteDeferred(std::string* error);
  bool WriteFats(std::string* error);
  bool WriteFsInfo(std::string* error);
  bool WriteLabel(const TreeNode& root, std::string* error);
  uint64_t ClusterLba(uint32_t cluster) const {
    return boot_lba_ + (layout_.data_offset - layout_.offset) / 512 +
           uint64_t{cluster - 2} * layout_.sectors_per_cluster;
  }
  void SetEntry(uint32_t cluster, uint32_t value);
  bool Allocate(uint32_t wanted, ClusterRun* run, std::string* error);

  int32_t adapter_;
  FatLayout layout_ = {};
  uint64_t boot_lba_ = 0;
  uint8_t boot_[512] = {};  // the boot sector as the format wrote it
  std::vector<uint32_t> fat_;
  uint32_t next_free_ = 2;
  uint32_t lowest_changed_ = 0xFFFFFFFF, highest_changed_ = 0;
  std::vector<uint8_t> root_bytes_;
  std::vector<ClusterRun> root_runs_;  // FAT32
  struct Deferred {
    std::vector<ClusterRun> runs;
    std::vector<uint8_t> bytes;
  };
  std::vector<Deferred> deferred_;  // directories not yet written
  uint64_t deferred_bytes_ = 0;
  std::vector<uint8_t> pending_;  // gathered writes, from pending_lba_ on
  uint64_t pending_lba_ = 0;
};

bool CardVolumeWriter::WriteSectorsAt(uint64_t lba, uint32_t count, const uint8_t* data,
                                      std::string* error) {
  // Writes that continue the pending one are gathered: many small files laid out one after the
  // other go to the card in few transfers.
  const size_t length = size_t{count} * kSectorSize;
  if (!pending_.empty() && (lba != pending_lba_ + pending_.size() / kSectorSize ||
                            pending_.size() + length > kChunkBytes)) {
    if (!Flush(error)) return false;
  }
  if (length >= kChunkBytes) {
    if (WriteSectors(adapter_, 0, static_cast<uint32_t>(lba), kSectorSize, count, data) == 0)
      return true;
    *error = "the card cannot be written at sector " + std::to_string(lba);
    return false;
  }
  if (pending_.empty()) pending_lba_ = lba;
  pending_.insert(pending_.end(), data, data + length);
  return true;
}

bool CardVolumeWriter::Flush(std::string* error) {
  if (pending_.empty()) return true;
  uint32_t count = static_cast<uint32_t>(pending_.size() / kSectorSize);
  bool ok = WriteSectors(adapter_, 0, static_cast<uint32_t>(pending_lba_), kSectorSize, count,
                         pending_.data()) == 0;
  if (!ok) *error = "the card cannot be written at sector " + std::to_string(pending_lba_);
  pending_.clear();
  return ok;
}

bool CardVolumeWriter::Open(uint64_t first_sector, uint64_t sectors, std::string* error) {
  boot_lba_ = first_sector;
  uint8_t* boot = boot_;
  if (ReadSectors(adapter_, 0, static_cast<uint32_t>(boot_lba_), kSectorSize, 1, boot) != 0) {
    *error = "the card's boot sector cannot be read back";
    return false;
  }
  uint64_t end = (boot_lba_ + sectors) * 512;
  if (!ParseFatBootSector(boot, boot_lba_ * 512, end, &layout_, error)) {
    *error = "the card's new boot sector: " + *error;
    return false;
  }
  if (layout_.fat_bits == 12 || layout_.sector_size != 512) {
    *error = "the card's new volume is not the FAT16 or FAT32 volume it should be";
    return false;
  }
  // The FAT as the format left it: the reserved entries, the root's cluster, bad clusters.
  CardBytes card(adapter_, boot_lba_ + sectors);
  const uint32_t width = layout_.fat_bits / 8;
  std::vector<uint8_t> bytes((uint64_t{layout_.cluster_count} + 2) * width);
  if (!card.Read(layout_.fat_offset, bytes.data(), bytes.size())) {
    *error = "the card's new FAT cannot be read back";
    return false;
  }
  fat_.resize(uint64_t{layout_.cluster_count} + 2);
  for (size_t i = 0; i < fat_.size(); ++i)
    fat_[i] = width == 2 ? GetLe16(&bytes[i * 2]) : GetLe32(&bytes[i * 4]) & 0x0FFFFFFF;
  return true;
}

void CardVolumeWriter::SetEntry(uint32_t cluster, uint32_t value) {
  fat_[cluster] = value;
  lowest_changed_ = std::min(lowest_changed_, cluster);
  highest_changed_ = std::max(highest_changed_, cluster);
}

bool CardVolumeWriter::Allocate(uint32_t wanted, ClusterRun* run, std::string* error) {
  const uint32_t end = layout_.cluster_count + 2;
  while (next_free_ < end && fat_[next_free_] != 0) ++next_free_;
  if (next_free_ >= end) {
    *error = "the card is full";
    return false;
  }
  run->first = next_free_;
  run->count = 0;
  while (run->count < wanted && next_free_ < end && fat_[next_free_] == 0) {
    ++run->count;
    ++next_free_;
  }
  return true;
}

bool CardVolumeWriter::AllocateChain(uint32_t clusters, uint32_t link_from,
                                     std::vector<ClusterRun>* runs, std::string* error) {
  const uint32_t end_of_chain = layout_.fat_bits == 16 ? 0xFFFF : 0x0FFFFFFF;
  uint32_t previous = link_from;
  const size_t before = runs->size();
  while (clusters > 0) {
    ClusterRun run;
    if (!Allocate(clusters, &run, error)) {
      FreeChain(std::vector<ClusterRun>(runs->begin() + static_cast<std::ptrdiff_t>(before),
                                        runs->end()));
      if (link_from != 0) SetEntry(link_from, end_of_chain);
      return false;
    }
    for (uint32_t i = 0; i < run.count; ++i) {
      uint32_t cluster = run.first + i;
      if (previous != 0) SetEntry(previous, cluster);
      SetEntry(cluster, end_of_chain);
      previous = cluster;
    }
    runs->push_back(run);
    clusters -= run.count;
  }
  return true;
}

void CardVolumeWriter::FreeChain(const std::vector<ClusterRun>& runs) {
  for (const ClusterRun& run : runs) {
    for (uint32_t i = 0; i < run.count; ++i) SetEntry(run.first + i, 0);
    next_free_ = std::min(next_free_, run.first);
  }
}

bool CardVolumeWriter::WriteChainBytes(const std::vector<ClusterRun>& runs, uint64_t offset,
                                       const uint8_t* data, size_t length, std::string* error) {
  const uint64_t cluster_bytes = layout_.cluster_bytes;
  for (const ClusterRun& run : runs) {
    if (length == 0) break;
    const uint64_t run_bytes = uint64_t{run.count} * cluster_bytes;
    if (offset >= run_bytes) {
      offset -= run_bytes;
      continue;
    }
    size_t piece = static_cast<size_t>(std::min<uint64_t>(run_bytes - offset, length));
    if (!WriteSectorsAt(ClusterLba(run.first) + offset / 512, static_cast<uint32_t>(piece / 512),
                        data, error))
      return false;
    data += piece;
    length -= piece;
    offset = 0;
  }
  return true;
}

bool CardVolumeWriter::WriteRuns(const std::vector<ClusterRun>& runs,
                                 const std::vector<uint8_t>& bytes, std::string* error) {
  return WriteChainBytes(runs, 0, bytes.data(), bytes.size(), error);
}

bool CardVolumeWriter::BeginDirectory(bool root, uint64_t entries, std::vector<ClusterRun>* runs,
                                      uint32_t* first, std::string* error) {
  const uint64_t clusters = std::max<uint64_t>(1, ClustersFor(entries * 32, layout_.cluster_bytes));
  *first = 0;
  if (root && layout_.fat_bits == 16) {
    if (entries <= layout_.root_entries) return true;
    *error = "the root directory needs " + std::to_string(entries) + " entries; it has room for " +
             std::to_string(layout_.root_entries);
    return false;
  }
  if (root) {
    // The root's first cluster is the one the format gave it.
    runs->push_back({layout_.root_cluster, 1});
    if (!AllocateChain(static_cast<uint32_t>(clusters - 1), layout_.root_cluster, runs, error))
      return false;
  } else if (!AllocateChain(static_cast<uint32_t>(clusters), 0, runs, error)) {
    return false;
  }
  *first = runs->front().first;
  return true;
}

bool CardVolumeWriter::EndDirectory(bool root, const std::vector<ClusterRun>& runs,
                                    std::vector<uint8_t> bytes, std::string* error) {
  if (root && layout_.fat_bits == 16) {
    bytes.resize(size_t{layout_.root_entries} * 32, 0);
    root_bytes_ = std::move(bytes);
    return true;
  }
  uint64_t clusters = 0;
  for (const ClusterRun& run : runs) clusters += run.count;
  bytes.resize(static_cast<size_t>(clusters * layout_.cluster_bytes), 0);
  if (root) {
    root_bytes_ = std::move(bytes);
    root_runs_ = runs;
    return true;
  }
  // Written with the other directories once the files are: the files' data then goes to the
  // card in long sequential transfers.
  deferred_bytes_ += bytes.size();
  deferred_.push_back({runs, std::move(bytes)});
  return deferred_bytes_ < kMaxDeferredBytes || WriteDeferred(error);
}

bool CardVolumeWriter::WriteDeferred(std::string* error) {
  std::sort(deferred_.begin(), deferred_.end(),
            [](const Deferred& a, const Deferred& b) { return a.runs[0].first < b.runs[0].first; });
  for (const Deferred& d : deferred_)
    if (!WriteRuns(d.runs, d.bytes, error)) return false;
  deferred_.clear();
  deferred_bytes_ = 0;
  return true;
}

bool CardVolumeWriter::WriteFats(std::string* error) {
  if (lowest_changed_ > highest_changed_) return true;
  const uint32_t width = layout_.fat_bits / 8;
  const uint32_t per_sector = 512 / width;
  const uint32_t first_sector = lowest_changed_ / per_sector;
  const uint32_t last_sector = highest_changed_ / per_sector;
  const uint64_t fat_lba = boot_lba_ + layout_.reserved_sectors;
  std::vector<uint8_t> bytes;
  for (uint32_t s = first_sector; s <= last_sector; ++s) {
    for (uint32_t i = 0; i < per_sector; ++i) {
      uint64_t cluster = uint64_t{s} * per_sector + i;
      uint32_t value = cluster < fat_.size() ? fat_[cluster] : 0;
      uint8_t raw[4];
      if (width == 2) {
        PutLe16(raw, value);
      } else {
        PutLe32(raw, value);
      }
      bytes.insert(bytes.end(), raw, raw + width);
    }
  }
  for (uint32_t copy = 0; copy < layout_.fat_count; ++copy) {
    uint64_t lba = fat_lba + uint64_t{copy} * layout_.fat_sectors + first_sector;
    for (size_t at = 0; at < bytes.size(); at += kChunkBytes) {
      size_t length = std::min<size_t>(kChunkBytes, bytes.size() - at);
      if (!WriteSectorsAt(lba + at / 512, static_cast<uint32_t>(length / 512), &bytes[at], error))
        return false;
    }
  }
  return true;
}

bool CardVolumeWriter::WriteFsInfo(std::string* error) {
  if (layout_.fat_bits != 32 || layout_.fs_info_sector == 0) return true;
  uint8_t sector[512];
  uint64_t lba = boot_lba_ + layout_.fs_info_sector;
  if (ReadSectors(adapter_, 0, static_cast<uint32_t>(lba), kSectorSize, 1, sector) != 0) {
    *error = "the card's FSInfo sector cannot be read back";
    return false;
  }
  uint32_t free_count = 0;
  for (size_t c = 2; c < fat_.size(); ++c) free_count += fat_[c] == 0 ? 1 : 0;
  PutLe32(sector + kFsiFreeCount, free_count);
  PutLe32(sector + kFsiNxtFree, next_free_ < fat_.size() ? next_free_ : 2);
  return WriteSectorsAt(lba, 1, sector, error);
}

bool CardVolumeWriter::WriteLabel(const TreeNode& root, std::string* error) {
  // Windows 95/98 writes the label into the boot sector as well (FAT32: and its backup). Without
  // a label the boot sector stays as the format made it.
  if (!root.has_label) return true;
  std::memcpy(boot_ + (layout_.fat_bits == 32 ? kBs32VolLab : kBs16VolLab), root.label, 11);
  if (!WriteSectorsAt(boot_lba_, 1, boot_, error) || !Flush(error)) return false;
  const uint32_t backup = GetLe16(boot_ + kBpbBkBootSec);
  if (layout_.fat_bits != 32 || backup == 0 || backup >= layout_.reserved_sectors) return true;
  return WriteSectorsAt(boot_lba_ + backup, 1, boot_, error) && Flush(error);
}

bool CardVolumeWriter::Finish(const TreeNode& root, std::string* error) {
  if (!WriteDeferred(error) || !Flush(error) || !WriteFats(error) || !Flush(error) ||
      !WriteFsInfo(error) || !Flush(error))
    return false;
  bool written = layout_.fat_bits == 16
                     ? WriteSectorsAt(layout_.root_offset / 512, layout_.root_entries * 32 / 512,
                                      root_bytes_.data(), error)
                     : WriteRuns(root_runs_, root_bytes_, error);
  return written && Flush(error) && WriteLabel(root, error);
}

void PutShortEntry(const TreeNode& node, uint32_t first, std::vector<uint8_t>* out) {
  ShortDirEntry e;
  std::memset(&e, 0, sizeof e);
  StoreShortName(node.card_short_name, e.name);
  if (node.card_long_entries) AppendLongNameEntries(node.name, ShortNameChecksum(e.name), out);
  e.attributes = static_cast<uint8_t>(
      (node.attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive)) |
      (node.directory ? kAttrDirectory : 0));
  e.create_tenths = node.times.create_tenths;
  PutLe16(e.create_time, node.times.create_time);
  PutLe16(e.create_date, node.times.create_date);
  PutLe16(e.access_date, node.times.access_date);
  PutLe16(e.write_time, node.times.write_time);
  PutLe16(e.write_date, node.times.write_date);
  SetEntryFirstCluster(&e, first);
  PutLe32(e.file_size, node.directory ? 0 : static_cast<uint32_t>(node.size));
  const uint8_t* raw = reinterpret_cast<const uint8_t*>(&e);
  out->insert(out->end(), raw, raw + sizeof e);
}

// The volume label's entry: the label as a short name, with the label attribute and the time it
// was last written, nothing else.
void PutLabelEntry(const TreeNode& root, std::vector<uint8_t>* out) {
  ShortDirEntry e;
  std::memset(&e, 0, sizeof e);
  StoreShortName(root.label, e.name);
  e.attributes = kAttrVolumeLabel;
  PutLe16(e.write_time, root.label_times.write_time);
  PutLe16(e.write_date, root.label_times.write_date);
  const uint8_t* raw = reinterpret_cast<const uint8_t*>(&e);
  out->insert(out->end(), raw, raw + sizeof e);
}

void PutDotEntry(const char* name, const TreeNode& dir, uint32_t cluster,
                 std::vector<uint8_t>* out) {
  TreeNode dot;
  std::memcpy(dot.card_short_name, name, 11);
  dot.directory = true;
  dot.attributes = kAttrDirectory;
  dot.times = dir.times;
  PutShortEntry(dot, cluster, out);
}

// The tree written onto every card at once: each file's bytes read once from the source and
// written to each card, at the clusters that card gave it. A card that fails is left behind
// with its error; the others go on.
class TreeWriter {
 public:
  TreeWriter(std::vector<CardToWrite>* cards, TreeSource* source, std::vector<std::string>* left_out)
      : cards_(*cards), source_(source), left_out_(left_out), chunk_(kChunkBytes) {
    for (const CardToWrite& card : cards_) volumes_.emplace_back(card.adapter);
  }

  void Write(TreeNode* root);

 private:
  // The clusters of one directory or file on each card, by card.
  typedef std::vector<std::vector<ClusterRun>> Chains;
  typedef std::vector<uint32_t> Firsts;

  bool Alive(size_t i) const { return cards_[i].written; }
  void Fail(size_t i, const std::string& path, const std::string& error) {
    cards_[i].written = false;
    cards_[i].error = path.empty() ? error : path + ": " + error;
  }
  // false: the source could not be read, the file is left out.
  bool WriteFile(TreeNode* file, const std::string& path, Firsts* first);
  void WriteDirectory(TreeNode* dir, const std::string& path, const Firsts& parent, Firsts* first,
                      bool root);

  std::vector<CardToWrite>& cards_;
  std::vector<CardVolumeWriter> volumes_;
  TreeSource* source_;
  std::vector<std::string>* left_out_;
  std::vector<uint8_t> chunk_;
  uint64_t total_bytes_ = 0, done_bytes_ = 0;
};

bool TreeWriter::WriteFile(TreeNode* file, const std::string& path, Firsts* first) {
  first->assign(cards_.size(), 0);
  if (file->size == 0) return true;
  if (file->size > 0xFFFFFFFFull) {
    left_out_->push_back(path + ": larger than the 4 GiB a FAT file can hold");
    done_bytes_ += file->size;
    return false;
  }
  Chains runs(cards_.size());
  for (size_t i = 0; i < cards_.size(); ++i) {
    std::string error;
    if (Alive(i) && !volumes_[i].AllocateChain(
                        static_cast<uint32_t>(ClustersFor(file->size, volumes_[i].cluster_bytes())),
                        0, &runs[i], &error))
      Fail(i, path, error);
  }
  FileDigest digest;
  for (uint64_t offset = 0; offset < file->size; offset += kChunkBytes) {
    const size_t data = static_cast<size_t>(std::min<uint64_t>(kChunkBytes, file->size - offset));
    std::string why;
    if (!source_->ReadFile(*file, offset, chunk_.data(), data, &why)) {
      for (size_t i = 0; i < cards_.size(); ++i)
        if (Alive(i)) volumes_[i].FreeChain(runs[i]);
      left_out_->push_back(path + ": " + why);
      done_bytes_ += file->size - offset;
      return false;
    }
    digest.Add(chunk_.data(), data);
    // The last cluster of each card is filled up with zeros.
    std::memset(chunk_.data() + data, 0, kChunkBytes - data);
    for (size_t i = 0; i < cards_.size(); ++i) {
      const uint64_t chain_bytes = ClustersFor(file->size, volumes_[i].cluster_bytes()) *
                                   volumes_[i].cluster_bytes();
      const size_t span = static_cast<size_t>(std::min<uint64_t>(kChunkBytes, chain_bytes - offset));
      std::string error;
      if (Alive(i) && !volumes_[i].WriteChainBytes(runs[i], offset, chunk_.data(), span, &error))
        Fail(i, path, error);
    }
    done_bytes_ += data;
    FatProgressAdvance(ProgressOf(done_bytes_, total_bytes_));
  }
  for (size_t i = 0; i < cards_.size(); ++i) (*first)[i] = runs[i].empty() ? 0 : runs[i].front().first;
  file->has_digest = true;
  file->digest = digest.Value();
  return true;
}

void TreeWriter::WriteDirectory(TreeNode* dir, const std::string& path, const Firsts& parent,
                                Firsts* first, bool root) {
  const uint64_t entries = DirectoryEntries(*dir, root);
  Chains runs(cards_.size());
  first->assign(cards_.size(), 0);
  for (size_t i = 0; i < cards_.size(); ++i) {
    std::string error;
    if (Alive(i) && !volumes_[i].BeginDirectory(root, entries, &runs[i], &(*first)[i], &error))
      Fail(i, path, error);
  }
  // Files, then subdirectories, as the wizard's copy takes them.
  std::vector<Firsts> child_first(dir->children.size());
  std::vector<bool> written(dir->children.size(), false);
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t k = 0; k < dir->children.size(); ++k) {
      TreeNode& child = dir->children[k];
      if (child.directory != (pass == 1)) continue;
      const std::string child_path = ChildPath(path, child);
      if (child.directory) {
        WriteDirectory(&child, child_path, root ? Firsts(cards_.size(), 0) : *first,
                       &child_first[k], false);
        written[k] = true;
      } else {
        written[k] = WriteFile(&child, child_path, &child_first[k]);
      }
    }
  }
  for (size_t i = 0; i < cards_.size(); ++i) {
    if (!Alive(i)) continue;
    std::vector<uint8_t> bytes;
    if (!root) {
      PutDotEntry(".          ", *dir, (*first)[i], &bytes);
      PutDotEntry("..         ", *dir, parent[i], &bytes);
    } else if (dir->has_label) {
      PutLabelEntry(*dir, &bytes);  // first in the root, as Windows writes it
    }
    for (size_t k = 0; k < dir->children.size(); ++k)
      if (written[k]) PutShortEntry(dir->children[k], child_first[k][i], &bytes);
    std::string error;
    if (!volumes_[i].EndDirectory(root, runs[i], std::move(bytes), &error)) Fail(i, path, error);
  }
  // What was left out is not on the cards, and the comparison must not look for it.
  std::vector<TreeNode> kept;
  for (size_t k = 0; k < dir->children.size(); ++k)
    if (written[k]) kept.push_back(std::move(dir->children[k]));
  dir->children = std::move(kept);
}

void TreeWriter::Write(TreeNode* root) {
  for (size_t i = 0; i < cards_.size(); ++i) {
    std::string error;
    cards_[i].written = volumes_[i].Open(cards_[i].first_sector, cards_[i].sectors, &error);
    if (!cards_[i].written) cards_[i].error = error;
  }
  total_bytes_ = CountTree(*root).bytes;
  FatProgressPhase(kStatusWriteFiles, kProgressRange);
  Firsts first;
  WriteDirectory(root, "", Firsts(cards_.size(), 0), &first, true);
  bool all = true;
  for (size_t i = 0; i < cards_.size(); ++i) {
    std::string error;
    if (Alive(i) && !volumes_[i].Finish(*root, &error)) Fail(i, "", error);
    all = all && Alive(i);
  }
  if (all) FatProgressDone();
}

}  // namespace

void WriteTreeToCards(std::vector<CardToWrite>* cards, TreeNode* root, TreeSource* source,
                      std::vector<std::string>* left_out) {
  TreeWriter writer(cards, source, left_out);
  writer.Write(root);
}

bool WriteTreeToCard(int32_t adapter, uint64_t first_sector, uint64_t sectors, TreeNode* root,
                     TreeSource* source, std::vector<std::string>* left_out, std::string* error) {
  std::vector<CardToWrite> cards(1);
  cards[0].adapter = adapter;
  cards[0].first_sector = first_sector;
  cards[0].sectors = sectors;
  WriteTreeToCards(&cards, root, source, left_out);
  if (!cards[0].written) *error = cards[0].error;
  return cards[0].written;
}
