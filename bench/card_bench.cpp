// kelvado-bench: how fast the engine formats a card, against peers measured in the same run.
//
//   kelvado-bench [WORKDIR] [SIZE_MIB] [KELVADO_CARD]
//                 (defaults: the current directory, 4096, kelvado-card next to kelvado-bench)
//
// On a sparse image of SIZE_MIB (4 GiB by default):
//   FAT32 with the data-area check   against dd reading the image and mkfs.fat -F 32 -c
//   FAT32 without the check          against mkfs.fat -F 32
//   the engine's own time            against a plain pread/pwrite replay of the same transfers
//   the engine on the image file     against kelvado-card formatting the same image through the
//                                    device layer and the card emulator (its driver thread)
// Every figure is the best of five runs. Each run gets a freshly made image that is deleted right
// after it: reading a sparse file's holes the first time costs the kernel page allocations that
// later reads do not pay, so no contender may find pages another one left behind. What a run
// leaves behind still changes the next one's time (up to threefold after a device-layer run), so
// the rounds rotate the order of the contenders and the device-layer runs come after all others.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "aspi/aspi.h"
#include "engine/boot_records.h"
#include "engine/partition.h"
#include "engine/system_area.h"
#include "engine/vol_serial.h"
#include "cardsim/image_card.h"

