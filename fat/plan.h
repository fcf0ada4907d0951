// Planning a tree for a card's FAT volume: the short name each entry gets as Windows 95/98 would
// give it and whether its name also goes into long-name entries, what cannot go onto a card, and
// what the planned tree takes on a volume.
#ifndef KELVADO_FAT_PLAN_H
#define KELVADO_FAT_PLAN_H

#include <cstdint>
#include <string>
#include <vector>

#include "fat/tree.h"

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

#endif
