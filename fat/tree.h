// A tree of files and directories as it goes onto a card: what a source (a folder, a FAT volume)
// holds and what the card's FAT volume holds when it is read back.
#ifndef KELVADO_FAT_TREE_H
#define KELVADO_FAT_TREE_H

#include <cstdint>
#include <string>
#include <vector>

// The times of a directory entry, as FAT keeps them (local time, 2-second steps).
struct FatTimes {
  uint8_t create_tenths;
  uint16_t create_time;
  uint16_t create_date;
  uint16_t access_date;
  uint16_t write_time;
  uint16_t write_date;
};

// A run of clusters that follow one another.
struct ClusterRun {
  uint32_t first;
  uint32_t count;
};

struct TreeNode {
  // The name: the long name, or the short name's Unicode form when the entry has none.
  std::u16string name;
  // The short name (blank-padded, E5h as it reads, not 05h), when the source has one.
  bool has_short_name = false;
  uint8_t short_name[11] = {};
  // The source wrote the name as long-name entries.
  bool has_long_entries = false;
  // The short name is one Windows 95/98 could have written (see ShortNameProblem); one it could
  // not is not taken onto the card.
  bool short_name_valid = true;
  uint8_t attributes = 0;  // read-only, hidden, system, directory, archive
  FatTimes times = {};
  uint64_t size = 0;
  bool directory = false;
  std::vector<TreeNode> children;  // a directory's, in the order they are listed

  // The root's: the volume label (blank-padded Shift-JIS, as MakeLabel makes it) and the times of
  // its entry.
  bool has_label = false;
  uint8_t label[11] = {};
  FatTimes label_times = {};

  // Where the bytes are: a FAT volume's clusters, or a file of the host.
  std::vector<ClusterRun> runs;
  uint32_t first_cluster = 0;
  std::string host_path;

  // Decided when the card's directories are planned: the short name on the card and whether the
  // name also goes into long-name entries.
  uint8_t card_short_name[11] = {};
  bool card_long_entries = false;
  // A file's bytes as they were written to the card, digested (FileDigest), so the card can be
  // compared without reading the source again.
  bool has_digest = false;
  uint64_t digest = 0;
};

// A running digest of a file's bytes: 8-byte words go, in four lanes, through a bijective mix,
// and the lanes are mixed into one another at the end, so a card that differs from what was
// written in one word always gives another digest. Pieces of any size give the same digest as
// the whole.
struct FileDigest {
  uint64_t lane[4] = {0x6A09E667F3BCC908ull, 0xBB67AE8584CAA73Bull, 0x3C6EF372FE94F82Bull,
                      0xA54FF53A5F1D36F1ull};
  uint64_t length = 0;
  uint8_t tail[32] = {};
  void Add(const uint8_t* data, size_t size);
  uint64_t Value() const;
};

// What a tree's bytes are read from.
class TreeSource {
 public:
  virtual ~TreeSource() {}
  // Reads `length` bytes of `file` from `offset`; false, with what went wrong in *error, when
  // they cannot be read.
  virtual bool ReadFile(const TreeNode& file, uint64_t offset, uint8_t* buffer, size_t length,
                        std::string* error) = 0;
};

// The deepest nesting of directories a tree may have.
const int kMaxTreeDepth = 64;

// Counts of a tree.
struct TreeCount {
  uint64_t files = 0;
  uint64_t directories = 0;
  uint64_t bytes = 0;
};
TreeCount CountTree(const TreeNode& root);

// A path for messages: the names from the root, separated by '\', in UTF-8 (whatever prints it
// escapes its control characters).
std::string Utf8FromUtf16(const std::u16string& text);
std::string ChildPath(const std::string& parent, const TreeNode& child);

#endif