namespace {

const int kRuns = 5;

struct Transfer {
  bool write;
  uint32_t lba;
  uint32_t count;
};
std::vector<Transfer> recorded;

void Record(bool write, uint32_t lba, uint32_t count) { recorded.push_back({write, lba, count}); }

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void FreshImage(const std::string& path, uint64_t bytes) {
  unlink(path.c_str());
  int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
  if (fd < 0 || ftruncate(fd, static_cast<off_t>(bytes)) != 0) {
    std::perror(path.c_str());
    std::exit(1);
  }
  close(fd);
}

// One format by the engine, as the partition worker runs it; its transfers are recorded.
double EngineFormat(const std::string& image, uint64_t bytes, bool check) {
  FreshImage(image, bytes);
  std::string error;
  if (!ImageCardOpen(image.c_str(), &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    std::exit(1);
  }
  std::snprintf(HostAdapterName, sizeof HostAdapterName, "njata95");
  AdapterNumber = 0;
  Fat32Enabled = 1;
  ChkDataArea = check ? 1 : 0;
  NewVolSerial = 1;
  recorded.clear();
  ImageCardWatch = Record;
  auto start = std::chrono::steady_clock::now();
  int32_t result = CalcGeometry();
  if (result == 0) {
    BuildPartitionEntry();
    result = MakePartition(AdapterNumber);
  }
  double seconds = Seconds(start);
  ImageCardWatch = nullptr;
  ImageCardClose();
  unlink(image.c_str());
  if (result != 0) {
    std::fprintf(stderr, "the engine failed: %d\n", result);
    std::exit(1);
  }
  return seconds;
}

// Recorded transfers again with plain pread and pwrite, on a fresh image.
double Replay(const std::string& image, uint64_t bytes, const std::vector<Transfer>& transfers) {
  FreshImage(image, bytes);
  static std::vector<char> buffer(524288);
  int fd = open(image.c_str(), O_RDWR);
  auto start = std::chrono::steady_clock::now();
  for (const Transfer& t : transfers) {
    size_t length = size_t{t.count} * kSectorSize;
    off_t offset = static_cast<off_t>(t.lba) * kSectorSize;
    ssize_t done = t.write ? pwrite(fd, buffer.data(), length, offset)
                           : pread(fd, buffer.data(), length, offset);
    if (done != static_cast<ssize_t>(length)) {
      std::fprintf(stderr, "replay: short transfer at %u\n", t.lba);
      std::exit(1);
    }
  }
  double seconds = Seconds(start);
  close(fd);
  unlink(image.c_str());
  return seconds;
}

// The wall time of `command` followed by the path of a fresh image and `options`; negative when
// it fails.
double Command(const std::string& command, const std::string& image, uint64_t bytes,
               const std::string& options = "") {
  FreshImage(image, bytes);
  auto start = std::chrono::steady_clock::now();
  int status = std::system((command + image + options + " >/dev/null 2>&1").c_str());
  double seconds = Seconds(start);
  unlink(image.c_str());
  return status == 0 ? seconds : -1;
}

double Best(double a, double b) { return a < 0 || (b >= 0 && b < a) ? b : a; }

void Line(const char* what, double seconds, double mib) {
  if (seconds < 0)
    std::printf("  %-40s failed\n", what);
  else
    std::printf("  %-40s %8.3f s %9.0f MiB/s\n", what, seconds, mib / seconds);
}

void Ratio(const char* what, double a, double b, const char* target) {
  if (a < 0 || b < 0)
    std::printf("  %-40s n/a\n", what);
  else
    std::printf("  %-40s %8.2f   (target %s)\n", what, a / b, target);
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = argc > 1 ? argv[1] : ".";
  uint64_t mib = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 4096;
  if (mib < 300) {
    std::fprintf(stderr,
                 "usage: kelvado-bench [WORKDIR] [SIZE_MIB of at least 300] [KELVADO_CARD]\n");
    return 2;
  }
  std::string card_tool = argc > 3 ? argv[3] : std::string(argv[0]);
  if (argc <= 3) card_tool = card_tool.substr(0, card_tool.find_last_of('/') + 1) + "kelvado-card";
  const std::string device_format = card_tool + " format ";
  const uint64_t bytes = mib << 20;
  const std::string image = dir + "/kelvado-bench.img";
  const std::string peer = dir + "/kelvado-bench-peer.img";
  const std::string size = std::to_string(mib);

  double checked = -1, plain = -1, replay_checked = -1, replay_plain = -1;
  double dd = -1, mkfs_checked = -1, mkfs_plain = -1, device_checked = -1, device_plain = -1;
  // One format of each kind first: its transfers are what the replays repeat.
  EngineFormat(image, bytes, true);
  const std::vector<Transfer> checked_io = recorded;
  EngineFormat(image, bytes, false);
  const std::vector<Transfer> plain_io = recorded;

  // What a run leaves behind in the kernel changes the next run's time, so each round starts the
  // list at another contender: every one of them follows every other once or more.
  struct Contender {
    double* best;
    std::function<double()> run;
  };
  const Contender contenders[] = {
      {&checked, [&] { return EngineFormat(image, bytes, true); }},
      {&replay_checked, [&] { return Replay(peer, bytes, checked_io); }},
      {&plain, [&] { return EngineFormat(image, bytes, false); }},
      {&replay_plain, [&] { return Replay(peer, bytes, plain_io); }},
      {&dd, [&] { return Command("dd of=/dev/null bs=1M if=", peer, bytes); }},
      {&mkfs_checked, [&] { return Command("mkfs.fat -F 32 -c ", peer, bytes); }},
      {&mkfs_plain, [&] { return Command("mkfs.fat -F 32 ", peer, bytes); }},
  };
  const int count = static_cast<int>(sizeof contenders / sizeof contenders[0]);
  for (int run = 0; run < kRuns; ++run) {
    for (int i = 0; i < count; ++i) {
      const Contender& c = contenders[(i + run * 3) % count];
      *c.best = Best(*c.best, c.run());
    }
  }
  for (int run = 0; run < kRuns; ++run) {
    device_checked =
        Best(device_checked, Command(device_format, peer, bytes, " --fat32 --check"));
    device_plain = Best(device_plain, Command(device_format, peer, bytes, " --fat32"));
  }

  const double m = static_cast<double>(mib);
  std::printf("kelvado-bench: %s MiB sparse image, best of %d runs each\n", size.c_str(), kRuns);
  Line("engine FAT32 with the data check", checked, m);
  Line("dd of=/dev/null bs=1M if=IMAGE", dd, m);
  Line("mkfs.fat -F 32 -c", mkfs_checked, m);
  Line("engine FAT32 without the check", plain, m);
  Line("mkfs.fat -F 32", mkfs_plain, m);
  Line("replay of the checked format's I/O", replay_checked, m);
  Line("replay of the plain format's I/O", replay_plain, m);
  Line("kelvado-card --check (device layer)", device_checked, m);
  Line("kelvado-card (device layer)", device_plain, m);
  std::printf("ratios:\n");
  Ratio("engine checked / mkfs.fat -c (time)", checked, mkfs_checked, "<= 1.0");
  Ratio("engine checked / dd (read rate)", dd, checked, ">= 0.8");
  Ratio("engine plain / mkfs.fat (time)", plain, mkfs_plain, "none");
  Ratio("engine checked / its I/O replay (time)", checked, replay_checked, "<= 1.2");
  Ratio("engine plain / its I/O replay (time)", plain, replay_plain, "<= 1.2");
  Ratio("device layer / image stand-in, checked", device_checked, checked, "none");
  Ratio("device layer / image stand-in, plain", device_plain, plain, "none");
  return 0;
}
