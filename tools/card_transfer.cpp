// kelvado-card transfer: a source tree onto a new card, read back and compared.
//
// The person usually holds the only copy of the source, so everything that could go wrong with
// it is judged before anything is written: the source is opened read-only, and a target that
// could overlap it or is in use, whatever the path to it, is refused.
#include "tools/card_transfer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
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
#include "engine/fat_volume.h"
#include "engine/fat_writer.h"
#include "engine/partition.h"
#include "engine/vol_serial.h"
#include "tools/block_device.h"
#include "tools/card_console.h"
#include "tools/card_source.h"
#include "tools/image_card.h"
#include "tools/read_ahead_bytes.h"
#include "tools/storage.h"

const char kTransferUsage[] =
    "usage: kelvado-card transfer SOURCE TARGET [--size MIB] [--fat16|--fat32] [--check]\n"
    "                             [--keep-serial] [--yes]\n"
    "SOURCE: a folder, or an image or a disk holding a FAT12/16/32 volume (read only)\n"
    "TARGET: an image file (made or grown to --size MiB) or a block device\n";

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

int Usage(const char* problem) {
  std::fprintf(stderr, "kelvado-card: %s\n%s", problem, kTransferUsage);
  return 2;
}

// One line on standard output, its control bytes escaped.
void Say(const std::string& line) {
  std::printf("%s\n", ConsoleText(line).c_str());
  std::fflush(stdout);
}

int Fail(const std::string& what) {
  EndProgressLine();
  Say("transfer: FAILED: " + what);
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

std::string SerialText(uint32_t serial) {
  char text[16];
  std::snprintf(text, sizeof text, "%04X-%04X", serial >> 16, serial & 0xFFFF);
  return text;
}

std::string CountText(const TreeCount& count) {
  return std::to_string(count.files) + " files, " + std::to_string(count.directories) +
         " folders, " + std::to_string(count.bytes) + " bytes";
}

std::string SecondsSince(std::chrono::steady_clock::time_point start) {
  char text[32];
  std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  std::snprintf(text, sizeof text, "%.2f s", seconds.count());
  return text;
}

// The folder source's file that is `target` under another name (a hard link), or "".
std::string LinkedSourceFile(const TreeNode& dir, const struct stat& target, const std::string& path) {
  for (const TreeNode& child : dir.children) {
    const std::string child_path = ChildPath(path, child);
    struct stat st;
    if (child.directory) {
      std::string found = LinkedSourceFile(child, target, child_path);
      if (!found.empty()) return found;
    } else if (stat(child.host_path.c_str(), &st) == 0 && st.st_dev == target.st_dev &&
               st.st_ino == target.st_ino) {
      return child_path;
    }
  }
  return "";
}

// Why `target` must not be written, or "": an overlap with the source, a target in use, a
// device the card's rules refuse. For a device, *info is filled.
std::string TargetProblem(const CardSource& source, const PathFacts& target, BlockDeviceInfo* info) {
  std::string problem = OverlapProblem(source.facts, target);
  if (!problem.empty()) return problem;
  switch (target.kind) {
    case PathFacts::kBlockDevice:
      JudgeBlockDevice(target, info, &problem);
      return problem;
    case PathFacts::kFile: {
      struct stat st;
      if (source.facts.kind == PathFacts::kFolder && stat(target.path.c_str(), &st) == 0) {
        std::string linked = LinkedSourceFile(source.tree, st, "");
        if (!linked.empty())
          return "TARGET " + target.path + " is the source's file " + linked +
                 " (the same file under another name: a link)";
      }
      return InUseProblem(target);
    }
    case PathFacts::kMissing:
      return "";
    default:
      return target.path + " is neither an image file nor a block device";
  }
}

// Makes the image file the card: an existing file keeps its size unless --size grows it; a new
// one is made (sparse) of --size MiB.
bool PrepareImage(const TransferOptions& o, std::string* error) {
  struct stat st;
  bool exists = stat(o.target, &st) == 0;
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
  int fd = open(o.target, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0 || ftruncate(fd, static_cast<off_t>(want)) != 0) {
    *error = std::string(o.target) + ": " + std::strerror(errno);
    if (fd >= 0) close(fd);
    return false;
  }
  close(fd);
  return true;
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

// FAT16 or FAT32. An image keeps its family: FAT12 and FAT16 systems get FAT16 (they may not
// know FAT32), FAT32 systems FAT32. A folder gets FAT16 when the card is one FAT16 can span
// (2 GiB) and the tree fits FAT16 (512 root entries, its clusters), else FAT32.
bool ChooseVolume(const TransferOptions& o, const CardSource& source, uint32_t capacity,
                  CardVolume* v, std::string* error) {
  bool fat32;
  const char* why;
  if (o.fat != 0) {
    fat32 = o.fat == 32;
    why = fat32 ? "--fat32" : "--fat16";
  } else if (source.fat != 0) {
    fat32 = source.fat == 32;
    why = fat32 ? "the source is FAT32" : "the source is FAT12/16";
  } else {
    bool fits16 = capacity <= kFat16MaxCapacity && PlanVolume(false, capacity, v, error) &&
                  FitProblem(*v, source.tree).empty();
    fat32 = !fits16;
    why = fits16 ? "the tree and the card fit FAT16" : "the tree or the card is too large for FAT16";
  }
  if (!PlanVolume(fat32, capacity, v, error)) return false;
  std::printf("card: FAT%s (%s%s), partition at sector %u of %u sectors, clusters of %u bytes\n",
              v->fat32 ? "32" : "16", why, fat32 && !v->fat32 ? "; too small for FAT32" : "",
              NewPartition.start_lba, v->sectors, v->cluster_bytes);
  if (!fat32 && capacity > kFat16MaxCapacity)
    Say("note: FAT16 spans only the first 2 GiB of the card (--fat32 for all of it)");
  return true;
}

void PrintList(const char* heading, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) Say(std::string(heading) + ": " + line);
}

}  // namespace

