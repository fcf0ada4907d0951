// A FAT12, FAT16 or FAT32 volume read from untrusted bytes: a disk image, a card. The boot
// sector's fields are checked before any is used; cluster chains are followed only inside the
// volume, each cluster at most once, and every failure is a message naming what is wrong. Nothing
// is ever read outside the bytes given.
#ifndef KELVADO_ENGINE_FAT_VOLUME_H
#define KELVADO_ENGINE_FAT_VOLUME_H

#include <cstdint>
#include <string>
#include <vector>

#include "engine/fat_tree.h"

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
  // names, attributes, times, sizes, cluster runs. Dot entries and the volume label are passed
  // over, deleted entries too. False at the first fault, naming its path.
  bool ReadTree(TreeNode* root, std::string* error);

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
};

#endif
