// Puts a tree of directories and files onto a card's freshly made FAT16 or FAT32 volume, as
// Windows 95/98 would copy it: every name with its short name and, where the name is not a plain
// 8.3 name, its long-name entries; attributes and times as the source has them; a directory made
// before its contents; nothing overwritten and no dot entry copied (the volume is new, and each
// directory gets its own "." and ".."). The card is reached through the engine's sector transfers.
//
// Then the card is read back through the FAT reader and compared with the source.
#ifndef KELVADO_ENGINE_FAT_WRITER_H
#define KELVADO_ENGINE_FAT_WRITER_H

#include <cstdint>
#include <string>
#include <vector>

#include "engine/fat_tree.h"
#include "engine/fat_volume.h"
#include "engine/partition.h"

// Decides each child's short name on the card, as Windows 95/98 would, in this order: names that
// are valid 8.3 names (in any case) are their own short names; a source volume's own short
// names (valid ones) where still free; numeric tails for the rest. An entry whose short name
// Windows could not have written keeps its name as its long name (characters no long name holds
// as '_') and gets a new short name; every entry of a source volume whose short name changes is
// listed in `renamed` as "PATH: now NAME (short name SHORT): why". Children that cannot go onto
// the card (a device name, a file of 4 GiB or more, a name the system takes for a sibling's, past
// a directory's 65,536 entries, no free numeric tail) are taken out of the tree and listed in
// `left_out` as "PATH: why".
void PlanCardNames(TreeNode* root, std::vector<std::string>* left_out,
                   std::vector<std::string>* renamed);

// What the planned tree takes on a volume with clusters of `cluster_bytes`: clusters for files
// and directories (FAT32: the root's too), and the root directory's entries.
struct TreeNeeds {
  uint64_t clusters;
  uint64_t root_entries;
};
TreeNeeds MeasureTree(const TreeNode& root, uint32_t cluster_bytes, bool fat32);
// The entries a planned directory takes (with "." and ".." unless it is the root), and the
// clusters of `cluster_bytes` that `bytes` take.
uint64_t DirectoryEntries(const TreeNode& dir, bool root);
uint64_t ClustersFor(uint64_t bytes, uint32_t cluster_bytes);

// The card's sectors as a byte source for the reader (512-byte transfers of target 0 of
// `adapter`; `sectors` of them). Small reads are served from a window read ahead, which grows
// while they go on one after the other; it is only for a card nothing else writes while it is
// read.
class CardBytes : public ByteSource {
 public:
  CardBytes(int32_t adapter, uint64_t sectors) : adapter_(adapter), sectors_(sectors) {}
  uint64_t Size() const override { return sectors_ * 512; }
  bool Read(uint64_t offset, void* buffer, size_t length) override;

 private:
  int32_t adapter_;
  uint64_t sectors_;
  static const uint64_t kFirstWindowBytes = 64 << 10;
  std::vector<uint8_t> cache_;  // read ahead from cache_offset_
  uint64_t cache_offset_ = 0;
  uint64_t window_ = kFirstWindowBytes;
};

// A card to write the tree onto: the volume of `partition` (just made by MakePartition) on
// target 0 of `adapter`; afterwards whether it was written, or why not.
struct CardToWrite {
  int32_t adapter = 0;
  PartitionInfo partition = {};
  bool written = false;
  std::string error;
};

// Writes the planned tree onto every card's volume at once: each file's bytes are read from
// `source` once and written to every card. Files whose bytes cannot be read are left out (of
// every card) and listed; a card that cannot be written, or runs out of room, stops with its
// error while the others go on. The progress bar follows the bytes written.
void WriteTreeToCards(std::vector<CardToWrite>* cards, TreeNode* root, TreeSource* source,
                      std::vector<std::string>* left_out);
// The same for one card: false with *error when it could not be written.
bool WriteTreeToCard(int32_t adapter, const PartitionInfo& partition, TreeNode* root,
                     TreeSource* source, std::vector<std::string>* left_out, std::string* error);

// Compares the card's tree with the planned source tree: the same entries (names; short names
// as planned), directories, sizes, attributes, write times and bytes. Each difference is appended
// to `differences` as "PATH: what"; the progress bar follows the bytes compared.
void CompareTrees(const TreeNode& source, TreeSource* source_bytes, const TreeNode& card,
                  TreeSource* card_bytes, std::vector<std::string>* differences);

// The status texts of the two phases.
extern const char kStatusWriteFiles[];
extern const char kStatusVerifyFiles[];

#endif
