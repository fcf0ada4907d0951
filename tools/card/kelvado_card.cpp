// kelvado-card: the card engine on a disk image file, served as the card by the card emulator and
// reached through the device layer (ASPI for Win32) as kelvado.exe reaches a card.
//
//   kelvado-card geometry --capacity N [--fat32] [--adapter NAME --heads H --spt S]
//   kelvado-card format IMAGE [--fat32] [--check] [--serial HEX] [--bad-read LIST]
//                             [--bad-write LIST] [--adapter NAME --heads H --spt S]
//   kelvado-card serial IMAGE HEX
//   kelvado-card scan IMAGE [--fat32] [--bad-read LIST] [--adapter NAME --heads H --spt S]
//   kelvado-card transfer SOURCE TARGET [TARGET...] [--size MIB] [--fat16|--fat32] [--check]
//                         [--keep-serial] [--yes]                    (tools/card/card_transfer.h)
//   kelvado-card verify CARD [--against SOURCE]                      (tools/card/card_verify.h)
//   kelvado-card [COMMAND] --help
//   kelvado-card --version
//
// Every command brings the device up as the program's InitAdapter does (load the driver, find
// the host adapter, INQUIRY, READ CAPACITY), so TargetCapacity is the emulator's READ CAPACITY
// answer; `geometry` has no image and takes the capacity from --capacity instead.
//
// --help (anywhere after a command: that command's usage) and --version print to standard output.
// Exit status 0 when the engine succeeds and after --help and --version, 1 when it fails, 2 for a
// wrong command line.
#include <cstdio>
#include <cstring>
#include <string>

#include "aspi/aspi.h"
#include "cardsim/cardsim.h"
#include "engine/boot_records.h"
#include "engine/engine_hooks.h"
#include "engine/engine_report.h"
#include "engine/errors.h"
#include "engine/partition.h"
#include "engine/partition_scan.h"
#include "engine/system_area.h"
#include "engine/vol_serial.h"
#include "fat/progress.h"
#include "kelvado_version.h"
#include "tools/card/card_console.h"
#include "tools/card/card_device.h"
#include "tools/card/card_transfer.h"
#include "tools/card/card_verify.h"

