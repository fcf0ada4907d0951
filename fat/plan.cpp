// Planning a tree for the card: each entry's short name and long-name entries, and what the
// tree takes on a volume.
#include "fat/plan.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "fat/dir_entry.h"
#include "fat/names.h"
#include "platform/text.h"

namespace {

// The entries a planned child takes in its directory.
uint64_t EntriesOf(const TreeNode& child) {
  return 1 + (child.card_long_entries ? LongNameEntryCount(child.name.size()) : 0);
}

}  // namespace

uint64_t DirectoryEntries(const TreeNode& dir, bool root) {
  uint64_t entries = root ? (dir.has_label ? 1 : 0) : 2;
  for (const TreeNode& child : dir.children) entries += EntriesOf(child);
  return entries;
}

namespace {

std::string Key(const uint8_t name[11]) {
  return std::string(reinterpret_cast<const char*>(name), 11);
}

std::string ShortNameShown(const uint8_t name[11]) {
  return Utf8FromUtf16(NameOfShortEntry(name, 0));
}

// The long name an entry named by a short name Windows could not have written keeps: its
// characters that no long name holds (control bytes, DEL, \ / : * ? " < > |, one without a
// Unicode form, a last space or period) as '_'.
std::u16string UsableLongName(const std::u16string& name, bool* changed) {
  std::u16string usable = name;
  for (char16_t& c : usable) {
    if (c < 0x20 || c == 0x7F || c == 0xFFFD ||
        std::u16string(u"\\/:*?\"<>|").find(c) != std::u16string::npos)
      c = u'_';
  }
  if (!usable.empty() && (usable.back() == u' ' || usable.back() == u'.')) usable.back() = u'_';
  *changed = usable != name;
  return usable;
}

// Names the system takes for one another: the same but for upper and lower case.
std::u16string CaseKey(const std::u16string& name) {
  std::u16string key;
  for (char16_t c : name) key.push_back(ShortNameUpper(c));
  return key;
}

void PlanDirectory(TreeNode* dir, const std::string& path, bool root,
                   std::vector<std::string>* left_out, std::vector<std::string>* renamed) {
  const size_t count = dir->children.size();
  std::vector<bool> keep(count, true), named(count, false);
  std::vector<std::string> old_path(count), why_renamed(count);
  std::vector<BasisName> basis(count);
  std::unordered_set<std::string> taken;
  auto is_taken = [&taken](const uint8_t name[11]) { return taken.count(Key(name)) != 0; };
  auto drop = [&](size_t i, const std::string& why) {
    keep[i] = false;
    left_out->push_back(old_path[i] + ": " + why);
  };
  // An entry whose short name Windows could not have written keeps its name as its long name,
  // made one a long name can be.
  for (size_t i = 0; i < count; ++i) {
    TreeNode& child = dir->children[i];
    old_path[i] = ChildPath(path, child);
    if (child.short_name_valid) continue;
    bool changed = false;
    child.name = UsableLongName(child.name, &changed);
    why_renamed[i] = "its short name " + ShortNameShown(child.short_name) + " holds " +
                     ShortNameProblem(child.short_name) + ", which Windows never writes";
    if (changed) why_renamed[i] += "; the characters a long name cannot hold became _";
  }
  // Names Windows 95/98 keeps for devices, files FAT cannot hold, and names the system takes for
  // an earlier sibling's cannot go.
  std::set<std::u16string> names;
  for (size_t i = 0; i < count; ++i) {
    const TreeNode& child = dir->children[i];
    const std::string device = DeviceName(child.name);
    if (!device.empty()) {
      drop(i, device + " is a device name in Windows 95/98, which can neither open nor delete a "
                       "file so named");
    } else if (!child.directory && child.size > 0xFFFFFFFFull) {
      drop(i, std::to_string(child.size) + " bytes: a FAT file holds at most 4 GiB less one byte");
    } else if (!names.insert(CaseKey(child.name)).second) {
      drop(i, "another entry has the same name but for upper and lower case");
    }
  }
  // Names that are valid 8.3 names (in any case) are their own short names, reserved before
  // any numeric tail is made, as Windows does when it makes an entry.
  for (size_t i = 0; i < count; ++i) {
    if (!keep[i]) continue;
    TreeNode& child = dir->children[i];
    basis[i] = MakeBasisName(child.name);
    if (basis[i].needs_tail || !taken.insert(Key(basis[i].name)).second) continue;
    std::memcpy(child.card_short_name, basis[i].name, 11);
    child.card_long_entries = !basis[i].plain || child.has_long_entries;  // a volume's stay
    named[i] = true;
  }
  // A source volume's own short names where they are still free, so that paths such as
  // PROGRA~1 stay valid.
  for (size_t i = 0; i < count; ++i) {
    TreeNode& child = dir->children[i];
    if (!keep[i] || named[i] || !child.has_short_name || !child.short_name_valid ||
        !DeviceName(NameOfShortEntry(child.short_name, 0)).empty() ||
        !taken.insert(Key(child.short_name)).second)
      continue;
    std::memcpy(child.card_short_name, child.short_name, 11);
    std::u16string shown;
    child.card_long_entries = child.has_long_entries ||
                              !SjisToUtf16(ShortNameText(child.short_name), &shown) ||
                              shown != child.name;
    named[i] = true;
  }
  // The rest get numeric tails; each basis counts on from the last tail it was given.
  std::unordered_map<std::string, uint32_t> next_tail;
  for (size_t i = 0; i < count; ++i) {
    if (!keep[i] || named[i]) continue;
    TreeNode& child = dir->children[i];
    if (!ChooseShortName(basis[i], is_taken, child.card_short_name, &next_tail[Key(basis[i].name)])) {
      drop(i, "no free short name is left for it");
      continue;
    }
    child.card_long_entries = !basis[i].plain;
    taken.insert(Key(child.card_short_name));
  }
  // A directory holds at most 65,536 entries: those that do not fit are left out, the rest stay.
  // The root of FAT16 is measured by the caller.
  uint64_t entries = root ? (dir->has_label ? 1 : 0) : 2;
  for (size_t i = 0; i < count; ++i) {
    if (!keep[i]) continue;
    const uint64_t more = EntriesOf(dir->children[i]);
    if (entries + more > kMaxDirEntries)
      drop(i, "its directory is full (65,536 entries)");
    else
      entries += more;
  }
  // An entry of a source volume that does not keep its short name is listed.
  for (size_t i = 0; i < count; ++i) {
    const TreeNode& child = dir->children[i];
    if (!keep[i] || !child.has_short_name ||
        (why_renamed[i].empty() && Key(child.card_short_name) == Key(child.short_name)))
      continue;
    std::string why = why_renamed[i];
    if (why.empty() && !DeviceName(NameOfShortEntry(child.short_name, 0)).empty())
      why = "its short name " + ShortNameShown(child.short_name) + " is a device name";
    else if (why.empty() && !basis[i].needs_tail && Key(basis[i].name) == Key(child.card_short_name))
      why = "its name is an 8.3 name, which is its short name (it was " +
            ShortNameShown(child.short_name) + ")";
    else if (why.empty())
      why = "its short name " + ShortNameShown(child.short_name) +
            " is the name of another entry here, whose name is that 8.3 name";
    renamed->push_back(old_path[i] + ": now " + Utf8FromUtf16(child.name) +
                       " (short name " + ShortNameShown(child.card_short_name) + "): " + why);
  }
  std::vector<TreeNode> kept;
  for (size_t i = 0; i < count; ++i)
    if (keep[i]) kept.push_back(std::move(dir->children[i]));
  dir->children = std::move(kept);
  for (TreeNode& child : dir->children)
    if (child.directory) PlanDirectory(&child, ChildPath(path, child), false, left_out, renamed);
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

void PlanCardNames(TreeNode* root, std::vector<std::string>* left_out,
                   std::vector<std::string>* renamed) {
  PlanDirectory(root, "", true, left_out, renamed);
}

TreeNeeds MeasureTree(const TreeNode& root, uint32_t cluster_bytes, bool fat32) {
  TreeNeeds needs = {0, DirectoryEntries(root, true)};
  if (fat32)
    needs.clusters = std::max<uint64_t>(1, ClustersFor(needs.root_entries * 32, cluster_bytes));
  MeasureDirectory(root, cluster_bytes, &needs.clusters);
  return needs;
}

