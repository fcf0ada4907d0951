// kelvado-card transfer: a source tree onto new cards, each read back and compared.
//
// The person usually holds the only copy of the source, so everything that could go wrong with
// it is judged before anything is written: the source is opened read-only, and a target that
// could overlap it, or another target, or is in use, whatever the path to it, is refused; a card
// too small for the tree too. Then every card is made, the source's files are read once and
// written to all cards together, and each card is read back on its own. A card that fails never
// stops the others.
#include "engine/engine_report.h"
#include "tools/card/card_transfer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "aspi/aspi.h"
#include "engine/boot_records.h"
#include "engine/engine_hooks.h"
#include "engine/errors.h"
#include "engine/partition.h"
#include "engine/system_area.h"
#include "engine/vol_serial.h"
#include "fat/card_bytes.h"
#include "fat/compare.h"
#include "fat/names.h"
#include "fat/names.h"
#include "fat/plan.h"
#include "fat/volume.h"
#include "fat/writer.h"
#include "tools/card/block_device.h"
#include "tools/card/card_console.h"
#include "tools/card/card_set.h"
#include "tools/card/card_source.h"
#include "tools/card/storage.h"

const char kTransferUsage[] =
    "usage: kelvado-card transfer SOURCE TARGET [TARGET...] [--size MIB] [--fat16|--fat32]\n"
    "                             [--check] [--keep-serial] [--yes]\n"
    "SOURCE: a folder, or an image or a disk holding a FAT12/16/32 volume (read only)\n"
    "TARGET: an image file (made or grown to --size MiB) or a block device; several targets\n"
    "        get the same tree, each its own serial\n";

