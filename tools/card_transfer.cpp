// kelvado-card transfer: a source tree onto a new card, read back and compared.
#include "tools/card_transfer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "aspi/aspi.h"
#include "engine/boot_record.h"
#include "engine/engine_hooks.h"
#include "engine/errors.h"
#include "engine/fat_area.h"
#include "engine/fat_names.h"
#include "engine/fat_volume.h"
#include "engine/fat_writer.h"
#include "engine/partition.h"
#include "engine/vol_serial.h"
#include "tools/block_device.h"
#include "tools/card_console.h"
#include "tools/file_bytes.h"
#include "tools/folder_source.h"
#include "tools/image_card.h"

namespace {

struct TransferOptions {
  const char* source = nullptr;
  const char* target = nullptr;
  uint32_t size_mib = 0;  // 0: not given
  int fat = 0;            // 16, 32, or 0 for the rule
  bool check = false;
  bool keep_serial = false;
  bool yes = false;
};

}  // namespace

const char kTransferUsage[] =
    "usage: kelvado-card transfer SOURCE TARGET [--size MIB] [--fat16|--fat32] [--check]\n"
    "                             [--keep-serial] [--yes]\n"
    "SOURCE: a folder, or an image of a FAT12/16/32 volume or of a whole disk\n"
    "TARGET: an image file (made or grown to --size MiB) or a block device\n";

namespace {

int Usage(const char* problem) {
  std::fprintf(stderr, "kelvado-card: %s\n%s", problem, kTransferUsage);
  return 2;
}

int Fail(const std::string& what) {
  EndProgressLine();
  std::printf("transfer: FAILED: %s\n", what.c_str());
  return 1;
}

const char* ParseTransferOptions(int argc, char** argv, TransferOptions* o) {
  for (int i = 4; i < argc; ++i) {
    std::string name = argv[i];
    if (name == "--fat16" || name == "--fat32") {
      int fat = name == "--fat16" ? 16 : 32;
      if (o->fat != 0 && o->fat != fat) return "--fat16 and --fat32 exclude each other";
      o->fat = fat;
    } else if (name == "--check") {
      o->check = true;
    } else if (name == "--keep-serial") {
      o->keep_serial = true;
    } else if (name == "--yes") {
      o->yes = true;
    } else if (name == "--size") {
      if (i + 1 >= argc) return "--size lacks its value";
      const char* value = argv[++i];
      uint64_t mib = 0;
      if (*value == '\0') return "--size takes a number of MiB";
      for (const char* p = value; *p; ++p) {
        if (*p < '0' || *p > '9' || mib > 0x200000) return "--size takes 1 to 2097152 MiB";
        mib = mib * 10 + static_cast<uint64_t>(*p - '0');
      }
      if (mib == 0 || mib > 0x200000) return "--size takes 1 to 2097152 MiB";
      o->size_mib = static_cast<uint32_t>(mib);
    } else {
      return "unknown option";
    }
  }
  return nullptr;
}

// The volume the engine makes on this card with FAT32 enabled or not: CalcGeometry and
// BuildPartitionEntry as the partition worker runs them, leaving NewPartition built.
struct CardVolume {
  bool fat32;
  uint32_t sectors;
  uint32_t cluster_bytes;
  uint32_t clusters;
};

bool PlanVolume(bool fat32_enabled, uint32_t capacity, CardVolume* v, std::string* error) {
  TargetCapacity = capacity;
  Fat32Enabled = fat32_enabled ? 1 : 0;
  int32_t result = CalcGeometry();
  if (result != 0) {
    *error = "no geometry for a card of " + std::to_string(uint64_t{capacity} + 1) + " sectors";
    return false;
  }
  BuildPartitionEntry();
  v->fat32 = NewPartition.type == kTypeFat32;
  v->sectors = NewPartition.sector_count;
  uint32_t per_cluster = v->fat32 ? ClusterSizeFat32(v->sectors) : ClusterSizeFat16(v->sectors);
  v->cluster_bytes = per_cluster * kSectorSize;
  v->clusters = v->fat32 ? Fat32ClusterCount(v->sectors, per_cluster)
                         : Fat16ClusterCount(v->sectors, per_cluster);
  return true;
}

// Empty when the planned tree fits the volume, else why not.
std::string FitProblem(const CardVolume& v, const TreeNode& tree) {
  TreeNeeds needs = MeasureTree(tree, v.cluster_bytes, v.fat32);
  if (!v.fat32 && needs.root_entries > 512)
    return "the root folder needs " + std::to_string(needs.root_entries) +
           " directory entries; a FAT16 root holds 512";
  if (v.clusters < kMinFat16Clusters) return "the card is too small for a FAT16 volume";
  if (needs.clusters > v.clusters)
    return "the files need " + SizeText(needs.clusters * v.cluster_bytes) + " in clusters of " +
           std::to_string(v.cluster_bytes) + " bytes; the card's FAT" + (v.fat32 ? "32" : "16") +
           " volume has " + SizeText(uint64_t{v.clusters} * v.cluster_bytes);
  return "";
}

// Makes the image file the card: an existing file keeps its size unless --size grows it; a new
// one is made (sparse) of --size MiB.
bool PrepareImage(const TransferOptions& o, std::string* error) {
  struct stat st;
  bool exists = stat(o.target, &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) {
    *error = std::string(o.target) + " is neither an image file nor a block device";
    return false;
  }
  if (!exists && o.size_mib == 0) {
    *error = std::string(o.target) + " does not exist; give its size with --size MIB";
    return false;
  }
  uint64_t want = uint64_t{o.size_mib} << 20;
  if (exists && o.size_mib != 0 && static_cast<uint64_t>(st.st_size) > want) {
    *error = std::string(o.target) + " is larger than --size; an image is never cut";
    return false;
  }
  if (exists && o.size_mib == 0) return true;
  int fd = open(o.target, O_WRONLY | O_CREAT, 0644);
  if (fd < 0 || ftruncate(fd, static_cast<off_t>(want)) != 0) {
    *error = std::string(o.target) + ": " + std::strerror(errno);
    if (fd >= 0) close(fd);
    return false;
  }
  close(fd);
  return true;
}

void PrintList(const char* heading, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) std::printf("%s: %s\n", heading, line.c_str());
}

