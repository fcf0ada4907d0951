// A FAT12, FAT16 or FAT32 volume read from untrusted bytes: a disk image, a card. The boot
// sector's fields are checked before any is used; cluster chains are followed only inside the
// volume, each cluster at most once, and every failure is a message naming what is wrong. Nothing
// is ever read outside the bytes given.
#ifndef KELVADO_FAT_VOLUME_H
#define KELVADO_FAT_VOLUME_H

#include <cstdint>
#include <string>
#include <vector>

#include "fat/tree.h"

// Bytes to read a volume from: an image file, a card's sectors, memory.
class ByteSource {
 public:
  virtual ~ByteSource() {}
  // The number of bytes there are.
  virtual uint64_t Size() const = 0;
  // Reads `length` bytes at `offset` (the caller keeps inside Size()); false when it fails.
  virtual bool Read(uint64_t offset, void* buffer, size_t length) = 0;
};

// Where the areas of a volume lie, from its boot sector.
struct FatLayout {
  uint64_t offset;  // of the boot sector, in bytes from the start of the source
  uint32_t sector_size;
  uint32_t sectors_per_cluster;
  uint32_t reserved_sectors;
  uint32_t fat_count;
  uint32_t fat_sectors;  // one FAT
  uint32_t root_entries;  // FAT12/16
  uint32_t total_sectors;
  uint32_t root_cluster;  // FAT32
  uint32_t fs_info_sector;  // FAT32, 0 when none
  int fat_bits;  // 12, 16, 32
  uint32_t cluster_count;  // clusters 2 .. cluster_count + 1
  uint32_t serial;
  uint64_t fat_offset;  // the first FAT, bytes from the start of the source
  uint64_t root_offset;  // FAT12/16 root directory
  uint64_t data_offset;  // cluster 2
  uint32_t cluster_bytes;
  // The label in the boot sector's extended fields (11 bytes as stored), when it has them.
  bool has_boot_label;
  uint8_t boot_label[11];
};

// Checks a boot sector and works out its layout; `offset` is where it was read. False, with the
// fault in *error, when it is no FAT boot sector this reader can follow or its volume reaches
// past `available` bytes of the source.
bool ParseFatBootSector(const uint8_t sector[512], uint64_t offset, uint64_t available,
                        FatLayout* layout, std::string* error);

// Finds the volume in `source`: a bare volume (a FAT boot sector at byte 0) or a whole disk whose
// master boot record has a FAT partition (the active one, else the first one of a FAT type).
// *where says which ("volume", "partition 2 at sector 63").
bool FindFatVolume(ByteSource* source, FatLayout* layout, std::string* where, std::string* error);

// An open volume: its layout, its first FAT in memory, its tree.
class FatVolume : public TreeSource {
 public:
  // Reads the FAT of the volume `layout` describes in `source` (kept, not owned).
  bool Open(ByteSource* source, const FatLayout& layout, std::string* error);
  const FatLayout& layout() const { return layout_; }

  // The FAT entry of a cluster (FAT32 entries without their top four bits).
  uint32_t Entry(uint32_t cluster) const;
  bool IsEndOfChain(uint32_t value) const;

  // Reads the whole tree under the root into `root` (a directory named ""): long names, short
  // names, attributes, times, sizes, cluster runs, and the volume label (the root's label entry,
  // else the boot sector's unless it is blank or "NO NAME"). Dot entries and deleted entries are
  // passed over. The volume is read as Windows reads it: long-name entries that belong to no
  // short entry (a deleted one after them, a checksum that does not fit, a broken sequence) or
  // that hold no name Windows allows are ignored, the short name standing; a short name Windows
  // could not have written is read and marked (short_name_valid). Each such thing is a note.
  // False at the first structural fault (a chain that loops, is shared or leaves the volume, a
  // file larger than its chain, directories nested without end, a directory that cannot be read,
  // two entries with one short name), naming its path.
  bool ReadTree(TreeNode* root, std::string* error);
  // What ReadTree passed over or read otherwise than it stands, each as "PATH: what (why)", e.g.
  // "DOCS\REPORT~1.TXT: long name ignored (its checksum does not fit the short entry after it)".
  const std::vector<std::string>& notes() const { return notes_; }

  bool ReadFile(const TreeNode& file, uint64_t offset, uint8_t* buffer, size_t length,
                std::string* error) override;

 private:
  bool Chain(uint32_t first, const std::string& path, std::vector<ClusterRun>* runs,
             std::string* error);
  bool ReadDirectory(TreeNode* dir, const std::string& path, int depth, std::string* error);
  bool ReadRuns(const std::vector<ClusterRun>& runs, uint64_t offset, uint8_t* buffer,
                size_t length);

  ByteSource* source_ = nullptr;
  FatLayout layout_ = {};
  std::vector<uint8_t> fat_;
  std::vector<uint8_t> owner_;  // one bit per cluster: already part of a chain
  std::vector<std::string> notes_;
  // The root directory's label entry, as ReadDirectory finds it.
  bool root_label_found_ = false;
  uint8_t root_label_[11] = {};
  FatTimes root_label_times_ = {};
};

#endif