namespace {

struct TransferOptions {
  const char* source = nullptr;
  std::vector<const char*> targets;
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

// What a card is doing, on the progress stream beside the engine's status texts.
void Progress(const std::string& line) {
  EndProgressLine();
  std::fprintf(stderr, "%s\n", ConsoleText(line).c_str());
}

int Fail(const std::string& what) {
  EndProgressLine();
  Say("transfer: FAILED: " + what);
  return 1;
}

const char* ParseTransferOptions(int argc, char** argv, TransferOptions* o) {
  for (int i = 3; i < argc; ++i) {
    std::string name = argv[i];
    if (name.compare(0, 2, "--") != 0) {
      o->targets.push_back(argv[i]);
    } else if (name == "--fat16" || name == "--fat32") {
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
  return o->targets.empty() ? "transfer needs SOURCE and TARGET" : nullptr;
}

std::string SerialText(uint32_t serial) {
  char text[16];
  std::snprintf(text, sizeof text, "%04X-%04X", serial >> 16, serial & 0xFFFF);
  return text;
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
bool PrepareImage(const char* path, uint32_t size_mib, std::string* error) {
  struct stat st;
  bool exists = stat(path, &st) == 0;
  if (!exists && size_mib == 0) {
    *error = std::string(path) + " does not exist; give its size with --size MIB";
    return false;
  }
  uint64_t want = uint64_t{size_mib} << 20;
  if (exists && size_mib != 0 && static_cast<uint64_t>(st.st_size) > want) {
    *error = std::string(path) + " is larger than --size; an image is never cut";
    return false;
  }
  if (exists && size_mib == 0) return true;
  int fd = open(path, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0 || ftruncate(fd, static_cast<off_t>(want)) != 0) {
    *error = std::string(path) + ": " + std::strerror(errno);
    if (fd >= 0) close(fd);
    return false;
  }
  close(fd);
  return true;
}

// Opens an image file as a card; its descriptor and whole sectors.
bool OpenImage(const PathFacts& judged, int* fd_out, uint64_t* sectors, std::string* error) {
  int fd = open(judged.path.c_str(), O_RDWR | O_CLOEXEC);
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    *error = judged.path + ": " + (fd < 0 ? std::strerror(errno) : "is no image file");
    if (fd >= 0) close(fd);
    return false;
  }
  *sectors = static_cast<uint64_t>(st.st_size) / kSectorSize;
  if (*sectors == 0 || *sectors > 0x100000000ull) {
    *error = judged.path + ": needs 1 to 2^32 sectors of 512 bytes";
    close(fd);
    return false;
  }
  *fd_out = fd;
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

// One target on its way to being a card.
struct Card {
  PathFacts facts;
  BlockDeviceInfo info;
  bool device = false;
  int fd = -1;
  int32_t adapter = -1;
  uint64_t sectors = 0;
  bool fat32 = false;
  std::string why_fat;          // why FAT16 or FAT32
  PartitionInfo partition = {};
  uint32_t serial = 0;
  bool made = false;            // partitioned and formatted
  TreeCount files = {};
  std::string failure;          // "" while it goes well
  std::vector<std::string> differences;
};

// FAT16 or FAT32, and whether the tree fits. An image keeps its family: FAT12 and FAT16 systems
// get FAT16 (they may not know FAT32), FAT32 systems FAT32. A folder gets FAT16 when the card is
// one FAT16 can span (2 GiB) and the tree fits FAT16 (512 root entries, its clusters), else
// FAT32. Leaves the card's partition in card->partition; "" or why it cannot take the tree.
std::string PlanCard(const TransferOptions& o, const CardSource& source, Card* card) {
  const uint32_t capacity = static_cast<uint32_t>(card->sectors - 1);
  CardVolume v;
  std::string error;
  bool fat32;
  if (o.fat != 0) {
    fat32 = o.fat == 32;
    card->why_fat = fat32 ? "--fat32" : "--fat16";
  } else if (source.fat != 0) {
    fat32 = source.fat == 32;
    card->why_fat = fat32 ? "the source is FAT32" : "the source is FAT12/16";
  } else {
    bool fits16 = capacity <= kFat16MaxCapacity && PlanVolume(false, capacity, &v, &error) &&
                  FitProblem(v, source.tree).empty();
    fat32 = !fits16;
    card->why_fat = fits16 ? "the tree and the card fit FAT16" : "the tree or the card is too large for FAT16";
  }
  if (!PlanVolume(fat32, capacity, &v, &error)) return error;
  if (fat32 && !v.fat32) card->why_fat += "; too small for FAT32";
  card->fat32 = v.fat32;
  card->partition = NewPartition;
  Say("card: " + card->facts.path + ", " + std::to_string(card->sectors * kSectorSize) + " bytes");
  Say(std::string("card: FAT") + (v.fat32 ? "32" : "16") + " (" + card->why_fat +
      "), partition at sector " + std::to_string(NewPartition.start_lba) + " of " +
      std::to_string(v.sectors) + " sectors, clusters of " + std::to_string(v.cluster_bytes) +
      " bytes");
  if (!fat32 && capacity > kFat16MaxCapacity)
    Say("note: " + card->facts.path + ": FAT16 spans only the first 2 GiB of the card (--fat32 for all of it)");
  std::string problem = FitProblem(v, source.tree);
  return problem.empty() ? "" : "the card is too small: " + problem;
}

// The card as the partition worker makes it, with its serial: 0 or the engine's code.
int32_t MakeCard(const TransferOptions& o, Card* card) {
  CardVolume v;
  std::string error;
  PlanVolume(card->fat32, static_cast<uint32_t>(card->sectors - 1), &v, &error);
  NewVolSerial = card->serial;
  ChkDataArea = o.check ? 1 : 0;
  StatusSetText("パーティション情報作成");
  int32_t result = MakePartition(card->adapter);
  EndProgressLine();
  return result;
}

// The whole card read back through the reader, from its master boot record on, and compared.
void ReadBack(const CardSource& source, const TreeNode& tree, Card* card) {
  CardBytes bytes(card->adapter, card->sectors);
  FatLayout layout;
  std::string where, error;
  FatVolume volume;
  TreeNode card_tree;
  if (!FindFatVolume(&bytes, &layout, &where, &error) || !volume.Open(&bytes, layout, &error) ||
      !volume.ReadTree(&card_tree, &error)) {
    card->differences.push_back("the card cannot be read back: " + error);
    return;
  }
  // The card is read as a source is: whatever the reader notes is the card's fault.
  card->differences.insert(card->differences.end(), volume.notes().begin(), volume.notes().end());
  if (layout.serial != card->serial) card->differences.push_back("the card's serial differs");
  CompareTrees(tree, source.bytes.get(), card_tree, &volume, &card->differences);
  card->files = CountTree(card_tree);
}

void PrintList(const char* heading, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) Say(std::string(heading) + ": " + line);
}

// ", label "NAME"" for the source line when the tree has a label.
std::string LabelPart(const TreeNode& tree) {
  return tree.has_label ? ", label \"" + LabelText(tree.label) + "\"" : "";
}

// The end of several cards: one line each, in columns.
void PrintTable(const std::vector<Card>& cards) {
  std::vector<std::vector<std::string>> rows = {
      {"card", "model", "size", "FAT", "serial", "files", "verdict"}};
  for (const Card& card : cards) {
    const bool read_back = card.failure.empty();
    rows.push_back({card.facts.path,
                    card.device ? (card.info.model.empty() ? "model unknown" : card.info.model)
                                : "image file",
                    SizeText(card.sectors * kSectorSize),
                    card.made ? (card.fat32 ? "FAT32" : "FAT16") : "-",
                    card.made ? SerialText(card.serial) : "-",
                    read_back ? std::to_string(card.files.files) : "-",
                    !card.failure.empty() ? "FAILED: " + card.failure
                    : card.differences.empty() ? "ready"
                    : "FAILED: " + std::to_string(card.differences.size()) + " differences"});
  }
  std::vector<size_t> width(rows[0].size(), 0);
  for (const auto& row : rows)
    for (size_t c = 0; c + 1 < row.size(); ++c) width[c] = std::max(width[c], row[c].size());
  for (const auto& row : rows) {
    std::string line;
    for (size_t c = 0; c < row.size(); ++c)
      line += row[c] + (c + 1 < row.size() ? std::string(width[c] - row[c].size() + 2, ' ') : "");
    Say(line);
  }
}

}  // namespace

int TransferCommand(int argc, char** argv) {
  TransferOptions o;
  if (argc < 3 || argv[2][0] == '-') return Usage("transfer needs SOURCE and TARGET");
  o.source = argv[2];
  if (const char* problem = ParseTransferOptions(argc, argv, &o)) return Usage(problem);
  const bool several = o.targets.size() > 1;

  // The source, read whole before anything is written.
  CardSource source;
  std::string error;
  if (!ReadCardSource(o.source, &source, &error)) return Fail(error + "; nothing was written");
  if (source.fat != 0)
    Say("source: FAT" + std::to_string(source.fat) + " " + source.where + " of " + o.source +
        ", serial " + SerialText(source.serial) + LabelPart(source.tree));
  else
    Say(std::string("source: folder ") + o.source + LabelPart(source.tree));
  PrintList("note", source.notes);
  if (o.keep_serial && !source.has_serial)
    return Fail("--keep-serial: the folder has no .windows-serial whose serial could be kept");
  std::vector<std::string> renamed;
  PlanCardNames(&source.tree, &source.left_out, &renamed);
  Say("source: " + CountText(CountTree(source.tree)));

  // Every target judged against the source, the system and the other targets before any is
  // written; the devices among them confirmed at once.
  std::vector<Card> cards(o.targets.size());
  std::vector<std::string> refusals;
  for (size_t i = 0; i < cards.size(); ++i) {
    cards[i].facts = Storage.path(o.targets[i]);
    cards[i].device = cards[i].facts.kind == PathFacts::kBlockDevice;
    std::string problem = TargetProblem(source, cards[i].facts, &cards[i].info);
    for (size_t j = 0; j < i && problem.empty(); ++j) problem = TargetsOverlap(cards[j].facts, cards[i].facts);
    if (!problem.empty()) refusals.push_back(problem);
  }
  if (o.size_mib != 0 &&
      std::all_of(cards.begin(), cards.end(), [](const Card& card) { return card.device; }))
    return Usage("--size is for image files, and every TARGET is a device");
  if (!refusals.empty()) {
    if (!several) return Fail(refusals[0] + "; nothing was written");
    PrintList("refused", refusals);
    return Fail(std::to_string(refusals.size()) + " of " + std::to_string(cards.size()) +
                " targets refused; nothing was written");
  }
  std::vector<BlockDeviceInfo> devices;
  for (const Card& card : cards)
    if (card.device) devices.push_back(card.info);
  if (!devices.empty() && !ConfirmBlockDevices(devices, o.yes, &error)) return Fail(error);

  // The images made, then every card opened and judged as the file it now is (a new image had
  // no identity before), sized and planned.
  auto release = [&cards]() {
    for (Card& card : cards) {
      if (card.fd < 0) continue;
      std::string note;
      if (card.device)
        BlockDeviceClose(card.fd, &note);
      else
        close(card.fd);
      card.fd = -1;
      if (!note.empty()) Say("note: " + card.facts.path + ": " + note);
    }
    CardSetClear();
  };
  for (Card& card : cards) {
    if (!card.device) {
      if (!PrepareImage(card.facts.path.c_str(), o.size_mib, &error)) break;
      card.facts = Storage.path(card.facts.path.c_str());
      error = TargetProblem(source, card.facts, &card.info);
      if (!error.empty()) break;
    }
    uint64_t bytes = 0;
    if (card.device ? !BlockDeviceOpen(card.info, &card.fd, &bytes, &error)
                    : !OpenImage(card.facts, &card.fd, &card.sectors, &error))
      break;
    if (card.device) card.sectors = std::min<uint64_t>(bytes / kSectorSize, 0x100000000ull);
    card.adapter = CardSetAdd(card.fd, card.sectors, card.device);
  }
  if (!error.empty()) {
    release();
    return Fail(error + "; nothing was written");
  }
  CardSetInstall();
  std::snprintf(HostAdapterName, sizeof HostAdapterName, "njata95");
  for (Card& card : cards) {
    std::string problem = PlanCard(o, source, &card);
    if (!problem.empty()) refusals.push_back(several ? card.facts.path + ": " + problem : problem);
  }
  if (!refusals.empty()) {
    release();
    if (!several) return Fail(refusals[0] + "; nothing was written");
    PrintList("refused", refusals);
    return Fail(std::to_string(refusals.size()) + " of " + std::to_string(cards.size()) +
                " targets refused; nothing was written");
  }

  // Each card made as the partition worker makes it, with a serial of its own (or the
  // source's), then the files written to every card together, each file read once.
  const auto writing = std::chrono::steady_clock::now();
  ShowEngineOnStderr();
  std::vector<CardToWrite> writes;
  std::vector<uint32_t> serials;
  for (size_t i = 0; i < cards.size(); ++i) {
    Card& card = cards[i];
    card.serial = o.keep_serial ? source.serial : MakeVolSerial();
    // Cards made within the same hundredth of a second would share a serial.
    while (!o.keep_serial && std::find(serials.begin(), serials.end(), card.serial) != serials.end())
      card.serial += 0x10000;
    serials.push_back(card.serial);
    if (several) Progress("card " + std::to_string(i + 1) + " of " + std::to_string(cards.size()) + ": " + card.facts.path);
    int32_t result = MakeCard(o, &card);
    std::string text = result == 0 ? "OK" : Utf8FromSjis(ErrorText(static_cast<uint32_t>(result)));
    Say(std::string("result=") + std::to_string(result) + " " + text + (several ? " (" + card.facts.path + ")" : ""));
    if (result != 0) {
      card.failure = "the card could not be made (" + text + ")";
      continue;
    }
    card.made = true;
    writes.push_back({card.adapter, PartitionFirstSector(card.partition), card.partition.sector_count,
                      false, ""});
  }
  if (several) Progress("the files, onto " + std::to_string(writes.size()) + " cards together");
  WriteTreeToCards(&writes, &source.tree, source.bytes.get(), &source.left_out);
  EndProgressLine();
  // Ready is said of what is stored: each card is flushed and the system's cached copy dropped,
  // so that the read-back reads the medium.
  for (const CardToWrite& write : writes) {
    Card& card = *std::find_if(cards.begin(), cards.end(),
                               [&write](const Card& c) { return c.adapter == write.adapter; });
    if (!write.written) card.failure = write.error;
    else if (!CardSetFlush(card.adapter, &error)) card.failure = error;
  }
  const TreeCount written = CountTree(source.tree);
  for (const Card& card : cards) {
    if (!card.failure.empty()) continue;
    Say("written: " + CountText(written) + ", serial " + SerialText(card.serial) +
        (several ? " on " + card.facts.path : "") + " (" + SecondsSince(writing) + ")");
  }

  // Each card read back through the reader, from its master boot record on.
  for (size_t i = 0; i < cards.size(); ++i) {
    Card& card = cards[i];
    if (!card.failure.empty()) continue;
    if (several) Progress("card " + std::to_string(i + 1) + " of " + std::to_string(cards.size()) + ": " + card.facts.path + ", read back");
    const auto reading = std::chrono::steady_clock::now();
    ReadBack(source, source.tree, &card);
    EndProgressLine();
    for (const std::string& line : card.differences)
      Say("differs: " + (several ? card.facts.path + ": " : std::string()) + line);
    if (card.differences.empty())
      Say("verified: " + CountText(written) + (several ? " on " + card.facts.path : "") + " (" +
          SecondsSince(reading) + ")");
  }
  release();
  PrintList("renamed", renamed);
  PrintList("left out", source.left_out);
  bool all_ready = true;
  size_t differences = 0;
  for (const Card& card : cards) {
    all_ready = all_ready && card.failure.empty() && card.differences.empty();
    differences += card.differences.size();
    if (!card.failure.empty() && !several) return Fail(card.failure);
  }
  if (several) PrintTable(cards);
  if (!all_ready || !source.left_out.empty()) {
    std::printf("transfer: FAILED: %zu left out, %zu differences", source.left_out.size(), differences);
    size_t failed = 0;
    for (const Card& card : cards) failed += card.failure.empty() ? 0 : 1;
    if (several && failed > 0) std::printf(", %zu of %zu cards failed", failed, cards.size());
    std::printf("\n");
    return 1;
  }
  std::printf("transfer: ready\n");
  return 0;
}
