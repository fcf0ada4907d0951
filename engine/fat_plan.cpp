// Planning a tree for the card: each entry's short name and long-name entries, and what the
// tree takes on a volume.
#include <algorithm>
#include <cstring>
#include <set>

#include "engine/fat_dir_entry.h"
#include "engine/fat_names.h"
#include "engine/fat_writer.h"
#include "platform/text.h"

namespace {

// The entries a planned child takes in its directory.
uint64_t EntriesOf(const TreeNode& child) {
  return 1 + (child.card_long_entries ? LongNameEntryCount(child.name.size()) : 0);
}

}  // namespace

uint64_t DirectoryEntries(const TreeNode& dir, bool root) {
  uint64_t entries = root ? 0 : 2;
  for (const TreeNode& child : dir.children) entries += EntriesOf(child);
  return entries;
}

namespace {

void PlanDirectory(TreeNode* dir, const std::string& path, bool root,
                   std::vector<std::string>* left_out) {
  std::set<std::string> taken;
  std::vector<bool> keep(dir->children.size(), true);
  std::vector<bool> named(dir->children.size(), false);
  auto is_taken = [&taken](const uint8_t name[11]) {
    return taken.count(std::string(reinterpret_cast<const char*>(name), 11)) != 0;
  };
  auto drop = [&](size_t i, const std::string& why) {
    keep[i] = false;
    left_out->push_back(ChildPath(path, dir->children[i]) + ": " + why);
  };
  // A name the system takes for an earlier sibling's (they differ only in case) cannot go.
  for (size_t i = 0; i < dir->children.size(); ++i) {
    for (size_t j = 0; j < i; ++j) {
      if (keep[j] && SameLongName(dir->children[i].name, dir->children[j].name)) {
        drop(i, "another entry has the same name but for upper and lower case");
        break;
      }
    }
  }
  // The source's own short names first, so that no made name takes one of them.
  for (size_t i = 0; i < dir->children.size(); ++i) {
    TreeNode& child = dir->children[i];
    if (!keep[i] || !child.has_short_name || is_taken(child.short_name)) continue;
    std::memcpy(child.card_short_name, child.short_name, 11);
    std::u16string shown;
    child.card_long_entries = child.has_long_entries ||
                              !SjisToUtf16(ShortNameText(child.short_name), &shown) ||
                              shown != child.name;
    taken.insert(std::string(reinterpret_cast<const char*>(child.short_name), 11));
    named[i] = true;
  }
  for (size_t i = 0; i < dir->children.size(); ++i) {
    TreeNode& child = dir->children[i];
    if (!keep[i] || named[i]) continue;
    BasisName basis = MakeBasisName(child.name);
    if (!ChooseShortName(basis, is_taken, child.card_short_name)) {
      drop(i, "no free short name is left for it");
      continue;
    }
    child.card_long_entries = !basis.plain;
    taken.insert(std::string(reinterpret_cast<const char*>(child.card_short_name), 11));
  }
  // A directory holds at most 65,536 entries; the root of FAT16 is measured by the caller.
  uint64_t entries = root ? 0 : 2;
  for (size_t i = 0; i < dir->children.size(); ++i) {
    if (!keep[i]) continue;
    entries += EntriesOf(dir->children[i]);
    if (entries > kMaxDirEntries) drop(i, "its directory is full (65,536 entries)");
  }
  std::vector<TreeNode> kept;
  for (size_t i = 0; i < dir->children.size(); ++i)
    if (keep[i]) kept.push_back(std::move(dir->children[i]));
  dir->children = std::move(kept);
  for (TreeNode& child : dir->children)
    if (child.directory) PlanDirectory(&child, ChildPath(path, child), false, left_out);
}

}  // namespace

uint64_t ClustersFor(uint64_t bytes, uint32_t cluster_bytes) {
  return (bytes + cluster_bytes - 1) / cluster_bytes;
}

namespace {

void MeasureDirectory(const TreeNode& dir, uint32_t cluster_bytes, uint64_t* clusters) {
  for (const TreeNode& child : dir.children) {
    if (child.directory) {
      *clusters += std::max<uint64_t>(1, ClustersFor(DirectoryEntries(child, false) * 32,
                                                     cluster_bytes));
      MeasureDirectory(child, cluster_bytes, clusters);
    } else {
      *clusters += ClustersFor(child.size, cluster_bytes);
    }
  }
}

}  // namespace

void PlanCardNames(TreeNode* root, std::vector<std::string>* left_out) {
  PlanDirectory(root, "", true, left_out);
}

TreeNeeds MeasureTree(const TreeNode& root, uint32_t cluster_bytes, bool fat32) {
  TreeNeeds needs = {0, DirectoryEntries(root, true)};
  if (fat32)
    needs.clusters = std::max<uint64_t>(1, ClustersFor(needs.root_entries * 32, cluster_bytes));
  MeasureDirectory(root, cluster_bytes, &needs.clusters);
  return needs;
}

