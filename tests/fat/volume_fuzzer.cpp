// Fuzzes the FAT reader over arbitrary images: boot sectors with any field values, master boot
// records, FATs whose chains loop, cross, leave the volume or end in free clusters, directories
// with broken long-name entries, nested without end.
//
// Whatever the image holds, the reader must never read outside it, must answer with a tree or a
// message, and the tree it answers must hold together: every run inside the volume, every file's
// runs long enough for its size, names non-empty, long names ones Windows allows, short names
// unique in their directory, a label one Windows writes; its files must read back within their
// sizes. Then the tree is planned for a card: every entry kept must have a short name Windows
// could have written, unique in its directory, and a name Windows allows.
//
// Input: an image as tests/sector_image.h reads it (a sparse one of at most 131,072 sectors).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "fat/names.h"
#include "fat/plan.h"
#include "fat/volume.h"
#include "platform/byte_order.h"
#include "platform/text.h"
#include "tests/sector_image.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

uint64_t budget = 0;  // bytes of file data still to be read for this input

void CheckTree(FatVolume* volume, const TreeNode& dir, int depth) {
  const FatLayout& l = volume->layout();
  Require(depth <= kMaxTreeDepth + 1);
  std::set<std::string> short_names;
  for (const TreeNode& child : dir.children) {
    Require(!child.name.empty() && child.name.size() <= 255);
    Require(!child.has_long_entries || LongNameProblem(child.name).empty());
    Require(child.short_name_valid == ShortNameProblem(child.short_name).empty());
    Require(short_names.insert(std::string(reinterpret_cast<const char*>(child.short_name), 11)).second);
    uint64_t clusters = 0;
    for (const ClusterRun& run : child.runs) {
      Require(run.first >= 2 && run.count > 0 && uint64_t{run.first} + run.count <= l.cluster_count + 2u);
      clusters += run.count;
    }
    if (child.directory) {
      CheckTree(volume, child, depth + 1);
      continue;
    }
    Require(clusters * l.cluster_bytes >= child.size);
    std::vector<uint8_t> data(4096);
    for (uint64_t at = 0; at < child.size && budget > 0; at += data.size()) {
      size_t length = static_cast<size_t>(child.size - at < data.size() ? child.size - at : data.size());
      std::string error;
      Require(volume->ReadFile(child, at, data.data(), length, &error));
      budget -= length < budget ? length : budget;
    }
    std::string error;
    uint8_t byte;
    Require(!volume->ReadFile(child, child.size, &byte, 1, &error));  // past the end: refused
  }
}

void CheckPlan(const TreeNode& dir) {
  std::set<std::string> short_names;
  for (const TreeNode& child : dir.children) {
    Require(LongNameProblem(child.name).empty() && DeviceName(child.name).empty());
    Require(ShortNameProblem(child.card_short_name).empty());
    Require(short_names.insert(std::string(reinterpret_cast<const char*>(child.card_short_name), 11)).second);
    if (child.directory) CheckPlan(child);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  SectorImage bytes;
  if (!bytes.Decode(data, size, 131072)) return 0;
  FatLayout layout;
  std::string where, error;
  if (!FindFatVolume(&bytes, &layout, &where, &error)) {
    Require(!error.empty());
    return 0;
  }
  Require(layout.data_offset + uint64_t{layout.cluster_count} * layout.cluster_bytes <= bytes.Size());
  FatVolume volume;
  if (!volume.Open(&bytes, layout, &error)) return 0;
  TreeNode root;
  if (!volume.ReadTree(&root, &error)) {
    Require(!error.empty());
    return 0;
  }
  for (const std::string& note : volume.notes()) Require(note.find(": ") != std::string::npos);
  if (root.has_label) {
    // A label Windows writes: MakeLabel gives it back as it is.
    size_t end = 11;
    while (end > 0 && root.label[end - 1] == ' ') --end;
    std::u16string text;
    uint8_t again[11];
    Require(SjisToUtf16(std::string(reinterpret_cast<const char*>(root.label), end), &text));
    Require(MakeLabel(text, again).empty() && std::memcmp(again, root.label, 11) == 0);
  }
  budget = 1 << 20;
  CheckTree(&volume, root, 0);
  std::vector<std::string> left_out, renamed;
  PlanCardNames(&root, &left_out, &renamed);
  CheckPlan(root);
  return 0;
}