// ", label NAME" for the source line when the tree has a label.
std::string LabelPart(const TreeNode& tree) {
  return tree.has_label ? ", label \"" + LabelText(tree.label) + "\"" : "";
}

std::string SerialText(uint32_t serial) {
  char text[16];
  std::snprintf(text, sizeof text, "%04X-%04X", serial >> 16, serial & 0xFFFF);
  return text;
}

}  // namespace

int TransferCommand(int argc, char** argv) {
  TransferOptions o;
  if (argc < 4) return Usage("transfer needs SOURCE and TARGET");
  o.source = argv[2];
  o.target = argv[3];
  if (const char* problem = ParseTransferOptions(argc, argv, &o)) return Usage(problem);
  const bool device = BlockDevices.is_block_device(o.target);
  if (device && o.size_mib != 0) return Usage("--size is for an image file, not a device");

  // The source, read whole before anything is written.
  std::unique_ptr<TreeSource> source;
  std::unique_ptr<FileBytes> image_bytes;
  TreeNode tree;
  std::vector<std::string> left_out;
  std::string error;
  int source_fat = 0;
  uint32_t source_serial = 0;
  bool has_serial = false;
  struct stat st;
  if (stat(o.source, &st) != 0) return Fail(std::string(o.source) + ": " + std::strerror(errno));
  if (S_ISDIR(st.st_mode)) {
    auto folder = std::make_unique<FolderSource>();
    if (!folder->Read(o.source, &tree, &left_out, &error))
      return Fail(std::string(o.source) + ": " + error);
    has_serial = folder->Serial(&source_serial);
    std::printf("source: folder %s%s\n", o.source, LabelPart(tree).c_str());
    PrintList("note", folder->notes());
    source = std::move(folder);
  } else {
    image_bytes = std::make_unique<FileBytes>();
    FatLayout layout;
    std::string where;
    auto volume = std::make_unique<FatVolume>();
    if (!image_bytes->Open(o.source, &error) ||
        !FindFatVolume(image_bytes.get(), &layout, &where, &error) ||
        !volume->Open(image_bytes.get(), layout, &error) || !volume->ReadTree(&tree, &error))
      return Fail(std::string(o.source) + ": " + error);
    source_fat = layout.fat_bits;
    source_serial = layout.serial;
    has_serial = true;
    std::printf("source: FAT%d %s of %s, serial %s%s\n", source_fat, where.c_str(), o.source,
                SerialText(source_serial).c_str(), LabelPart(tree).c_str());
    PrintList("note", volume->notes());
    source = std::move(volume);
  }
  if (o.keep_serial && !has_serial)
    return Fail("--keep-serial: the folder has no .windows-serial whose serial could be kept");
  std::vector<std::string> renamed;
  PlanCardNames(&tree, &left_out, &renamed);
  const TreeCount count = CountTree(tree);
  std::printf("source: %llu files, %llu folders, %llu bytes\n",
              static_cast<unsigned long long>(count.files),
              static_cast<unsigned long long>(count.directories),
              static_cast<unsigned long long>(count.bytes));
  std::fflush(stdout);

  // The card: a block device judged and confirmed, or an image file. Both are reached through the
  // engine's sector transfers, installed in place of the device layer's: the engine is the
  // wizard's, only the way to the sectors differs (kelvado-card format goes through the device
  // layer and the card emulator; a transfer wants the card, written fast).
  BlockDeviceInfo info;
  std::snprintf(HostAdapterName, sizeof HostAdapterName, "njata95");
  AdapterNumber = 0;
  if (device) {
    if (!ConfirmBlockDevice(o.target, o.yes, &info, &error)) return Fail(error);
    if (!BlockDeviceOpen(info, &error)) return Fail(error);
  } else {
    if (!PrepareImage(o, &error)) return Fail(error);
    if (!ImageCardOpen(o.target, &error)) return Fail(error);
  }
  auto release = [&]() {
    std::string ignored, note;
    if (device)
      BlockDeviceClose(&ignored, &note);
    else
      ImageCardClose();
    if (!note.empty()) std::printf("note: %s\n", note.c_str());
  };
  const uint32_t capacity = TargetCapacity;
  const uint64_t card_sectors = uint64_t{capacity} + 1;
  std::printf("card: %s, %llu bytes\n", o.target,
              static_cast<unsigned long long>(card_sectors * kSectorSize));

  // FAT16 or FAT32. An image keeps its family: FAT12 and FAT16 systems get FAT16 (they may not
  // know FAT32), FAT32 systems FAT32. A folder gets FAT16 when the card is one FAT16 can span
  // (2 GiB) and the tree fits FAT16 (512 root entries, its clusters), else FAT32.
  bool fat32;
  const char* why;
  CardVolume v;
  if (o.fat != 0) {
    fat32 = o.fat == 32;
    why = fat32 ? "--fat32" : "--fat16";
  } else if (source_fat != 0) {
    fat32 = source_fat == 32;
    why = fat32 ? "the source is FAT32" : "the source is FAT12/16";
  } else {
    bool fits16 = capacity <= kFat16MaxCapacity && PlanVolume(false, capacity, &v, &error) &&
                  FitProblem(v, tree).empty();
    fat32 = !fits16;
    why = fits16 ? "the tree and the card fit FAT16" : "the tree or the card is too large for FAT16";
  }
  if (!PlanVolume(fat32, capacity, &v, &error)) {
    release();
    return Fail(error);
  }
  std::printf("card: FAT%s (%s%s), partition at sector %u of %u sectors, clusters of %u bytes\n",
              v.fat32 ? "32" : "16", why,
              fat32 && !v.fat32 ? "; too small for FAT32" : "", NewPartition.start_lba,
              v.sectors, v.cluster_bytes);
  if (!fat32 && capacity > kFat16MaxCapacity)
    std::printf("note: FAT16 spans only the first 2 GiB of the card (--fat32 for all of it)\n");
  std::string problem = FitProblem(v, tree);
  if (!problem.empty()) {
    release();
    return Fail("the card is too small: " + problem + "; nothing was written");
  }

  // The card as the partition worker makes it, with its final serial.
  NewVolSerial = o.keep_serial ? source_serial : MakeVolSerial();
  ChkDataArea = o.check ? 1 : 0;
  ShowEngineOnStderr();
  StatusSetText("パーティション情報作成");
  int32_t result = MakePartition(AdapterNumber);
  EndProgressLine();
  std::printf("result=%d %s\n", result,
              result == 0 ? "OK" : Utf8FromSjis(ErrorText(static_cast<uint32_t>(result))).c_str());
  if (result != 0) {
    release();
    return Fail("the card could not be made");
  }
  if (!WriteTreeToCard(AdapterNumber, NewPartition, &tree, source.get(), &left_out, &error)) {
    release();
    return Fail(error);
  }
  EndProgressLine();
  const TreeCount written = CountTree(tree);
  std::printf("written: %llu files, %llu folders, %llu bytes, serial %s\n",
              static_cast<unsigned long long>(written.files),
              static_cast<unsigned long long>(written.directories),
              static_cast<unsigned long long>(written.bytes), SerialText(NewVolSerial).c_str());
  std::fflush(stdout);

  // The whole card read back through the reader, from its master boot record on.
  if (device && !BlockDeviceFlush(&error)) {
    release();
    return Fail(error);
  }
  CardBytes card_bytes(AdapterNumber, card_sectors);
  FatLayout card_layout;
  std::string where;
  FatVolume card;
  TreeNode card_tree;
  std::vector<std::string> differences;
  if (!FindFatVolume(&card_bytes, &card_layout, &where, &error) ||
      !card.Open(&card_bytes, card_layout, &error) || !card.ReadTree(&card_tree, &error)) {
    differences.push_back("the card cannot be read back: " + error);
  } else {
    // The card is read as a source is: whatever the reader notes is the card's fault.
    differences.insert(differences.end(), card.notes().begin(), card.notes().end());
    if (card_layout.serial != NewVolSerial) differences.push_back("the card's serial differs");
    CompareTrees(tree, source.get(), card_tree, &card, &differences);
  }
  EndProgressLine();
  release();
  PrintList("renamed", renamed);
  PrintList("left out", left_out);
  PrintList("differs", differences);
  if (differences.empty())
    std::printf("verified: %llu files, %llu folders, %llu bytes\n",
                static_cast<unsigned long long>(written.files),
                static_cast<unsigned long long>(written.directories),
                static_cast<unsigned long long>(written.bytes));
  if (!left_out.empty() || !differences.empty()) {
    std::printf("transfer: FAILED: %zu left out, %zu differences\n", left_out.size(),
                differences.size());
    return 1;
  }
  std::printf("transfer: ready\n");
  return 0;
}