namespace {

// Each command's usage lines: its --help, and what a wrong command line of it prints.
const char kGeometryUsage[] =
    "usage: kelvado-card geometry --capacity N [--fat32] [--adapter NAME --heads H --spt S]\n"
    "N: the card's READ CAPACITY answer, its last sector number\n";
const char kListNote[] =
    "LIST: up to 32 comma-separated sector numbers or ranges a-b whose reads or writes fail\n";
const char kFormatUsage[] =
    "usage: kelvado-card format IMAGE [--fat32] [--check] [--serial HEX] [--bad-read LIST]\n"
    "                           [--bad-write LIST] [--adapter NAME --heads H --spt S]\n";
const char kSerialUsage[] = "usage: kelvado-card serial IMAGE HEX\n";
const char kScanUsage[] =
    "usage: kelvado-card scan IMAGE [--fat32] [--bad-read LIST] [--adapter NAME --heads H --spt S]\n";

const char kUsage[] =
    "usage: kelvado-card transfer SOURCE TARGET [TARGET...] [--size MIB] [--fat16|--fat32]\n"
    "                             [--check] [--keep-serial] [--yes]\n"
    "       kelvado-card verify CARD [--against SOURCE]\n"
    "       kelvado-card geometry --capacity N [--fat32] [--adapter NAME --heads H --spt S]\n"
    "       kelvado-card format IMAGE [--fat32] [--check] [--serial HEX] [--bad-read LIST]\n"
    "                               [--bad-write LIST] [--adapter NAME --heads H --spt S]\n"
    "       kelvado-card serial IMAGE HEX\n"
    "       kelvado-card scan IMAGE [--fat32] [--bad-read LIST] [--adapter NAME --heads H --spt S]\n"
    "       kelvado-card [COMMAND] --help\n"
    "       kelvado-card --version\n";

// What --help adds to the usage.
const char kHelp[] =
    "\n"
    "Makes bootable Windows 95/98 cards, and runs the card engine's steps on disk images.\n"
    "\n"
    "  transfer  put a folder or a disk image holding a Windows 95/98 drive onto cards\n"
    "            (image files or block devices) made bootable, and verify each\n"
    "  verify    judge a card (read only): will it boot the system it holds?\n"
    "  geometry  the geometry and partition entry for a card of N+1 sectors\n"
    "  format    partition and format a disk image as the wizard does\n"
    "  serial    write the volume serial HEX into the boot sector of an image's partition\n"
    "  scan      read an image's partition tables as the wizard's check does\n"
    "\n"
    "Exit status: 0 success, 1 failure (transfer: anything left out or different; verify: a\n"
    "card that will not boot), 2 a wrong command line. kelvado-card COMMAND --help shows a\n"
    "command's options; man kelvado-card tells them all, with the transfer's safety rules.\n";

struct CommandUsage {
  const char* name;
  const char* usage;
  const char* note;
};

const CommandUsage kCommands[] = {
    {"transfer", kTransferUsage, ""},
    {"verify", kVerifyUsage, ""},
    {"geometry", kGeometryUsage, ""},
    {"format", kFormatUsage, kListNote},
    {"serial", kSerialUsage, "HEX: 1 to 8 hexadecimal digits\n"},
    {"scan", kScanUsage, kListNote},
};

struct Options : CardDeviceOptions {
  const char* image = nullptr;
  bool has_capacity = false;
  uint32_t capacity = 0;
  bool fat32 = false;
  bool check = false;
  uint32_t serial = 1;
};

// A wrong command line: the problem and the usage (of the whole program, or of `command`).
int Usage(const char* problem, const char* command = nullptr) {
  if (problem) std::fprintf(stderr, "kelvado-card: %s\n", problem);
  for (const CommandUsage& c : kCommands) {
    if (command != nullptr && std::strcmp(command, c.name) == 0) {
      std::fprintf(stderr, "%s%s", c.usage, c.note);
      return 2;
    }
  }
  std::fputs(kUsage, stderr);
  return 2;
}

// --help and --version, wherever the command line asks for them: 0 after printing, -1 when it
// does not ask.
int HelpOrVersion(int argc, char** argv) {
  std::string first = argv[1];
  if (first == "--version") {
    std::printf("kelvado-card (Kelvado) %s\n", KELVADO_VERSION);
    return 0;
  }
  if (first == "--help") {
    std::printf("%s%s", kUsage, kHelp);
    return 0;
  }
  for (const CommandUsage& c : kCommands) {
    if (first != c.name) continue;
    for (int i = 2; i < argc; ++i) {
      if (std::strcmp(argv[i], "--help") == 0) {
        std::printf("%s%s", c.usage, c.note);
        return 0;
      }
    }
  }
  return -1;
}

bool ParseDecimal(const char* text, uint32_t* out) {
  uint64_t value = 0;
  if (*text == '\0') return false;
  for (const char* p = text; *p; ++p) {
    if (*p < '0' || *p > '9') return false;
    value = value * 10 + static_cast<uint64_t>(*p - '0');
    if (value > 0xFFFFFFFFull) return false;
  }
  *out = static_cast<uint32_t>(value);
  return true;
}

bool ParseHex(const char* text, uint32_t* out) {
  if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text += 2;
  size_t length = std::strlen(text);
  if (length == 0 || length > 8) return false;
  uint32_t value = 0;
  for (const char* p = text; *p; ++p) {
    int digit;
    if (*p >= '0' && *p <= '9')
      digit = *p - '0';
    else if (*p >= 'a' && *p <= 'f')
      digit = *p - 'a' + 10;
    else if (*p >= 'A' && *p <= 'F')
      digit = *p - 'A' + 10;
    else
      return false;
    value = value << 4 | static_cast<uint32_t>(digit);
  }
  *out = value;
  return true;
}

// Options after the command (and its IMAGE); nullptr, or what is wrong with them.
const char* ParseOptions(int argc, char** argv, int first, Options* o) {
  for (int i = first; i < argc; ++i) {
    std::string name = argv[i];
    if (name == "--fat32") {
      o->fat32 = true;
      continue;
    }
    if (name == "--check") {
      o->check = true;
      continue;
    }
    if (i + 1 >= argc) return "an option lacks its value";
    const char* value = argv[++i];
    bool ok;
    if (name == "--capacity") {
      ok = ParseDecimal(value, &o->capacity);
      o->has_capacity = true;
    } else if (name == "--serial") {
      ok = ParseHex(value, &o->serial);
    } else if (name == "--bad-read") {
      ok = *value != '\0' && ParseSectorList(value, &o->bad_reads);
    } else if (name == "--bad-write") {
      ok = *value != '\0' && ParseSectorList(value, &o->bad_writes);
    } else if (name == "--adapter") {
      o->adapter = value;
      ok = !o->adapter.empty() && o->adapter.size() < sizeof HostAdapterName;
    } else if (name == "--heads") {
      ok = ParseDecimal(value, &o->heads) && o->heads <= 255;
    } else if (name == "--spt") {
      ok = ParseDecimal(value, &o->sectors_per_track) && o->sectors_per_track <= 255;
    } else {
      return "unknown option";
    }
    if (!ok) return "an option has a wrong value";
  }
  return nullptr;
}

// The engine's switches and the adapter as the options set them.
void ApplyOptions(const Options& o) {
  std::snprintf(HostAdapterName, sizeof HostAdapterName, "%s", o.adapter.c_str());
  Fat32Enabled = o.fat32 ? 1 : 0;
  ChkDataArea = o.check ? 1 : 0;
  NewVolSerial = o.serial;
}

int Result(int32_t code) {
  EndProgressLine();
  const char* text = code == 0 ? "OK" : ErrorText(static_cast<uint32_t>(code));
  std::printf("result=%d %s\n", code, Utf8FromSjis(text).c_str());
  return code == 0 ? 0 : 1;
}

int ShowGeometry(const Options& o) {
  if (!o.has_capacity) return Usage("geometry needs --capacity", "geometry");
  if (!AttachCard(o, nullptr)) return 1;
  ApplyOptions(o);
  int32_t result = OpenDevice(false);
  TargetCapacity = o.capacity;
  if (result == 0) result = CalcGeometry();
  DetachCard();
  if (result != 0) return Result(result);
  BuildPartitionEntry();
  const Geometry& g = DiskGeometry;
  std::printf(
      "max_cylinder=%u max_head=%u sectors_per_track=%u capacity=%u start_lba=%u "
      "sector_count=%u type=0x%02X\n",
      g.max_cylinder, g.max_head, g.sectors_per_track, TargetCapacity, NewPartition.start_lba,
      NewPartition.sector_count, NewPartition.type);
  return 0;
}

// As the partition worker does it, after the check dialog's geometry.
int Format(const Options& o) {
  if (!AttachCard(o, o.image)) return 1;
  ApplyOptions(o);
  ShowEngineOnStderr();
  int32_t result = OpenDevice(true);
  if (result == 0) result = CalcGeometry();
  if (result == 0) {
    StatusSetText("パーティション情報作成");
    BuildPartitionEntry();
    result = MakePartition(AdapterNumber);
  }
  DetachCard();
  return Result(result);
}

// True when the entry describes a partition the engine could have made: its end CHS gives a usable
// geometry under which its start CHS lands exactly on its start LBA, past sector 0.
bool EntryIsConsistent(const PartitionInfo& p) {
  if (p.end_sector < 1 || p.end_sector > 63 || p.end_head > 254 || p.start_lba == 0) return false;
  return PartitionFirstSector(p) == p.start_lba;
}

// The partition and geometry as sector 0 describes them, then the serial. A table that does not
// hold together is refused: its boot sector could be anywhere, sector 0 itself included.
int Serial(const Options& o, uint32_t serial) {
  if (!AttachCard(o, o.image)) return 1;
  ApplyOptions(o);
  NewVolSerial = serial;
  uint8_t mbr[512];
  int32_t result = OpenDevice(true);
  if (result == 0) result = ReadSectors(AdapterNumber, 0, 0, kSectorSize, 1, mbr);
  if (result == 0) {
    UnpackPartitionEntry(mbr + kMbrPartitionTable, &NewPartition);
    DiskGeometry.max_cylinder = NewPartition.end_cylinder;
    DiskGeometry.max_head = NewPartition.end_head;
    DiskGeometry.sectors_per_track = NewPartition.end_sector;
    result = EntryIsConsistent(NewPartition) ? SetVolSerial(AdapterNumber) : -1;
  }
  DetachCard();
  return Result(result);
}

// As the check dialog reads the card (its geometry, then the partition tables, the bar going from
// 20 by 20 per table) and as TgetDrvFileExist asks whether it holds files.
int Scan(const Options& o) {
  if (!AttachCard(o, o.image)) return 1;
  ApplyOptions(o);
  int32_t result = OpenDevice(true);
  if (result == 0) result = CalcGeometry();
  if (result != 0) {
    DetachCard();
    return Result(result);
  }
  ShowEngineOnStderr();
  ProgressSetRange(100);
  ProgressSetPos(20);
  int32_t read = ReadPartitionTables(AdapterNumber);
  if (read == 0) ProgressSetPos(100);
  EndProgressLine();
  for (int32_t t = 0; t < PartitionList.count; ++t) {
    for (int e = 0; e < 4; ++e) {
      const PartitionInfo& p = PartitionList.table[t][e];
      std::printf(
          "table=%d entry=%d boot=0x%02X type=0x%02X start=%u/%u/%u end=%u/%u/%u lba=%u "
          "count=%u\n",
          t + 1, e + 1, p.boot_indicator, p.type, p.start_cylinder, p.start_head, p.start_sector,
          p.end_cylinder, p.end_head, p.end_sector, p.start_lba, p.sector_count);
    }
  }
  int32_t files = TargetHasFiles(AdapterNumber);
  std::printf("read=%d\nfiles=%d\n", read, files);
  DetachCard();
  return read == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage(nullptr);
  int asked = HelpOrVersion(argc, argv);
  if (asked >= 0) return asked;
  std::string command = argv[1];
  const char* name = argv[1];
  // The work on a card's files is shown as the engine's phases are.
  FatProgress = {ProgressPhase, ProgressAdvance, ProgressPhaseDone};
  Options o;
  if (command == "geometry") {
    const char* problem = ParseOptions(argc, argv, 2, &o);
    return problem ? Usage(problem, name) : ShowGeometry(o);
  }
  if (command == "format") {
    if (argc < 3) return Usage("format needs an IMAGE", name);
    o.image = argv[2];
    const char* problem = ParseOptions(argc, argv, 3, &o);
    return problem ? Usage(problem, name) : Format(o);
  }
  if (command == "scan") {
    if (argc < 3) return Usage("scan needs an IMAGE", name);
    o.image = argv[2];
    const char* problem = ParseOptions(argc, argv, 3, &o);
    return problem ? Usage(problem, name) : Scan(o);
  }
  if (command == "transfer") return TransferCommand(argc, argv);
  if (command == "verify") return VerifyCommand(argc, argv);
  if (command == "serial") {
    uint32_t serial;
    if (argc != 4) return Usage("serial needs IMAGE and HEX", name);
    if (!ParseHex(argv[3], &serial)) return Usage("HEX is 1 to 8 hexadecimal digits", name);
    o.image = argv[2];
    return Serial(o, serial);
  }
  return Usage("unknown command");
}
