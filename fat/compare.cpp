// Comparing the card read back with the tree written onto it.
#include "fat/compare.h"

#include <algorithm>
#include <cstring>

#include "fat/dir_entry.h"
#include "fat/names.h"
#include "fat/plan.h"
#include "fat/progress.h"

const char kStatusVerifyFiles[] = "転送先のファイルを照合中";

namespace {

// Bytes compared at a time.
const uint32_t kChunkBytes = 1 << 20;
const uint32_t kProgressRange = 1000;

uint32_t ProgressOf(uint64_t done, uint64_t total) {
  return total == 0 ? kProgressRange : static_cast<uint32_t>(done * kProgressRange / total);
}

bool SameName11(const uint8_t* a, const uint8_t* b) { return std::memcmp(a, b, 11) == 0; }

}  // namespace

namespace {

class Comparison {
 public:
  Comparison(TreeSource* source, TreeSource* card, std::vector<std::string>* differences,
             uint64_t total)
      : source_(source), card_(card), differences_(differences), total_(total),
        a_(kChunkBytes), b_(kChunkBytes) {}

  void Directory(const TreeNode& source, const TreeNode& card, const std::string& path);

 private:
  void Differ(const std::string& path, const std::string& what) {
    differences_->push_back((path.empty() ? std::string("\\") : path) + ": " + what);
  }
  void Entry(const TreeNode& source, const TreeNode& card, const std::string& path);

  TreeSource* source_;
  TreeSource* card_;
  std::vector<std::string>* differences_;
  uint64_t total_, done_ = 0;
  std::vector<uint8_t> a_, b_;
};

void Comparison::Directory(const TreeNode& source, const TreeNode& card, const std::string& path) {
  std::vector<bool> matched(card.children.size(), false);
  size_t next = 0;  // the card lists a directory's entries as they were written: tried first
  for (const TreeNode& child : source.children) {
    const std::string child_path = ChildPath(path, child);
    size_t found = card.children.size();
    if (next < card.children.size() && !matched[next] && card.children[next].name == child.name) {
      found = next;
    } else {
      for (size_t i = 0; i < card.children.size(); ++i) {
        if (!matched[i] && card.children[i].name == child.name) {
          found = i;
          break;
        }
      }
    }
    next = found + 1;
    if (found == card.children.size()) {
      Differ(child_path, "missing on the card");
      continue;
    }
    matched[found] = true;
    Entry(child, card.children[found], child_path);
  }
  for (size_t i = 0; i < card.children.size(); ++i)
    if (!matched[i]) Differ(ChildPath(path, card.children[i]), "on the card but not in the source");
}

void Comparison::Entry(const TreeNode& source, const TreeNode& card, const std::string& path) {
  if (source.directory != card.directory) {
    Differ(path, source.directory ? "a folder, but a file on the card" : "a file, but a folder on the card");
    return;
  }
  if (!SameName11(source.card_short_name, card.short_name))
    Differ(path, "short name " + ShortNameText(card.short_name) + " on the card, not " +
                     ShortNameText(source.card_short_name));
  if (source.card_long_entries != card.has_long_entries)
    Differ(path, source.card_long_entries ? "its long name is missing" : "a long name it should not have");
  const uint8_t kept = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;
  if ((source.attributes & kept) != (card.attributes & kept))
    Differ(path, "attributes differ");
  if (source.times.write_date != card.times.write_date ||
      source.times.write_time != card.times.write_time)
    Differ(path, "last written at another time");
  if (source.directory) {
    Directory(source, card, path);
    return;
  }
  if (source.size != card.size) {
    Differ(path, std::to_string(card.size) + " bytes on the card, " + std::to_string(source.size) +
                     " in the source");
    done_ += source.size;
    return;
  }
  FileDigest digest;
  for (uint64_t at = 0; at < source.size; at += kChunkBytes) {
    size_t length = static_cast<size_t>(std::min<uint64_t>(kChunkBytes, source.size - at));
    std::string why;
    if (source.has_digest) {
      // What was written was digested: the card's bytes are compared with that.
      if (!card_->ReadFile(card, at, b_.data(), length, &why)) {
        Differ(path, "cannot be read back from the card");
        done_ += source.size - at;
        return;
      }
      digest.Add(b_.data(), length);
      done_ += length;
      FatProgressAdvance(ProgressOf(done_, total_));
      continue;
    }
    if (!source_->ReadFile(source, at, a_.data(), length, &why)) {
      Differ(path, "the source cannot be read again: " + why);
      done_ += source.size - at;
      return;
    }
    if (!card_->ReadFile(card, at, b_.data(), length, &why)) {
      Differ(path, "cannot be read back from the card");
      done_ += source.size - at;
      return;
    }
    if (std::memcmp(a_.data(), b_.data(), length) != 0) {
      Differ(path, "its bytes differ from byte " + std::to_string(at) + " on");
      done_ += source.size - at;
      return;
    }
    done_ += length;
    FatProgressAdvance(ProgressOf(done_, total_));
  }
  if (source.has_digest && digest.Value() != source.digest)
    Differ(path, "its bytes on the card differ from those written");
}

}  // namespace

void CompareTrees(const TreeNode& source, TreeSource* source_bytes, const TreeNode& card,
                  TreeSource* card_bytes, std::vector<std::string>* differences) {
  FatProgressPhase(kStatusVerifyFiles, kProgressRange);
  if (source.has_label != card.has_label ||
      (source.has_label && std::memcmp(source.label, card.label, 11) != 0))
    differences->push_back("\\: the label on the card is " +
                           (card.has_label ? "\"" + LabelText(card.label) + "\"" : std::string("none")) +
                           ", not " +
                           (source.has_label ? "\"" + LabelText(source.label) + "\"" : std::string("none")));
  Comparison comparison(source_bytes, card_bytes, differences, CountTree(source).bytes);
  comparison.Directory(source, card, "");
  FatProgressDone();
}