int TransferCommand(int argc, char** argv) {
  TransferOptions o;
  if (argc < 4) return Usage("transfer needs SOURCE and TARGET");
  o.source = argv[2];
  o.target = argv[3];
  if (const char* problem = ParseTransferOptions(argc, argv, &o)) return Usage(problem);

  // The source, read whole before anything is written.
  CardSource source;
  std::string error;
  if (!ReadCardSource(o.source, &source, &error)) return Fail(error + "; nothing was written");
  if (source.fat != 0)
    Say("source: FAT" + std::to_string(source.fat) + " " + source.where + " of " + o.source +
        ", serial " + SerialText(source.serial));
  else
    Say(std::string("source: folder ") + o.source);
  if (o.keep_serial && !source.has_serial)
    return Fail("--keep-serial: the folder has no .windows-serial whose serial could be kept");
  PlanCardNames(&source.tree, &source.left_out);
  Say("source: " + CountText(CountTree(source.tree)));

  // The target, judged against the source and the system before anything is written to it.
  PathFacts target = Storage.path(o.target);
  const bool device = target.kind == PathFacts::kBlockDevice;
  if (device && o.size_mib != 0) return Usage("--size is for an image file, not a device");
  BlockDeviceInfo info;
  std::string problem = TargetProblem(source, target, &info);
  if (!problem.empty()) return Fail(problem + "; nothing was written");
  if (device && !ConfirmBlockDevice(info, o.yes, &error)) return Fail(error);
  if (!device) {
    if (!PrepareImage(o, &error)) return Fail(error);
    // Judged again as the file it now is (a new one had no identity before).
    target = Storage.path(o.target);
    problem = TargetProblem(source, target, &info);
    if (!problem.empty()) return Fail(problem + "; nothing was written");
  }

  // The card is reached through the engine's sector transfers, installed in place of the device
  // layer's: the engine is the wizard's, only the way to the sectors differs (kelvado-card
  // format goes through the device layer and the card emulator; a transfer wants the card,
  // written fast).
  std::snprintf(HostAdapterName, sizeof HostAdapterName, "njata95");
  AdapterNumber = 0;
  if (device ? !BlockDeviceOpen(info, &error) : !ImageCardOpen(o.target, &error))
    return Fail(error);
  auto release = [&]() {
    std::string ignored, note;
    if (device)
      BlockDeviceClose(&ignored, &note);
    else
      ImageCardClose();
    if (!note.empty()) Say("note: " + note);
  };
  const uint32_t capacity = TargetCapacity;
  const uint64_t card_sectors = uint64_t{capacity} + 1;
  Say(std::string("card: ") + o.target + ", " + std::to_string(card_sectors * kSectorSize) +
      " bytes");
  CardVolume v;
  if (!ChooseVolume(o, source, capacity, &v, &error)) {
    release();
    return Fail(error);
  }
  problem = FitProblem(v, source.tree);
  if (!problem.empty()) {
    release();
    return Fail("the card is too small: " + problem + "; nothing was written");
  }

  // The card as the partition worker makes it, with its final serial, then the files.
  const auto writing = std::chrono::steady_clock::now();
  NewVolSerial = o.keep_serial ? source.serial : MakeVolSerial();
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
  if (!WriteTreeToCard(AdapterNumber, NewPartition, &source.tree, source.bytes.get(),
                       &source.left_out, &error)) {
    release();
    return Fail(error);
  }
  EndProgressLine();
  // Ready is said of what is stored: the card is flushed and the system's cached copy dropped,
  // so that the read-back reads the card itself.
  if (device ? !BlockDeviceFlush(&error) : !ImageCardFlush(&error)) {
    release();
    return Fail(error);
  }
  const TreeCount written = CountTree(source.tree);
  Say("written: " + CountText(written) + ", serial " + SerialText(NewVolSerial) + " (" +
      SecondsSince(writing) + ")");

  // The whole card read back through the reader, from its master boot record on.
  const auto reading = std::chrono::steady_clock::now();
  CardBytes card_sectors_read(AdapterNumber, card_sectors);
  ReadAheadBytes card_bytes(&card_sectors_read);
  FatLayout card_layout;
  std::string where;
  FatVolume card;
  TreeNode card_tree;
  std::vector<std::string> differences;
  if (!FindFatVolume(&card_bytes, &card_layout, &where, &error) ||
      !card.Open(&card_bytes, card_layout, &error) || !card.ReadTree(&card_tree, &error)) {
    differences.push_back("the card cannot be read back: " + error);
  } else {
    if (card_layout.serial != NewVolSerial) differences.push_back("the card's serial differs");
    CompareTrees(source.tree, source.bytes.get(), card_tree, &card, &differences);
  }
  EndProgressLine();
  release();
  PrintList("left out", source.left_out);
  PrintList("differs", differences);
  if (differences.empty()) Say("verified: " + CountText(written) + " (" + SecondsSince(reading) + ")");
  if (!source.left_out.empty() || !differences.empty()) {
    std::printf("transfer: FAILED: %zu left out, %zu differences\n", source.left_out.size(),
                differences.size());
    return 1;
  }
  std::printf("transfer: ready\n");
  return 0;
}
