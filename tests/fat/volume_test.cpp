// The FAT reader on crafted volumes: a sound one read whole, then each kind of damage an image
// from elsewhere can carry, each refused with a message that names it.
#include "fat/volume.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "fat/dir_entry.h"
#include "fat/names.h"
#include "platform/byte_order.h"

namespace {

class MemoryBytes : public ByteSource {
 public:
  explicit MemoryBytes(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  uint64_t Size() const override { return bytes_.size(); }
  bool Read(uint64_t offset, void* buffer, size_t length) override {
    // The reader must keep inside the image on its own.
    EXPECT_LE(offset + length, bytes_.size());
    if (offset + length > bytes_.size()) return false;
    std::memcpy(buffer, &bytes_[offset], length);
    return true;
  }

 private:
  std::vector<uint8_t> bytes_;
};

// A FAT16 volume of 4,200 one-sector clusters: 1 reserved sector, 2 FATs of 17 sectors, 512 root
// entries. Clusters are numbered from 2 at sector 68.
class Fat16Image {
 public:
  static const uint32_t kClusters = 4200, kFatSectors = 17, kRootSector = 35, kDataSector = 67;
  Fat16Image() : bytes(size_t{kDataSector + kClusters} * 512, 0) {
    uint8_t* b = bytes.data();
    b[0] = 0xEB;
    b[1] = 0x3C;
    b[2] = 0x90;
    std::memcpy(b + 3, "MSWIN4.1", 8);
    PutLe16(b + 11, 512);
    b[13] = 1;
    PutLe16(b + 14, 1);
    b[16] = 2;
    PutLe16(b + 17, 512);
    PutLe16(b + 19, static_cast<uint32_t>(bytes.size() / 512));
    b[21] = 0xF8;
    PutLe16(b + 22, kFatSectors);
    b[38] = 0x29;
    PutLe32(b + 39, 0x12345678);
    std::memcpy(b + 54, "FAT16   ", 8);
    b[510] = 0x55;
    b[511] = 0xAA;
    SetFat(0, 0xFFF8);
    SetFat(1, 0xFFFF);
  }
  void SetFat(uint32_t cluster, uint32_t value) {
    for (uint32_t k = 0; k < 2; ++k) PutLe16(&bytes[(1 + k * kFatSectors) * 512 + cluster * 2], value);
  }
  uint8_t* Cluster(uint32_t cluster) { return &bytes[(kDataSector + cluster - 2) * 512]; }
  uint8_t* RootEntry(uint32_t index) { return &bytes[kRootSector * 512 + index * 32]; }
  // A short entry at `at`: an 11-byte name, attributes, first cluster, size.
  static void Entry(uint8_t* at, const char* name, uint8_t attributes, uint32_t cluster,
                    uint32_t size) {
    std::memset(at, 0, 32);
    std::memcpy(at, name, 11);
    at[11] = attributes;
    PutLe16(at + 26, cluster);
    PutLe32(at + 28, size);
  }
  std::vector<uint8_t> bytes;
};

// The usual tree: README.TXT (2 clusters, 3 and 4), a long-named file in cluster 5, folder SUB
// (cluster 6) holding INNER.BIN (cluster 7).
Fat16Image SoundImage() {
  Fat16Image img;
  Fat16Image::Entry(img.RootEntry(0), "README  TXT", kAttrArchive | kAttrHidden, 3, 600);
  img.SetFat(3, 4);
  img.SetFat(4, 0xFFFF);
  std::memset(img.Cluster(3), 'a', 512);
  std::memset(img.Cluster(4), 'b', 88);
  std::vector<uint8_t> lfn;
  uint8_t short_name[11];
  std::memcpy(short_name, "ALONGN~1TXT", 11);
  AppendLongNameEntries(u"a long name.txt", ShortNameChecksum(short_name), &lfn);
  std::memcpy(img.RootEntry(1), lfn.data(), lfn.size());
  Fat16Image::Entry(img.RootEntry(3), "ALONGN~1TXT", kAttrArchive, 5, 10);
  img.SetFat(5, 0xFFFF);
  std::memcpy(img.Cluster(5), "0123456789", 10);
  Fat16Image::Entry(img.RootEntry(4), "SUB        ", kAttrDirectory, 6, 0);
  img.SetFat(6, 0xFFFF);
  Fat16Image::Entry(img.Cluster(6), ".          ", kAttrDirectory, 6, 0);
  Fat16Image::Entry(img.Cluster(6) + 32, "..         ", kAttrDirectory, 0, 0);
  Fat16Image::Entry(img.Cluster(6) + 64, "INNER   BIN", kAttrReadOnly | kAttrSystem, 7, 5);
  img.SetFat(7, 0xFFF8);
  std::memcpy(img.Cluster(7), "inner", 5);
  return img;
}

// Reads the image; the error, or "" with the tree in *root and the reader's notes in *notes.
std::string ReadImage(const std::vector<uint8_t>& bytes, TreeNode* root = nullptr,
                      std::string* where = nullptr, std::vector<std::string>* notes = nullptr) {
  MemoryBytes source(bytes);
  FatLayout layout;
  std::string at, error;
  FatVolume volume;
  TreeNode tree;
  if (!FindFatVolume(&source, &layout, &at, &error) || !volume.Open(&source, layout, &error) ||
      !volume.ReadTree(&tree, &error))
    return error.empty() ? "(no message)" : error;
  if (root) *root = tree;
  if (where) *where = at;
  if (notes) *notes = volume.notes();
  return "";
}

// The names of the root's children, in order, and the reader's one note ("" when none).
struct ReadBack {
  std::vector<std::u16string> names;
  std::string note;
  TreeNode root;
};
ReadBack ReadNoted(const std::vector<uint8_t>& bytes) {
  ReadBack back;
  std::vector<std::string> notes;
  std::string error = ReadImage(bytes, &back.root, nullptr, &notes);
  EXPECT_EQ(error, "");
  EXPECT_LE(notes.size(), 1u) << (notes.size() > 1 ? notes[0] + " | " + notes[1] : "");
  if (!notes.empty()) back.note = notes[0];
  for (const TreeNode& child : back.root.children) back.names.push_back(child.name);
  return back;
}

#define EXPECT_REFUSED(bytes, words)                                       \
  do {                                                                     \
    std::string message = ReadImage(bytes);                                \
    EXPECT_NE(message.find(words), std::string::npos) << "message: " << message; \
  } while (0)

}  // namespace

TEST(FatReader, ReadsASoundVolumeWhole) {
  Fat16Image img = SoundImage();
  MemoryBytes source(img.bytes);
  FatLayout layout;
  std::string where, error;
  ASSERT_TRUE(FindFatVolume(&source, &layout, &where, &error)) << error;
  EXPECT_EQ(where, "volume");
  EXPECT_EQ(layout.fat_bits, 16);
  EXPECT_EQ(layout.serial, 0x12345678u);
  FatVolume volume;
  ASSERT_TRUE(volume.Open(&source, layout, &error));
  TreeNode root;
  ASSERT_TRUE(volume.ReadTree(&root, &error)) << error;
  ASSERT_EQ(root.children.size(), 3u);
  const TreeNode& readme = root.children[0];
  EXPECT_EQ(readme.name, u"README.TXT");
  EXPECT_FALSE(readme.has_long_entries);
  EXPECT_EQ(readme.attributes, kAttrArchive | kAttrHidden);
  std::vector<uint8_t> data(600);
  ASSERT_TRUE(volume.ReadFile(readme, 0, data.data(), data.size(), &error));
  EXPECT_EQ(data[511], 'a');
  EXPECT_EQ(data[512], 'b');
  EXPECT_EQ(root.children[1].name, u"a long name.txt");
  EXPECT_TRUE(root.children[1].has_long_entries);
  const TreeNode& sub = root.children[2];
  ASSERT_TRUE(sub.directory);
  ASSERT_EQ(sub.children.size(), 1u);  // dot entries are not part of the tree
  EXPECT_EQ(sub.children[0].name, u"INNER.BIN");
  EXPECT_EQ(sub.children[0].attributes, kAttrReadOnly | kAttrSystem);
}

TEST(FatReader, ImpossibleBootSectors) {
  Fat16Image img = SoundImage();
  std::vector<uint8_t> b = img.bytes;
  PutLe16(&b[11], 513);
  EXPECT_REFUSED(b, "no FAT boot sector (impossible sector size 513)");
  b = img.bytes;
  b[13] = 3;
  EXPECT_REFUSED(b, "impossible cluster size of 3 sectors");
  b = img.bytes;
  b[16] = 0;
  EXPECT_REFUSED(b, "impossible number of FATs 0");
  b = img.bytes;
  PutLe16(&b[22], 4);
  EXPECT_REFUSED(b, "a FAT of 4 sectors is too small for");
  b = img.bytes;
  b.resize(b.size() - 512);  // the last cluster is cut off
  EXPECT_REFUSED(b, "run past the end of the image");
  b = img.bytes;
  PutLe16(&b[17], 0);  // FAT16-sized, but no root directory
  EXPECT_REFUSED(b, "gives it no root directory");
  b = img.bytes;
  b[0] = 0;
  b[510] = 0;
  EXPECT_REFUSED(b, "no master boot record");
  EXPECT_REFUSED(std::vector<uint8_t>(100, 0), "smaller than one sector");
}

TEST(FatReader, BrokenClusterChains) {
  Fat16Image img = SoundImage();
  img.SetFat(4, 3);  // README.TXT's chain loops
  EXPECT_REFUSED(img.bytes, "README.TXT: cluster 3 is reached twice");
  img = SoundImage();
  img.SetFat(4, 0xF000);  // past the last cluster
  EXPECT_REFUSED(img.bytes, "README.TXT: its cluster chain leaves the volume (4 -> 61440)");
  img = SoundImage();
  img.SetFat(4, 0);
  EXPECT_REFUSED(img.bytes, "README.TXT: its cluster chain ends in free cluster 4");
  img = SoundImage();
  img.SetFat(4, 0xFFF7);
  EXPECT_REFUSED(img.bytes, "runs into a bad cluster");
  img = SoundImage();
  img.SetFat(3, 0xFFFF);  // 600 bytes in one cluster of 512
  EXPECT_REFUSED(img.bytes, "README.TXT: 600 bytes, but a cluster chain of only 512 bytes");
  img = SoundImage();
  PutLe16(img.RootEntry(3) + 26, 4);  // the long-named file shares README.TXT's cluster
  EXPECT_REFUSED(img.bytes, "a long name.txt: cluster 4 is reached twice");
  img = SoundImage();
  PutLe16(img.RootEntry(0) + 26, 9000);
  EXPECT_REFUSED(img.bytes, "README.TXT: its first cluster 9000 is outside the volume");
  // A folder that holds itself: its directory would be read for ever.
  img = SoundImage();
  Fat16Image::Entry(img.Cluster(6) + 96, "LOOP       ", kAttrDirectory, 6, 0);
  EXPECT_REFUSED(img.bytes, "SUB\\LOOP: cluster 6 is reached twice");
}

TEST(FatReader, BadLongNameEntries) {
  // Long-name entries that belong to no short entry are ignored, as Windows ignores them: the
  // short entry after them stands under its short name, and a note says why.
  const std::vector<std::u16string> short_named = {u"README.TXT", u"ALONGN~1.TXT", u"SUB"};
  Fat16Image img = SoundImage();
  img.RootEntry(3)[0] = 'B';  // the short name no longer matches the checksum (as DOS renames)
  ReadBack back = ReadNoted(img.bytes);
  EXPECT_EQ(back.names, (std::vector<std::u16string>{u"README.TXT", u"BLONGN~1.TXT", u"SUB"}));
  EXPECT_EQ(back.note,
            "BLONGN~1.TXT: long name ignored (its checksum does not fit the short entry after it)");
  EXPECT_FALSE(back.root.children[1].has_long_entries);
  img = SoundImage();
  img.RootEntry(1)[0] = 0x02;  // the first of the name's entries lacks its 40h mark
  back = ReadNoted(img.bytes);
  EXPECT_EQ(back.names, short_named);
  EXPECT_EQ(back.note, "ALONGN~1.TXT: long name ignored (its sequence is broken)");
  img = SoundImage();
  img.RootEntry(1)[0] = 0x43;  // three parts announced, two present
  img.RootEntry(2)[0] = 0x02;
  back = ReadNoted(img.bytes);
  EXPECT_EQ(back.names, short_named);
  EXPECT_EQ(back.note, "ALONGN~1.TXT: long name ignored (its sequence is broken)");
  img = SoundImage();
  img.RootEntry(1)[0] = 0x55;  // 21 parts: more than 255 units
  EXPECT_EQ(ReadNoted(img.bytes).note, "ALONGN~1.TXT: long name ignored (its sequence is broken)");
  img = SoundImage();
  img.RootEntry(3)[0] = 0xE5;  // deleted as DOS deletes: the short entry alone
  back = ReadNoted(img.bytes);
  EXPECT_EQ(back.names, (std::vector<std::u16string>{u"README.TXT", u"SUB"}));
  EXPECT_EQ(back.note, "a long name.txt: long name ignored (its short entry is deleted)");
  img = SoundImage();
  std::memset(img.RootEntry(3), 0, 32 * 3);  // long-name entries with no short entry at the end
  std::memcpy(img.RootEntry(3), img.RootEntry(1), 64);
  std::memset(img.RootEntry(1), 0xE5, 1);
  std::memset(img.RootEntry(2), 0xE5, 1);
  img.RootEntry(1)[11] = 0;
  img.RootEntry(2)[11] = 0;
  back = ReadNoted(img.bytes);
  EXPECT_EQ(back.names, (std::vector<std::u16string>{u"README.TXT"}));
  EXPECT_EQ(back.note, "a long name.txt: long name ignored (no short entry follows it)");
  img = SoundImage();
  PutLe16(img.RootEntry(2) + 1, u'/');  // a character no name holds
  back = ReadNoted(img.bytes);
  EXPECT_EQ(back.names, short_named);
  EXPECT_EQ(back.note, "ALONGN~1.TXT: long name ignored (it is no name Windows allows: a character "
                       "Windows does not allow in names (\\ / : * ? \" < > |))");
  // What stays refused: two entries with one short name.
  img = SoundImage();
  std::memcpy(img.RootEntry(4), "README  TXT", 11);
  EXPECT_REFUSED(img.bytes, "README.TXT: two entries in the root directory have this short name");
}

TEST(FatReader, ShortNamesWindowsNeverWritesAreReadAndMarked) {
  Fat16Image img = SoundImage();
  img.RootEntry(4)[1] = 0x01;  // a control byte in a short name: S<01>B
  std::memcpy(img.Cluster(6) + 64, "inner\x7f  b+n", 11);  // lower case, DEL, '+'
  TreeNode root;
  std::vector<std::string> notes;
  ASSERT_EQ(ReadImage(img.bytes, &root, nullptr, &notes), "");
  EXPECT_TRUE(notes.empty());
  const TreeNode& sub = root.children[2];
  EXPECT_EQ(sub.name, u"S\x01" u"B");
  EXPECT_FALSE(sub.short_name_valid);
  EXPECT_EQ(ShortNameProblem(sub.short_name), "control bytes");
  ASSERT_EQ(sub.children.size(), 1u);
  EXPECT_EQ(sub.children[0].name, u"inner\x7f.b+n");
  EXPECT_EQ(ShortNameProblem(sub.children[0].short_name),
            "lower-case letters, DEL (7Fh), one of + , ; = [ ]");
  EXPECT_TRUE(root.children[0].short_name_valid);
  // Its path in messages shows the control byte escaped.
  EXPECT_EQ(ChildPath(ChildPath("", sub), sub.children[0]), "S\x01" "B\\inner\x7F.b+n");
}

TEST(FatReader, TheVolumeLabel) {
  // The root's label entry is the label; the boot sector's is taken when there is none.
  Fat16Image img = SoundImage();
  std::memcpy(img.bytes.data() + 43, "BOOT LABEL ", 11);
  TreeNode root;
  std::vector<std::string> notes;
  ASSERT_EQ(ReadImage(img.bytes, &root, nullptr, &notes), "");
  EXPECT_TRUE(root.has_label);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(root.label), 11), "BOOT LABEL ");
  Fat16Image::Entry(img.RootEntry(5), "Old Disk   ", kAttrVolumeLabel, 0, 0);
  ASSERT_EQ(ReadImage(img.bytes, &root, nullptr, &notes), "");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(root.label), 11), "OLD DISK   ");
  EXPECT_EQ(root.children.size(), 3u);  // the label is no entry of the tree
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0], "\\: label \"Old Disk\" taken from the root directory; the boot sector "
                      "holds \"BOOT LABEL\"");
  // Blank or "NO NAME" in the boot sector is no label; one that cannot be a label is noted.
  img = SoundImage();
  std::memcpy(img.bytes.data() + 43, "NO NAME    ", 11);
  ASSERT_EQ(ReadImage(img.bytes, &root, nullptr, &notes), "");
  EXPECT_FALSE(root.has_label);
  EXPECT_TRUE(notes.empty());
  Fat16Image::Entry(img.RootEntry(5), "A*B        ", kAttrVolumeLabel, 0, 0);
  ASSERT_EQ(ReadImage(img.bytes, &root, nullptr, &notes), "");
  EXPECT_FALSE(root.has_label);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].find("\\: label \"A*B\" ignored (it holds characters a label cannot hold"), 0u);
}

TEST(FatReader, WholeDisksAndTheirPartitionTables) {
  Fat16Image img = SoundImage();
  std::vector<uint8_t> disk(63 * 512, 0);
  disk.insert(disk.end(), img.bytes.begin(), img.bytes.end());
  disk[510] = 0x55;
  disk[511] = 0xAA;
  // Entry 1: a Linux partition; entry 2: an inactive FAT16; entry 3: the active FAT16 one.
  uint8_t* table = &disk[446];
  table[4] = 0x83;
  PutLe32(table + 8, 1);
  table[16 + 4] = 0x06;
  PutLe32(table + 16 + 8, 5);  // no boot sector there: only chosen when nothing is active
  table[32] = 0x80;
  table[32 + 4] = 0x06;
  PutLe32(table + 32 + 8, 63);
  PutLe32(table + 32 + 12, static_cast<uint32_t>(img.bytes.size() / 512));
  TreeNode root;
  std::string where;
  EXPECT_EQ(ReadImage(disk, &root, &where), "");
  EXPECT_EQ(where, "partition 3 at sector 63");
  EXPECT_EQ(root.children.size(), 3u);
  table[32] = 0;  // no active partition: the first FAT one, which holds no boot sector
  EXPECT_REFUSED(disk, "partition 2 at sector 5: no jump instruction");
  table[16 + 4] = 0x07;
  PutLe32(table + 32 + 8, 900000);
  EXPECT_REFUSED(disk, "partition 3 at sector 900000: starts outside the image");
  table[32 + 4] = 0x83;
  EXPECT_REFUSED(disk, "no FAT partition in the master boot record");
}

TEST(FileDigest, PiecesGiveTheWholeAndOneByteChangesIt) {
  std::vector<uint8_t> data(100003);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 131 >> 3);
  FileDigest whole;
  whole.Add(data.data(), data.size());
  for (size_t piece : {1, 7, 31, 32, 33, 4096}) {
    FileDigest pieces;
    for (size_t at = 0; at < data.size(); at += piece)
      pieces.Add(&data[at], std::min(piece, data.size() - at));
    EXPECT_EQ(pieces.Value(), whole.Value()) << piece;
  }
  for (size_t at : {size_t{0}, size_t{40}, data.size() - 1}) {
    std::vector<uint8_t> changed = data;
    changed[at] ^= 0x01;
    FileDigest other;
    other.Add(changed.data(), changed.size());
    EXPECT_NE(other.Value(), whole.Value()) << at;
  }
  FileDigest shorter;  // a zero byte more or less is another file
  shorter.Add(data.data(), data.size() - 1);
  EXPECT_NE(shorter.Value(), whole.Value());
}
